// Progress kept as a box-system grade (a level from 0 to 7, how often a word was asked and
// missed, and when last), as vocabulary files carry it, turned into a starting history and
// back, so that a learner moving a list between programs keeps their progress.
//
// Import: a word at level L (1-7), asked `count` times with `errors` misses, last on `date`,
// starts with up to three Again grades (the misses, at most count - L of them) followed by L
// Good grades, each given when the one before fell due, shifted so that the last grade is on
// `date`. Level 0, or no count, leaves the word new. A date that cannot be read is now.
// Export: the level of a card is 1 while it is learning, then by its interval: under 2 days
// 1, 2 days 2, 4 days 3, a week 4, two weeks 5, a month 6, two months and more 7; `count` is
// its grades, `errors` its lapses, `date` its last grade.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "review/History.h"
#include "review/Schedule.h"

namespace review {

inline constexpr int kTopLevel = 7;

struct LeitnerGrade {
    int level = 0; // 0: never asked
    int count = 0;
    int errors = 0;
    TimeMs date = 0;
};

// "2010-03-07T14:32:10", with an optional fraction and 'Z', read as UTC.
bool ParseLeitnerDate(std::string_view text, TimeMs& time);
std::string FormatLeitnerDate(TimeMs time);

// The grade events (at most 3 + kTopLevel) that give `word` the progress of `grade`.
std::vector<HistoryEvent> StartingHistory(std::string_view word, const LeitnerGrade& grade,
                                          const Scheduler& scheduler);

// The grade to write for a card; level 0 for a new one.
LeitnerGrade GradeOf(const CardState& card);

// Appends the starting history of each (word, grade) whose word the history at `path` does
// not know yet: progress kept here is never replaced by an imported one. `added` counts the
// words given a history.
bool AppendStartingHistory(const std::string& path,
                           const std::vector<std::pair<std::string, LeitnerGrade>>& grades,
                           const Scheduler& scheduler, std::size_t& added, std::string& message);

} // namespace review
