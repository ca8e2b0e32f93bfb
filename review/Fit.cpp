#include "review/Fit.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <type_traits>

#include "review/Dual.h"

namespace review {

using memory::Grade;
using memory::kParameterCount;
using memory::Parameters;
using Gradient = memory::Dual<kParameterCount>;

namespace {

// Stability is kept below a century, as in the reference optimiser: beyond it the curve is flat
// and the gradients only add noise.
constexpr double kMaxStability = 36500.0;
// Predictions are kept this far from 0 and 1, so one confident miss cannot dominate the loss.
constexpr double kMinProbability = 1e-7;
// The spread of each parameter across many learners: the pull towards the start is measured in
// these units, so it restrains the well-known parameters more than the loosely known ones.
constexpr Parameters<double> kSpread = {6.43, 9.66, 17.58, 27.85, 0.57, 0.28, 0.6,
                                        0.12, 0.39, 0.18,  0.33,  0.3,  0.09, 0.16,
                                        0.57, 0.25, 1.03,  0.31,  0.32, 0.14, 0.27};

bool Recalled(Grade g) {
    return g != Grade::Again;
}

// Replays one word's grades made before `until` with parameters of type T, calling
// score(index, retrievability) for each scored review before its grade is applied.
template <typename T, typename Score>
void ReplayWord(const Parameters<T>& w, const GradeAt* grades, std::size_t count, TimeMs until,
                Score&& score, WordMemory* end = nullptr) {
    T stability(0.0), difficulty(0.0);
    // The curve's shape depends on the parameters alone: worked out once per word.
    const T factor = memory::CurveFactor(w), decay = memory::Decay(w);
    std::size_t i = 0;
    for (; i < count && grades[i].time < until; ++i) {
        const Grade g = grades[i].grade;
        if (i == 0) {
            stability = memory::InitialStability(w, g);
            difficulty = memory::InitialDifficulty(w, g);
            continue;
        }
        const std::int64_t days = DaysBetween(grades[i - 1].time, grades[i].time);
        if (days == 0) {
            stability = memory::ShortTermStability(w, stability, g);
        } else {
            const T recall = memory::RetrievabilityOnCurve(factor, decay,
                                                           T(static_cast<double>(days)), stability);
            score(i, recall);
            stability = memory::NextStability(w, difficulty, stability, recall, g);
        }
        difficulty = memory::NextDifficulty(w, difficulty, g);
        stability = memory::Between(stability, memory::kMinStability, kMaxStability);
    }
    if constexpr (std::is_same_v<T, double>)
        if (end && i > 0)
            *end = {stability, difficulty, grades[i - 1].time};
}

double LossOf(double recall, bool recalled) {
    const double r = std::clamp(recall, kMinProbability, 1.0 - kMinProbability);
    return recalled ? -std::log(r) : -std::log(1.0 - r);
}

template <typename Visit> void ForEachScored(const ReviewLog& log, TimeMs until, Visit&& visit) {
    for (std::size_t c = 0; c < log.WordCount(); ++c) {
        const std::size_t begin = log.starts[c], end = log.starts[c + 1];
        for (std::size_t i = begin + 1; i < end && log.grades[i].time < until; ++i)
            if (DaysBetween(log.grades[i - 1].time, log.grades[i].time) >= 1)
                visit(i);
    }
}

bool AllFinite(const Parameters<double>& values) {
    return std::all_of(values.begin(), values.end(), [](double x) { return std::isfinite(x); });
}

// The scored reviews' weights: the recent ones count up to four times the oldest, as a
// learner's memory drifts over the years.
std::vector<float> RecencyWeights(const ReviewLog& log, TimeMs until, std::size_t& scored) {
    std::vector<TimeMs> times;
    ForEachScored(log, until, [&](std::size_t i) { times.push_back(log.grades[i].time); });
    std::sort(times.begin(), times.end());
    scored = times.size();
    std::vector<float> weights(log.grades.size(), 0.0f);
    const double last = std::max<double>(1.0, static_cast<double>(times.size()) - 1.0);
    ForEachScored(log, until, [&](std::size_t i) {
        const auto rank = std::lower_bound(times.begin(), times.end(), log.grades[i].time);
        const double x = static_cast<double>(rank - times.begin()) / last;
        weights[i] = static_cast<float>(0.25 + 0.75 * x * x * x);
    });
    return weights;
}

// Words in batches of about `batchSize` scored reviews each; each batch is a range of `order`.
std::vector<std::size_t> Batches(const ReviewLog& log, const std::vector<float>& weights,
                                 const std::vector<std::uint32_t>& order, std::size_t batchSize) {
    std::vector<std::size_t> bounds{0};
    std::size_t inBatch = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        std::size_t scored = 0;
        for (std::uint32_t i = log.starts[order[k]]; i < log.starts[order[k] + 1]; ++i)
            scored += weights[i] > 0 ? 1 : 0;
        if (inBatch > 0 && inBatch + scored > batchSize) {
            bounds.push_back(k);
            inBatch = 0;
        }
        inBatch += scored;
    }
    bounds.push_back(order.size());
    return bounds;
}

struct Adam {
    Parameters<double> m{}, v{};
    int t = 0;
    void Step(Parameters<double>& w, const Parameters<double>& g, double rate) {
        constexpr double kBeta1 = 0.9, kBeta2 = 0.999, kEpsilon = 1e-8;
        ++t;
        const double bias1 = 1.0 - std::pow(kBeta1, t), bias2 = 1.0 - std::pow(kBeta2, t);
        for (std::size_t i = 0; i < kParameterCount; ++i) {
            m[i] = kBeta1 * m[i] + (1.0 - kBeta1) * g[i];
            v[i] = kBeta2 * v[i] + (1.0 - kBeta2) * g[i] * g[i];
            w[i] -= rate * (m[i] / bias1) / (std::sqrt(v[i] / bias2) + kEpsilon);
        }
    }
};

// Keeps the four initial stabilities in grade order: a word first answered Easy is not less
// stable than one first answered Good.
void OrderInitialStability(Parameters<double>& w) {
    std::sort(w.begin(), w.begin() + 4);
}

} // namespace

void ReviewLog::AddWord(std::vector<GradeAt> wordGrades) {
    std::stable_sort(wordGrades.begin(), wordGrades.end(),
                     [](const GradeAt& a, const GradeAt& b) { return a.time < b.time; });
    grades.insert(grades.end(), wordGrades.begin(), wordGrades.end());
    starts.push_back(static_cast<std::uint32_t>(grades.size()));
}

std::size_t ScoredReviewCount(const ReviewLog& log, TimeMs until) {
    std::size_t count = 0;
    ForEachScored(log, until, [&](std::size_t) { ++count; });
    return count;
}

double LogLoss(const ReviewLog& log, const Parameters<double>& w, TimeMs from, TimeMs until,
               std::size_t* count) {
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t c = 0; c < log.WordCount(); ++c) {
        const GradeAt* grades = log.grades.data() + log.starts[c];
        ReplayWord(w, grades, log.starts[c + 1] - log.starts[c], until,
                   [&](std::size_t i, double recall) {
                       if (grades[i].time < from)
                           return;
                       sum += LossOf(recall, Recalled(grades[i].grade));
                       ++n;
                   });
    }
    if (count)
        *count = n;
    return n == 0 ? 0.0 : sum / static_cast<double>(n);
}

WordMemory MemoryOf(const ReviewLog& log, std::size_t word, const Parameters<double>& w,
                    TimeMs until) {
    WordMemory memory;
    const GradeAt* grades = log.grades.data() + log.starts[word];
    const std::size_t count = log.starts[word + 1] - log.starts[word];
    ReplayWord(
        w, grades, count, until, [](std::size_t, double) {}, &memory);
    return memory;
}

TimeMs RecentStart(const ReviewLog& log, double fraction, TimeMs until) {
    std::vector<TimeMs> times;
    ForEachScored(log, until, [&](std::size_t i) { times.push_back(log.grades[i].time); });
    if (times.empty())
        return INT64_MAX;
    const double clamped = std::clamp(fraction, 0.0, 1.0);
    const auto keep =
        static_cast<std::size_t>(std::floor(clamped * static_cast<double>(times.size())));
    if (keep == 0)
        return INT64_MAX;
    const auto nth = times.begin() + static_cast<std::ptrdiff_t>(times.size() - keep);
    std::nth_element(times.begin(), nth, times.end());
    return *nth;
}

Parameters<double> FitInitialStability(const ReviewLog& log, TimeMs until) {
    // Recall at each word's first review a day or more later, by its first grade and the days
    // between; the later reviews depend on more than the first grade and are left out.
    struct Bin {
        std::int64_t days;
        double count, recalled;
    };
    std::vector<Bin> bins[4];
    double allScored = 0, allRecalled = 0;
    ForEachScored(log, until, [&](std::size_t i) {
        allScored += 1;
        allRecalled += Recalled(log.grades[i].grade) ? 1 : 0;
    });
    for (std::size_t c = 0; c < log.WordCount(); ++c) {
        const std::size_t begin = log.starts[c], end = log.starts[c + 1];
        if (begin == end || log.grades[begin].time >= until)
            continue;
        for (std::size_t i = begin + 1; i < end && log.grades[i].time < until; ++i) {
            const std::int64_t days = DaysBetween(log.grades[i - 1].time, log.grades[i].time);
            if (days < 1)
                continue;
            auto& group = bins[static_cast<int>(log.grades[begin].grade) - 1];
            auto bin = std::find_if(group.begin(), group.end(),
                                    [&](const Bin& b) { return b.days == days; });
            if (bin == group.end())
                bin = group.insert(group.end(), Bin{days, 0, 0});
            bin->count += 1;
            bin->recalled += Recalled(log.grades[i].grade) ? 1 : 0;
            break;
        }
    }
    const double averageRecall = allScored > 0 ? allRecalled / allScored : 0.0;
    const auto& defaults = memory::kDefaultParameters;
    Parameters<double> w = defaults;
    bool fitted[4] = {};
    double logRatioSum = 0;
    int fittedCount = 0;
    for (int g = 0; g < 4; ++g) {
        if (bins[g].empty())
            continue;
        // Each bin's recall leans towards the learner's average by one review, so a bin of one
        // review does not claim certainty; a small pull to the default settles flat losses.
        const auto loss = [&](double s) {
            double total = std::abs(s - defaults[static_cast<std::size_t>(g)]) / 16.0;
            for (const Bin& b : bins[g]) {
                const double y = (b.recalled + averageRecall) / (b.count + 1.0);
                const double r =
                    std::clamp(memory::Retrievability(defaults, static_cast<double>(b.days), s),
                               kMinProbability, 1.0 - kMinProbability);
                total -= b.count * (y * std::log(r) + (1.0 - y) * std::log(1.0 - r));
            }
            return total;
        };
        double low = memory::kMinStability, high = memory::kMaxInitialStability;
        for (int step = 0; step < 200 && high - low > 1e-9; ++step) {
            const double a = low + (high - low) / 3.0, b = high - (high - low) / 3.0;
            if (loss(a) < loss(b))
                high = b;
            else
                low = a;
        }
        w[static_cast<std::size_t>(g)] = (low + high) / 2.0;
        fitted[g] = true;
        logRatioSum +=
            std::log(w[static_cast<std::size_t>(g)] / defaults[static_cast<std::size_t>(g)]);
        ++fittedCount;
    }
    if (fittedCount == 0)
        return defaults;
    // A grade never given first keeps the default's proportion to the others.
    const double ratio = std::exp(logRatioSum / fittedCount);
    for (int g = 0; g < 4; ++g)
        if (!fitted[g])
            w[static_cast<std::size_t>(g)] = defaults[static_cast<std::size_t>(g)] * ratio;
    OrderInitialStability(w);
    return memory::ClampToBounds(w);
}

FitResult FitParameters(const ReviewLog& log, const FitOptions& options,
                        const std::atomic<bool>* cancel, const FitProgress& progress) {
    const auto cancelled = [&] { return cancel && cancel->load(std::memory_order_relaxed); };
    FitResult result;
    std::size_t scored = 0;
    const std::vector<float> weights = RecencyWeights(log, options.until, scored);
    result.scoredReviews = scored;
    // Too few to say anything: the reference optimiser keeps the defaults below eight.
    if (scored < 8)
        return result;
    const Parameters<double> start = FitInitialStability(log, options.until);
    result.status = FitStatus::Fitted;
    result.parameters = start;
    if (scored < 64 || cancelled()) {
        if (cancelled())
            result = {FitStatus::Cancelled, memory::kDefaultParameters, scored, 0};
        return result;
    }

    std::vector<std::uint32_t> order(log.WordCount());
    for (std::size_t c = 0; c < order.size(); ++c)
        order[c] = static_cast<std::uint32_t>(c);
    std::mt19937_64 random(options.seed);
    std::shuffle(order.begin(), order.end(), random);
    const std::vector<std::size_t> bounds =
        Batches(log, weights, order, std::max<std::size_t>(1, options.batchSize));
    std::vector<std::size_t> batchOrder(bounds.size() - 1);
    for (std::size_t b = 0; b < batchOrder.size(); ++b)
        batchOrder[b] = b;

    const int epochs = std::max(1, options.epochs);
    const double totalSteps = static_cast<double>(batchOrder.size()) * epochs;
    Parameters<double> w = start;
    Adam adam;
    int step = 0;
    for (int epoch = 0; epoch < epochs; ++epoch) {
        std::shuffle(batchOrder.begin(), batchOrder.end(), random);
        for (const std::size_t b : batchOrder) {
            if (cancelled())
                return {FitStatus::Cancelled, memory::kDefaultParameters, scored,
                        result.skippedSteps};
            Parameters<Gradient> wd;
            for (std::size_t i = 0; i < kParameterCount; ++i)
                wd[i] = Gradient::Variable(w[i], i);
            Parameters<double> grad{};
            double batchScored = 0;
            for (std::size_t k = bounds[b]; k < bounds[b + 1]; ++k) {
                const std::uint32_t c = order[k];
                const GradeAt* grades = log.grades.data() + log.starts[c];
                const float* weight = weights.data() + log.starts[c];
                ReplayWord(wd, grades, log.starts[c + 1] - log.starts[c], options.until,
                           [&](std::size_t i, const Gradient& recall) {
                               batchScored += 1;
                               const double r = recall.value;
                               // Past the clamp the loss is flat: no pull from there.
                               if (!(r > kMinProbability && r < 1.0 - kMinProbability))
                                   return;
                               const double y = Recalled(grades[i].grade) ? 1.0 : 0.0;
                               const double slope = -weight[i] * (y / r - (1.0 - y) / (1.0 - r));
                               for (std::size_t j = 0; j < kParameterCount; ++j)
                                   grad[j] += slope * recall.d[j];
                           });
            }
            // The pull towards the start is shared out over the batches in proportion to their
            // reviews, so over an epoch it counts once against all the reviews.
            const double share = options.penalty * batchScored / static_cast<double>(scored);
            for (std::size_t j = 0; j < kParameterCount; ++j)
                grad[j] += 2.0 * (w[j] - start[j]) / (kSpread[j] * kSpread[j]) * share;
            const double rate =
                options.learningRate * 0.5 * (1.0 + std::cos(std::numbers::pi * step / totalSteps));
            ++step;
            if (AllFinite(grad)) {
                Parameters<double> next = w;
                adam.Step(next, grad, rate);
                next = memory::ClampToBounds(next);
                if (AllFinite(next))
                    w = next;
                else
                    ++result.skippedSteps;
            } else {
                ++result.skippedSteps;
            }
            if (progress)
                progress(step / totalSteps);
        }
    }
    OrderInitialStability(w);
    result.parameters = w;
    return result;
}

} // namespace review
