// The review schedule of one word: its state after each grade, and when it is due again.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "review/MemoryModel.h"

namespace review {

// Milliseconds since 1970-01-01T00:00:00Z.
using TimeMs = std::int64_t;
inline constexpr TimeMs kMinuteMs = 60'000;
inline constexpr TimeMs kDayMs = 86'400'000;

enum class Phase : std::uint8_t { New, Learning, Review, Relearning };

// What the history says about one word so far.
struct CardState {
    Phase phase = Phase::New;
    double stability = 0;
    double difficulty = 0;
    TimeMs due = 0;
    TimeMs lastReview = 0;
    TimeMs firstReview = 0;
    int step = 0; // index into the learning or relearning steps
    int reps = 0;
    int lapses = 0; // Again grades given in the Review phase
};

struct ScheduleSettings {
    memory::Parameters<double> parameters = memory::kDefaultParameters;
    double desiredRetention = 0.9;
    std::vector<TimeMs> learningSteps = {1 * kMinuteMs, 10 * kMinuteMs};
    std::vector<TimeMs> relearningSteps = {10 * kMinuteMs};
    int maximumIntervalDays = 36500;
    bool fuzz = true;
};

inline constexpr double kMinRetention = 0.70;
inline constexpr double kMaxRetention = 0.99;

// A seed for a word's interval fuzz: the same word at the same review count always gets the
// same fuzz, so replaying the history gives the same dates.
std::uint64_t FuzzSeed(std::string_view word, int reps);
// The same in two steps, for a replay that grades each word many times.
std::uint64_t FuzzWordHash(std::string_view word);
std::uint64_t FuzzSeedOf(std::uint64_t wordHash, int reps);

// Applies grades to card states with the memory model, learning steps and fuzz.
class Scheduler {
public:
    Scheduler() : Scheduler(ScheduleSettings{}) {}
    explicit Scheduler(ScheduleSettings settings);

    const ScheduleSettings& Settings() const { return m_settings; }
    // Refuses (returns false) retention outside 0.70-0.99.
    bool SetDesiredRetention(double retention);

    // The state after `grade` given at `now`; `fuzzSeed` decides the fuzz (see FuzzSeed).
    CardState Next(const CardState& card, memory::Grade grade, TimeMs now,
                   std::uint64_t fuzzSeed) const;

    // Probability of recall at `now`, counting whole days since the last review as the model
    // was fitted that way. 0 for a new word.
    double Recall(const CardState& card, TimeMs now) const;
    // The same counting fractions of a day, to order words that are due on the same day.
    double RecallExact(const CardState& card, TimeMs now) const;

    // Whole days until recall falls to the desired retention: at least 1, at most the maximum.
    int IntervalDays(double stability) const;
    // The interval moved at random within the published ranges (2.5 days and up only).
    int FuzzedDays(int days, std::uint64_t seed) const;

private:
    TimeMs StepDelay(const std::vector<TimeMs>& steps, int step, memory::Grade grade) const;

    void CacheCurve();

    ScheduleSettings m_settings;
    double m_factor = 0, m_decay = 0, m_intervalPerStability = 0;
};

// A time span as a review button shows it: "1 min", "10 min", "5 h", "3 d", "2.1 mo", "1.4 y".
std::string FormatInterval(TimeMs span);

} // namespace review
