// Joining this run's changes with the file's: additions now, edits and deletions once the
// window can make them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ListEntries.h"
#include "words/WordMerge.h"

namespace {

// An entry as "<number> <word> <mean>"; an entry of `ours` is prefixed with its origin and
// '|' ("-1|..." for an addition).
WordList List(const std::vector<std::string>& entries) {
    WordList list = ListFromTexts(entries);
    list.MarkLoaded();
    return list;
}

WordList Ours(const std::vector<std::string>& entries) {
    WordList list;
    for (const std::string& e : entries) {
        const std::size_t bar = e.find('|');
        list.Append(EntryFromText(e.substr(bar + 1)));
        WordPos last = list.Begin();
        for (WordPos pos = last; pos != list.End(); pos = list.Next(pos))
            last = pos;
        list.SetOrigin(last, std::stoi(e.substr(0, bar)));
    }
    return list;
}

struct MergeCase {
    const char* name;
    std::vector<std::string> base, ours, theirs;
    std::vector<std::string> merged;
    std::vector<std::string> dropped = {};
    std::vector<std::string> conflicts = {};
};

const MergeCase kCases[] = {
    {"their addition and ours",
     {"1 a x", "2 b x"},
     {"0|1 a x", "1|2 b x", "-1|3 c x"},
     {"1 a x", "2 b x", "3 d x"},
     {"1 a x", "2 b x", "3 d x", "4 c x"}},
    {"our addition they have already",
     {"1 a x"},
     {"0|1 a x", "-1|2 c mine", "-1|3 e x"},
     {"1 a x", "2 c theirs"},
     {"1 a x", "2 c theirs", "3 e x"},
     {"c"}},
    {"they removed and edited, we only added",
     {"1 a x", "2 b x", "3 c x"},
     {"0|1 a x", "1|2 b x", "2|3 c x", "-1|4 d x"},
     {"1 a y", "2 c x"},
     {"1 a y", "2 c x", "3 d x"}},
    {"additions follow the file's last number",
     {},
     {"-1|1 d x"},
     {"5 a x", "9 b x"},
     {"5 a x", "9 b x", "10 d x"}},
    {"our edit of an entry they left alone",
     {"1 a x", "2 b x"},
     {"0|1 a new", "1|2 b x"},
     {"1 a x", "2 b x", "3 z x"},
     {"1 a new", "2 b x", "3 z x"}},
    {"our deletion renumbers",
     {"1 a x", "2 b x", "3 c x"},
     {"0|1 a x", "2|2 c x"},
     {"1 a x", "2 b x", "3 c x", "4 z x"},
     {"1 a x", "2 c x", "3 z x"}},
    {"our edit and deletion with their addition",
     {"1 a x", "2 b x", "3 c x", "4 d x"},
     {"0|1 a x", "1|2 b new", "3|3 d x", "-1|4 f x"},
     {"1 a x", "2 b x", "3 c x", "4 d x", "5 e x"},
     {"1 a x", "2 b new", "3 d x", "4 e x", "5 f x"}},
    {"our edit takes the number the file gave the entry",
     {"1 a x", "2 b x"},
     {"0|1 a x", "1|2 b new"},
     {"7 b x", "9 a x"},
     {"7 b new", "9 a x"}},
    {"our edit goes to the first entry of its word",
     {"1 a x", "2 b x"},
     {"0|1 a new", "1|2 b x"},
     {"1 a x", "2 b x", "3 a x"},
     {"1 a new", "2 b x", "3 a x"}},
    {"our deletion of an entry they removed too",
     {"1 a x", "2 b x"},
     {"0|1 a x"},
     {"1 a x"},
     {"1 a x"}},
    {"both edited one entry",
     {"1 a x", "2 b x"},
     {"0|1 a mine", "1|2 b x"},
     {"1 a theirs", "2 b x"},
     {},
     {},
     {"a"}},
    {"we edited what they removed",
     {"1 a x", "2 b x"},
     {"0|1 a x", "1|2 b mine"},
     {"1 a x"},
     {},
     {},
     {"b"}},
    {"we deleted what they edited",
     {"1 a x", "2 b x"},
     {"0|1 a x"},
     {"1 a x", "2 b theirs"},
     {},
     {},
     {"b"}},
};

class MergeTest : public testing::TestWithParam<MergeCase> {};

TEST_P(MergeTest, Merges) {
    const MergeCase& c = GetParam();
    const MergeResult result =
        MergeWordLists(PrintEntries(List(c.base)), Ours(c.ours), List(c.theirs));
    EXPECT_EQ(result.conflicts, c.conflicts);
    if (c.conflicts.empty()) {
        EXPECT_EQ(ListTexts(result.merged), c.merged);
        EXPECT_EQ(result.dropped, c.dropped);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MergeTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<MergeCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

} // namespace
