// Review-history text: reading in pieces gives what reading at once gives, every event read
// writes back as a line that reads as the same event, and replaying whatever was read neither
// crashes nor leaves a state outside the model's ranges.
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
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t end = std::min(text.find('\n', i), text.size());
        review::HistoryEvent event, again;
        if (review::ParseEvent(text.substr(i, end - i), event)) {
            line = review::FormatEvent(event);
            Check(review::ParseEvent(line, again));
            Check(review::FormatEvent(again) == line);
        }
        i = end + 1;
    }

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
