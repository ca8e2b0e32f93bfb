#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "review/MemoryModel.h"

namespace {

using memory::Grade;
const memory::Parameters<double>& W = memory::kDefaultParameters;

// Expected values below were computed independently from the published formulas.
TEST(MemoryModel, RecallFollowsThePowerCurve) {
    struct Case {
        double days, stability, expected;
    };
    const Case cases[] = {
        {0, 1, 1.0},
        {1, 1, 0.9}, // stability is the time to 90 % recall
        {10, 1, 0.6928266345726217},
        {3, 7.5, 0.9502637499730153},
        {100, 2.5, 0.5657248525670068},
        {36500, 0.001, 0.06842640193273562},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(memory::Retrievability(W, c.days, c.stability), c.expected, 1e-12) << c.days;
}

TEST(MemoryModel, IntervalInvertsTheCurve) {
    struct Case {
        double stability, retention, expected;
    };
    const Case cases[] = {
        {1, 0.9, 1.0},
        {10, 0.8, 33.159597862309816},
        {2.3065, 0.95, 0.9285016230749168},
        {100, 0.7, 928.7911182417022},
    };
    for (const Case& c : cases) {
        const double days = memory::IntervalForRetention(W, c.stability, c.retention);
        EXPECT_NEAR(days, c.expected, 1e-9) << c.stability;
        EXPECT_NEAR(memory::Retrievability(W, days, c.stability), c.retention, 1e-12);
    }
}

TEST(MemoryModel, StartsFromTheFirstGrade) {
    const double difficulty[] = {6.4133, 5.112170705601056, 2.118103970459016, 1.0};
    for (int g = 1; g <= 4; ++g) {
        EXPECT_DOUBLE_EQ(memory::InitialStability(W, Grade(g)), W[g - 1]);
        EXPECT_NEAR(memory::InitialDifficulty(W, Grade(g)), difficulty[g - 1], 1e-12) << g;
    }
    // The Easy start lies below 1 unclamped; mean reversion needs the unclamped value.
    EXPECT_NEAR(memory::InitialDifficultyUnclamped(W, Grade::Easy), -4.771630703161737, 1e-12);
    memory::Parameters<double> tiny = W;
    tiny[0] = 0.0;
    EXPECT_DOUBLE_EQ(memory::InitialStability(tiny, Grade::Again), memory::kMinStability);
}

TEST(MemoryModel, DifficultyMovesWithTheGradeAndStaysInRange) {
    struct Case {
        double difficulty;
        Grade grade;
        double expected;
    };
    const Case cases[] = {
        {5, Grade::Again, 8.341762369296838},
        {5, Grade::Hard, 6.665995369296838},
        {5, Grade::Good, 4.9902283692968386},
        {5, Grade::Easy, 3.3144613692968385},
        {9.9, Grade::Again, 9.952359049296836},
        {10, Grade::Again, 9.985228369296838},
        {1.2, Grade::Easy, 1.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(memory::NextDifficulty(W, c.difficulty, c.grade), c.expected, 1e-12)
            << c.difficulty << " " << int(c.grade);
}

TEST(MemoryModel, StabilityAfterAReviewDaysLater) {
    struct Case {
        double difficulty, stability, recall;
        Grade grade;
        double expected;
    };
    const Case cases[] = {
        {5, 10, 0.9, Grade::Hard, 23.246875110466814},
        {5, 10, 0.9, Grade::Good, 32.02672948198672},
        {5, 10, 0.9, Grade::Easy, 51.253861646812936},
        {8, 2, 0.6, Grade::Good, 15.032612471711502},
        {1, 100, 0.95, Grade::Good, 222.58584500413622},
        {5, 10, 0.9, Grade::Again, 1.3919869729546932},
        {8, 2, 0.6, Grade::Again, 0.8453527654693853},
        {2, 0.5, 0.3, Grade::Again, 0.4758639996671754}, // capped by the same-day Again
        {1, 100, 0.95, Grade::Again, 3.80926673600122},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(memory::NextStability(W, c.difficulty, c.stability, c.recall, c.grade),
                    c.expected, 1e-9)
            << c.difficulty << " " << c.stability << " " << int(c.grade);
}

TEST(MemoryModel, SameDayStabilityNeverFallsOnAPass) {
    struct Case {
        double stability;
        Grade grade;
        double expected;
    };
    const Case cases[] = {
        {2.3065, Grade::Again, 0.7750839828558984},
        {2.3065, Grade::Hard, 2.3065}, // floored: unfloored it would fall to 1.33
        {2.3065, Grade::Good, 2.3065},
        {2.3065, Grade::Easy, 3.946054067969477},
        {50, Grade::Hard, 50},
        {50, Grade::Good, 50},
        {0.5, Grade::Hard, 0.5},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(memory::ShortTermStability(W, c.stability, c.grade), c.expected, 1e-12)
            << c.stability << " " << int(c.grade);
}

TEST(MemoryModel, ClampsParametersToTheirBounds) {
    memory::Parameters<double> w = W;
    w[0] = -1;
    w[7] = 2;
    w[20] = std::numeric_limits<double>::quiet_NaN();
    const auto clamped = memory::ClampToBounds(w);
    EXPECT_EQ(clamped[0], memory::kMinStability);
    EXPECT_EQ(clamped[7], 0.75);
    EXPECT_EQ(clamped[20], 0.1);
    EXPECT_EQ(memory::ClampToBounds(W), W);
    for (std::size_t i = 0; i < memory::kParameterCount; ++i)
        EXPECT_TRUE(memory::kLowerBounds[i] <= W[i] && W[i] <= memory::kUpperBounds[i]) << i;
}

// A forward-mode dual number, enough to show the formulas differentiate as written.
struct Dual {
    double v = 0, d = 0;
    Dual() = default;
    Dual(double value) : v(value) {} // NOLINT: constants convert implicitly, as for double
    Dual(double value, double slope) : v(value), d(slope) {}
    friend Dual operator+(Dual a, Dual b) { return {a.v + b.v, a.d + b.d}; }
    friend Dual operator-(Dual a, Dual b) { return {a.v - b.v, a.d - b.d}; }
    friend Dual operator*(Dual a, Dual b) { return {a.v * b.v, a.d * b.v + a.v * b.d}; }
    friend Dual operator/(Dual a, Dual b) {
        return {a.v / b.v, (a.d * b.v - a.v * b.d) / (b.v * b.v)};
    }
    friend Dual operator-(Dual a) { return {-a.v, -a.d}; }
    friend bool operator<(Dual a, Dual b) { return a.v < b.v; }
    friend bool operator==(Dual a, Dual b) { return a.v == b.v; }
    friend Dual exp(Dual a) { return {std::exp(a.v), std::exp(a.v) * a.d}; }
    friend Dual log(Dual a) { return {std::log(a.v), a.d / a.v}; }
    friend Dual pow(Dual a, Dual b) {
        const double p = std::pow(a.v, b.v);
        return {p, p * (b.d * std::log(a.v) + b.v * a.d / a.v)};
    }
};

TEST(MemoryModel, DerivativesThroughADualNumberMatchDifferences) {
    // d/dw_i of a review step, against a central difference over double.
    const auto step = [](const auto& w) {
        using T = std::decay_t<decltype(w[0])>;
        const T s = memory::InitialStability(w, Grade::Good);
        const T d = memory::InitialDifficulty(w, Grade::Good);
        const T r = memory::Retrievability(w, T(3.0), s);
        const T s2 = memory::NextStability(w, d, s, r, Grade::Good);
        const T d2 = memory::NextDifficulty(w, d, Grade::Again);
        return memory::NextStability(w, d2, s2, memory::Retrievability(w, T(9.0), s2),
                                     Grade::Again) +
               memory::ShortTermStability(w, s2, Grade::Easy);
    };
    for (std::size_t i = 0; i < memory::kParameterCount; ++i) {
        memory::Parameters<Dual> wd;
        for (std::size_t j = 0; j < memory::kParameterCount; ++j)
            wd[j] = Dual(W[j], i == j ? 1.0 : 0.0);
        const double h = 1e-6;
        memory::Parameters<double> up = W, down = W;
        up[i] += h;
        down[i] -= h;
        const double numeric = (step(up) - step(down)) / (2 * h);
        const Dual exact = step(wd);
        EXPECT_NEAR(exact.v, step(W), 1e-12);
        EXPECT_NEAR(exact.d, numeric, 1e-5 * (1 + std::abs(numeric))) << "parameter " << i;
    }
}

} // namespace
