#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "study/WordSearch.h"

namespace {

std::vector<std::uint32_t> RunSearch(const WordList& list, const char* text, std::uint32_t step) {
    WordSearch search(list, text);
    std::vector<WordPos> found;
    int steps = 0;
    while (!search.Done()) {
        search.Step(step, found);
        ++steps;
    }
    EXPECT_EQ(search.Examined(), text[0] == '\0' ? 0u : list.GetCount());
    EXPECT_EQ(steps, text[0] == '\0' ? 0 : static_cast<int>((list.GetCount() + step - 1) / step));
    std::vector<std::uint32_t> indexes;
    for (const WordPos pos : found) {
        indexes.push_back(list.IndexOf(pos));
    }
    return indexes;
}

TEST(WordSearch, StepsFindWhatOneStepFinds) {
    WordList list;
    const char* words[] = {"Apple", "apply", "Book", "café", "CAFÉ", "苹果", "grape", "pineapple"};
    for (int i = 0; i < 200; ++i) {
        list.Append({i + 1, words[i % 8], i % 5 == 0 ? "/æp/" : "", "adj.",
                     i % 7 == 0 ? "红苹果" : "meaning"});
    }
    for (const char* text : {"app", "APP", "é", "苹果", "æp", "adj", "", "zzz", "e"}) {
        const std::vector<std::uint32_t> whole = RunSearch(list, text, 1000);
        for (const std::uint32_t step : {1u, 3u, 64u, 199u}) {
            EXPECT_EQ(RunSearch(list, text, step), whole) << text << " by " << step;
        }
        if (std::string(text) == "adj" || text[0] == '\0' || std::string(text) == "zzz") {
            EXPECT_TRUE(whole.empty()) << text;
        } else {
            EXPECT_FALSE(whole.empty()) << text;
        }
    }
}

TEST(WordSearch, EmptyListAndEmptyText) {
    WordList list;
    WordSearch search(list, "a");
    std::vector<WordPos> found;
    search.Step(10, found);
    EXPECT_TRUE(search.Done());
    EXPECT_TRUE(found.empty());
    list.Append({1, "a", "", "", "a"});
    WordSearch empty(list, "");
    EXPECT_TRUE(empty.Done());
}

} // namespace
