// The numbers of the statistics window: reviews per day over the past year, reviews due per
// day ahead, the share recalled per week, and how many words are new, learning, young and
// mature. Days are the learner's local calendar days.
#pragma once

#include <cstdint>
#include <vector>

#include "review/Replay.h"
#include "review/Schedule.h"
#include "words/WordList.h"

namespace review {

// The starts of `count` consecutive local days; `first` is any moment of the first one.
// Days of 23 or 25 hours (daylight saving) are whole days.
std::vector<TimeMs> DayStarts(TimeMs first, int count);

// Grades given on each of the `days` days that end with today: [0] is the oldest day.
std::vector<int> ReviewsPerDay(const std::vector<ReplayedGrade>& grades, TimeMs now, int days);

// Words falling due on each of the next `days` days, today first; words overdue count today.
std::vector<int> DuePerDay(const CardStates& states, TimeMs now, int days);

struct WeekShare {
    int reviewed = 0; // grades given to words in the Review phase (learning steps not counted)
    int recalled = 0; // of them, not Again
    double Share() const { return reviewed ? static_cast<double>(recalled) / reviewed : 0.0; }
};
// The `weeks` weeks of seven days that end with today: [0] is the oldest.
std::vector<WeekShare> RecalledPerWeek(const std::vector<ReplayedGrade>& grades, TimeMs now,
                                       int weeks);

inline constexpr int kMatureDays = 21;

struct CardCounts {
    std::uint32_t newWords = 0; // never graded
    std::uint32_t learning = 0; // in learning or relearning steps
    std::uint32_t young = 0;    // an interval under 21 days
    std::uint32_t mature = 0;   // an interval of 21 days or more
};
// The words of the list, an entry whose word appeared earlier in the list counted once.
CardCounts CountCards(const WordList& words, const CardStates& states);

} // namespace review
