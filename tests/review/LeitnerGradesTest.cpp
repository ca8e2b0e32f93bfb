#include "review/LeitnerGrades.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "review/Replay.h"

namespace {

namespace fs = std::filesystem;
using review::LeitnerGrade;
using review::TimeMs;

constexpr TimeMs kDate = 1'268'000'000'000; // 2010-03-07T22:13:20Z

TEST(LeitnerGrades, DatesReadAsUtcAndRefuseAnythingElse) {
    const struct {
        const char* text;
        bool ok;
        TimeMs time;
    } cases[] = {
        {"2010-03-07T22:13:20", true, kDate},
        {"2010-03-07T22:13:20Z", true, kDate},
        {"2010-03-07T22:13:20.250", true, kDate},
        {"2010-03-07 22:13:20", false, 0},
        {"2010-13-07T22:13:20", false, 0},
        {"2010-03-07T22:13", false, 0},
        {"2010-03-07T22:13:20+01:00", false, 0},
        {"1969-12-31T23:59:59", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases) {
        TimeMs time = -1;
        EXPECT_EQ(review::ParseLeitnerDate(c.text, time), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(time, c.time) << c.text;
        }
    }
    EXPECT_EQ(review::FormatLeitnerDate(kDate), "2010-03-07T22:13:20");
}

// Replays a word's starting history and gives back the grade it would be exported with.
LeitnerGrade RoundTrip(const LeitnerGrade& in, std::size_t* events = nullptr) {
    const review::Scheduler scheduler;
    review::History history;
    std::string lines;
    const std::vector<review::HistoryEvent> made = review::StartingHistory("w", in, scheduler);
    if (events)
        *events = made.size();
    review::HistoryParser parser(history);
    for (const review::HistoryEvent& e : made)
        lines += review::FormatEvent(e) + "\n";
    parser.Feed(lines);
    parser.Finish();
    const review::CardStates states = review::Replay(history, scheduler);
    const review::CardState* state = states.Find("w");
    return state ? review::GradeOf(*state) : LeitnerGrade{};
}

TEST(LeitnerGrades, ImportedLevelsComeBackOutInOrderWithTheirDateAndMisses) {
    const struct {
        LeitnerGrade in;
        std::size_t events;
    } cases[] = {
        {{0, 5, 1, kDate}, 0}, // level 0: new
        {{3, 0, 0, kDate}, 0}, // never asked
        {{1, 1, 0, kDate}, 1}, {{2, 2, 0, kDate}, 2},
        {{3, 9, 9, kDate}, 6},                          // three misses at most
        {{5, 6, 4, kDate}, 6},                          // misses no more than count - level
        {{7, 7, 0, kDate}, 7}, {{12, 12, 0, kDate}, 7}, // above the top level: the top
    };
    int previous = 0;
    for (const auto& c : cases) {
        std::size_t events = 0;
        const LeitnerGrade out = RoundTrip(c.in, &events);
        EXPECT_EQ(events, c.events) << c.in.level << "/" << c.in.count;
        if (c.events == 0) {
            EXPECT_EQ(out.level, 0);
            continue;
        }
        EXPECT_EQ(out.date, kDate) << "the last grade falls on the file's date";
        EXPECT_EQ(out.count, static_cast<int>(c.events));
        EXPECT_GE(out.level, 1);
        if (c.in.errors == 0) {
            EXPECT_GE(out.level, previous) << "level " << c.in.level << " came out lower";
            previous = out.level;
        }
    }
    EXPECT_EQ(RoundTrip({7, 7, 0, kDate}).level, 7);
    EXPECT_EQ(RoundTrip({1, 1, 0, kDate}).level, 1);
}

TEST(LeitnerGrades, StartingHistoryNeverReplacesProgressKeptHere) {
    std::string pattern = (fs::temp_directory_path() / "vocamint-leitner-XXXXXX").string();
    const fs::path dir = ::mkdtemp(pattern.data());
    const std::string path = (dir / "reviews.tsv").string();
    const review::Scheduler scheduler;
    std::size_t added = 0;
    std::string message;
    ASSERT_TRUE(review::AppendStartingHistory(path, {{"kept", {2, 2, 0, kDate}}}, scheduler, added,
                                              message))
        << message;
    EXPECT_EQ(added, 1u);
    const std::vector<std::pair<std::string, LeitnerGrade>> imported = {
        {"kept", {7, 7, 0, kDate}}, // already has a history here
        {"fresh", {4, 4, 0, kDate}},
        {"fresh", {7, 7, 0, kDate}}, // the same word twice in one file: the first counts
        {"new", {0, 0, 0, 0}},
    };
    ASSERT_TRUE(review::AppendStartingHistory(path, imported, scheduler, added, message));
    EXPECT_EQ(added, 1u);
    review::History history;
    ASSERT_EQ(review::ReadHistory(path, history, message), review::ReadStatus::Ok);
    const review::CardStates states = review::Replay(history, scheduler);
    EXPECT_EQ(review::GradeOf(*states.Find("kept")).count, 2);
    EXPECT_EQ(review::GradeOf(*states.Find("fresh")).count, 4);
    EXPECT_EQ(states.Find("new"), nullptr);
    // A history that cannot be read takes nothing.
    EXPECT_FALSE(review::AppendStartingHistory(dir.string(), imported, scheduler, added, message));
    EXPECT_FALSE(message.empty());
    fs::remove_all(dir);
}

} // namespace
