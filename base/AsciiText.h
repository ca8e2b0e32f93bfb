// Byte-wise text rules shared by the readers, the settings and the windows: blanks, trimming
// and ASCII letter case. Bytes above 127 are never changed, so UTF-8 and GB18030 text passes
// through untouched.
#pragma once

#include <string>
#include <string_view>

namespace ascii {

// Space, tab, carriage return, line feed, vertical tab and form feed.
bool IsSpace(char c);
// Only space and tab: the blanks inside one line.
bool IsBlank(char c);

// `text` without leading and trailing IsSpace bytes.
std::string_view Trim(std::string_view text);
// `text` without leading and trailing IsBlank bytes.
std::string_view TrimBlanks(std::string_view text);
// Whether `text` holds nothing but IsSpace bytes.
bool IsAllSpace(std::string_view text);

char ToLower(char c);
std::string Lower(std::string_view text);
// Equal when ASCII letters are compared without case.
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

bool IsDigit(char c);
bool IsLetter(char c);

} // namespace ascii
