// Conversion between the program's byte strings (the locale's multibyte code set, as set by
// setlocale) and the toolkit's text, at the control boundary only.
#pragma once

#include <QString>
#include <string>
#include <string_view>

// Bytes that are invalid in the code set become U+FFFD, one per byte.
QString ToQString(std::string_view bytes);
// Characters the code set cannot hold become '?'.
std::string FromQString(const QString& text);
// Whether FromQString keeps every character of `text`, none becoming '?'.
bool CanEncode(const QString& text);
