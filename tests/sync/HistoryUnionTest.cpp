// Review histories of two machines joined as sets of lines, with clocks that disagree.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "sync/HistoryUnion.h"
#include "tests/support/FileBytes.h"

namespace {

constexpr const char* kNow = "2026-12-08T10:00:00.000Z";

struct Case {
    const char* name;
    std::string ours, theirs, merged;
    std::size_t added = 0;
    std::size_t capped = 0;
};

const Case kCases[] = {
    {"nothing new leaves the bytes as they were",
     "2026-12-08T09:00:00.000Z\tb\t3\n2026-12-08T08:00:00.000Z\ta\t3\n",
     "2026-12-08T08:00:00.000Z\ta\t3\n",
     "2026-12-08T09:00:00.000Z\tb\t3\n2026-12-08T08:00:00.000Z\ta\t3\n"},
    {"duplicates on both sides are kept once, in the order of their stamps",
     "2026-12-08T09:00:00.000Z\tb\t3\n2026-12-08T09:00:00.000Z\tb\t3\n",
     "2026-12-08T08:00:00.000Z\ta\t1\n2026-12-08T09:00:00.000Z\tb\t3\n"
     "2026-12-08T08:00:00.000Z\ta\t1\n",
     "2026-12-08T08:00:00.000Z\ta\t1\n2026-12-08T09:00:00.000Z\tb\t3\n", 1},
    {"a stamp ahead of this clock counts from the merge", "2026-12-08T09:00:00.000Z\ta\t3\n",
     "2026-12-08T10:05:00.000Z\tb\t4\n",
     "2026-12-08T09:00:00.000Z\ta\t3\n2026-12-08T10:00:00.000Z\tb\t4\t@2026-12-08T10:05:00.000Z\n",
     1, 1},
    {"the capped version replaces the line as the fast clock stamped it",
     "2026-12-08T10:05:00.000Z\tb\t4\n",
     "2026-12-08T09:59:00.000Z\tb\t4\t@2026-12-08T10:05:00.000Z\n",
     "2026-12-08T09:59:00.000Z\tb\t4\t@2026-12-08T10:05:00.000Z\n"},
    {"a line capped on both machines at different times is kept once, as capped first",
     "2026-12-08T09:59:00.000Z\tb\t4\t@2026-12-08T10:05:00.000Z\n",
     "2026-12-08T09:58:00.000Z\tb\t4\t@2026-12-08T10:05:00.000Z\n",
     "2026-12-08T09:58:00.000Z\tb\t4\t@2026-12-08T10:05:00.000Z\n"},
    {"our own line from the future counts from the merge too", "2026-12-08T10:30:00.000Z\tb\t4\n",
     "2026-12-08T08:00:00.000Z\ta\t1\n",
     "2026-12-08T08:00:00.000Z\ta\t1\n2026-12-08T10:00:00.000Z\tb\t4\t@2026-12-08T10:30:00.000Z\n",
     1, 1},
    {"a future line on both sides is capped once", "2026-12-08T10:30:00.000Z\tb\t4\n",
     "2026-12-08T10:30:00.000Z\tb\t4\n",
     "2026-12-08T10:00:00.000Z\tb\t4\t@2026-12-08T10:30:00.000Z\n", 0, 1},
    {"comments stay first; theirs are left out; their cut-off line is ignored",
     "# history\n2026-12-08T09:00:00.000Z\tb\t3\n",
     "# other\n2026-12-08T08:00:00.000Z\ta\t1\n2026-12-08T08:30:00.0",
     "# history\n2026-12-08T08:00:00.000Z\ta\t1\n2026-12-08T09:00:00.000Z\tb\t3\n", 1},
    {"our cut-off last line stays last, as it was",
     "2026-12-08T09:00:00.000Z\tb\t3\n2026-12-08T09:3", "2026-12-08T08:00:00.000Z\ta\t1\n",
     "2026-12-08T08:00:00.000Z\ta\t1\n2026-12-08T09:00:00.000Z\tb\t3\n2026-12-08T09:3", 1},
    {"lines without a stamp are joined by their text", "junk\n", "junk\nmore junk\n",
     "junk\nmore junk\n", 1},
    {"an empty file takes theirs", "", "2026-12-08T08:00:00.000Z\ta\t1\n",
     "2026-12-08T08:00:00.000Z\ta\t1\n", 1},
};

class HistoryCase : public testing::TestWithParam<Case> {};

TEST_P(HistoryCase, Unites) {
    const Case& c = GetParam();
    const HistoryUnion result = UniteHistories(c.ours, c.theirs, kNow);
    EXPECT_EQ(result.merged, c.merged);
    EXPECT_EQ(result.added, c.added);
    EXPECT_EQ(result.capped, c.capped);
    EXPECT_EQ(result.changed, result.merged != c.ours);
}

INSTANTIATE_TEST_SUITE_P(Cases, HistoryCase, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                             return "case" + std::to_string(info.index);
                         });

TEST(HistoryUnion, UnitingAgainChangesNothing) {
    const std::string ours = "2026-12-08T09:00:00.000Z\tb\t3\n2026-12-08T11:00:00.000Z\tx\t1\n";
    const std::string theirs = "2026-12-08T08:00:00.000Z\ta\t1\n2026-12-08T12:00:00.000Z\ty\t1\n";
    const HistoryUnion once = UniteHistories(ours, theirs, kNow);
    for (const std::string& other : {ours, theirs})
        EXPECT_FALSE(UniteHistories(once.merged, other, kNow).changed) << other;
}

TEST(HistoryUnion, EitherOrderGivesTheSameBytes) {
    const std::string a = "2026-12-08T09:00:00.000Z\tb\t3\n2026-12-08T07:00:00.000Z\tz\t3\n";
    const std::string b = "2026-12-08T08:00:00.000Z\ta\t1\n2026-12-08T09:00:00.000Z\ta\t2\n";
    EXPECT_EQ(UniteHistories(a, b, kNow).merged, UniteHistories(b, a, kNow).merged);
}

TEST(HistoryUnion, Stamps) {
    EXPECT_EQ(HistoryStamp({1796722502, 123456789}), "2026-12-08T09:35:02.123Z");
    for (const char* bad : {"2026-12-08T09:35:02.123", "2026-12-08 09:35:02.123Z",
                            "2026-12-08T09:35:02,123Z", "x026-12-08T09:35:02.123Z", ""})
        EXPECT_FALSE(IsHistoryStamp(bad)) << bad;
    EXPECT_TRUE(IsHistoryStamp("2026-12-08T09:35:02.123Z"));
    // Only a line from the future changes, and only once.
    const std::string future = "2027-01-01T00:00:00.000Z\tw\t3";
    const std::string capped = CapFutureStamp(future, kNow);
    EXPECT_EQ(capped, std::string(kNow) + "\tw\t3\t@2027-01-01T00:00:00.000Z");
    EXPECT_EQ(CapFutureStamp(capped, "2026-12-08T09:00:00.000Z"), capped);
    EXPECT_EQ(UnionKey(capped), future);
    EXPECT_EQ(CapFutureStamp("2026-12-08T09:00:00.000Z\tw", kNow), "2026-12-08T09:00:00.000Z\tw");
    EXPECT_EQ(CapFutureStamp("no stamp", kNow), "no stamp");
}

TEST(HistoryFollower, GivesEachLineOnceAsTheFileChanges) {
    const std::filesystem::path dir = testing::TempDir() + "/follower";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const Folder folder = Folder::Open(dir.string());
    HistoryFollower follower("reviews.tsv");
    std::vector<std::string> lines;

    EXPECT_TRUE(follower.NewLines(folder, kNow, lines));
    EXPECT_TRUE(lines.empty()) << "a missing file has no lines";

    WriteBytes(dir / "reviews.tsv", "# h\n2026-12-08T08:00:00.000Z\ta\t1\n");
    EXPECT_TRUE(follower.NewLines(folder, kNow, lines));
    EXPECT_EQ(lines, std::vector<std::string>{"2026-12-08T08:00:00.000Z\ta\t1"});
    EXPECT_TRUE(follower.NewLines(folder, kNow, lines));
    EXPECT_TRUE(lines.empty());

    // The other machine's version arrives by rename: its own lines are new, ours are not.
    WriteBytes(dir / "new.tsv", "2026-12-08T08:00:00.000Z\ta\t1\n2026-12-08T11:00:00.000Z\tb\t2\n"
                                "2026-12-08T09:00:00.000Z\tc\t3\n2026-12-08T09:01");
    std::filesystem::rename(dir / "new.tsv", dir / "reviews.tsv");
    EXPECT_TRUE(follower.NewLines(folder, kNow, lines));
    EXPECT_EQ(lines,
              (std::vector<std::string>{std::string(kNow) + "\tb\t2\t@2026-12-08T11:00:00.000Z",
                                        "2026-12-08T09:00:00.000Z\tc\t3"}));

    std::filesystem::remove(dir / "reviews.tsv");
    std::filesystem::create_directory(dir / "reviews.tsv");
    EXPECT_FALSE(follower.NewLines(folder, kNow, lines)) << "not a file";
}

} // namespace
