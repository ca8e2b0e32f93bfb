// The memory model behind the schedule (FSRS-6): how likely a word is recalled after some days,
// and how its stability and difficulty change with each grade.
//
// Every formula is a template over the number type T, so that the same code serves the
// scheduler (T = double) and a parameter fit that differentiates through it (T = a dual number).
// T must be constructible from double, support + - * / (also with T on both sides), unary -,
// operator< and operator==, and have exp, pow(T, T) and log found by argument-dependent lookup
// (the `using std::exp` lines make plain double work).
#pragma once

#include <array>
#include <cmath>
#include <cstddef>

namespace memory {

// The learner's answer to one card, as the four buttons of a review give it.
enum class Grade : int { Again = 1, Hard = 2, Good = 3, Easy = 4 };

inline constexpr std::size_t kParameterCount = 21;
template <typename T> using Parameters = std::array<T, kParameterCount>;

// The published defaults, fitted on a large body of real reviews.
inline constexpr Parameters<double> kDefaultParameters = {
    0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001,  1.8722, 0.1666, 0.796,
    1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};

inline constexpr double kMinStability = 0.001;
inline constexpr double kMaxInitialStability = 100.0;
inline constexpr double kMinDifficulty = 1.0;
inline constexpr double kMaxDifficulty = 10.0;

// The range each parameter must stay in; a fit clamps to it after every step, since outside it
// the formulas lose their meaning (a stability that falls on recall, a decay of zero).
inline constexpr Parameters<double> kLowerBounds = {
    kMinStability, kMinStability, kMinStability, kMinStability, 1.0,   0.001, 0.001,
    0.001,         0.0,           0.0,           0.001,         0.001, 0.001, 0.001,
    0.0,           0.0,           1.0,           0.0,           0.0,   0.0,   0.1};
inline constexpr Parameters<double> kUpperBounds = {kMaxInitialStability,
                                                    kMaxInitialStability,
                                                    kMaxInitialStability,
                                                    kMaxInitialStability,
                                                    10.0,
                                                    4.0,
                                                    4.0,
                                                    0.75,
                                                    4.5,
                                                    0.8,
                                                    3.5,
                                                    5.0,
                                                    0.25,
                                                    0.9,
                                                    4.0,
                                                    1.0,
                                                    6.0,
                                                    2.0,
                                                    2.0,
                                                    0.8,
                                                    0.8};

// The parameters moved into their bounds (NaN goes to the lower bound).
template <typename T> Parameters<T> ClampToBounds(Parameters<T> w) {
    for (std::size_t i = 0; i < kParameterCount; ++i) {
        if (w[i] < T(kLowerBounds[i]) || !(w[i] == w[i]))
            w[i] = T(kLowerBounds[i]);
        else if (T(kUpperBounds[i]) < w[i])
            w[i] = T(kUpperBounds[i]);
    }
    return w;
}

template <typename T> T AtLeast(const T& x, double low) {
    return x < T(low) ? T(low) : x;
}
template <typename T> T Between(const T& x, double low, double high) {
    return x < T(low) ? T(low) : (T(high) < x ? T(high) : x);
}

template <typename T> T GradeValue(Grade g) {
    return T(static_cast<double>(static_cast<int>(g)));
}

// The forgetting curve is a power law whose decay is the last parameter; the factor makes
// recall exactly 0.9 after `stability` days, which is what stability means.
template <typename T> T Decay(const Parameters<T>& w) {
    return -w[20];
}
template <typename T> T CurveFactor(const Parameters<T>& w) {
    using std::pow;
    return pow(T(0.9), T(1.0) / Decay(w)) - T(1.0);
}

// Probability of recall after `elapsedDays` for a word of the given stability. The forms that
// take the curve's factor and decay let a caller that evaluates the curve a million times with
// fixed parameters work them out once.
template <typename T>
T RetrievabilityOnCurve(const T& factor, const T& decay, const T& elapsedDays, const T& stability) {
    using std::pow;
    return pow(T(1.0) + factor * elapsedDays / stability, decay);
}
template <typename T>
T Retrievability(const Parameters<T>& w, const T& elapsedDays, const T& stability) {
    return RetrievabilityOnCurve(CurveFactor(w), Decay(w), elapsedDays, stability);
}

// Days until recall falls to `retention`, per day of stability: the interval is stability times
// this, unrounded.
template <typename T> T IntervalPerStability(const Parameters<T>& w, const T& retention) {
    using std::pow;
    return (pow(retention, T(1.0) / Decay(w)) - T(1.0)) / CurveFactor(w);
}
template <typename T>
T IntervalForRetention(const Parameters<T>& w, const T& stability, const T& retention) {
    return stability * IntervalPerStability(w, retention);
}

template <typename T> T InitialStability(const Parameters<T>& w, Grade g) {
    return AtLeast(w[static_cast<int>(g) - 1], kMinStability);
}

// Unclamped, the Easy value is also the target of the difficulty's mean reversion.
template <typename T> T InitialDifficultyUnclamped(const Parameters<T>& w, Grade g) {
    using std::exp;
    return w[4] - exp(w[5] * (GradeValue<T>(g) - T(1.0))) + T(1.0);
}
template <typename T> T InitialDifficulty(const Parameters<T>& w, Grade g) {
    return Between(InitialDifficultyUnclamped(w, g), kMinDifficulty, kMaxDifficulty);
}

// Good leaves difficulty nearly alone, Again and Hard raise it, Easy lowers it. The step shrinks
// as difficulty nears 10 (linear damping), and a small pull towards the Easy start (mean
// reversion) keeps it from sticking at the top.
template <typename T> T NextDifficulty(const Parameters<T>& w, const T& difficulty, Grade g) {
    const T delta = -(w[6] * (GradeValue<T>(g) - T(3.0)));
    const T damped = difficulty + (T(10.0) - difficulty) * delta / T(9.0);
    const T reverted = w[7] * InitialDifficultyUnclamped(w, Grade::Easy) + (T(1.0) - w[7]) * damped;
    return Between(reverted, kMinDifficulty, kMaxDifficulty);
}

// Stability after a successful recall (Hard, Good, Easy) at the given retrievability: it grows
// more for easy words, for low stability, and for recalls the model did not expect.
template <typename T>
T RecallStability(const Parameters<T>& w, const T& difficulty, const T& stability,
                  const T& retrievability, Grade g) {
    using std::exp;
    using std::pow;
    const T hardPenalty = g == Grade::Hard ? w[15] : T(1.0);
    const T easyBonus = g == Grade::Easy ? w[16] : T(1.0);
    const T growth = exp(w[8]) * (T(11.0) - difficulty) * pow(stability, -w[9]) *
                     (exp((T(1.0) - retrievability) * w[10]) - T(1.0)) * hardPenalty * easyBonus;
    return stability * (T(1.0) + growth);
}

// Stability after a lapse (Again). The second term caps it so that a lapse never leaves a word
// more stable than a same-day Again would.
template <typename T>
T ForgetStability(const Parameters<T>& w, const T& difficulty, const T& stability,
                  const T& retrievability) {
    using std::exp;
    using std::pow;
    const T longTerm = w[11] * pow(difficulty, -w[12]) * (pow(stability + T(1.0), w[13]) - T(1.0)) *
                       exp((T(1.0) - retrievability) * w[14]);
    const T cap = stability / exp(w[17] * w[18]);
    return longTerm < cap ? longTerm : cap;
}

// Stability after a review at least a day after the last one.
template <typename T>
T NextStability(const Parameters<T>& w, const T& difficulty, const T& stability,
                const T& retrievability, Grade g) {
    const T next = g == Grade::Again ? ForgetStability(w, difficulty, stability, retrievability)
                                     : RecallStability(w, difficulty, stability, retrievability, g);
    return AtLeast(next, kMinStability);
}

// Stability after a second review on the same day (less than a whole day after the last).
// Growth is floored at 1 for every passing grade, Hard included, so a same-day Hard never
// lowers stability; one reference floors Good and Easy only, the newer ones Hard as well, and
// we follow the newer: a passing answer should not count as partly forgotten.
template <typename T> T ShortTermStability(const Parameters<T>& w, const T& stability, Grade g) {
    using std::exp;
    using std::pow;
    T growth = exp(w[17] * (GradeValue<T>(g) - T(3.0) + w[18])) * pow(stability, -w[19]);
    if (g != Grade::Again)
        growth = AtLeast(growth, 1.0);
    return AtLeast(stability * growth, kMinStability);
}

} // namespace memory
