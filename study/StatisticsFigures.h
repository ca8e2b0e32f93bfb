// What the statistics window draws, worked out by review/ before the window's module loads:
// the module only draws these numbers.
#pragma once

#include <cstdint>
#include <vector>

struct StatisticsFigures {
    // Reviews on each of the last days, oldest first; the weekday of the first (0 Monday).
    std::vector<int> reviewsPerDay;
    int firstWeekday = 0;
    // Reviews due on each of the next days, today first.
    std::vector<int> duePerDay;
    // The share recalled of each week, oldest first; weeks without reviews are -1.
    std::vector<double> recalledPerWeek;
    double desiredRetention = 0.9;
    std::uint32_t newWords = 0, learning = 0, young = 0, mature = 0;
    bool dark = false;
};

// The module's one function, found by name: shows the window over `parent` until it is
// closed. Returns false when the window could not be made.
using ShowStatisticsFunction = bool (*)(void* parent, const StatisticsFigures* figures);
inline constexpr const char* kShowStatisticsName = "vocamint_show_statistics";
