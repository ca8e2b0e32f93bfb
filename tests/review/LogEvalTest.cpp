#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "review/LogEval.h"

namespace {

using review::TimeMs;

review::Scheduler NoFuzz() {
    review::ScheduleSettings settings;
    settings.fuzz = false;
    return review::Scheduler(settings);
}

TEST(LogEval, ReadsTimesWithTheirOffsets) {
    struct Case {
        const char* text;
        TimeMs time; // -1: refused
    };
    const Case cases[] = {
        {"2026-12-08T09:15:02Z", 1796721302000},
        {"2026-12-08T09:15:02.123Z", 1796721302123},
        {"2026-12-08T10:15:02.1+01:00", 1796721302100},
        {"2026-12-08T04:15:02.123456-05:00", 1796721302123},
        {"2026-12-08T09:15:02", -1}, // no zone: ambiguous
        {"2026-12-08T09:15:02+1:00", -1},
        {"2026-12-08T09:15:02.Z", -1},
        {"2026-12-08T09:15:02Zx", -1},
    };
    for (const Case& c : cases) {
        TimeMs time = -1;
        EXPECT_EQ(review::ParseIsoTime(c.text, time), c.time >= 0) << c.text;
        if (c.time >= 0) {
            EXPECT_EQ(time, c.time) << c.text;
        }
    }
}

TEST(LogEval, ScoresOnlyReviewsADayOrMoreAfterTheLast) {
    const std::string csv = "review_time,card_id,review_rating,review_duration\r\n"
                            "2024-01-01T10:00:00Z,a,3,1000\r\n"
                            "2024-01-01T10:10:00Z,a,3,1000\r\n" // same day: not scored
                            "2024-01-03T10:10:00Z,a,3,1000\r\n" // two days on: scored
                            "not,a,line\r\n"
                            "2024-01-02T10:00:00Z,b,5,1000\r\n" // no such rating
                            "2024-01-01T09:00:00+00:00,b,4,1000\r\n"
                            "2024-01-11T09:00:00Z,b,1,1000\r\n"; // ten days on: scored
    review::LogReadResult log;
    std::string message;
    ASSERT_TRUE(review::ReadReviewLog(csv, log, message)) << message;
    EXPECT_EQ(log.reviews.size(), 5u);
    EXPECT_EQ(log.badLines, 2u);
    EXPECT_EQ(log.firstBadLine, 5u);
    const review::LogScore score = review::ScoreReviewLog(log.reviews, NoFuzz());
    ASSERT_EQ(score.scored, 2u);
    // Card a: stability 2.3065 after Good, Good; recalled after 2 days.
    // Card b: stability 8.2956 after Easy; forgotten after 10 days.
    const memory::Parameters<double>& w = memory::kDefaultParameters;
    const double pa = memory::Retrievability(w, 2.0, 2.3065);
    const double pb = memory::Retrievability(w, 10.0, 8.2956);
    EXPECT_NEAR(score.logLoss, -(std::log(pa) + std::log(1 - pb)) / 2, 1e-12);
    // Both fall in the bin of 0.9: predicted on average (pa + pb) / 2, recalled half the time.
    ASSERT_EQ(std::lround(pa * 20), 18);
    ASSERT_EQ(std::lround(pb * 20), 18);
    EXPECT_NEAR(score.rmseBins, (pa + pb) / 2 - 0.5, 1e-12);

    EXPECT_FALSE(review::ReadReviewLog("id,rating\n1,3\n", log, message));
    EXPECT_FALSE(review::ReadReviewLog("", log, message));
}

// A learner whose recall follows the model is scored as well calibrated; one who forgets faster
// than the model says is not. Counting elapsed days differently in replay and prediction, or a
// wrong bin, shows here.
TEST(LogEval, SimulatedLearnerIsCalibratedAndAFasterForgetterIsNot) {
    const std::string exact = review::SimulateReviewLog(600, 365, 5);
    EXPECT_EQ(exact, review::SimulateReviewLog(600, 365, 5)); // a seed gives one log
    review::LogReadResult log;
    std::string message;
    ASSERT_TRUE(review::ReadReviewLog(exact, log, message));
    EXPECT_EQ(log.badLines, 0u);
    const review::LogScore good = review::ScoreReviewLog(log.reviews, NoFuzz());
    EXPECT_GT(good.scored, 3000u);
    EXPECT_LT(good.rmseBins, 0.02);

    review::LogReadResult other;
    ASSERT_TRUE(review::ReadReviewLog(review::SimulateReviewLog(600, 365, 5, 3.0), other, message));
    const review::LogScore bad = review::ScoreReviewLog(other.reviews, NoFuzz());
    EXPECT_GT(bad.rmseBins, 0.1);
    EXPECT_GT(bad.logLoss, good.logLoss);
}

} // namespace
