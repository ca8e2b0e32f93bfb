#include "review/Replay.h"

#include <algorithm>
#include <ctime>
#include <numeric>
#include <tuple>
#include <unordered_set>
#include <vector>

namespace review {

const CardState* CardStates::Find(std::string_view word) const {
    const auto found = m_states.find(word);
    return found == m_states.end() ? nullptr : &found->second;
}

CardState& CardStates::operator[](std::string_view word) {
    const auto found = m_states.find(word);
    if (found != m_states.end())
        return found->second;
    return m_states.emplace(std::string(word), CardState{}).first->second;
}

void CardStates::Rename(std::string_view from, std::string_view to) {
    const auto found = m_states.find(from);
    if (found == m_states.end() || from == to)
        return;
    const CardState state = found->second;
    m_states.erase(found);
    (*this)[to] = state;
}

namespace {

using Event = History::Event;

auto Key(const Event& e) {
    // Kind second: at one moment a grade comes before the rename or retraction that follows it.
    return std::tie(e.time, e.kind, e.word, e.grade, e.tookMs, e.direction, e.newWord,
                    e.retractedAt);
}

struct RetractionHash {
    std::size_t operator()(const std::pair<TimeMs, std::int32_t>& k) const {
        // Unsigned: a time stamp from a hostile file may be any 64-bit value.
        return std::hash<std::uint64_t>()(static_cast<std::uint64_t>(k.first) * 1'000'003u +
                                          static_cast<std::uint32_t>(k.second));
    }
};

} // namespace

namespace {

// Walks the grades that count, in time order: each line once however often copies of the
// history were combined, retracted grades left out, and a renamed word's grades kept with it.
// `grade(card, e)` gets each with the index of its word's card, counted from 0 in the order the
// words were first graded. Returns each word's card index, -1 for a word with none.
template <typename OnGrade>
std::vector<std::int32_t> WalkGrades(const History& history, OnGrade grade) {
    const std::vector<Event>& events = history.events;
    std::vector<std::uint32_t> order(events.size());
    std::iota(order.begin(), order.end(), 0u);
    // An appended history is nearly always in order already; sorting then costs one pass.
    const auto before = [&](std::uint32_t a, std::uint32_t b) {
        return Key(events[a]) < Key(events[b]);
    };
    if (!std::is_sorted(order.begin(), order.end(), before))
        std::sort(order.begin(), order.end(), before);

    std::unordered_set<std::pair<TimeMs, std::int32_t>, RetractionHash> retracted;
    for (const Event& e : events)
        if (e.kind == EventKind::Retract)
            retracted.emplace(e.retractedAt, e.word);

    // A rename moves the card to the new word's index.
    std::vector<std::int32_t> cardOf(history.words.size(), -1);
    std::int32_t cards = 0;
    const Event* previous = nullptr;
    for (const std::uint32_t index : order) {
        const Event& e = events[index];
        if (previous && Key(*previous) == Key(e))
            continue; // the same line twice: two copies of the history were combined
        previous = &e;
        if (e.kind == EventKind::Rename) {
            const std::int32_t card = cardOf[static_cast<std::size_t>(e.word)];
            if (card >= 0 && e.newWord != e.word) {
                cardOf[static_cast<std::size_t>(e.newWord)] = card;
                cardOf[static_cast<std::size_t>(e.word)] = -1;
            }
            continue;
        }
        const TimeMs stamp = e.firstStamped ? e.firstStamped : e.time;
        if (e.kind != EventKind::Grade || retracted.count({stamp, e.word}))
            continue;
        std::int32_t& card = cardOf[static_cast<std::size_t>(e.word)];
        if (card < 0)
            card = cards++;
        grade(static_cast<std::size_t>(card), e);
    }
    return cardOf;
}

} // namespace

CardStates Replay(const History& history, const Scheduler& scheduler, TimeMs dayStart,
                  DayCounts* today, std::vector<ReplayedGrade>* grades) {
    if (today)
        *today = {};
    std::vector<CardState> cards;
    const std::vector<std::int32_t> cardOf =
        WalkGrades(history, [&](std::size_t card, const Event& e) {
            if (card == cards.size())
                cards.emplace_back();
            CardState& state = cards[card];
            if (today && e.time >= dayStart)
                ++(state.phase == Phase::New ? today->newWords : today->reviews);
            if (grades)
                grades->push_back({e.time, e.grade, state.phase});
            const std::string& word = history.words[static_cast<std::size_t>(e.word)];
            state = scheduler.Next(state, e.grade, e.time, FuzzSeed(word, state.reps));
        });
    CardStates states;
    for (std::size_t w = 0; w < cardOf.size(); ++w)
        if (cardOf[w] >= 0)
            states[history.words[w]] = cards[static_cast<std::size_t>(cardOf[w])];
    return states;
}

ReviewLog GradesByWord(const History& history) {
    std::vector<std::vector<GradeAt>> cards;
    WalkGrades(history, [&](std::size_t card, const Event& e) {
        if (card == cards.size())
            cards.emplace_back();
        cards[card].push_back({e.time, e.grade});
    });
    ReviewLog log;
    for (auto& grades : cards)
        log.AddWord(std::move(grades));
    return log;
}

TimeMs LocalDayStart(TimeMs now) {
    const std::time_t seconds = static_cast<std::time_t>(now / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    local.tm_hour = 0;
    local.tm_min = 0;
    local.tm_sec = 0;
    local.tm_isdst = -1;
    return static_cast<TimeMs>(std::mktime(&local)) * 1000;
}

} // namespace review
