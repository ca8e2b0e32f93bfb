// Feeds arbitrary bytes to the review history reader, in pieces of the sizes the first byte
// chooses, replays what it read and works out the statistics; and to the readers of the
// review settings and of imported grade dates.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "review/History.h"
#include "review/LeitnerGrades.h"
#include "review/Replay.h"
#include "review/Statistics.h"
#include "settings/ReviewChoiceText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    double retention = 0;
    std::uint32_t count = 0;
    review::TimeMs time = 0;
    ParseRetention(bytes, retention);
    ParsePerDay(bytes, count);
    if (review::ParseLeitnerDate(bytes, time))
        (void)review::FormatLeitnerDate(time);

    review::History history;
    {
        review::HistoryParser parser(history);
        const std::size_t piece = size == 0 ? 1 : 1 + data[0] % 64;
        for (std::size_t at = 0; at < size; at += piece)
            parser.Feed(bytes.substr(at, piece));
        parser.Finish();
    }
    const review::Scheduler scheduler;
    const review::TimeMs now = 1'796'721'302'123;
    std::vector<review::ReplayedGrade> grades;
    review::DayCounts today;
    const review::CardStates states =
        review::Replay(history, scheduler, review::LocalDayStart(now), &today, &grades);
    (void)review::ReviewsPerDay(grades, now, 30);
    (void)review::RecalledPerWeek(grades, now, 4);
    (void)review::DuePerDay(states, now, 30);
    states.ForEach([](std::string_view, const review::CardState& state) {
        (void)review::GradeOf(state);
    });
    return 0;
}
