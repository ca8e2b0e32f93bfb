// The order in which words come up for review: due words first, the least likely to be
// recalled first, then new words in list order up to the day's limit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "review/Replay.h"
#include "review/Schedule.h"
#include "words/WordList.h"

namespace review {

struct DayLimits {
    std::uint32_t newWords = 20; // new words introduced per local calendar day
    std::uint32_t reviews = 0;   // reviews per day; 0 for no limit
};

struct DueQueue {
    std::vector<std::uint32_t> due;      // list indexes, least likely recalled first
    std::vector<std::uint32_t> newWords; // list indexes, in list order
    std::uint64_t dueTotal = 0;          // due words before the review limit cut them
};

// Builds the queue for `now`. `today` holds what was already done on the current day (from
// Replay); new words introduced today count against the new-word limit. An entry whose word
// appears earlier in the list is the same card and comes up once.
DueQueue BuildDueQueue(const WordList& words, const CardStates& states, const Scheduler& scheduler,
                       TimeMs now, const DayLimits& limits, const DayCounts& today);

// "12 due, 20 new" for the command line.
std::string DueSummary(const DueQueue& queue);

} // namespace review
