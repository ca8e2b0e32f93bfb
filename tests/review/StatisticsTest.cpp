#include "review/Statistics.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "review/ReviewText.h"

namespace {

using memory::Grade;
using review::CardState;
using review::kDayMs;
using review::kMinuteMs;
using review::Phase;
using review::ReplayedGrade;
using review::TimeMs;

constexpr TimeMs kHour = 3'600'000;

// Sets the time zone for one test and puts the old one back.
class ZoneTest : public ::testing::Test {
protected:
    void SetZone(const char* zone) {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    void TearDown() override {
        if (m_old)
            ::setenv("TZ", m_oldValue.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    const char* m_old = std::getenv("TZ");
    std::string m_oldValue = m_old ? m_old : "";
};

// 2026-03-29 is the day Berlin moves its clocks on: 23 hours long there.
constexpr TimeMs kMar29Utc = 1'774'742'400'000; // 2026-03-29T00:00:00Z

TEST_F(ZoneTest, DaysAreLocalCalendarDaysOfAnyLength) {
    const struct {
        const char* zone;
        TimeMs now;
        std::vector<TimeMs> lengths; // of the days from the one holding `now`
    } cases[] = {
        {"UTC", kMar29Utc + 5 * kHour, {24 * kHour, 24 * kHour, 24 * kHour}},
        {"Europe/Berlin", kMar29Utc + 5 * kHour, {23 * kHour, 24 * kHour, 24 * kHour}},
        {"Europe/Berlin", kMar29Utc - 2 * kHour, {24 * kHour, 23 * kHour, 24 * kHour}},
    };
    for (const auto& c : cases) {
        SetZone(c.zone);
        const std::vector<TimeMs> starts = review::DayStarts(c.now, 4);
        ASSERT_EQ(starts.size(), 4u);
        EXPECT_LE(starts[0], c.now);
        EXPECT_GT(starts[1], c.now);
        for (std::size_t i = 0; i < c.lengths.size(); ++i)
            EXPECT_EQ(starts[i + 1] - starts[i], c.lengths[i]) << c.zone << " day " << i;
    }
}

TEST_F(ZoneTest, ReviewsAndRecallAreCountedOnTheirDayAndWeek) {
    SetZone("Europe/Berlin");
    const TimeMs now = kMar29Utc + 20 * kHour; // the evening of the short day
    const TimeMs today = review::LocalDayStart(now);
    const std::vector<ReplayedGrade> grades = {
        {today - 400 * kDayMs, Grade::Good, Phase::Review}, // over a year ago: not shown
        {today - 8 * kDayMs, Grade::Again, Phase::Review},  // the week before
        {today - 1, Grade::Good, Phase::Review},            // the last moment of yesterday
        {today, Grade::Again, Phase::Review},               // the first of today
        {today + kHour, Grade::Good, Phase::New},           // learning: no recall share
        {today + 2 * kHour, Grade::Hard, Phase::Review},
        {now + kDayMs, Grade::Good, Phase::Review}, // a clock ahead: after today, not shown
    };
    const std::vector<int> days = review::ReviewsPerDay(grades, now, 365);
    ASSERT_EQ(days.size(), 365u);
    EXPECT_EQ(days[364], 3);
    EXPECT_EQ(days[363], 1);
    EXPECT_EQ(days[364 - 8], 1);
    int total = 0;
    for (const int n : days)
        total += n;
    EXPECT_EQ(total, 5);

    const std::vector<review::WeekShare> weeks = review::RecalledPerWeek(grades, now, 4);
    ASSERT_EQ(weeks.size(), 4u);
    EXPECT_EQ(weeks[3].reviewed, 3); // yesterday's Good, today's Again and Hard
    EXPECT_EQ(weeks[3].recalled, 2);
    EXPECT_EQ(weeks[2].reviewed, 1);
    EXPECT_EQ(weeks[2].recalled, 0);
    EXPECT_DOUBLE_EQ(weeks[3].Share(), 2.0 / 3.0);
    EXPECT_EQ(weeks[0].Share(), 0.0);
    EXPECT_TRUE(review::ReviewsPerDay(grades, now, 0).empty());
}

TEST_F(ZoneTest, DueDaysAndCardCountsFollowTheStates) {
    SetZone("UTC");
    const TimeMs now = kMar29Utc + 10 * kHour;
    WordList list;
    const struct {
        const char* word;
        Phase phase;
        TimeMs lastReview;
        TimeMs due;
    } cards[] = {
        {"new", Phase::New, 0, 0},
        {"overdue", Phase::Review, now - 30 * kDayMs, now - 2 * kDayMs},
        {"learning", Phase::Learning, now, now + 10 * kMinuteMs},
        {"young", Phase::Review, now, now + 20 * kDayMs + kHour},
        {"mature", Phase::Review, now - kDayMs, now + 21 * kDayMs - kDayMs},
        {"relearning", Phase::Relearning, now, now + 15 * kHour}, // tomorrow 01:00
        {"far", Phase::Review, now, now + 200 * kDayMs},
    };
    review::CardStates states;
    int number = 1;
    for (const auto& c : cards) {
        list.Append(WordEntry{number++, c.word, "", "", "m"});
        if (c.phase != Phase::New) {
            CardState& s = states[c.word];
            s.phase = c.phase;
            s.lastReview = c.lastReview;
            s.due = c.due;
        }
    }
    list.Append(WordEntry{number++, "young", "", "", "again"}); // the same card once
    list.Append(WordEntry{number++, "unseen", "", "", "m"});

    const std::vector<int> due = review::DuePerDay(states, now, 30);
    ASSERT_EQ(due.size(), 30u);
    EXPECT_EQ(due[0], 2);  // overdue and learning
    EXPECT_EQ(due[1], 1);  // relearning
    EXPECT_EQ(due[20], 2); // young and mature
    int total = 0;
    for (const int n : due)
        total += n;
    EXPECT_EQ(total, 5) << "the card due in 200 days is past the 30 shown";

    const review::CardCounts counts = review::CountCards(list, states);
    EXPECT_EQ(counts.newWords, 2u);
    EXPECT_EQ(counts.learning, 2u);
    EXPECT_EQ(counts.young, 1u);
    EXPECT_EQ(counts.mature, 3u); // overdue (28 days), mature and far
}

TEST(ReviewText, SummaryAndDifferenceRead) {
    const TimeMs now = kMar29Utc;
    const struct {
        review::SessionSummary summary;
        const char* text;
    } summaries[] = {
        {{0, 0, 0, 0}, "Nothing to review now."},
        {{0, 0, 0, now + 10 * kMinuteMs},
         "Nothing to review now. The next word falls due in 10 min."},
        {{3, 2, 45'400, 0}, "Reviewed 3, recalled 2 (67%) in 45 s."},
        {{5, 5, 125'000, now + 3 * kDayMs},
         "Reviewed 5, recalled 5 (100%) in 2 min. The next word falls due in 3 d."},
    };
    for (const auto& c : summaries)
        EXPECT_EQ(review::SummaryText(c.summary, now), c.text);

    const struct {
        const char* typed;
        const char* expected;
        const char* text;
    } answers[] = {
        {"Apple", "apple", "Exact."},
        {"aple", "apple", "ap[p]le"},
        {"apples", "apple", "apple{s}"},
        {"", "apple", "[apple]"},
    };
    for (const auto& c : answers)
        EXPECT_EQ(review::AnswerDiffText(review::CheckAnswer(c.typed, c.expected)), c.text)
            << c.typed;

    EXPECT_EQ(review::GradeName(Grade::Hard, true), "");
    EXPECT_EQ(review::GradeName(Grade::Good, true), "2 Knew");
    EXPECT_EQ(review::GradeName(Grade::Easy, false), "4 Easy");
}

} // namespace
