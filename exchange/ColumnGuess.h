// Works out which column holds which field of an entry, from column names or column counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/ImportedWords.h"

// What a column name says its column holds.
enum class ColumnRole { None, Word, Spell, Type, Meaning, Number };

// What kind of text a cell holds, as far as telling column names from entries goes.
enum class CellShape : std::uint8_t {
    Empty,
    Number,   // digits only, such as an entry number
    WordType, // "n.", "vt.", "名词"
    Phonetic, // "/ap/", "[ap]"
    Latin,    // text whose first letter is Latin, the others by the first letter's script
    Cyrillic,
    Greek,
    Cjk, // Chinese, Japanese or Korean
    OtherScript,
};

// The role of a header name such as "Word", "IPA" or "释义"; case and surrounding blanks do
// not matter.
ColumnRole HeaderRole(std::string_view name);

// The map for a header row: each field takes the first column named for it; without a column
// named for the word, the first column that no other field took.
ColumnMap MapByNames(const std::vector<std::string_view>& names);

// The map for rows without a header, by the number of usable columns (those a flashcard
// export does not mark as note type, deck and the like), given in order.
ColumnMap MapByCount(const std::vector<int>& usable);

// The same, also given the shapes of the first rows' cells: in three columns, one that holds
// mostly word types is the type, wherever it stands ("Hund,dog,n.", "fly,n.,苍蝇"), and the
// other two are the word and its meaning.
ColumnMap MapByCount(const std::vector<int>& usable,
                     const std::vector<std::vector<CellShape>>& shapes);

// The column that holds only entry numbers in rows without a header, or -1.
int NumberColumnByCount(const std::vector<int>& usable);

CellShape ShapeOf(std::string_view cell);

// True when the first row of a file reads as column names rather than as an entry. None of its
// cells may be a word type, and either its cells are names HeaderRole or a language name
// knows (at least two of the filled ones, or the only one), or some column's first cell has
// another shape than the cells below it, which mostly share one. `below` holds the shapes of
// the following rows' cells.
bool LooksLikeHeader(const std::vector<std::string_view>& first,
                     const std::vector<std::vector<CellShape>>& below);

// The columns' roles in a map over `columns` columns, None for a column no field takes.
std::vector<ColumnRole> RolesOf(const ColumnMap& map, std::size_t columns);

// `map` with `column` taking `role`: the field that column held and the column that held the
// role before are left without one, so that each field keeps at most one column.
ColumnMap WithRole(ColumnMap map, int column, ColumnRole role);

// The learner's column choice, e.g. "word,meaning,-,type" (the role of each column in order;
// "-", "skip" or "none" for a column not imported) or "word=2,meaning=1" (the column of each
// field, from 1). False, with `error` set, for an unknown name, a bad number, a field given
// twice or no word column.
bool ParseColumnChoice(std::string_view text, ColumnMap& map, std::string& error);

// Where the columns went, for a summary: "word 1 (German), meaning 2 (English), type 3 (Part of
// speech); the first line held column names". `names` are the header's, if any.
std::string ColumnsSummary(const ColumnMap& map, const std::vector<std::string>& names,
                           bool header);

// "yes", "no" or "auto" (unset: guessed from the file); false for anything else.
bool ParseHeaderChoice(std::string_view text, std::optional<bool>& header);
