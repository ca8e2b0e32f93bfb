#include "review/HistoryLoad.h"

namespace review {

HistoryLoad::Result LoadHistory(const std::string& path, const Scheduler& scheduler, TimeMs now,
                                bool withGrades) {
    HistoryLoad::Result result;
    History history;
    result.status = ReadHistory(path, history, result.message);
    if (result.status == ReadStatus::Refused || result.status == ReadStatus::Failed)
        return result;
    result.states = Replay(history, scheduler, LocalDayStart(now), &result.today,
                           withGrades ? &result.grades : nullptr);
    result.message = UnreadableLinesMessage(history);
    return result;
}

HistoryLoad::HistoryLoad(std::string path, const ScheduleSettings& settings, TimeMs now)
    : m_path(std::move(path)), m_scheduler(settings), m_now(now), m_thread([this] { Run(); }) {}

HistoryLoad::~HistoryLoad() {
    if (m_thread.joinable())
        m_thread.join();
}

void HistoryLoad::Run() {
    m_result = LoadHistory(m_path, m_scheduler, m_now);
    m_done.store(true, std::memory_order_release);
}

HistoryLoad::Result HistoryLoad::Take() {
    if (m_thread.joinable())
        m_thread.join();
    return std::move(m_result);
}

} // namespace review
