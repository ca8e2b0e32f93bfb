// Counts in messages: "1 word", "2 words", "1 line could not be read".
#pragma once

#include <cstdint>
#include <string>

// `count`, a space, then `one` when count is 1 and `many` otherwise.
std::string Counted(std::uint64_t count, const char* one, const char* many);
