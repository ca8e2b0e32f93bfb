#include "review/Replay.h"

#include "base/HugePages.h"

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

// Calls `visit(i)` for the index of every event in Key order. An appended history is in time
// order but for its rare ties, so it is walked as it stands and only the events of one moment
// are sorted among themselves; a history in any other order is sorted whole.
template <typename Visit> void InKeyOrder(const std::vector<Event>& events, Visit visit) {
    const auto before = [&](std::uint32_t a, std::uint32_t b) {
        return Key(events[a]) < Key(events[b]);
    };
    const std::size_t n = events.size();
    for (std::size_t i = 1; i < n; ++i) {
        if (events[i].time < events[i - 1].time) {
            std::vector<std::uint32_t> order(n);
            std::iota(order.begin(), order.end(), 0u);
            std::sort(order.begin(), order.end(), before);
            for (const std::uint32_t index : order)
                visit(index);
            return;
        }
    }
    std::vector<std::uint32_t> moment;
    for (std::size_t i = 0; i < n;) {
        std::size_t end = i + 1;
        while (end < n && events[end].time == events[i].time)
            ++end;
        if (end == i + 1) {
            visit(static_cast<std::uint32_t>(i));
        } else {
            moment.resize(end - i);
            std::iota(moment.begin(), moment.end(), static_cast<std::uint32_t>(i));
            if (!std::is_sorted(moment.begin(), moment.end(), before))
                std::sort(moment.begin(), moment.end(), before);
            for (const std::uint32_t index : moment)
                visit(index);
        }
        i = end;
    }
}

// Walks the grades that count, in time order: each line once however often copies of the
// history were combined, retracted grades left out, and a renamed word's grades kept with it.
// `grade(card, e)` gets each with the index of its word's card, counted from 0 in the order the
// words were first graded; `soon(word, card)` is told of a word graded a few events on (card -1
// before its first grade), to fetch what it needs ahead. Returns each word's card index, -1 for a
// word with none.
template <typename OnGrade, typename Soon>
std::vector<std::int32_t> WalkGrades(const History& history, OnGrade grade, Soon soon) {
    const std::vector<Event>& events = history.events;
    std::unordered_set<std::pair<TimeMs, std::int32_t>, RetractionHash> retracted;
    for (const Event& e : events)
        if (e.kind == EventKind::Retract)
            retracted.emplace(e.retractedAt, e.word);

    // A rename moves the card to the new word's index.
    std::vector<std::int32_t> cardOf(history.words.size(), -1);
    std::int32_t cards = 0;
    const Event* previous = nullptr;
    InKeyOrder(events, [&](std::uint32_t index) {
        // The events a few lines on are nearly always the next ones: start fetching their
        // words' cards, which lie anywhere in memory.
        if (const std::size_t ahead = index + 16u; ahead < events.size()) {
            const auto word = static_cast<std::size_t>(events[ahead].word);
            __builtin_prefetch(&cardOf[word]);
        }
        if (const std::size_t ahead = index + 8u; ahead < events.size()) {
            const auto word = static_cast<std::size_t>(events[ahead].word);
            soon(word, cardOf[word]);
        }
        const Event& e = events[index];
        if (previous && Key(*previous) == Key(e))
            return; // the same line twice: two copies of the history were combined
        previous = &e;
        if (e.kind == EventKind::Rename) {
            const std::int32_t card = cardOf[static_cast<std::size_t>(e.word)];
            if (card >= 0 && e.newWord != e.word) {
                cardOf[static_cast<std::size_t>(e.newWord)] = card;
                cardOf[static_cast<std::size_t>(e.word)] = -1;
            }
            return;
        }
        const TimeMs stamp = e.firstStamped ? e.firstStamped : e.time;
        if (e.kind != EventKind::Grade || (!retracted.empty() && retracted.count({stamp, e.word})))
            return;
        std::int32_t& card = cardOf[static_cast<std::size_t>(e.word)];
        if (card < 0)
            card = cards++;
        grade(static_cast<std::size_t>(card), e);
    });
    return cardOf;
}

} // namespace

CardStates Replay(const History& history, const Scheduler& scheduler, TimeMs dayStart,
                  DayCounts* today, std::vector<ReplayedGrade>* grades) {
    if (today)
        *today = {};
    std::vector<CardState> cards;
    cards.reserve(history.words.size());
    AdviseHugePages(cards);
    // Each word's part of its fuzz seeds, worked out once rather than at each of its grades.
    std::vector<std::uint64_t> fuzzHash(history.words.size());
    for (std::size_t w = 0; w < fuzzHash.size(); ++w)
        fuzzHash[w] = FuzzWordHash(history.words[w]);
    const std::vector<std::int32_t> cardOf = WalkGrades(
        history,
        [&](std::size_t card, const Event& e) {
            if (card == cards.size())
                cards.emplace_back();
            CardState& state = cards[card];
            if (today && e.time >= dayStart)
                ++(state.phase == Phase::New ? today->newWords : today->reviews);
            if (grades)
                grades->push_back({e.time, e.grade, state.phase});
            const std::uint64_t hash = fuzzHash[static_cast<std::size_t>(e.word)];
            state = scheduler.Next(state, e.grade, e.time, FuzzSeedOf(hash, state.reps));
        },
        // Inlined by force: on its own it has no effect the compiler must keep, and a call to it
        // would be dropped with its prefetches.
        [&](std::size_t word, std::int32_t card) __attribute__((always_inline)) {
            __builtin_prefetch(&fuzzHash[word]);
            if (card >= 0 && static_cast<std::size_t>(card) < cards.size()) {
                // A state may span two cache lines.
                const CardState* state = &cards[static_cast<std::size_t>(card)];
                __builtin_prefetch(state);
                __builtin_prefetch(reinterpret_cast<const char*>(state + 1) - 1);
            }
        });
    CardStates states;
    states.Reserve(static_cast<std::size_t>(cards.size()));
    for (std::size_t w = 0; w < cardOf.size(); ++w)
        if (cardOf[w] >= 0)
            states[history.words[w]] = cards[static_cast<std::size_t>(cardOf[w])];
    return states;
}

ReviewLog GradesByWord(const History& history) {
    std::vector<std::vector<GradeAt>> cards;
    WalkGrades(
        history,
        [&](std::size_t card, const Event& e) {
            if (card == cards.size())
                cards.emplace_back();
            cards[card].push_back({e.time, e.grade});
        },
        [](std::size_t, std::int32_t) {});
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
