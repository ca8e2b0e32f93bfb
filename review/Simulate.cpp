#include "review/Simulate.h"

#include <algorithm>
#include <cmath>

namespace review {

using memory::Grade;
using memory::Parameters;

namespace {

// splitmix64: the same numbers from the same seed on every platform.
struct Random {
    std::uint64_t state;
    double Next() {
        std::uint64_t x = (state += 0x9e3779b97f4a7c15ULL);
        x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
        x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
        return static_cast<double>((x ^ (x >> 31)) >> 11) * 0x1.0p-53;
    }
};

int Interval(const Parameters<double>& w, double stability, double retention, int maximum) {
    const double days = std::nearbyint(memory::IntervalForRetention(w, stability, retention));
    if (!(days >= 1))
        return 1;
    return days >= maximum ? maximum : static_cast<int>(days);
}

struct Memory {
    double stability = 0, difficulty = 0;
    void First(const Parameters<double>& w, Grade g) {
        stability = memory::InitialStability(w, g);
        difficulty = memory::InitialDifficulty(w, g);
    }
    void Review(const Parameters<double>& w, Grade g, std::int64_t days) {
        if (days == 0) {
            stability = memory::ShortTermStability(w, stability, g);
        } else {
            const double recall = memory::Retrievability(w, static_cast<double>(days), stability);
            stability = memory::NextStability(w, difficulty, stability, recall, g);
        }
        difficulty = memory::NextDifficulty(w, difficulty, g);
        stability = std::clamp(stability, memory::kMinStability, 36500.0);
    }
};

} // namespace

std::vector<RetentionLoad> ReviewLoad(const ReviewLog& log, const Parameters<double>& w, TimeMs now,
                                      std::span<const double> retentions, int days,
                                      int maximumIntervalDays) {
    std::vector<RetentionLoad> loads;
    std::vector<WordMemory> words;
    words.reserve(log.WordCount());
    for (std::size_t c = 0; c < log.WordCount(); ++c) {
        const WordMemory m = MemoryOf(log, c, w, now);
        if (m.stability > 0)
            words.push_back(m);
    }
    const int maximum = std::max(1, maximumIntervalDays);
    for (const double retention : retentions) {
        const double r = std::clamp(retention, kMinRetention, kMaxRetention);
        Random random{0x5eed};
        double reviews = 0;
        for (const WordMemory& word : words) {
            Memory m{word.stability, word.difficulty};
            // Days are counted from now; the last review lies in the past.
            std::int64_t last = -DaysBetween(word.lastReview, now);
            std::int64_t due =
                std::max<std::int64_t>(0, last + Interval(w, m.stability, r, maximum));
            while (due < days) {
                const std::int64_t elapsed = std::max<std::int64_t>(1, due - last);
                const double recall =
                    memory::Retrievability(w, static_cast<double>(elapsed), m.stability);
                reviews += 1;
                if (random.Next() < recall) {
                    m.Review(w, Grade::Good, elapsed);
                } else {
                    m.Review(w, Grade::Again, elapsed);
                    reviews += 1;
                    m.Review(w, Grade::Good, 0);
                }
                last = due;
                due = last + Interval(w, m.stability, r, maximum);
            }
        }
        loads.push_back({retention, days > 0 ? reviews / days : 0.0});
    }
    return loads;
}

ReviewLog SimulateLearner(const LearnerOptions& options) {
    struct Word {
        Memory truth, scheduled;
        TimeMs last = 0;
        std::int64_t due = 0;
        std::vector<GradeAt> grades;
    };
    Random random{options.seed};
    std::vector<Word> words(static_cast<std::size_t>(std::max(0, options.words)));
    std::size_t introduced = 0;
    const auto pick = [&](double again, double hard, double good) {
        const double u = random.Next();
        return u < again                 ? Grade::Again
               : u < again + hard        ? Grade::Hard
               : u < again + hard + good ? Grade::Good
                                         : Grade::Easy;
    };
    for (int day = 0; day < options.days; ++day) {
        // The learner sits down some time between 8:00 and 18:00.
        TimeMs now = options.start + day * kDayMs + 8 * 3'600'000 +
                     static_cast<TimeMs>(random.Next() * 10 * 3'600'000);
        const auto grade = [&](Word& word, Grade g) {
            const std::int64_t days = DaysBetween(word.last, now);
            if (word.grades.empty()) {
                word.truth.First(options.truth, g);
                word.scheduled.First(options.scheduled, g);
            } else {
                word.truth.Review(options.truth, g, days);
                word.scheduled.Review(options.scheduled, g, days);
            }
            word.grades.push_back({now, g});
            word.last = now;
            now += 10 * kMinuteMs;
        };
        for (std::size_t i = 0; i < introduced; ++i) {
            Word& word = words[i];
            if (word.due > day)
                continue;
            const double recall = memory::Retrievability(
                options.truth, static_cast<double>(DaysBetween(word.last, now)),
                word.truth.stability);
            const bool recalled = random.Next() < recall;
            grade(word, recalled ? pick(0, 0.1, 0.8) : Grade::Again);
            if (!recalled)
                grade(word, Grade::Good);
            word.due = day + Interval(options.scheduled, word.scheduled.stability,
                                      options.retention, 36500);
        }
        for (int n = 0; n < options.newPerDay && introduced < words.size(); ++n) {
            Word& word = words[introduced++];
            const Grade first = pick(0.2, 0.1, 0.6);
            grade(word, first);
            if (first == Grade::Again || first == Grade::Hard)
                grade(word, Grade::Good);
            word.due = day + Interval(options.scheduled, word.scheduled.stability,
                                      options.retention, 36500);
        }
    }
    ReviewLog log;
    for (Word& word : words)
        if (!word.grades.empty())
            log.AddWord(std::move(word.grades));
    return log;
}

} // namespace review
