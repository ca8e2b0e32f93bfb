#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "review/DueQueue.h"
#include "review/Replay.h"

namespace {

using memory::Grade;
using review::CardState;
using review::EventKind;
using review::History;
using review::HistoryEvent;
using review::kDayMs;
using review::Phase;
using review::TimeMs;

const TimeMs kStart = 1'796'721'302'123;

std::string GradeLine(TimeMs time, const std::string& word, Grade grade) {
    HistoryEvent e;
    e.time = time;
    e.word = word;
    e.grade = grade;
    return review::FormatEvent(e);
}

std::string OtherLine(TimeMs time, const std::string& word, EventKind kind,
                      const std::string& newWord, TimeMs retracted) {
    HistoryEvent e;
    e.time = time;
    e.kind = kind;
    e.word = word;
    e.newWord = newWord;
    e.retractedAt = retracted;
    return review::FormatEvent(e);
}

History Parse(const std::vector<std::string>& lines) {
    History history;
    review::HistoryParser parser(history);
    for (const std::string& line : lines)
        parser.Feed(line + "\n");
    parser.Finish();
    return history;
}

bool Same(const CardState* a, const CardState& b) {
    return a && a->phase == b.phase && a->stability == b.stability &&
           a->difficulty == b.difficulty && a->due == b.due && a->lastReview == b.lastReview &&
           a->reps == b.reps && a->lapses == b.lapses && a->step == b.step;
}

// A word graded at each due date, as the scheduler itself sees it, with fuzz on.
struct Walk {
    std::vector<std::string> lines;
    CardState state;
};
Walk WalkWord(const review::Scheduler& scheduler, const std::string& word,
              const std::vector<Grade>& grades, TimeMs start) {
    Walk walk;
    TimeMs now = start;
    for (const Grade g : grades) {
        walk.lines.push_back(GradeLine(now, word, g));
        walk.state = scheduler.Next(walk.state, g, now, review::FuzzSeed(word, walk.state.reps));
        now = walk.state.due + 3'600'000;
    }
    return walk;
}

TEST(Replay, RebuildsWhatTheSchedulerGaveRegardlessOfLineOrderAndDuplicates) {
    const review::Scheduler scheduler;
    const Grade G = Grade::Good, A = Grade::Again, H = Grade::Hard, E = Grade::Easy;
    const Walk one = WalkWord(scheduler, "apple", {G, G, G, A, G, H, G, E}, kStart);
    const Walk two = WalkWord(scheduler, "pear\tx", {E, G, A, A, G}, kStart + 500);
    std::vector<std::string> lines = one.lines;
    lines.insert(lines.end(), two.lines.begin(), two.lines.end());
    std::vector<std::string> shuffled = lines;
    shuffled.insert(shuffled.end(), lines.begin(), lines.begin() + 5); // merged twice
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(3));
    for (const auto& variant : {lines, shuffled}) {
        const review::CardStates states = review::Replay(Parse(variant), scheduler);
        EXPECT_EQ(states.Size(), 2u);
        EXPECT_TRUE(Same(states.Find("apple"), one.state));
        EXPECT_TRUE(Same(states.Find("pear\tx"), two.state));
        EXPECT_EQ(states.Find("plum"), nullptr);
    }
}

TEST(Replay, SkipsRetractedGradesAndFollowsRenames) {
    const review::Scheduler scheduler;
    const Walk plain = WalkWord(scheduler, "colour", {Grade::Good, Grade::Good}, kStart);
    const TimeMs third = plain.state.due;
    std::vector<std::string> lines = plain.lines;
    // A grade taken back leaves the state as if it had never been given.
    lines.push_back(GradeLine(third, "colour", Grade::Again));
    lines.push_back(OtherLine(third + 10, "colour", EventKind::Retract, "", third));
    // A retraction names the word and time: another word's grade at that time stays.
    lines.push_back(GradeLine(third, "other", Grade::Good));
    review::CardStates states = review::Replay(Parse(lines), scheduler);
    EXPECT_TRUE(Same(states.Find("colour"), plain.state));
    ASSERT_NE(states.Find("other"), nullptr);

    // Renamed, the word keeps its history; the old word has none.
    lines.push_back(OtherLine(third + 20, "colour", EventKind::Rename, "color", 0));
    lines.push_back(GradeLine(third + 30, "color", Grade::Good));
    states = review::Replay(Parse(lines), scheduler);
    EXPECT_EQ(states.Find("colour"), nullptr);
    ASSERT_NE(states.Find("color"), nullptr);
    EXPECT_EQ(states.Find("color")->reps, 3);
    EXPECT_EQ(states.Find("color")->firstReview, kStart);
}

// A history in time order is replayed as it stands, and only the events of one moment are put
// in order among themselves; it must come out as the same lines in any other order do.
TEST(Replay, OrdersTheEventsOfOneMomentAsAnyLineOrderWould) {
    const review::Scheduler scheduler;
    const TimeMs t = kStart;
    const std::string colourGrade = GradeLine(t, "colour", Grade::Good);
    struct Case {
        const char* name;
        std::vector<std::string> lines; // in time order, a moment's lines in the worst order
        const char* word;               // and its expected reps
        int reps;
    };
    const std::vector<Case> cases = {
        {"rename written before the grade of its moment",
         {GradeLine(t - kDayMs, "colour", Grade::Good),
          OtherLine(t, "colour", EventKind::Rename, "color", 0), colourGrade,
          GradeLine(t + kDayMs, "color", Grade::Good)},
         "color",
         3},
        {"a line twice with another between",
         {colourGrade, GradeLine(t, "apple", Grade::Easy), colourGrade,
          GradeLine(t, "apple", Grade::Hard)},
         "colour",
         1},
        {"a retraction before the grade it takes back",
         {GradeLine(t - kDayMs, "colour", Grade::Good),
          OtherLine(t, "colour", EventKind::Retract, "", t), colourGrade},
         "colour",
         1},
        {"many words at one moment",
         {GradeLine(t, "c", Grade::Good), GradeLine(t, "b", Grade::Again),
          GradeLine(t, "a", Grade::Hard), GradeLine(t + 1, "c", Grade::Easy),
          GradeLine(t + 1, "a", Grade::Good), GradeLine(t + 1, "c", Grade::Easy)},
         "c",
         2},
    };
    using Snapshot = std::map<std::string, std::tuple<int, int, TimeMs, TimeMs, double, double>>;
    const auto replay = [&](const std::vector<std::string>& lines, review::DayCounts& today,
                            std::vector<review::ReplayedGrade>& grades) {
        Snapshot snapshot;
        review::Replay(Parse(lines), scheduler, t, &today, &grades)
            .ForEach([&](std::string_view word, const CardState& s) {
                snapshot[std::string(word)] = {s.reps,       s.lapses,    s.due,
                                               s.lastReview, s.stability, s.difficulty};
            });
        return snapshot;
    };
    for (const Case& c : cases) {
        review::DayCounts today, todayReversed;
        std::vector<review::ReplayedGrade> grades, gradesReversed;
        const Snapshot inOrder = replay(c.lines, today, grades);
        std::vector<std::string> reversed(c.lines.rbegin(), c.lines.rend());
        EXPECT_EQ(inOrder, replay(reversed, todayReversed, gradesReversed)) << c.name;
        EXPECT_EQ(today.reviews, todayReversed.reviews) << c.name;
        EXPECT_EQ(today.newWords, todayReversed.newWords) << c.name;
        // Words are numbered as they first appear, so grades of one moment may come in either
        // order; as a set they are the same.
        const auto sorted = [](const std::vector<review::ReplayedGrade>& list) {
            std::vector<std::tuple<TimeMs, Grade, Phase>> out;
            for (const review::ReplayedGrade& g : list)
                out.emplace_back(g.time, g.grade, g.before);
            std::sort(out.begin(), out.end());
            return out;
        };
        EXPECT_EQ(sorted(grades), sorted(gradesReversed)) << c.name;
        ASSERT_EQ(inOrder.count(c.word), 1u) << c.name;
        EXPECT_EQ(std::get<0>(inOrder.at(c.word)), c.reps) << c.name;
    }
}

// A line another machine stamped ahead of the merging machine's clock carries the merge time
// first and its own last: it is scheduled from the merge time and retracted by its own.
TEST(Replay, TakesCappedLinesAtTheMergeTimeAndKnowsThemByTheirOwn) {
    const review::Scheduler scheduler;
    const TimeMs ahead = kStart + 10LL * 86'400'000;
    const std::string capped =
        GradeLine(kStart, "tide", Grade::Good) + "\t@" + review::FormatTime(ahead);
    History history = Parse({capped});
    ASSERT_EQ(history.events.size(), 1u);
    EXPECT_EQ(history.unreadableLines, 0u);
    EXPECT_EQ(history.events[0].time, kStart);
    EXPECT_EQ(history.events[0].firstStamped, ahead);
    const review::CardStates states = review::Replay(history, scheduler);
    ASSERT_NE(states.Find("tide"), nullptr);
    EXPECT_EQ(states.Find("tide")->lastReview, kStart);
    const History retracted =
        Parse({capped, OtherLine(kStart + 5, "tide", EventKind::Retract, "", ahead)});
    EXPECT_EQ(review::Replay(retracted, scheduler).Find("tide"), nullptr);
    EXPECT_EQ(Parse({GradeLine(kStart, "tide", Grade::Good) + "\t@soon"}).unreadableLines, 1u);
}

TEST(Replay, CountsTodaysNewWordsAndReviews) {
    const review::Scheduler scheduler;
    const TimeMs today = kStart + 10 * kDayMs;
    const std::vector<std::string> lines = {
        GradeLine(kStart, "old", Grade::Good),       // introduced before today
        GradeLine(today + 5, "old", Grade::Good),    // a review today
        GradeLine(today + 6, "fresh", Grade::Again), // new today
        GradeLine(today + 7, "fresh", Grade::Good),  // a review of it today
        GradeLine(today + 8, "undone", Grade::Good), // taken back: counts nothing
        OtherLine(today + 9, "undone", EventKind::Retract, "", today + 8),
    };
    review::DayCounts counts;
    review::Replay(Parse(lines), scheduler, today, &counts);
    EXPECT_EQ(counts.newWords, 1u);
    EXPECT_EQ(counts.reviews, 2u);
}

WordList List(const std::vector<std::string>& words) {
    WordList list;
    int number = 1;
    for (const std::string& w : words)
        list.Append(WordEntry{number++, w, "", "n.", "meaning of " + w});
    return list;
}

TEST(DueQueue, PutsTheLeastRecalledFirstThenNewWordsUpToTheLimit) {
    review::ScheduleSettings settings;
    settings.fuzz = false;
    const review::Scheduler scheduler(settings);
    review::CardStates states;
    const auto review = [&](const char* word, double stability, TimeMs last, TimeMs due) {
        CardState& s = states[word];
        s.phase = Phase::Review;
        s.stability = stability;
        s.difficulty = 5;
        s.lastReview = last;
        s.due = due;
    };
    const TimeMs now = kStart + 100 * kDayMs;
    review("strong", 50, now - 10 * kDayMs, now - 1); // recall 0.98
    review("weak", 2, now - 10 * kDayMs, now - 1);    // recall 0.69
    review("later", 2, now - 1 * kDayMs, now + 1000); // not due yet
    review("medium", 10, now - 10 * kDayMs, now);     // due this moment, recall 0.9
    const WordList list =
        List({"n1", "strong", "n2", "weak", "later", "n1", "medium", "n3", "weak", "n4"});
    struct Case {
        review::DayLimits limits;
        review::DayCounts today;
        std::vector<std::uint32_t> due, fresh;
        const char* summary;
    };
    const Case cases[] = {
        {{20, 0}, {0, 0}, {3, 6, 1}, {0, 2, 7, 9}, "3 due, 4 new"},
        {{2, 0}, {0, 0}, {3, 6, 1}, {0, 2}, "3 due, 2 new"},
        {{20, 0}, {0, 19}, {3, 6, 1}, {0}, "3 due, 1 new"}, // 19 introduced already today
        {{20, 0}, {0, 25}, {3, 6, 1}, {}, "3 due, 0 new"},
        {{20, 2}, {0, 0}, {3, 6}, {0, 2, 7, 9}, "2 due, 4 new"},
        {{20, 5}, {4, 0}, {3}, {0, 2, 7, 9}, "1 due, 4 new"}, // 4 reviews done today
    };
    for (const Case& c : cases) {
        const review::DueQueue q =
            review::BuildDueQueue(list, states, scheduler, now, c.limits, c.today);
        EXPECT_EQ(q.due, c.due) << c.summary;
        EXPECT_EQ(q.newWords, c.fresh) << c.summary;
        EXPECT_EQ(review::DueSummary(q), c.summary);
    }
}

} // namespace
