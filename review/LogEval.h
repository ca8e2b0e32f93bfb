// Scores the memory model on a review log in the open CSV form
// (card_id,review_rating,review_time,review_duration): each card is replayed in time order, and
// the recall predicted just before each review made a day or more after the card's previous one
// is compared with what the learner answered.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "review/Schedule.h"

namespace review {

struct LogReview {
    std::string card;
    memory::Grade grade = memory::Grade::Good;
    TimeMs time = 0;
};

struct LogReadResult {
    std::vector<LogReview> reviews;
    std::uint64_t badLines = 0;
    std::uint64_t firstBadLine = 0;
};

// "2024-01-02T10:00:00+02:00", with or without fractions of a second, "Z" for UTC.
bool ParseIsoTime(std::string_view text, TimeMs& time);

// Parses the CSV text: the header line names the columns (any order, extra columns ignored);
// a line that does not read is counted and skipped. Linear; no quoting (card ids are plain).
bool ReadReviewLog(std::string_view text, LogReadResult& result, std::string& message);

struct LogScore {
    std::uint64_t scored = 0;
    double logLoss = 0;
    double rmseBins = 0; // over 20 bins of predicted recall, each weighted by its count
};

LogScore ScoreReviewLog(std::vector<LogReview> reviews, const Scheduler& scheduler);

// A made-up log: `cards` cards reviewed when due for `days` days by a learner whose recall is
// drawn with the probability the model predicts (raised to `recallPower`, 1 for a learner the
// model fits exactly). The same seed gives the same log.
std::string SimulateReviewLog(int cards, int days, std::uint32_t seed, double recallPower = 1.0);

} // namespace review
