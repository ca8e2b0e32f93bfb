// Reads the word list's own file (or a backup of it) as import entries, so that importing the
// list, or an older copy of it, gives its entries instead of one garbage word per line.
#pragma once

#include <string_view>

#include "exchange/ImportedWords.h"

// True when the first lines of `text` are all word file records: a number and four fields,
// separated by single spaces, with no tab.
bool LooksLikeWordFile(std::string_view text);

// Appends each record, numbered by its line, to `out.entries`; a line that is no record
// becomes a problem.
void ReadWordFileText(std::string_view text, ImportedWords& out);
