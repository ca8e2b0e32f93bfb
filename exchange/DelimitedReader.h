// Reads comma-, semicolon- or tab-separated text (RFC 4180 quoting), including the text
// exports of flashcard programs with their "#key:value" header lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "exchange/ImportedWords.h"

struct DelimitedOptions {
    // The separator; 0 to pick one of `candidates` from the first lines.
    char separator = 0;
    std::string_view candidates = ",;\t";
    // Whether the first row names the columns; unset to guess from the names.
    std::optional<bool> header;
    // Which column holds which field; unset to guess from the header or the column count.
    std::optional<ColumnMap> columns;
};

// Appends the entries of UTF-8 `text` to `out.entries` and the rows that gave none to
// `out.problems`, and records the separator, header and columns used.
void ReadDelimited(std::string_view text, const DelimitedOptions& options, ImportedWords& out);

// The field a header name stands for: 0 word, 1 spell, 2 type, 3 meaning, 4 a number column,
// -1 none. Case and surrounding blanks do not matter.
int HeaderRole(std::string_view name);

// True for a word type such as "n.", "vt.", "adj./adv." or "noun".
bool LooksLikeWordType(std::string_view text);

// Plain text of an HTML field: tags dropped, "<br>" a blank, entities decoded, sound
// references like "[sound:x.mp3]" dropped, blanks at both ends trimmed.
std::string HtmlToText(std::string_view html);
