// The learner's review choices, as the typed settings keep them in env.ini's [Review] section,
// turned into what the scheduler and the review take.
#pragma once

#include <string>

#include "review/MemoryModel.h"
#include "review/ReviewSession.h"
#include "review/Schedule.h"
#include "settings/Settings.h"

namespace review {

// The kept parameters; the defaults when none are kept or they are not 21 numbers within the
// model's bounds (a hand-edited file must not break the schedule).
memory::Parameters<double> ParametersOf(const ReviewSettings& review);

// Keeps fitted parameters (the defaults: keeps none); false, with `message` for the learner,
// when the file could not be written (it is then unchanged).
bool KeepParameters(Settings& settings, const memory::Parameters<double>& w, std::string& message);

// The schedule of those choices: their retention and their kept parameters.
ScheduleSettings ScheduleOf(const ReviewSettings& review);
// A review's settings: the schedule, the day's limits and the direction.
SessionSettings SessionSettingsOf(const ReviewSettings& review);

} // namespace review
