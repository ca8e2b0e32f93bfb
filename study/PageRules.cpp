#include "study/PageRules.h"

#include <limits>

#include "base/DecimalNumber.h"

namespace PageRules {

namespace {

std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// The entry count as the signed 32-bit value the rules compare with.
std::int64_t SignedCount(std::uint32_t count) {
    return static_cast<std::int32_t>(count);
}

} // namespace

std::optional<std::int32_t> First(std::int32_t start) {
    if (start == 1)
        return std::nullopt;
    return 1;
}

std::optional<std::int32_t> Previous(std::int32_t start) {
    if (start == 1)
        return std::nullopt;
    return WrapAdd(start, -kPageSize);
}

std::optional<std::int32_t> Next(std::int32_t start, std::uint32_t count) {
    if (start > SignedCount(count) - kPageSize)
        return std::nullopt;
    // Allowed only when start + 10 <= count, so the sum stays in range.
    return start + kPageSize;
}

std::optional<std::int32_t> Last(std::int32_t start, std::uint32_t count) {
    const std::int64_t n = SignedCount(count);
    if (start > n - kPageSize)
        return std::nullopt;
    return static_cast<std::int32_t>(n - n % kPageSize + 1);
}

std::optional<std::int32_t> Jump(std::string_view text, std::uint32_t count) {
    const std::int64_t page = ParseLeadingInt64(text);
    if (page <= 0)
        return std::nullopt;
    // A page whose start would leave the 32-bit range is refused like any page too far.
    if (page > std::numeric_limits<std::int32_t>::max() / kPageSize)
        return std::nullopt;
    const std::int64_t n = SignedCount(count);
    const std::int64_t limit = n % kPageSize != 0 ? n + kPageSize : n;
    if (page * kPageSize >= limit)
        return std::nullopt;
    return static_cast<std::int32_t>(page * kPageSize - 9);
}

std::int32_t BeforeLast(std::int32_t start) {
    return WrapAdd(start, -kPageSize);
}

std::int32_t StoredIndex(std::int32_t start) {
    return WrapAdd(start, -kPageSize);
}

std::int32_t StartOfPageHolding(std::int32_t number) {
    if (number < 1)
        return 1;
    return (number - 1) / kPageSize * kPageSize + 1;
}

Label LabelFor(std::int32_t start, std::uint32_t count) {
    return {WrapAdd(start, kPageSize) / kPageSize, count / kPageSize + 1};
}

std::vector<WordEntry> Entries(const WordList& words, WordPos first) {
    std::vector<WordEntry> entries;
    for (WordPos pos = first; entries.size() < kPageSize && !(pos == words.End());
         pos = words.Next(pos))
        entries.push_back(words.At(pos));
    return entries;
}

} // namespace PageRules
