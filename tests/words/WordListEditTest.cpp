#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "words/WordList.h"

namespace {

// Entries numbered 1..count, words w1, w2, ...
WordList Numbered(int count) {
    WordList list;
    for (int i = 1; i <= count; ++i) {
        list.Append({i, "w" + std::to_string(i), "s", "n.", "m" + std::to_string(i)});
    }
    return list;
}

// "number:word" for each entry, in list order.
std::vector<std::string> Rows(const WordList& list) {
    std::vector<std::string> rows;
    for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos)) {
        const WordFields fields = list.Fields(pos);
        rows.push_back(std::to_string(fields.number) + ":" + std::string(fields.word));
    }
    return rows;
}

TEST(WordListEdit, RemoveRenumbersTheRestAndInsertPutsItBack) {
    struct Case {
        std::uint32_t index;
        bool renumber;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {0, true, {"1:w2", "2:w3", "3:w4"}},
        {1, true, {"1:w1", "2:w3", "3:w4"}},
        {3, true, {"1:w1", "2:w2", "3:w3"}},
        {1, false, {"1:w1", "3:w3", "4:w4"}},
    };
    for (const Case& c : cases) {
        WordList list = Numbered(4);
        const WordEntry removed = list.Remove(list.PosAt(c.index), c.renumber);
        EXPECT_EQ(removed.word, "w" + std::to_string(c.index + 1));
        EXPECT_EQ(removed.number, static_cast<int>(c.index) + 1);
        EXPECT_EQ(Rows(list), c.after) << c.index;
        EXPECT_EQ(list.IsNumberedInOrder(), c.renumber);
        list.Insert(list.PosAt(c.index), removed, c.renumber);
        EXPECT_EQ(Rows(list), Rows(Numbered(4))) << c.index;
        EXPECT_EQ(list.At(list.PosAt(c.index)), removed);
    }
}

TEST(WordListEdit, RenumberWrapsAndCancels) {
    WordList list;
    list.Append({INT32_MIN, "low", "", "", ""});
    list.Append({INT32_MAX, "high", "", "", ""});
    list.Renumber(list.Begin(), -1);
    EXPECT_EQ(list.Fields(list.PosAt(0)).number, INT32_MAX);
    EXPECT_EQ(list.Fields(list.PosAt(1)).number, INT32_MAX - 1);
    list.Renumber(list.PosAt(1), 2);
    EXPECT_EQ(list.Fields(list.PosAt(1)).number, INT32_MIN);
    list.Renumber(list.End(), 5); // nothing after the end
    list.Renumber(list.PosAt(1), -2);
    list.Renumber(list.Begin(), 1);
    EXPECT_EQ(list.Fields(list.PosAt(0)).number, INT32_MIN);
    EXPECT_EQ(list.Fields(list.PosAt(1)).number, INT32_MAX);
}

TEST(WordListEdit, FindsFollowEveryEdit) {
    WordList list = Numbered(5);
    list.Replace(list.PosAt(1), {2, "pear", "", "n.", "fruit"});
    EXPECT_EQ(list.FindWord("w2"), list.End());
    EXPECT_EQ(list.FindWord("pear"), list.PosAt(1));
    EXPECT_EQ(list.At(list.PosAt(1)), (WordEntry{2, "pear", "", "n.", "fruit"}));

    list.Remove(list.PosAt(0), true); // pear is now 1, w5 is 4
    EXPECT_EQ(list.FindWord("pear"), list.PosAt(0));
    EXPECT_EQ(list.FindNumber(1), list.PosAt(0));
    EXPECT_EQ(list.FindNumber(4), list.FindWord("w5"));
    EXPECT_EQ(list.FindNumber(5), list.End());
    EXPECT_EQ(list.FindWord("w1"), list.End());

    list.Insert(list.End(), {5, "apple", "", "n.", "x"}, false);
    EXPECT_EQ(list.FindWord("apple"), list.PosAt(4));
    EXPECT_EQ(list.FindNumber(5), list.PosAt(4));
    list.Replace(list.PosAt(4), {9, "apple", "", "n.", "y"});
    EXPECT_EQ(list.FindNumber(5), list.End());
    EXPECT_EQ(list.FindNumber(9), list.PosAt(4));
    EXPECT_EQ(list.GetCount(), 5u);
    EXPECT_EQ(list.IndexOf(list.End()), 5u);
    EXPECT_EQ(list.PosAt(5), list.End());
}

TEST(WordListEdit, NumberedInOrder) {
    struct Case {
        std::vector<int> numbers;
        bool inOrder;
    };
    const Case cases[] = {
        {{}, true},      {{1}, true},     {{1, 2, 3}, true},  {{0}, false},
        {{1, 3}, false}, {{2, 1}, false}, {{1, 2, 2}, false}, {{-1}, false},
    };
    for (const Case& c : cases) {
        WordList list;
        for (const int number : c.numbers) {
            list.Append({number, "w", "", "", ""});
        }
        EXPECT_EQ(list.IsNumberedInOrder(), c.inOrder) << c.numbers.size();
    }
}

// Many entries taken out in one pass: the rest keep their order, text, lookups and origins, and
// are numbered afresh only when asked; taking out most of a large list rewrites its blocks.
TEST(WordListEdit, RemoveMarkedKeepsTheRestInOrder) {
    struct Case {
        const char* name;
        int count;
        std::vector<int> removed; // 1-based
        bool numberInOrder;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {"none", 3, {}, false, {"1:w1", "2:w2", "3:w3"}},
        {"first and last", 4, {1, 4}, false, {"2:w2", "3:w3"}},
        {"renumbered", 4, {2}, true, {"1:w1", "2:w3", "3:w4"}},
        {"all", 3, {1, 2, 3}, true, {}},
    };
    for (const Case& c : cases) {
        WordList list = Numbered(c.count);
        list.MarkLoaded();
        std::vector<bool> marks(static_cast<std::size_t>(c.count), false);
        for (const int r : c.removed)
            marks[static_cast<std::size_t>(r - 1)] = true;
        list.RemoveMarked(marks, c.numberInOrder);
        EXPECT_EQ(Rows(list), c.after) << c.name;
        EXPECT_FALSE(list.OnlyAppendedSinceLoad()) << c.name;
        // What a later merge compares with is still every entry as loaded, removed ones too.
        const WordList loaded = Numbered(c.count);
        std::vector<EntryPrint> asLoaded;
        for (WordPos pos = loaded.Begin(); pos != loaded.End(); pos = loaded.Next(pos))
            asLoaded.push_back(PrintOf(loaded.Fields(pos)));
        EXPECT_EQ(list.LoadedPrints(static_cast<std::size_t>(c.count)), asLoaded) << c.name;
        for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos)) {
            const std::string word(list.Fields(pos).word);
            EXPECT_EQ(list.FindWord(word), pos) << c.name;
            EXPECT_EQ(list.Origin(pos), std::stoi(word.substr(1)) - 1) << c.name;
        }
    }
    // Most of a list whose text fills several blocks: what is left is rewritten compactly and
    // stays intact.
    WordList big;
    const std::string mean(2000, 'm');
    for (int i = 1; i <= 3000; ++i)
        big.Append({i, "w" + std::to_string(i), "s", "n.", mean + std::to_string(i)});
    std::vector<bool> marks(3000, true);
    for (std::size_t i = 0; i < marks.size(); i += 100)
        marks[i] = false;
    big.RemoveMarked(marks, true);
    ASSERT_EQ(big.GetCount(), 30u);
    for (std::uint32_t i = 0; i < 30; ++i)
        EXPECT_EQ(big.At(big.PosAt(i)),
                  (WordEntry{static_cast<int>(i) + 1, "w" + std::to_string(i * 100 + 1), "s", "n.",
                             mean + std::to_string(i * 100 + 1)}));
}

// A long run of edits rewrites the blocks now and then; every entry must survive that intact,
// large ones (kept in blocks of their own) included.
TEST(WordListEdit, LongEditingKeepsEveryEntry) {
    WordList list = Numbered(50);
    std::vector<WordEntry> expected;
    for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos)) {
        expected.push_back(list.At(pos));
    }
    const std::string big(300 * 1024, 'b');
    for (int round = 0; round < 400; ++round) {
        const std::uint32_t index = static_cast<std::uint32_t>(round * 7) % 50;
        WordEntry entry = expected[index];
        entry.mean = (round % 50 == 0 ? big : std::string(4000, 'a')) + std::to_string(round);
        list.Replace(list.PosAt(index), entry);
        expected[index] = entry;
        if (round % 3 == 0) {
            const WordEntry removed = list.Remove(list.PosAt(index), true);
            list.Insert(list.PosAt(index), removed, true);
        }
    }
    ASSERT_EQ(list.GetCount(), expected.size());
    for (std::uint32_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(list.At(list.PosAt(i)), expected[i]) << i;
        EXPECT_EQ(list.FindWord(expected[i].word), list.PosAt(i));
    }
}

} // namespace
