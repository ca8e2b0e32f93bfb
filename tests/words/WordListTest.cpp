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
    const WordFields first = list.Fields(list.Begin());
    entry.word = "changed";
    for (int i = 2; i <= 100000; ++i) {
        list.Append({i, "w" + std::to_string(i), "", "", ""});
    }
    EXPECT_EQ(list.GetCount(), 100000u);
    // The views stay valid while the list grows.
    EXPECT_EQ(first.word, "one");
    EXPECT_EQ(first.spell, "");
    EXPECT_EQ(list.At(list.Begin()), (WordEntry{1, "one", "", "num.", "first"}));
    int expected = 1;
    for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos)) {
        EXPECT_EQ(list.Fields(pos).number, expected++);
    }
    EXPECT_EQ(expected, 100001);
}

TEST(WordList, KeepsFieldsOfEveryLength) {
    // Lengths around the steps of the stored length and of the block size.
    const std::vector<std::size_t> lengths = {0,      1,      127,     128,     4095,    4096,
                                              4097,   8193,   16383,   16384,   65537,   262143,
                                              262144, 262145, 1048575, 1048576, 1048577, 2100000};
    WordList list;
    std::vector<WordEntry> entries;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        const std::string text(lengths[i], static_cast<char>('a' + i));
        entries.push_back({static_cast<int>(i), text + "w", text, std::string(i, '\xff'), text});
        list.Append(entries.back());
        list.Append({-1, "small" + std::to_string(i), "s", "t", "m"});
    }
    WordPos pos = list.Begin();
    for (const WordEntry& entry : entries) {
        EXPECT_EQ(list.At(pos), entry) << entry.number;
        const WordFields fields = list.Fields(pos);
        EXPECT_EQ(fields.mean, entry.mean);
        EXPECT_EQ(list.FindWord(entry.word), pos);
        pos = list.Next(pos);
        EXPECT_EQ(list.At(pos).word, "small" + std::to_string(entry.number));
        pos = list.Next(pos);
    }
    EXPECT_EQ(pos, list.End());
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
