#include <gtest/gtest.h>

#include "tests/exchange/Printers.h"

#include <vector>

#include "exchange/ImportPlan.h"
#include "tests/support/ListEntries.h"

namespace {

using Status = PreviewRow::Status;

WordList Current() {
    WordList list;
    list.Append({1, "apple", "/ap/", "n.", "苹果"});
    list.Append({2, "book", "/bk/", "n.", "书"});
    return list;
}

// Read from a file: a new word, a word of the list, a new word twice, numbered by line.
ImportedWords Read() {
    ImportedWords read;
    read.entries.Append({3, "cat", "", "n.", "猫"});
    read.entries.Append({4, "book", "/buk/", "v.", "预订"});
    read.entries.Append({5, "dog", "", "", "狗"});
    read.entries.Append({6, "dog", "/dg/", "n.", "犬"});
    read.problems = {{2, "no word"}};
    return read;
}

struct PolicyCase {
    DuplicatePolicy policy;
    std::vector<WordEntry> after; // the list once applied
    std::vector<Status> statuses;
    std::vector<std::int32_t> previewNumbers;
};

void PrintTo(const PolicyCase& c, std::ostream* out) {
    *out << static_cast<int>(c.policy);
}

class Planning : public testing::TestWithParam<PolicyCase> {};

TEST_P(Planning, DescribesAndMakesTheChange) {
    const PolicyCase& c = GetParam();
    WordList list = Current();
    const ImportPlan plan = PlanImport(Read(), list, c.policy);
    EXPECT_EQ(plan.newWords, 2u);
    EXPECT_EQ(plan.duplicates, 2u);
    EXPECT_EQ(plan.unreadable, 1u);
    ASSERT_EQ(plan.preview.size(), 4u);
    for (std::size_t i = 0; i < plan.preview.size(); ++i) {
        EXPECT_EQ(plan.preview[i].status, c.statuses[i]) << i;
        EXPECT_EQ(plan.preview[i].entry.number, c.previewNumbers[i]) << i;
        EXPECT_EQ(plan.preview[i].line, i + 3);
    }
    // Planning changes nothing.
    EXPECT_EQ(ListEntries(list), ListEntries(Current()));
    ApplyImport(list, plan);
    EXPECT_EQ(ListEntries(list), c.after);

    // A plan handed over gives its entries up instead of copying them, to the same effect.
    WordList taking = Current();
    ImportPlan handed = PlanImport(Read(), taking, c.policy);
    ApplyImport(taking, std::move(handed));
    EXPECT_EQ(ListEntries(taking), c.after);
    WordList empty;
    ApplyImport(empty, PlanImport(Read(), empty, c.policy));
    EXPECT_EQ(empty.GetCount(), c.policy == DuplicatePolicy::Add ? 4u : 3u);
}

INSTANTIATE_TEST_SUITE_P(
    Policies, Planning,
    testing::Values(PolicyCase{DuplicatePolicy::Skip,
                               {{1, "apple", "/ap/", "n.", "苹果"},
                                {2, "book", "/bk/", "n.", "书"},
                                {3, "cat", "", "n.", "猫"},
                                {4, "dog", "", "", "狗"}},
                               {Status::New, Status::Skipped, Status::New, Status::Skipped},
                               {3, 0, 4, 0}},
                    PolicyCase{DuplicatePolicy::Replace,
                               {{1, "apple", "/ap/", "n.", "苹果"},
                                {2, "book", "/buk/", "v.", "预订"},
                                {3, "cat", "", "n.", "猫"},
                                {4, "dog", "/dg/", "n.", "犬"}},
                               {Status::New, Status::Replaces, Status::New, Status::Replaces},
                               {3, 2, 4, 4}},
                    PolicyCase{DuplicatePolicy::Add,
                               {{1, "apple", "/ap/", "n.", "苹果"},
                                {2, "book", "/bk/", "n.", "书"},
                                {3, "cat", "", "n.", "猫"},
                                {4, "book", "/buk/", "v.", "预订"},
                                {5, "dog", "", "", "狗"},
                                {6, "dog", "/dg/", "n.", "犬"}},
                               {Status::New, Status::Added, Status::New, Status::Added},
                               {3, 4, 5, 6}}));

TEST(Planning, ReplacementsKeepWhatTheyReplaceForUndo) {
    const ImportPlan plan = PlanImport(Read(), Current(), DuplicatePolicy::Replace);
    ASSERT_EQ(plan.replaced.size(), 1u);
    EXPECT_EQ(plan.replaced[0].index, 1u);
    EXPECT_EQ(plan.replaced[0].before, (WordEntry{2, "book", "/bk/", "n.", "书"}));
    EXPECT_EQ(plan.replaced[0].after, (WordEntry{2, "book", "/buk/", "v.", "预订"}));
}

TEST(Planning, PreviewsTheFirstTwentyEntries) {
    ImportedWords read;
    for (int i = 0; i < 30; ++i) {
        read.entries.Append({i + 1, "w" + std::to_string(i), "", "", ""});
    }
    const ImportPlan plan = PlanImport(read, WordList(), DuplicatePolicy::Skip);
    ASSERT_EQ(plan.preview.size(), ImportPlan::kPreviewRows);
    EXPECT_EQ(plan.preview.back().entry.number, 20);
    EXPECT_EQ(plan.added.GetCount(), 30u);
}

// New words on lines that follow one another, and the same with a line between.
ImportedWords Consecutive() {
    ImportedWords read;
    read.entries.Append({2, "cat", "", "n.", "猫"});
    read.entries.Append({3, "dog", "", "", "狗"});
    read.entries.Append({4, "eel", "/il/", "n.", "鳗"});
    return read;
}
ImportedWords Gapped() {
    ImportedWords read;
    read.entries.Append({2, "cat", "", "n.", "猫"});
    read.entries.Append({4, "dog", "", "", "狗"});
    return read;
}

// More runs of lines, and more entries of one word, than are worth taking as they are.
ImportedWords Spread() {
    ImportedWords read;
    for (int i = 0; i < 40; ++i) {
        read.entries.Append({2 + 2 * i, "w" + std::to_string(i), "", "", ""});
    }
    return read;
}
ImportedWords Same() {
    ImportedWords read;
    for (int i = 0; i < 40; ++i) {
        read.entries.Append({2 + i, i % 2 == 0 ? "same" : "w" + std::to_string(i), "", "", ""});
    }
    return read;
}

struct TakenCase {
    const char* name;
    ImportedWords (*read)();
    bool emptyList;
};

// A plan made for showing only names the entries it adds; taking them, as they are or
// copied, with entries left out or runs of lines renumbered, gives what PlanImport gives, and
// the reading is left without them.
TEST(Planning, APreviewTakesTheEntriesItAddsToTheSameEffect) {
    const TakenCase cases[] = {
        {"duplicates", Read, false},
        {"consecutive lines", Consecutive, false},
        {"consecutive lines into an empty list", Consecutive, true},
        {"a line between", Gapped, false},
        {"many runs of lines", Spread, true},
        {"many of one word", Same, false},
    };
    for (const TakenCase& c : cases) {
        for (const DuplicatePolicy policy :
             {DuplicatePolicy::Skip, DuplicatePolicy::Replace, DuplicatePolicy::Add}) {
            SCOPED_TRACE(std::string(c.name) + ", policy " +
                         std::to_string(static_cast<int>(policy)));
            const WordList list = c.emptyList ? WordList() : Current();
            const ImportPlan whole = PlanImport(c.read(), list, policy);
            ImportedWords read = c.read();
            ImportPlan plan = PlanImportPreview(read, list, policy);
            EXPECT_EQ(plan.added.GetCount(), 0u);
            EXPECT_EQ(plan.AddedCount(), whole.added.GetCount());
            EXPECT_EQ(plan.preview, whole.preview);
            EXPECT_EQ(plan.newWords, whole.newWords);
            EXPECT_EQ(plan.duplicates, whole.duplicates);
            EXPECT_EQ(plan.replaced.size(), whole.replaced.size());
            TakeAdded(plan, std::move(read.entries));
            EXPECT_EQ(read.entries.GetCount(), 0u);
            EXPECT_EQ(ListEntries(plan.added), ListEntries(whole.added));
            EXPECT_EQ(plan.AddedCount(), whole.added.GetCount());
        }
    }
}

} // namespace
