// `vocamint --due`: the day's review counts of the current folder's list, for a shell prompt
// or a desktop reminder.
#pragma once

#include "review/Schedule.h"

// Prints "12 due, 20 new" and returns the exit status: 0, or 1 when the list or the history
// cannot be read (with a message on stderr).
int PrintDueCounts();

// The schedule's settings as [Review] of the current folder's env.ini gives them.
review::ScheduleSettings ScheduleOfCurrentFolder();
