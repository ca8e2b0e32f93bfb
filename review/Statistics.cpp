#include "review/Statistics.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace review {

namespace {

// The next local day's start: 36 hours on lands in the next day whatever its length.
TimeMs NextDayStart(TimeMs dayStart) {
    return LocalDayStart(dayStart + 36 * 3'600'000LL);
}

// Index of the day that holds `time` among `starts` (and the end after the last); -1 outside.
int DayIndex(const std::vector<TimeMs>& starts, TimeMs end, TimeMs time) {
    if (starts.empty() || time < starts.front() || time >= end)
        return -1;
    const auto after = std::upper_bound(starts.begin(), starts.end(), time);
    return static_cast<int>(after - starts.begin()) - 1;
}

} // namespace

std::vector<TimeMs> DayStarts(TimeMs first, int count) {
    std::vector<TimeMs> starts;
    if (count <= 0)
        return starts;
    starts.reserve(static_cast<std::size_t>(count));
    TimeMs start = LocalDayStart(first);
    for (int i = 0; i < count; ++i) {
        starts.push_back(start);
        start = NextDayStart(start);
    }
    return starts;
}

namespace {

// The starts of the `days` days ending with today, and the end of today.
std::vector<TimeMs> PastDays(TimeMs now, int days, TimeMs& end) {
    std::vector<TimeMs> starts;
    if (days <= 0) {
        end = 0;
        return starts;
    }
    starts.resize(static_cast<std::size_t>(days));
    TimeMs start = LocalDayStart(now);
    end = NextDayStart(start);
    for (int i = days - 1; i >= 0; --i) {
        starts[static_cast<std::size_t>(i)] = start;
        start = LocalDayStart(start - 12 * 3'600'000LL);
    }
    return starts;
}

} // namespace

std::vector<int> ReviewsPerDay(const std::vector<ReplayedGrade>& grades, TimeMs now, int days) {
    TimeMs end = 0;
    const std::vector<TimeMs> starts = PastDays(now, days, end);
    std::vector<int> counts(starts.size(), 0);
    for (const ReplayedGrade& g : grades) {
        const int day = DayIndex(starts, end, g.time);
        if (day >= 0)
            ++counts[static_cast<std::size_t>(day)];
    }
    return counts;
}

std::vector<int> DuePerDay(const CardStates& states, TimeMs now, int days) {
    const std::vector<TimeMs> starts = DayStarts(now, days);
    std::vector<int> counts(starts.size(), 0);
    if (starts.empty())
        return counts;
    const TimeMs end = NextDayStart(starts.back());
    states.ForEach([&](std::string_view, const CardState& s) {
        if (s.phase == Phase::New)
            return;
        const int day = s.due < starts.front() ? 0 : DayIndex(starts, end, s.due);
        if (day >= 0)
            ++counts[static_cast<std::size_t>(day)];
    });
    return counts;
}

std::vector<WeekShare> RecalledPerWeek(const std::vector<ReplayedGrade>& grades, TimeMs now,
                                       int weeks) {
    TimeMs end = 0;
    const std::vector<TimeMs> starts = PastDays(now, std::max(0, weeks) * 7, end);
    std::vector<WeekShare> shares(static_cast<std::size_t>(std::max(0, weeks)));
    for (const ReplayedGrade& g : grades) {
        if (g.before != Phase::Review)
            continue;
        const int day = DayIndex(starts, end, g.time);
        if (day < 0)
            continue;
        WeekShare& week = shares[static_cast<std::size_t>(day / 7)];
        ++week.reviewed;
        week.recalled += g.grade != memory::Grade::Again;
    }
    return shares;
}

CardCounts CountCards(const WordList& words, const CardStates& states) {
    CardCounts counts;
    std::unordered_set<std::string_view> seen;
    seen.reserve(words.GetCount());
    for (WordPos pos = words.Begin(); pos != words.End(); pos = words.Next(pos)) {
        const WordFields fields = words.Fields(pos);
        if (!seen.insert(fields.word).second)
            continue;
        const CardState* state = states.Find(fields.word);
        if (state == nullptr || state->phase == Phase::New) {
            ++counts.newWords;
        } else if (state->phase == Phase::Learning || state->phase == Phase::Relearning) {
            ++counts.learning;
        } else if (state->due - state->lastReview < kMatureDays * kDayMs) {
            ++counts.young;
        } else {
            ++counts.mature;
        }
    }
    return counts;
}

} // namespace review
