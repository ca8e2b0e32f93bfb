// Where the study window's page moves take the page start, and what its page label says.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "words/WordEntry.h"
#include "words/WordList.h"
#include "words/WordPos.h"

// A page start is the number of the entry shown in its first row. Page numbers are 32-bit
// values that wrap like the machine's own arithmetic; only a hand-edited start at the edge of
// the range takes them there. Each move gives the new start, or nothing when it is refused.
namespace PageRules {

constexpr int kPageSize = 10;

std::optional<std::int32_t> First(std::int32_t start);
std::optional<std::int32_t> Previous(std::int32_t start);
std::optional<std::int32_t> Next(std::int32_t start, std::uint32_t count);
std::optional<std::int32_t> Last(std::int32_t start, std::uint32_t count);
// The jump field's text read as a page number; pages past the last one are refused.
std::optional<std::int32_t> Jump(std::string_view text, std::uint32_t count);

// The start lowered before a last-page move, so that the move passes from any reachable page.
std::int32_t BeforeLast(std::int32_t start);
// The value kept in the settings file, from which the start-up's next-page move leads back.
std::int32_t StoredIndex(std::int32_t start);
// The start of the page that holds entry `number` (1, 11, 21, ...).
std::int32_t StartOfPageHolding(std::int32_t number);

struct Label {
    std::int32_t page;
    std::uint32_t total;
    friend bool operator==(const Label&, const Label&) = default;
};
Label LabelFor(std::int32_t start, std::uint32_t count);

// The entries a page shows: from `first` on, at most kPageSize of them.
std::vector<WordEntry> Entries(const WordList& words, WordPos first);

} // namespace PageRules
