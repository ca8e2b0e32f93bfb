#include "review/FitJob.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "base/AsciiText.h"
#include "base/Counted.h"
#include "review/History.h"
#include "review/Replay.h"

namespace review {

FitJob::FitJob(ReviewLog log, const memory::Parameters<double>& current)
    : m_log(std::move(log)), m_current(memory::ClampToBounds(current)),
      m_scored(ScoredReviewCount(m_log)) {}

FitComparison FitJob::Run(const FitProgress& progress) {
    return CompareFit(m_log, m_current, RecentStart(m_log, kHeldOutShare), INT64_MAX, &m_cancel,
                      progress);
}

memory::Parameters<double> KeptParameters(const ReviewLog& log,
                                          const memory::Parameters<double>& current, TimeMs until) {
    const FitComparison result =
        CompareFit(log, current, RecentStart(log, kHeldOutShare, until), until);
    return result.Better() ? result.fitted : current;
}

FitComparison CompareFit(const ReviewLog& log, const memory::Parameters<double>& current,
                         TimeMs split, TimeMs until, const std::atomic<bool>* cancel,
                         const FitProgress& progress) {
    FitComparison comparison;
    comparison.current = current;
    FitOptions options;
    options.until = split;
    // Scoring the two parameter sets takes about as long as one epoch of the fit.
    const double fitShare = options.epochs / (options.epochs + 1.0);
    const FitResult fit = FitParameters(log, options, cancel, [&](double done) {
        if (progress)
            progress(done * fitShare);
    });
    comparison.status = fit.status;
    comparison.fittedReviews = fit.scoredReviews;
    if (fit.status != FitStatus::Fitted)
        return comparison;
    comparison.fitted = fit.parameters;
    comparison.currentLoss = LogLoss(log, current, split, until, &comparison.heldOutReviews);
    if (cancel && cancel->load()) {
        comparison.status = FitStatus::Cancelled;
        return comparison;
    }
    comparison.fittedLoss = LogLoss(log, fit.parameters, split, until);
    // Nothing held out says nothing in the fit's favour.
    if (comparison.heldOutReviews == 0)
        comparison.status = FitStatus::TooFewReviews;
    if (progress)
        progress(1.0);
    return comparison;
}

ReviewLog GroupByCard(const std::vector<LogReview>& reviews) {
    std::unordered_map<std::string_view, std::size_t> index;
    std::vector<std::vector<GradeAt>> cards;
    for (const LogReview& r : reviews) {
        const auto [it, added] = index.emplace(r.card, cards.size());
        if (added)
            cards.emplace_back();
        cards[it->second].push_back({r.time, r.grade});
    }
    ReviewLog log;
    for (auto& grades : cards)
        log.AddWord(std::move(grades));
    return log;
}

TimeSplitScores ScoreFitByTime(const ReviewLog& log) {
    TimeSplitScores s;
    const TimeMs half = RecentStart(log, 0.5);
    s.defaults = LogLoss(log, memory::kDefaultParameters, half, INT64_MAX, &s.scored);
    FitOptions options;
    options.until = half;
    s.fitted = LogLoss(log, FitParameters(log, options).parameters, half, INT64_MAX);
    s.kept = LogLoss(log, KeptParameters(log, memory::kDefaultParameters, half), half, INT64_MAX);
    return s;
}

std::string OfferText(std::size_t scoredReviews) {
    std::string text = "Your history holds " + Counted(scoredReviews, "review", "reviews") +
                       " made a day or more after the word's previous review.";
    if (scoredReviews < kMinReviewsToFit)
        text += " Fitting needs " + std::to_string(kMinReviewsToFit) +
                ": until then the default parameters predict as well.";
    return text;
}

std::string OutcomeText(const FitComparison& c) {
    if (c.status == FitStatus::Cancelled)
        return "The fit was cancelled. Nothing was changed.";
    if (c.status == FitStatus::TooFewReviews)
        return "Too few reviews to fit. Nothing was changed.";
    char losses[160];
    std::snprintf(losses, sizeof losses,
                  "Log loss on your latest %s (lower is better): current %.4f, fitted %.4f.",
                  Counted(c.heldOutReviews, "review", "reviews").c_str(), c.currentLoss,
                  c.fittedLoss);
    return std::string(losses) +
           (c.Better() ? " The fitted parameters predict your recall better."
                       : " The fitted parameters do not predict your recall better: the current "
                         "ones stay.");
}

bool ReadHistoryGrades(const std::string& historyPath, ReviewLog& log, std::string& message) {
    History history;
    const ReadStatus status = ReadHistory(historyPath, history, message);
    if (status != ReadStatus::Ok && status != ReadStatus::Missing)
        return false;
    log = GradesByWord(history);
    return true;
}

int FitCommand(const std::string& historyPath, const memory::Parameters<double>& current,
               const ParameterStore& store, std::FILE* out) {
    ReviewLog log;
    std::string message;
    if (!ReadHistoryGrades(historyPath, log, message)) {
        std::fprintf(out, "%s\n", message.c_str());
        return 1;
    }
    FitJob job(std::move(log), current);
    std::fprintf(out, "%s\n", OfferText(job.ScoredReviews()).c_str());
    if (!job.Offered())
        return 1;
    int shown = -10;
    const FitComparison result = job.Run([&](double done) {
        const int percent = static_cast<int>(done * 100);
        if (percent / 10 != shown / 10) {
            shown = percent;
            std::fprintf(out, "Fitting... %d%%\n", percent);
            std::fflush(out);
        }
    });
    std::fprintf(out, "%s\n", OutcomeText(result).c_str());
    if (!result.Better())
        return result.status == FitStatus::Fitted ? 0 : 1;
    if (!store(result.fitted, message)) {
        std::fprintf(out, "%s\n", message.c_str());
        return 1;
    }
    std::fprintf(out, "The fitted parameters are now in use.\n");
    return 0;
}

std::string FormatParameters(const memory::Parameters<double>& w) {
    std::string text;
    for (std::size_t i = 0; i < w.size(); ++i) {
        char buffer[32];
        // Shortest text that reads back to the same double.
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, w[i]).ptr;
        if (i > 0)
            text += ", ";
        text.append(buffer, end);
    }
    return text;
}

std::optional<memory::Parameters<double>> ParseParameters(std::string_view text) {
    memory::Parameters<double> w{};
    std::size_t count = 0;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view field = ascii::Trim(text.substr(0, comma));
        if (count == w.size() || field.empty())
            return std::nullopt;
        double value = 0;
        const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
        if (error != std::errc() || end != field.data() + field.size() || !std::isfinite(value) ||
            value < memory::kLowerBounds[count] || value > memory::kUpperBounds[count])
            return std::nullopt;
        w[count++] = value;
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    if (count != w.size())
        return std::nullopt;
    return w;
}

} // namespace review
