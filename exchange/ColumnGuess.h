// Works out which column holds which field of an entry, from column names or column counts.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "exchange/ImportedWords.h"

// What a column name says its column holds.
enum class ColumnRole { None, Word, Spell, Type, Meaning, Number };

// The role of a header name such as "Word", "IPA" or "释义"; case and surrounding blanks do
// not matter.
ColumnRole HeaderRole(std::string_view name);

// The map for a header row: each field takes the first column named for it; without a column
// named for the word, the first column that no other field took.
ColumnMap MapByNames(const std::vector<std::string_view>& names);

// The map for rows without a header, by the number of usable columns (those a flashcard
// export does not mark as note type, deck and the like), given in order.
ColumnMap MapByCount(const std::vector<int>& usable);

// The column that holds only entry numbers in rows without a header, or -1.
int NumberColumnByCount(const std::vector<int>& usable);

// True when a row reads as column names: at least two of its filled fields (or its only one)
// are names HeaderRole knows.
bool LooksLikeHeader(const std::vector<std::string_view>& fields);
