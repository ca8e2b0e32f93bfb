// Every word's card state, rebuilt by replaying the review history: the history is the only
// store of the schedule.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "review/Fit.h"
#include "review/History.h"
#include "review/Schedule.h"

namespace review {

// Card states by word (the entry's word, bytes as stored in the list).
class CardStates {
public:
    // nullptr for a word with no history: it is new.
    const CardState* Find(std::string_view word) const;
    CardState& operator[](std::string_view word);
    // Carries the state of `from` over to `to` (an edit renamed the word); `to` loses any
    // state of its own.
    void Rename(std::string_view from, std::string_view to);
    std::size_t Size() const { return m_states.size(); }
    void Reserve(std::size_t words) { m_states.reserve(words); }

    template <typename Visit> void ForEach(Visit visit) const {
        for (const auto& [word, state] : m_states)
            visit(std::string_view(word), state);
    }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>()(s);
        }
    };
    std::unordered_map<std::string, CardState, Hash, std::equal_to<>> m_states;
};

// What was done on the learner's current day, for the day's limits.
struct DayCounts {
    std::uint64_t reviews = 0;  // grades given to words that were not new
    std::uint64_t newWords = 0; // words graded for the first time
};

// One grade that counts, as replay applied it, for the statistics.
struct ReplayedGrade {
    TimeMs time = 0;
    memory::Grade grade = memory::Grade::Good;
    Phase before = Phase::New; // the card's phase when it was graded
};

// Replays the history in time order: duplicate events count once, retracted grades are
// skipped, renames carry a word's state over. Events at or after `dayStart` fill `today`;
// `grades`, when given, receives every grade applied, in time order.
CardStates Replay(const History& history, const Scheduler& scheduler, TimeMs dayStart = 0,
                  DayCounts* today = nullptr, std::vector<ReplayedGrade>* grades = nullptr);

// Every word's grades in time order, after the same dedup, retraction and renames as Replay:
// the input of a parameter fit.
ReviewLog GradesByWord(const History& history);

// The start of the local calendar day that contains `now` (the machine's time zone).
TimeMs LocalDayStart(TimeMs now);

} // namespace review
