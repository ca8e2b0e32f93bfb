#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ListEntries.h"
#include "words/TextQuery.h"
#include "words/WordList.h"

namespace {

// A field larger than a quarter block, which gets a block of its own.
const std::string kHuge(300'000, 'h');

WordList Build(const std::vector<WordEntry>& entries) {
    WordList list;
    for (const WordEntry& entry : entries)
        list.Append(entry);
    return list;
}

struct JoinCase {
    const char* name;
    std::vector<WordEntry> target;
    std::vector<WordEntry> source;
    bool loaded;          // the target was marked loaded before the join
    bool editedSource;    // an entry of the source was replaced first, leaving text behind
    std::size_t reserved; // ReserveEntries on the target first, with text room for a big block
};

void PrintTo(const JoinCase& c, std::ostream* out) {
    *out << c.name;
}

class Joining : public testing::TestWithParam<JoinCase> {};

// Joining by taking the source's blocks must give what appending copies gives, leave lookups,
// the search, origins and later edits working, and leave the source empty.
TEST_P(Joining, EqualsAppendingCopies) {
    const JoinCase& c = GetParam();
    WordList target = Build(c.target);
    if (c.loaded)
        target.MarkLoaded();
    if (c.reserved > 0)
        target.ReserveEntries(c.reserved, std::size_t{3} << 20);
    WordList source = Build(c.source);
    std::vector<WordEntry> expected = c.target;
    std::vector<WordEntry> sourceEntries = c.source;
    if (c.editedSource && !sourceEntries.empty()) {
        sourceEntries[0].mean = "changed";
        source.Replace(source.Begin(), sourceEntries[0]);
    }
    expected.insert(expected.end(), sourceEntries.begin(), sourceEntries.end());

    WordList copied = Build(c.target);
    for (WordPos pos = source.Begin(); pos != source.End(); pos = source.Next(pos))
        copied.AppendCopy(source, pos, source.Fields(pos).number);
    EXPECT_EQ(ListEntries(copied), expected);

    target.AppendAll(std::move(source));
    EXPECT_EQ(ListEntries(target), expected);
    EXPECT_EQ(source.GetCount(), 0u);
    EXPECT_EQ(ListEntries(source), std::vector<WordEntry>{});
    // Only the target's own edits count, not those of the list it took in.
    EXPECT_TRUE(target.OnlyAppendedSinceLoad());

    std::size_t index = 0;
    for (WordPos pos = target.Begin(); pos != target.End(); pos = target.Next(pos), ++index) {
        const bool fromTarget = index < c.target.size();
        EXPECT_EQ(target.Origin(pos), fromTarget && c.loaded ? std::int32_t(index) : -1) << index;
        EXPECT_EQ(target.FindWord(expected[index].word), pos) << index;
    }
    std::vector<WordPos> found;
    target.FindText(TextQuery("zebra"), target.Begin(), target.GetCount(), found);
    std::vector<std::uint32_t> foundAt;
    for (const WordPos pos : found)
        foundAt.push_back(target.IndexOf(pos));
    std::vector<std::uint32_t> zebras;
    for (std::uint32_t i = 0; i < expected.size(); ++i)
        if (expected[i].mean.find("zebra") != std::string::npos)
            zebras.push_back(i);
    EXPECT_EQ(foundAt, zebras);

    // Later appends and edits still land in memory the list owns: removing every entry but the
    // last compacts what was taken over.
    target.Append({99, "last", "", "", "zebra last"});
    expected.push_back({99, "last", "", "", "zebra last"});
    while (target.GetCount() > 1) {
        target.Remove(target.Begin(), false);
        expected.erase(expected.begin());
        ASSERT_EQ(ListEntries(target), expected);
    }
}

const std::vector<WordEntry> kFew = {{1, "apple", "/ap/", "n.", "苹果"},
                                     {2, "book", "", "n.", "a zebra book"}};
const std::vector<WordEntry> kMore = {{3, "cat", "", "n.", "猫"},
                                      {4, "zebra", "", "", "zebra"},
                                      {5, "huge", kHuge, "", "striped zebra"},
                                      {6, "", "", "", ""}};

INSTANTIATE_TEST_SUITE_P(
    Lists, Joining,
    testing::Values(JoinCase{"IntoEmpty", {}, kMore, false, false, 0},
                    JoinCase{"IntoEmptyMarkedLoaded", {}, kMore, true, false, 0},
                    JoinCase{"IntoEmptyReserved", {}, kMore, false, false, 10},
                    JoinCase{"IntoList", kFew, kMore, false, false, 0},
                    JoinCase{"IntoLoadedList", kFew, kMore, true, false, 0},
                    JoinCase{"IntoReservedList", kFew, kMore, true, false, 10},
                    JoinCase{"FromEditedList", kFew, kMore, false, true, 0},
                    JoinCase{"FromEditedListIntoEmpty", {}, kMore, true, true, 0},
                    JoinCase{"FromEmpty", kFew, {}, true, false, 0},
                    JoinCase{"BothEmpty", {}, {}, false, false, 0}),
    [](const testing::TestParamInfo<JoinCase>& info) { return std::string(info.param.name); });

// Taking the last entries out and joining them back is the round trip an import's undo and redo
// make; asking for more than there are takes them all.
TEST(WordList, TakeLastIsReversedByAppendAll) {
    const std::vector<WordEntry> all = {{1, "apple", "", "", "a"},
                                        {2, "book", kHuge, "", "zebra"},
                                        {3, "cat", "", "", "c"},
                                        {7, "dog", "", "n.", "d"}};
    for (const std::size_t take :
         {std::size_t{0}, std::size_t{1}, std::size_t{3}, std::size_t{4}, std::size_t{9}}) {
        WordList list = Build(all);
        list.MarkLoaded();
        WordList taken = list.TakeLast(take);
        const std::size_t kept = all.size() - std::min(take, all.size());
        EXPECT_EQ(ListEntries(list), std::vector<WordEntry>(all.begin(), all.begin() + kept))
            << take;
        EXPECT_EQ(ListEntries(taken), std::vector<WordEntry>(all.begin() + kept, all.end()))
            << take;
        EXPECT_EQ(list.OnlyAppendedSinceLoad(), take == 0) << take;
        list.AppendAll(std::move(taken));
        EXPECT_EQ(ListEntries(list), all) << take;
        EXPECT_EQ(list.FindWord("dog"), list.PosAt(3)) << take;
    }
}

} // namespace
