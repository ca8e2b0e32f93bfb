// Two machines' versions of the word file joined, with and without the version both started
// from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sync/ListMerge.h"
#include "tests/support/ListEntries.h"

namespace {

WordList List(const std::vector<std::string>& entries) {
    return ListFromTexts(entries, "\\e");
}

struct Case {
    const char* name;
    bool hasBase;
    std::vector<std::string> base, ours, theirs, merged;
    std::size_t taken = 0;
    std::size_t removed = 0;
    std::vector<std::string> bothChanged = {};
    std::vector<std::string> keptChanged = {};
};

const Case kCases[] = {
    {"added on both sides, no base",
     false,
     {},
     {"1 a x", "2 b x", "3 c x"},
     {"1 a x", "2 b x", "3 d x"},
     {"1 a x", "2 b x", "3 c x", "4 d x"},
     1},
    {"added on both sides against a base",
     true,
     {"1 a x", "2 b x"},
     {"1 a x", "2 b x", "3 c x", "4 e x"},
     {"1 a x", "2 b x", "3 d x"},
     {"1 a x", "2 b x", "3 c x", "4 e x", "5 d x"},
     1},
    {"the same word added alike on both",
     false,
     {},
     {"1 a x", "2 c x"},
     {"1 a x", "2 c x"},
     {"1 a x", "2 c x"}},
    {"the same word added differently on both",
     false,
     {},
     {"1 a x", "2 c mine"},
     {"1 a x", "2 c theirs"},
     {"1 a x", "2 c mine", "3 c theirs"},
     1,
     0,
     {"c"}},
    {"they deleted an entry we kept as it was",
     true,
     {"1 a x", "2 b x", "3 c x"},
     {"1 a x", "2 b x", "3 c x"},
     {"1 a x", "2 c x"},
     {"1 a x", "2 c x"},
     0,
     1},
    {"we deleted an entry they kept as it was",
     true,
     {"1 a x", "2 b x", "3 c x"},
     {"1 a x", "2 c x"},
     {"1 a x", "2 b x", "3 c x", "4 d x"},
     {"1 a x", "2 c x", "3 d x"},
     1,
     1},
    {"they deleted an entry we edited",
     true,
     {"1 a x", "2 b x"},
     {"1 a x", "2 b edited"},
     {"1 a x"},
     {"1 a x", "2 b edited"},
     0,
     0,
     {},
     {"b"}},
    {"we deleted an entry they edited",
     true,
     {"1 a x", "2 b x", "3 c x"},
     {"1 a x", "2 c x"},
     {"1 a x", "2 b edited", "3 c x"},
     {"1 a x", "2 c x", "3 b edited"},
     1,
     0,
     {},
     {"b"}},
    {"only they edited: their version in its place",
     true,
     {"1 a x", "2 b x"},
     {"1 a x", "2 b x", "3 c x"},
     {"1 a new", "2 b x"},
     {"1 a new", "2 b x", "3 c x"},
     1},
    {"only we edited: ours stays",
     true,
     {"1 a x", "2 b x"},
     {"1 a new", "2 b x"},
     {"1 a x", "2 b x", "3 c x"},
     {"1 a new", "2 b x", "3 c x"},
     1},
    {"both edited the same entry differently",
     true,
     {"1 a x", "2 b x"},
     {"1 a mine", "2 b x"},
     {"1 a theirs", "2 b x"},
     {"1 a mine", "2 b x", "3 a theirs"},
     1,
     0,
     {"a"}},
    {"both edited the same entry alike", true, {"1 a x"}, {"1 a y"}, {"1 a y"}, {"1 a y"}},
    {"without a base a missing entry is not a deletion",
     false,
     {},
     {"1 a x"},
     {"1 a x", "2 b x"},
     {"1 a x", "2 b x"},
     1},
    {"a word twice is matched entry by entry",
     true,
     {"1 a one", "2 a two"},
     {"1 a one", "2 a two", "3 a three"},
     {"1 a one", "2 a 2"},
     {"1 a one", "2 a 2", "3 a three"},
     1},
    {"numbers out of order are kept, new ones follow the last",
     false,
     {},
     {"5 a x", "9 b x"},
     {"5 a x", "9 b x", "10 c x"},
     {"5 a x", "9 b x", "10 c x"},
     1},
    {"an empty list takes theirs", false, {}, {}, {"1 a x", "2 b x"}, {"1 a x", "2 b x"}, 2},
};

class ListMergeCase : public testing::TestWithParam<Case> {};

TEST_P(ListMergeCase, Merges) {
    const Case& c = GetParam();
    const WordList base = List(c.base);
    const ListMergeResult result =
        MergeListCopies(List(c.ours), List(c.theirs), c.hasBase ? &base : nullptr);
    EXPECT_EQ(ListTexts(result.merged), c.merged);
    EXPECT_EQ(result.taken, c.taken);
    EXPECT_EQ(result.removed, c.removed);
    EXPECT_EQ(result.bothChanged, c.bothChanged);
    EXPECT_EQ(result.keptChanged, c.keptChanged);
}

INSTANTIATE_TEST_SUITE_P(Cases, ListMergeCase, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

TEST(ListMerge, BothMachinesMergingTheSamePairGetTheSameList) {
    // Each machine holds the other's copy beside the same file; merging gives one result.
    const WordList file = List({"1 a x", "2 b x", "3 c x"});
    const WordList copy = List({"1 a x", "2 b y", "3 d x"});
    const WordList base = List({"1 a x", "2 b x"});
    EXPECT_EQ(ListTexts(MergeListCopies(file, copy, &base).merged),
              ListTexts(MergeListCopies(file, copy, &base).merged));
    EXPECT_EQ(ListTexts(MergeListCopies(file, copy, &base).merged),
              (std::vector<std::string>{"1 a x", "2 b y", "3 c x", "4 d x"}));
}

TEST(ListMerge, ABaseMadeAfterOneSideAddedIsNotTaken) {
    const struct {
        std::vector<std::string> side, candidate;
        bool descends;
    } cases[] = {
        {{"1 a x", "2 b x"}, {"1 a x"}, true},
        {{"1 a x", "2 b x"}, {}, true},
        {{"1 a x"}, {"1 a x", "2 c x"}, false}, // c was added on the other machine only
        {{"1 a x", "2 c edited"}, {"1 a x", "2 c x"}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MayDescendFrom(List(c.side), List(c.candidate)), c.descends)
            << c.candidate.size();
}

} // namespace
