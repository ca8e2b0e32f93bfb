// Fitting the schedule to the learner as the learner asks for it: hold back the most recent
// reviews, fit the rest, and keep the fitted parameters only if they predict the held-back
// reviews better than the current ones. Runs on any thread; Cancel works from any other.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "review/Fit.h"
#include "review/LogEval.h"
#include "review/MemoryModel.h"

namespace review {

// Offered from this many scored reviews on: with fewer, the defaults predict as well.
inline constexpr std::size_t kMinReviewsToFit = 1000;
// The share of the scored reviews, the most recent, that judges the fitted parameters.
inline constexpr double kHeldOutShare = 0.2;

struct FitComparison {
    FitStatus status = FitStatus::TooFewReviews;
    memory::Parameters<double> current = memory::kDefaultParameters;
    memory::Parameters<double> fitted = memory::kDefaultParameters;
    double currentLoss = 0; // on the held-out reviews
    double fittedLoss = 0;
    std::size_t fittedReviews = 0; // scored reviews the fit used
    std::size_t heldOutReviews = 0;
    // The fitted parameters did better on the held-out reviews: they may be kept.
    bool Better() const { return status == FitStatus::Fitted && fittedLoss < currentLoss; }
};

// One fit of one history against the parameters in use.
class FitJob {
public:
    FitJob(ReviewLog log, const memory::Parameters<double>& current);
    FitJob(const FitJob&) = delete;
    FitJob& operator=(const FitJob&) = delete;

    bool Offered() const { return m_scored >= kMinReviewsToFit; }
    std::size_t ScoredReviews() const { return m_scored; }

    // Fits and compares; `progress` gets the fraction done, on the calling thread. Returns
    // status Cancelled, keeping nothing, once Cancel was called.
    FitComparison Run(const FitProgress& progress = nullptr);
    void Cancel() { m_cancel.store(true); }
    bool Cancelled() const { return m_cancel.load(); }

    const ReviewLog& Log() const { return m_log; }

private:
    ReviewLog m_log;
    memory::Parameters<double> m_current;
    std::size_t m_scored = 0;
    std::atomic<bool> m_cancel{false};
};

// Fits `log` before `split` and scores `current` and the fit on the reviews in [split, until),
// every word's state built from its whole history before them. FitJob::Run uses it with the
// most recent kHeldOutShare of the reviews; an evaluation may split elsewhere.
FitComparison CompareFit(const ReviewLog& log, const memory::Parameters<double>& current,
                         TimeMs split, TimeMs until = INT64_MAX,
                         const std::atomic<bool>* cancel = nullptr,
                         const FitProgress& progress = nullptr);

// The parameters a learner who fits the reviews before `until` ends up using: the fit, when it
// beats `current` on the most recent kHeldOutShare of those reviews, else `current`.
memory::Parameters<double> KeptParameters(const ReviewLog& log,
                                          const memory::Parameters<double>& current, TimeMs until);

// The reviews of a CSV log grouped by card, each card's in time order.
ReviewLog GroupByCard(const std::vector<LogReview>& reviews);

// A fit judged by time: the reviews before the median scored review are fitted, and the
// defaults, the raw fit and the parameters kept (KeptParameters) are scored on the rest.
struct TimeSplitScores {
    std::size_t scored = 0; // in the later half
    double defaults = 0, fitted = 0, kept = 0;
};
TimeSplitScores ScoreFitByTime(const ReviewLog& log);

// What the fit window says: why fitting is not offered yet, and the outcome of a fit.
std::string OfferText(std::size_t scoredReviews);
std::string OutcomeText(const FitComparison& comparison);

// The grades of the history file at `historyPath` (a missing file is an empty history); false,
// with `message` for the learner, when it cannot be read.
bool ReadHistoryGrades(const std::string& historyPath, ReviewLog& log, std::string& message);

// Keeps parameters (in env.ini's [Review] section); false, with `message`, when it could not.
using ParameterStore =
    std::function<bool(const memory::Parameters<double>& w, std::string& message)>;

// The fit without a window: reads the history, fits when offered, writes the outcome and the
// progress to `out`, and keeps the fit through `store` only when it did better. Returns the
// exit status: 0 when the fit ran (kept or not), 1 when it could not run or keep.
int FitCommand(const std::string& historyPath, const memory::Parameters<double>& current,
               const ParameterStore& store, std::FILE* out);

// The parameters as env.ini keeps them: 21 numbers separated by ", ".
std::string FormatParameters(const memory::Parameters<double>& w);
// Refuses (nullopt) anything but 21 finite numbers within the model's bounds.
std::optional<memory::Parameters<double>> ParseParameters(std::string_view text);

} // namespace review
