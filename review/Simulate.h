// Runs the memory model forward in time: the review load a desired retention would bring, and
// learners whose recall follows known parameters (to check that a fit finds them).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "review/Fit.h"
#include "review/MemoryModel.h"

namespace review {

struct RetentionLoad {
    double retention = 0.9;
    double reviewsPerDay = 0;
};

// The reviews a day, averaged over the next `days` days from `now`, that the learner's current
// words would take at each desired retention, their memory following `w`. Each review is
// recalled with the model's probability (drawn from a fixed seed, so the figures repeat); a
// forgotten word takes one more review that day to relearn it. New words are not counted.
std::vector<RetentionLoad> ReviewLoad(const ReviewLog& log, const memory::Parameters<double>& w,
                                      TimeMs now, std::span<const double> retentions,
                                      int days = 365, int maximumIntervalDays = 36500);

inline constexpr double kAdvisedRetentions[] = {0.80, 0.85, 0.90, 0.95};

struct LearnerOptions {
    memory::Parameters<double> truth = memory::kDefaultParameters;     // how the learner recalls
    memory::Parameters<double> scheduled = memory::kDefaultParameters; // what the schedule uses
    int words = 500;
    int newPerDay = 20;
    int days = 120;
    double retention = 0.9;
    TimeMs start = 1'700'000'000'000;
    std::uint64_t seed = 1;
};

// The grades of a simulated learner who studies every day: new words up to newPerDay, then the
// words the schedule says are due. A new word answered Again or Hard is seen once more ten
// minutes later, as is a forgotten word.
ReviewLog SimulateLearner(const LearnerOptions& options);

} // namespace review
