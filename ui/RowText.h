// Formats the text of a row's word label: the word padded to a fixed column, then its spell.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Display columns that `text` takes in the current locale's multibyte code set: a
// double-width character counts two, a byte that starts no valid character counts one.
std::size_t DisplayWidth(std::string_view text);

// The word left-justified in 28 display columns (never cut), one blank, then the spell.
std::string FormatRowText(std::string_view word, std::string_view spell);
