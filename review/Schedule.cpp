#include "review/Schedule.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace review {

using memory::Grade;

namespace {

// Whole days from `from` to `to`, floored, never negative (a clock set back counts as 0).
std::int64_t ElapsedDays(TimeMs from, TimeMs to) {
    return to <= from ? 0 : (to - from) / kDayMs;
}

// splitmix64: a tiny generator whose output depends on its seed alone, on every platform.
std::uint64_t Mix(std::uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

} // namespace

std::uint64_t FuzzWordHash(std::string_view word) {
    std::uint64_t hash = 0xcbf29ce484222325ULL; // FNV-1a
    for (const char c : word) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::uint64_t FuzzSeedOf(std::uint64_t wordHash, int reps) {
    return Mix(wordHash ^ static_cast<std::uint64_t>(reps));
}

std::uint64_t FuzzSeed(std::string_view word, int reps) {
    return FuzzSeedOf(FuzzWordHash(word), reps);
}

Scheduler::Scheduler(ScheduleSettings settings) : m_settings(std::move(settings)) {
    m_settings.parameters = memory::ClampToBounds(m_settings.parameters);
    if (!SetDesiredRetention(m_settings.desiredRetention))
        m_settings.desiredRetention = 0.9;
    m_settings.maximumIntervalDays = std::max(1, m_settings.maximumIntervalDays);
    CacheCurve();
}

void Scheduler::CacheCurve() {
    m_factor = memory::CurveFactor(m_settings.parameters);
    m_decay = memory::Decay(m_settings.parameters);
    m_intervalPerStability =
        memory::IntervalPerStability(m_settings.parameters, m_settings.desiredRetention);
}

bool Scheduler::SetDesiredRetention(double retention) {
    if (!(retention >= kMinRetention && retention <= kMaxRetention))
        return false;
    m_settings.desiredRetention = retention;
    CacheCurve();
    return true;
}

double Scheduler::Recall(const CardState& card, TimeMs now) const {
    if (card.phase == Phase::New)
        return 0;
    return memory::RetrievabilityOnCurve(
        m_factor, m_decay, static_cast<double>(ElapsedDays(card.lastReview, now)), card.stability);
}

double Scheduler::RecallExact(const CardState& card, TimeMs now) const {
    if (card.phase == Phase::New)
        return 0;
    const double days =
        now <= card.lastReview ? 0.0 : static_cast<double>(now - card.lastReview) / kDayMs;
    return memory::RetrievabilityOnCurve(m_factor, m_decay, days, card.stability);
}

int Scheduler::IntervalDays(double stability) const {
    const double days =
        memory::IntervalForRetention(m_settings.parameters, stability, m_settings.desiredRetention);
    // Halves round to even, as the reference scheduler's published cases expect.
    const double rounded = std::nearbyint(days);
    if (!(rounded >= 1))
        return 1;
    return rounded >= m_settings.maximumIntervalDays ? m_settings.maximumIntervalDays
                                                     : static_cast<int>(rounded);
}

int Scheduler::FuzzedDays(int days, std::uint64_t seed) const {
    if (days < 3)
        return days;
    struct Range {
        double start, end, factor;
    };
    static constexpr Range kRanges[] = {{2.5, 7.0, 0.15}, {7.0, 20.0, 0.1}, {20.0, 1e300, 0.05}};
    double delta = 1.0;
    for (const Range& r : kRanges)
        delta += r.factor * std::max(std::min<double>(days, r.end) - r.start, 0.0);
    int low = std::max(2, static_cast<int>(std::nearbyint(days - delta)));
    const int high =
        std::min(static_cast<int>(std::nearbyint(days + delta)), m_settings.maximumIntervalDays);
    low = std::min(low, high);
    // Every whole day from low to high equally likely (the flooring variant of the references;
    // rounding would make high + 1 possible).
    const double unit = static_cast<double>(Mix(seed) >> 11) * 0x1.0p-53;
    const int fuzzed = low + static_cast<int>(unit * (high - low + 1));
    return std::min(fuzzed, high);
}

TimeMs Scheduler::StepDelay(const std::vector<TimeMs>& steps, int step, Grade grade) const {
    if (grade == Grade::Again)
        return steps[0];
    if (grade == Grade::Hard && step == 0)
        return steps.size() == 1 ? steps[0] * 3 / 2 : (steps[0] + steps[1]) / 2;
    return steps[static_cast<std::size_t>(step)];
}

CardState Scheduler::Next(const CardState& card, Grade grade, TimeMs now,
                          std::uint64_t fuzzSeed) const {
    const auto& w = m_settings.parameters;
    CardState next = card;
    const bool sameDay = card.phase != Phase::New && ElapsedDays(card.lastReview, now) < 1;
    if (card.phase == Phase::New) {
        next.stability = memory::InitialStability(w, grade);
        next.difficulty = memory::InitialDifficulty(w, grade);
        next.phase = Phase::Learning;
        next.step = 0;
        next.firstReview = now;
    } else if (sameDay) {
        next.stability = memory::ShortTermStability(w, card.stability, grade);
        next.difficulty = memory::NextDifficulty(w, card.difficulty, grade);
    } else {
        next.stability =
            memory::NextStability(w, card.difficulty, card.stability, Recall(card, now), grade);
        next.difficulty = memory::NextDifficulty(w, card.difficulty, grade);
    }

    bool toReview = false;
    TimeMs delay = 0;
    if (next.phase == Phase::Learning || next.phase == Phase::Relearning) {
        const auto& steps =
            next.phase == Phase::Learning ? m_settings.learningSteps : m_settings.relearningSteps;
        // A step beyond the steps (they were shortened since) finishes on any pass.
        if (steps.empty() ||
            (static_cast<std::size_t>(next.step) >= steps.size() && grade != Grade::Again)) {
            toReview = true;
        } else if (grade == Grade::Easy ||
                   (grade == Grade::Good &&
                    static_cast<std::size_t>(next.step) + 1 >= steps.size())) {
            toReview = true;
        } else {
            if (grade == Grade::Again)
                next.step = 0;
            else if (grade == Grade::Good)
                ++next.step;
            delay = StepDelay(steps, next.step, grade);
        }
    } else { // Review
        if (grade == Grade::Again) {
            ++next.lapses;
            if (m_settings.relearningSteps.empty()) {
                toReview = true;
            } else {
                next.phase = Phase::Relearning;
                next.step = 0;
                delay = m_settings.relearningSteps[0];
            }
        } else {
            toReview = true;
        }
    }
    if (toReview) {
        next.phase = Phase::Review;
        next.step = 0;
        int days = IntervalDays(next.stability);
        if (m_settings.fuzz)
            days = FuzzedDays(days, fuzzSeed);
        delay = days * kDayMs;
    }
    next.due = now + delay;
    next.lastReview = now;
    ++next.reps;
    return next;
}

std::string FormatInterval(TimeMs span) {
    char text[48];
    const double minutes = static_cast<double>(std::max<TimeMs>(span, 0)) / kMinuteMs;
    const double days = minutes / 1440.0;
    if (minutes < 59.5)
        std::snprintf(text, sizeof text, "%d min", std::max(1, static_cast<int>(minutes + 0.5)));
    else if (days < 0.98)
        std::snprintf(text, sizeof text, "%d h", static_cast<int>(minutes / 60.0 + 0.5));
    else if (days < 30.0)
        std::snprintf(text, sizeof text, "%d d", static_cast<int>(days + 0.5));
    else if (days < 365.0)
        std::snprintf(text, sizeof text, "%.1f mo", days / 30.0);
    else
        std::snprintf(text, sizeof text, "%.1f y", days / 365.0);
    return text;
}

} // namespace review
