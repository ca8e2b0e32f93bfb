#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "study/RecentLists.h"

namespace {

using Folders = std::vector<std::string>;

struct RecentCase {
    const char* name;
    Folders stored;
    Folders opened;
    Folders after;
};

const RecentCase kCases[] = {
    {"first_opened_goes_first", {"/a", "/b"}, {"/c"}, {"/c", "/a", "/b"}},
    {"reopened_moves_up_once", {"/a", "/b", "/c"}, {"/c"}, {"/c", "/a", "/b"}},
    {"five_at_most", {"/1", "/2", "/3", "/4", "/5"}, {"/6"}, {"/6", "/1", "/2", "/3", "/4"}},
    {"slashes_do_not_make_another_folder", {"/a/b"}, {"/a//b/"}, {"/a/b"}},
    {"root_stays_root", {}, {"/"}, {"/"}},
    {"unkeepable_folders_are_not_remembered",
     {"/a"},
     {"relative", "/line\nbreak", "/trailing ", "/tab\t", ""},
     {"/a"}},
    {"stored_duplicates_bad_and_extra_dropped",
     {"/a", "/a/", "x", "/b", "/c", "/d", "/e", "/f"},
     {},
     {"/a", "/b", "/c", "/d", "/e"}},
};

class RecentListsTest : public ::testing::TestWithParam<RecentCase> {};

TEST_P(RecentListsTest, KeepsTheLastFiveMostRecentFirst) {
    const RecentCase& c = GetParam();
    RecentLists recent(c.stored);
    for (const std::string& folder : c.opened)
        recent.Opened(folder);
    EXPECT_EQ(recent.Folders(), c.after);
}

INSTANTIATE_TEST_SUITE_P(Cases, RecentListsTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecentLists, MenuTextsNameTheFolder) {
    const struct {
        std::size_t place;
        const char* folder;
        const char* text;
    } cases[] = {
        {0, "/home/a/spanish", "&1 spanish"},
        {4, "/home/a/r&b/", "&5 r&&b"},
        {1, "/", "&2 /"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecentLists::MenuText(c.place, c.folder), c.text) << c.folder;
}

} // namespace
