// Picks the separator of delimited text from its first records.
#pragma once

#include <string_view>

// The candidate that every one of the first records holds outside quotes, the same number of
// times if possible, then the most often; the first candidate when none occurs.
char DetectSeparator(std::string_view text, std::string_view candidates);

// The separator a name stands for ("tab", "comma", ";", ...), or 0.
char SeparatorNamed(std::string_view value);
