// Reads and replays a review history on a thread of its own, so that a window can show the
// day's counts without waiting for a long history.
#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "review/History.h"
#include "review/Replay.h"
#include "review/Schedule.h"

namespace review {

class HistoryLoad {
public:
    struct Result {
        ReadStatus status = ReadStatus::Missing;
        std::string message; // why it failed, or the Info text for unreadable lines
        CardStates states;
        DayCounts today;
        std::vector<ReplayedGrade> grades; // only when asked for
    };

    // Starts at once; `now` decides which events count as today's.
    HistoryLoad(std::string path, const ScheduleSettings& settings, TimeMs now);
    ~HistoryLoad(); // waits for the thread
    HistoryLoad(const HistoryLoad&) = delete;
    HistoryLoad& operator=(const HistoryLoad&) = delete;

    bool Done() const { return m_done.load(std::memory_order_acquire); }
    // The result once Done(); waits for it otherwise.
    Result Take();

private:
    void Run();

    std::string m_path;
    Scheduler m_scheduler;
    TimeMs m_now;
    Result m_result;
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

// The whole of it without a thread, for the command line and the statistics.
HistoryLoad::Result LoadHistory(const std::string& path, const Scheduler& scheduler, TimeMs now,
                                bool withGrades = false);

} // namespace review
