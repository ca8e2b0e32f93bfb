#include "review/DueQueue.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace review {

DueQueue BuildDueQueue(const WordList& words, const CardStates& states, const Scheduler& scheduler,
                       TimeMs now, const DayLimits& limits, const DayCounts& today) {
    DueQueue queue;
    const std::uint64_t newRoom =
        today.newWords >= limits.newWords ? 0 : limits.newWords - today.newWords;
    struct Due {
        double recall;
        const CardState* state; // one per word: a word listed twice has one
        std::uint32_t index;
    };
    std::vector<Due> due;
    // A word listed twice shares one card: the first entry stands for it.
    std::unordered_set<std::string_view> seenNew;
    const std::uint32_t count = words.GetCount();
    WordPos pos = words.Begin();
    for (std::uint32_t i = 0; i < count; ++i, pos = words.Next(pos)) {
        const std::string_view word = words.Fields(pos).word;
        const CardState* state = states.Find(word);
        if (!state || state->phase == Phase::New) {
            if (queue.newWords.size() < newRoom && seenNew.insert(word).second)
                queue.newWords.push_back(i);
            continue;
        }
        if (state->due <= now)
            due.push_back({scheduler.RecallExact(*state, now), state, i});
    }
    // Lowest recall first; list order among equals so that the queue is the same every time.
    // The entries of one word have one state, hence one recall: they end up side by side.
    std::sort(due.begin(), due.end(), [](const Due& a, const Due& b) {
        if (a.recall != b.recall)
            return a.recall < b.recall;
        return a.state != b.state ? a.state < b.state : a.index < b.index;
    });
    due.erase(std::unique(due.begin(), due.end(),
                          [](const Due& a, const Due& b) { return a.state == b.state; }),
              due.end());
    queue.dueTotal = due.size();
    std::size_t keep = due.size();
    if (limits.reviews != 0)
        keep = today.reviews >= limits.reviews
                   ? 0
                   : std::min<std::uint64_t>(keep, limits.reviews - today.reviews);
    queue.due.reserve(keep);
    for (std::size_t i = 0; i < keep; ++i)
        queue.due.push_back(due[i].index);
    return queue;
}

std::string DueSummary(const DueQueue& queue) {
    return std::to_string(queue.due.size()) + " due, " + std::to_string(queue.newWords.size()) +
           " new";
}

} // namespace review
