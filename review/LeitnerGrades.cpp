#include "review/LeitnerGrades.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <unordered_set>

#include "review/HistoryWriter.h"
#include "review/Replay.h"

namespace review {

namespace {

bool Number(std::string_view text, std::size_t at, std::size_t digits, int& value) {
    if (at + digits > text.size())
        return false;
    const char* begin = text.data() + at;
    const auto [end, error] = std::from_chars(begin, begin + digits, value);
    return error == std::errc() && end == begin + digits;
}

} // namespace

bool ParseLeitnerDate(std::string_view text, TimeMs& time) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (text.size() < 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || !Number(text, 0, 4, year) ||
        !Number(text, 5, 2, month) || !Number(text, 8, 2, day) || !Number(text, 11, 2, hour) ||
        !Number(text, 14, 2, minute) || !Number(text, 17, 2, second))
        return false;
    std::string_view rest = text.substr(19);
    if (!rest.empty() && rest.front() == '.') {
        rest.remove_prefix(1);
        while (!rest.empty() && rest.front() >= '0' && rest.front() <= '9')
            rest.remove_prefix(1);
    }
    if (rest == "Z")
        rest = {};
    if (!rest.empty() || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 ||
        minute > 59 || second > 60 || year < 1970)
        return false;
    std::tm utc{};
    utc.tm_year = year - 1900;
    utc.tm_mon = month - 1;
    utc.tm_mday = day;
    utc.tm_hour = hour;
    utc.tm_min = minute;
    utc.tm_sec = second;
    time = static_cast<TimeMs>(timegm(&utc)) * 1000;
    return true;
}

std::string FormatLeitnerDate(TimeMs time) {
    const std::time_t seconds = static_cast<std::time_t>(time / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    return text;
}

std::vector<HistoryEvent> StartingHistory(std::string_view word, const LeitnerGrade& grade,
                                          const Scheduler& scheduler) {
    std::vector<HistoryEvent> events;
    const int level = std::clamp(grade.level, 0, kTopLevel);
    if (level == 0 || grade.count <= 0)
        return events;
    const int misses = std::clamp(std::min(grade.errors, grade.count - level), 0, 3);
    CardState state;
    TimeMs at = 0;
    for (int i = 0; i < misses + level; ++i) {
        HistoryEvent event;
        event.time = at;
        event.kind = EventKind::Grade;
        event.word = std::string(word);
        event.grade = i < misses ? memory::Grade::Again : memory::Grade::Good;
        event.direction = Direction::WordToMeaning;
        state = scheduler.Next(state, event.grade, at, FuzzSeed(word, state.reps));
        at = std::max(state.due, at + 1);
        events.push_back(std::move(event));
    }
    const TimeMs shift = grade.date - events.back().time;
    for (HistoryEvent& event : events)
        event.time += shift;
    return events;
}

LeitnerGrade GradeOf(const CardState& card) {
    LeitnerGrade grade;
    if (card.phase == Phase::New || card.reps == 0)
        return grade;
    grade.count = card.reps;
    grade.errors = card.lapses;
    grade.date = card.lastReview;
    if (card.phase != Phase::Review) {
        grade.level = 1;
        return grade;
    }
    const TimeMs interval = card.due - card.lastReview;
    const TimeMs bounds[] = {2 * kDayMs,  4 * kDayMs,  7 * kDayMs,
                             14 * kDayMs, 30 * kDayMs, 60 * kDayMs};
    grade.level = 1;
    for (const TimeMs bound : bounds)
        grade.level += interval >= bound;
    return grade;
}

bool AppendStartingHistory(const std::string& path,
                           const std::vector<std::pair<std::string, LeitnerGrade>>& grades,
                           const Scheduler& scheduler, std::size_t& added, std::string& message) {
    added = 0;
    message.clear();
    if (grades.empty())
        return true;
    History history;
    const ReadStatus status = ReadHistory(path, history, message);
    if (status == ReadStatus::Refused || status == ReadStatus::Failed)
        return false;
    message.clear();
    const CardStates known = Replay(history, scheduler);
    HistoryWriter writer(path);
    std::unordered_set<std::string> done;
    for (const auto& [word, grade] : grades) {
        if (known.Find(word) != nullptr || done.count(word) != 0)
            continue;
        const std::vector<HistoryEvent> events = StartingHistory(word, grade, scheduler);
        if (events.empty())
            continue;
        for (const HistoryEvent& event : events) {
            if (!writer.Append(event, message))
                return false;
        }
        done.insert(word);
        ++added;
    }
    return true;
}

} // namespace review
