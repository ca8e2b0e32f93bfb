// Reads comma-, semicolon- or tab-separated text (RFC 4180 quoting), including the text
// exports of flashcard programs with their "#key:value" header lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "exchange/ImportedWords.h"

struct DelimitedOptions {
    // The separator; unset to pick one of `candidates` from the first lines.
    std::optional<char> separator;
    std::string_view candidates = ",;\t";
    // Whether the first row names the columns; unset to guess from the names.
    std::optional<bool> header;
    // Which column holds which field; unset to guess from the header or the column count.
    std::optional<ColumnMap> columns;
};

// Appends the entries of UTF-8 `text` to `out.entries` and the rows that gave none to
// `out.problems`, and records the separator, header and columns used.
void ReadDelimited(std::string_view text, const DelimitedOptions& options, ImportedWords& out);
