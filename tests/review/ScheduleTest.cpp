#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "review/Schedule.h"

namespace {

using memory::Grade;
using review::CardState;
using review::kDayMs;
using review::kMinuteMs;
using review::Phase;
using review::Scheduler;
using review::TimeMs;

Scheduler NoFuzz() {
    review::ScheduleSettings settings;
    settings.fuzz = false;
    return Scheduler(settings);
}

const TimeMs kStart = 1'669'725'000'000; // 2022-11-29T12:30:00Z

// The published reference case: each grade given the moment the card falls due.
TEST(Scheduler, GivesTheReferenceIntervals) {
    const Scheduler scheduler = NoFuzz();
    const Grade G = Grade::Good, A = Grade::Again;
    const Grade grades[] = {G, G, G, G, G, G, A, A, G, G, G, G, G};
    const std::vector<TimeMs> expected = {0, 2, 11, 46, 163, 498, 0, 0, 2, 4, 7, 12, 21};
    CardState card;
    TimeMs now = kStart;
    std::vector<TimeMs> days;
    for (const Grade g : grades) {
        card = scheduler.Next(card, g, now, 0);
        days.push_back((card.due - card.lastReview) / kDayMs);
        now = card.due;
    }
    EXPECT_EQ(days, expected);
    EXPECT_EQ(card.reps, 13);
    EXPECT_EQ(card.lapses, 1);
    EXPECT_EQ(card.phase, Phase::Review);
}

TEST(Scheduler, EasyTenTimesInASecondBottomsOutDifficulty) {
    const Scheduler scheduler = NoFuzz();
    CardState card;
    for (int i = 0; i < 10; ++i)
        card = scheduler.Next(card, Grade::Easy, kStart + i * 100, 0);
    EXPECT_EQ(card.difficulty, 1.0);
}

TEST(Scheduler, WalksTheLearningAndRelearningSteps) {
    const Scheduler scheduler = NoFuzz();
    struct Case {
        Grade grade;
        Phase phase;
        int step;
        TimeMs delay; // from the grade to the due time
    };
    // From a new card: each row grades the previous row's card when it falls due.
    const Case cases[] = {
        {Grade::Hard, Phase::Learning, 0, 5 * kMinuteMs + 30'000}, // between the two steps
        {Grade::Again, Phase::Learning, 0, 1 * kMinuteMs},
        {Grade::Good, Phase::Learning, 1, 10 * kMinuteMs},
        {Grade::Hard, Phase::Learning, 1, 10 * kMinuteMs},
        {Grade::Good, Phase::Review, 0, 1 * kDayMs},
        {Grade::Again, Phase::Relearning, 0, 10 * kMinuteMs},
        {Grade::Hard, Phase::Relearning, 0, 15 * kMinuteMs}, // one step: half as long again
        {Grade::Good, Phase::Review, 0, 1 * kDayMs},
    };
    CardState card;
    TimeMs now = kStart;
    int row = 0;
    for (const Case& c : cases) {
        card = scheduler.Next(card, c.grade, now, 0);
        EXPECT_EQ(card.phase, c.phase) << "row " << row;
        EXPECT_EQ(card.step, c.step) << "row " << row;
        EXPECT_EQ(card.due - now, c.delay) << "row " << row;
        now = card.due;
        ++row;
    }
    // Easy leaves learning at once.
    const CardState easy = scheduler.Next(CardState{}, Grade::Easy, kStart, 0);
    EXPECT_EQ(easy.phase, Phase::Review);
    EXPECT_EQ(easy.due - kStart, scheduler.IntervalDays(memory::kDefaultParameters[3]) * kDayMs);
}

TEST(Scheduler, CountsElapsedTimeInWholeDays) {
    const Scheduler scheduler = NoFuzz();
    CardState card;
    card.phase = Phase::Review;
    card.stability = 10;
    card.difficulty = 5;
    card.lastReview = kStart;
    // 1 day 23 h counts as 1 day; a clock set back counts as 0.
    EXPECT_DOUBLE_EQ(scheduler.Recall(card, kStart + 2 * kDayMs - 3'600'000),
                     scheduler.Recall(card, kStart + kDayMs));
    EXPECT_DOUBLE_EQ(scheduler.Recall(card, kStart - kDayMs), 1.0);
    // 23 h later is the same day: the short-term formula, which keeps a Good at its stability.
    const CardState same = scheduler.Next(card, Grade::Good, kStart + 23 * 3'600'000, 0);
    EXPECT_DOUBLE_EQ(same.stability, 10.0);
    const CardState later = scheduler.Next(card, Grade::Good, kStart + 24 * 3'600'000, 0);
    EXPECT_GT(later.stability, 10.0);
}

TEST(Scheduler, FuzzStaysInThePublishedRangesAndRepeats) {
    const Scheduler scheduler; // fuzz on
    struct Case {
        int days, low, high;
    };
    const Case cases[] = {
        {1, 1, 1},
        {2, 2, 2},
        {3, 2, 4},
        {7, 5, 9},
        {20, 17, 23},
        {100, 93, 107},
        {36500, 34673, 36500}, // never beyond the maximum
    };
    for (const Case& c : cases) {
        std::map<int, int> seen;
        for (int reps = 0; reps < 2000; ++reps) {
            const int fuzzed = scheduler.FuzzedDays(c.days, review::FuzzSeed("word", reps));
            ASSERT_GE(fuzzed, c.low) << c.days;
            ASSERT_LE(fuzzed, c.high) << c.days;
            ++seen[fuzzed];
        }
        if (c.high - c.low < 100) { // every day of the range is reachable
            EXPECT_EQ(seen.size(), static_cast<std::size_t>(c.high - c.low + 1)) << c.days;
        }
    }
    EXPECT_EQ(review::FuzzSeed("word", 3), review::FuzzSeed("word", 3));
    EXPECT_NE(review::FuzzSeed("word", 3), review::FuzzSeed("word", 4));
    EXPECT_NE(review::FuzzSeed("word", 3), review::FuzzSeed("ward", 3));
}

TEST(Scheduler, KeepsRetentionInItsRangeAndIntervalsInBounds) {
    Scheduler scheduler = NoFuzz();
    EXPECT_FALSE(scheduler.SetDesiredRetention(0.5));
    EXPECT_FALSE(scheduler.SetDesiredRetention(0.995));
    EXPECT_EQ(scheduler.Settings().desiredRetention, 0.9);
    EXPECT_TRUE(scheduler.SetDesiredRetention(0.7));
    EXPECT_EQ(scheduler.IntervalDays(10), 93); // longer intervals at lower retention
    EXPECT_EQ(scheduler.IntervalDays(0.001), 1);
    EXPECT_EQ(scheduler.IntervalDays(1e9), 36500);
}

TEST(FormatInterval, ShowsTheUnitThatFits) {
    struct Case {
        TimeMs span;
        const char* text;
    };
    const Case cases[] = {
        {0, "1 min"},
        {kMinuteMs, "1 min"},
        {10 * kMinuteMs, "10 min"},
        {5 * kMinuteMs + 30'000, "6 min"},
        {5 * 3'600'000, "5 h"},
        {kDayMs, "1 d"},
        {3 * kDayMs, "3 d"},
        {63 * kDayMs, "2.1 mo"},
        {511 * kDayMs, "1.4 y"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(review::FormatInterval(c.span), c.text) << c.span;
}

} // namespace
