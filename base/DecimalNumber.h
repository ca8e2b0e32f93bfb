// Reads decimal numbers the way atoi does, without its undefined overflow.
#pragma once

#include <cstdint>
#include <string_view>

// Blanks, an optional sign, then digits up to the first other byte; 0 without digits.
// A value beyond the 64-bit range reads as the largest value of its sign.
std::int64_t ParseLeadingInt64(std::string_view text);

// The same, saturated to the 32-bit range.
std::int32_t ParseLeadingInt32(std::string_view text);
