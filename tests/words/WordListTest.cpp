#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "words/WordList.h"

namespace {

WordList MakeList(const std::vector<std::pair<int, std::string>>& rows) {
    WordList list;
    for (const auto& [number, word] : rows) {
        list.Append({number, word, "spell", "n.", "mean"});
    }
    return list;
}

// The index of `pos` counted from Begin(), or -1 for End().
int IndexOf(const WordList& list, WordPos pos) {
    int index = 0;
    for (WordPos at = list.Begin(); at != list.End(); at = list.Next(at), ++index) {
        if (at == pos) {
            return index;
        }
    }
    return -1;
}

TEST(WordList, EmptyListHasNothingToFind) {
    const WordList list;
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_EQ(list.Begin(), list.End());
    EXPECT_EQ(list.FindNumber(0), list.End());
    EXPECT_EQ(list.FindNumber(1), list.End());
    EXPECT_EQ(list.FindWord(""), list.End());
    EXPECT_EQ(list.FindWord("apple"), list.End());
}

TEST(WordList, FindYieldsFirstMatchInListOrder) {
    const WordList list =
        MakeList({{3, "cat"}, {1, "Dog"}, {2, "dog"}, {1, "bird"}, {7, ""}, {2, "cat"}});
    struct Case {
        int number;
        int expected;
    };
    for (const Case& c : std::vector<Case>{{3, 0}, {1, 1}, {2, 2}, {7, 4}, {0, -1}, {8, -1}}) {
        EXPECT_EQ(IndexOf(list, list.FindNumber(c.number)), c.expected) << c.number;
    }
    struct WordCase {
        std::string word;
        int expected;
    };
    for (const WordCase& c : std::vector<WordCase>{{"cat", 0},
                                                   {"dog", 2},
                                                   {"Dog", 1},
                                                   {"", 4},
                                                   {"CAT", -1},
                                                   {"cat ", -1},
                                                   {" cat", -1},
                                                   {std::string("cat\0", 4), -1}}) {
        EXPECT_EQ(IndexOf(list, list.FindWord(c.word)), c.expected) << c.word;
    }
}

TEST(WordList, StoresCopiesInAppendOrder) {
    WordList list;
    WordEntry entry{1, "one", "", "num.", "first"};
    list.Append(entry);
    const WordEntry& first = list.At(list.Begin());
    entry.word = "changed";
    for (int i = 2; i <= 1000; ++i) {
        list.Append({i, "w" + std::to_string(i), "", "", ""});
    }
    EXPECT_EQ(list.GetCount(), 1000u);
    // References stay valid while the list grows.
    EXPECT_EQ(first.word, "one");
    EXPECT_EQ(first.spell, "");
    int expected = 1;
    for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos)) {
        EXPECT_EQ(list.At(pos).number, expected++);
    }
    EXPECT_EQ(expected, 1001);
}

TEST(WordList, EndStaysEndAfterAppend) {
    WordList list;
    const WordPos end = list.End();
    const WordPos notFound = list.FindWord("x");
    list.Append({1, "x", "", "", ""});
    EXPECT_EQ(end, list.End());
    EXPECT_EQ(notFound, list.End());
    EXPECT_EQ(WordPos(), list.End());
    EXPECT_NE(list.FindWord("x"), list.End());
    EXPECT_EQ(list.Next(list.Begin()), list.End());
}

} // namespace
