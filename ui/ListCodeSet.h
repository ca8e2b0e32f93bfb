// The word list holds its text in the locale's code set; import and export files are UTF-8.
// Under a locale whose code set is not UTF-8 (GB18030, say) these convert between the two.
#pragma once

#include <string>
#include <string_view>

#include "exchange/ImportedWords.h"
#include "words/WordList.h"

// Puts the entries read from an import file into the list's code set. An entry with a
// character that code set cannot hold is left out, and named among the problems of its line.
void ImportIntoListCodeSet(ImportedWords& read);

// UTF-8 text read from a file in the list's code set, to be shown beside the list's own text.
std::string InListCodeSet(std::string_view utf8);

// The list with its text in UTF-8, for export: `words` itself where the code set is UTF-8,
// else `converted`, filled here.
const WordList& ListInUtf8(const WordList& words, WordList& converted);
