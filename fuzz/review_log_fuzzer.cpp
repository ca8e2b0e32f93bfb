// Review-history text: reading in pieces gives what reading at once gives, and what each line
// read on its own gives; every event read writes back as a line that reads as the same event, and
// replaying whatever was read neither crashes nor leaves a state outside the model's ranges.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "review/History.h"
#include "review/Replay.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

review::History Read(std::string_view text, std::size_t piece) {
    review::History history;
    review::HistoryParser parser(history);
    for (std::size_t at = 0; at < text.size(); at += piece)
        parser.Feed(text.substr(at, piece));
    parser.Finish();
    return history;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const review::History whole = Read(text, text.size() + 1);
    const review::History pieces = Read(text, 1 + size % 13);
    Check(whole.events.size() == pieces.events.size());
    Check(whole.words == pieces.words);
    Check(whole.unreadableLines == pieces.unreadableLines);
    Check(whole.firstUnreadableLine == pieces.firstUnreadableLine);
    Check(whole.tornTail == pieces.tornTail);

    std::string line;
    std::size_t at = 0; // the next event of `whole`
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t newline = text.find('\n', i);
        const std::size_t end = std::min(newline, text.size());
        review::HistoryEvent event, again;
        const std::string_view own = text.substr(i, end - i);
        const bool wholeLine =
            newline != std::string_view::npos && own.size() <= review::HistoryParser::kMaxLineBytes;
        if (review::ParseEvent(own, event)) {
            line = review::FormatEvent(event);
            Check(review::ParseEvent(line, again));
            Check(review::FormatEvent(again) == line);
            if (wholeLine && own[0] != '#') {
                Check(at < whole.events.size());
                const review::History::Event& e = whole.events[at++];
                Check(e.time == event.time && e.kind == event.kind &&
                      e.firstStamped == event.firstStamped);
                Check(whole.words[static_cast<std::size_t>(e.word)] == event.word);
                if (e.kind == review::EventKind::Grade)
                    Check(e.grade == event.grade && e.tookMs == event.tookMs &&
                          e.direction == event.direction);
                if (e.kind == review::EventKind::Rename)
                    Check(whole.words[static_cast<std::size_t>(e.newWord)] == event.newWord);
                if (e.kind == review::EventKind::Retract)
                    Check(e.retractedAt == event.retractedAt);
            }
        }
        i = end + 1;
    }
    Check(at == whole.events.size());

    const review::Scheduler scheduler;
    review::DayCounts today;
    const review::CardStates states = review::Replay(whole, scheduler, 0, &today);
    states.ForEach([](std::string_view, const review::CardState& s) {
        Check(s.difficulty >= memory::kMinDifficulty && s.difficulty <= memory::kMaxDifficulty);
        Check(s.stability >= memory::kMinStability && std::isfinite(s.stability));
        Check(s.reps > 0);
    });
    return 0;
}
