// Fits the memory model's parameters to one learner's review history: the parameters that
// best predict whether the learner recalled each word, a day or more after its last review.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "review/MemoryModel.h"
#include "review/Schedule.h"

namespace review {

// One grade of one word.
struct GradeAt {
    TimeMs time = 0;
    memory::Grade grade = memory::Grade::Good;
};

// The grades of every word, each word's in time order, one after the other in one array: the
// grades of word c are grades[starts[c]] up to grades[starts[c + 1]].
struct ReviewLog {
    std::vector<GradeAt> grades;
    std::vector<std::uint32_t> starts{0};

    std::size_t WordCount() const { return starts.size() - 1; }
    // Adds a word; its grades are sorted by time here.
    void AddWord(std::vector<GradeAt> wordGrades);
};

// Whole days from one review to the next, as the scheduler counts them.
inline std::int64_t DaysBetween(TimeMs from, TimeMs to) {
    return to <= from ? 0 : (to - from) / kDayMs;
}

// A review is scored when it follows the word's previous review by at least a day: only then
// does the model predict its outcome (a review on the same day mostly tests short-term memory).
std::size_t ScoredReviewCount(const ReviewLog& log, TimeMs until = INT64_MAX);

// Mean log loss of predicted recall over the scored reviews made in [from, until), each word's
// state built by replaying its whole history before it. `count` receives how many were scored;
// with none the loss is 0.
double LogLoss(const ReviewLog& log, const memory::Parameters<double>& w, TimeMs from, TimeMs until,
               std::size_t* count = nullptr);

// A word's memory after its grades before `until` (stability 0 for none).
struct WordMemory {
    double stability = 0;
    double difficulty = 0;
    TimeMs lastReview = 0;
};
WordMemory MemoryOf(const ReviewLog& log, std::size_t word, const memory::Parameters<double>& w,
                    TimeMs until = INT64_MAX);

// The time from which the most recent `fraction` of the scored reviews before `until` were
// made; INT64_MAX when that is none.
TimeMs RecentStart(const ReviewLog& log, double fraction, TimeMs until = INT64_MAX);

struct FitOptions {
    TimeMs until = INT64_MAX; // only reviews made before this time are fitted
    int epochs = 5;
    std::size_t batchSize = 512;
    double learningRate = 4e-2;
    // Weight of the pull towards the starting parameters; the data's weight grows with the
    // number of reviews, so the pull matters most for a short history.
    double penalty = 5.0;
    std::uint64_t seed = 2023;
};

enum class FitStatus { Fitted, TooFewReviews, Cancelled };

struct FitResult {
    FitStatus status = FitStatus::TooFewReviews;
    memory::Parameters<double> parameters = memory::kDefaultParameters;
    std::size_t scoredReviews = 0;
    std::size_t skippedSteps = 0; // steps whose gradient was not finite
};

// Called with the fraction done (0 to 1); runs on the fitting thread.
using FitProgress = std::function<void(double)>;

// Fits the parameters to the reviews before options.until: first each grade's initial
// stability from the recall at the word's first review a day or more later, then all
// parameters by Adam on the log loss with a cosine learning rate. The parameters stay within
// memory::kLowerBounds/kUpperBounds and finite throughout; a step whose gradient is not finite
// is skipped. Stops early, returning Cancelled and the defaults, once `cancel` is set.
FitResult FitParameters(const ReviewLog& log, const FitOptions& options,
                        const std::atomic<bool>* cancel = nullptr,
                        const FitProgress& progress = nullptr);

// The initial stability of each first grade alone, fitted to the recall at the word's first
// review a day or more later; grades never given first get the defaults scaled like the rest.
memory::Parameters<double> FitInitialStability(const ReviewLog& log, TimeMs until);

} // namespace review
