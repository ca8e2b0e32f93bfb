// Progress carried through KVTML files: the <grade> of imported words into the review
// history, and the schedule into the <grade> of exported ones.
#pragma once

#include <string>
#include <vector>

#include "exchange/Exporters.h"
#include "exchange/ImportedWords.h"
#include "review/LeitnerGrades.h"
#include "review/Schedule.h"

// A grade as read; a date that cannot be read is `now`.
review::LeitnerGrade FromKvtml(const KvtmlGrade& grade, review::TimeMs now);

// Starts the history of each graded word that has none yet. True when nothing failed;
// `message` says what did.
bool ImportGrades(const std::string& historyPath, const std::vector<KvtmlGrade>& grades,
                  const review::ScheduleSettings& settings, std::size_t& added,
                  std::string& message);

// The grade of each word with a history, read once now; an empty lookup when the history
// cannot be read (the export then carries no grades, as before).
GradeLookup GradesForExport(const std::string& historyPath,
                            const review::ScheduleSettings& settings);
