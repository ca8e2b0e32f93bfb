#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "study/PageRules.h"

namespace {

using PageRules::Label;
using Start = std::optional<std::int32_t>;
constexpr std::int32_t kMax = INT32_MAX;
constexpr std::int32_t kMin = INT32_MIN;

struct MoveCase {
    const char* name;
    std::int32_t start;
    std::uint32_t count;
    Start first, previous, next, last;
};

// Empty pages at multiples of ten and negative starts are how the window has always paged.
TEST(PageRules, MovesFromEachKindOfStart) {
    const MoveCase cases[] = {
        {"first page of 25", 1, 25, {}, {}, 11, 21},
        {"middle page of 25", 11, 25, 1, 1, 21, 21},
        {"last page of 25", 21, 25, 1, 11, {}, {}},
        {"start-up from -9", -9, 25, 1, -19, 1, 21},
        {"empty list", -9, 0, 1, -19, {}, {}},
        {"exactly 20 entries, second page", 11, 20, 1, 1, {}, {}},
        {"21 entries, second page", 11, 21, 1, 1, 21, 21},
        {"exactly 20 entries, empty third page", 21, 20, 1, 11, {}, {}},
        {"start past the end", 500, 25, 1, 490, {}, {}},
        {"lowest start wraps", kMin, 25, 1, kMax - 9, kMin + 10, 21},
        {"highest start", kMax, 25, 1, kMax - 10, {}, {}},
    };
    for (const MoveCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PageRules::First(c.start), c.first);
        EXPECT_EQ(PageRules::Previous(c.start), c.previous);
        EXPECT_EQ(PageRules::Next(c.start, c.count), c.next);
        EXPECT_EQ(PageRules::Last(c.start, c.count), c.last);
    }
}

TEST(PageRules, JumpFieldText) {
    struct Case {
        const char* text;
        std::uint32_t count;
        Start start;
    };
    const Case cases[] = {
        {"1", 25, 1},
        {"3", 25, 21},
        {"4", 25, {}},
        {"2", 20, {}},
        {"2", 21, 11},
        {"3", 20, {}},
        {"0", 25, {}},
        {"-1", 25, {}},
        {"", 25, {}},
        {"abc", 25, {}},
        {" 2xyz", 25, 11},
        {"214748364", 2147483640u, {}},
        {"214748364", 2147483641u, 2147483631},
        {"214748365", 2147483647u, {}},
        {"99999999999999999999", 25, {}},
        {"1", 0, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PageRules::Jump(c.text, c.count), c.start)
            << '"' << c.text << "\" of " << c.count;
}

TEST(PageRules, LabelStoredIndexAndPageOfAnEntry) {
    struct Case {
        std::int32_t start;
        std::uint32_t count;
        Label label;
        std::int32_t stored;
    };
    const Case cases[] = {
        {1, 25, {1, 3}, -9},
        {21, 25, {3, 3}, 11},
        {21, 20, {3, 3}, 11},
        {-9, 0, {0, 1}, -19},
        {kMax, 5, {(kMin + 9) / 10, 1}, kMax - 10},
        {kMin, 5, {(kMin + 10) / 10, 1}, kMax - 9},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PageRules::LabelFor(c.start, c.count), c.label) << c.start;
        EXPECT_EQ(PageRules::StoredIndex(c.start), c.stored) << c.start;
    }
    const std::pair<std::int32_t, std::int32_t> holding[] = {
        {1, 1}, {10, 1}, {11, 11}, {25, 21}, {0, 1}, {-5, 1}, {kMax, 2147483641}};
    for (const auto& [number, start] : holding)
        EXPECT_EQ(PageRules::StartOfPageHolding(number), start) << number;
}

TEST(PageRules, EntriesOfAPage) {
    WordList words;
    for (int n = 1; n <= 25; ++n)
        words.Append({n, "w" + std::to_string(n), "", "n.", "m"});
    struct Case {
        std::int32_t start;
        std::size_t size;
        const char* firstWord;
    };
    const Case cases[] = {{1, 10, "w1"}, {21, 5, "w21"}, {26, 0, ""}, {-9, 0, ""}};
    for (const Case& c : cases) {
        const auto entries = PageRules::Entries(words, words.FindNumber(c.start));
        ASSERT_EQ(entries.size(), c.size) << c.start;
        if (c.size > 0) {
            EXPECT_EQ(entries.front().word, c.firstWord);
        }
    }
}

} // namespace
