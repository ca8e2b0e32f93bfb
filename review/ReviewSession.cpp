#include "review/ReviewSession.h"

#include <algorithm>
#include <chrono>

namespace review {

TimeMs SystemNow() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

bool DueCounts(const WordList& words, const std::string& historyPath, TimeMs now,
               const SessionSettings& settings, std::string& text, std::string& message) {
    History history;
    const ReadStatus status = ReadHistory(historyPath, history, message);
    if (status == ReadStatus::Refused || status == ReadStatus::Failed)
        return false;
    const Scheduler scheduler(settings.schedule);
    DayCounts today;
    const CardStates states = Replay(history, scheduler, LocalDayStart(now), &today);
    text = DueSummary(BuildDueQueue(words, states, scheduler, now, settings.limits, today));
    return true;
}

ReviewSession::ReviewSession(const WordList& words, std::string historyPath,
                             SessionSettings settings, Clock clock, const FileStamp* listStamp)
    : m_words(words), m_historyPath(std::move(historyPath)), m_settings(std::move(settings)),
      m_scheduler(m_settings.schedule), m_clock(std::move(clock)),
      m_writer(m_historyPath, listStamp) {}

bool ReviewSession::Start(std::string& message) {
    message.clear();
    History history;
    const ReadStatus status = ReadHistory(m_historyPath, history, message);
    if (status == ReadStatus::Refused || status == ReadStatus::Failed)
        return false;
    const TimeMs now = m_clock();
    m_startedAt = now;
    DayCounts today;
    m_states = Replay(history, m_scheduler, LocalDayStart(now), &today);
    m_queue = BuildDueQueue(m_words, m_states, m_scheduler, now, m_settings.limits, today);
    m_ahead.assign(m_queue.due.begin(), m_queue.due.end());
    m_ahead.insert(m_ahead.end(), m_queue.newWords.begin(), m_queue.newWords.end());
    message = UnreadableLinesMessage(history);
    ShowNext();
    return true;
}

void ReviewSession::Show(std::uint32_t index) {
    const WordFields fields = m_words.Fields(m_words.PosAt(index));
    ReviewCard card;
    card.index = index;
    card.word = fields.word;
    card.spell = fields.spell;
    card.type = fields.type;
    card.mean = fields.mean;
    card.direction = m_settings.direction;
    const CardState* state = m_states.Find(card.word);
    card.phase = state ? state->phase : Phase::New;
    m_current = std::move(card);
    m_revealed = false;
    m_shownAt = m_clock();
}

void ReviewSession::ShowNext() {
    const TimeMs now = m_clock();
    const auto earliest =
        std::min_element(m_waiting.begin(), m_waiting.end(),
                         [](const Waiting& a, const Waiting& b) { return a.due < b.due; });
    // A learning card whose step is over comes before the rest of the queue.
    if (earliest != m_waiting.end() &&
        (earliest->due <= now ||
         (m_ahead.empty() && earliest->due <= now + m_settings.learnAhead))) {
        const std::uint32_t index = earliest->index;
        m_waiting.erase(earliest);
        Show(index);
        return;
    }
    if (!m_ahead.empty()) {
        const std::uint32_t index = m_ahead.front();
        m_ahead.pop_front();
        Show(index);
        return;
    }
    m_current.reset();
}

TimeMs ReviewSession::PreviewInterval(memory::Grade grade) const {
    const TimeMs now = m_clock();
    const CardState* state = m_states.Find(m_current->word);
    const CardState before = state ? *state : CardState{};
    const CardState after =
        m_scheduler.Next(before, grade, now, FuzzSeed(m_current->word, before.reps));
    return after.due - now;
}

std::string ReviewSession::ButtonLabel(memory::Grade grade) const {
    return FormatInterval(PreviewInterval(grade));
}

TimeMs ReviewSession::EventTime() {
    // Strictly increasing, so that no two events of this session are the same line, which
    // the history would count once.
    m_lastEventAt = std::max(m_clock(), m_lastEventAt + 1);
    return m_lastEventAt;
}

bool ReviewSession::Grade(memory::Grade grade, std::string& message) {
    message.clear();
    const TimeMs now = EventTime();
    const ReviewCard& card = *m_current;
    HistoryEvent event;
    event.time = now;
    event.kind = EventKind::Grade;
    event.word = card.word;
    event.grade = grade;
    event.tookMs = std::max<TimeMs>(0, now - m_shownAt);
    event.direction = card.direction;
    const bool written = m_writer.Append(event, message);

    const CardState* found = m_states.Find(card.word);
    UndoStep undo{card.word,    now,   found ? std::optional<CardState>(*found) : std::nullopt,
                  card.index,   false, grade != memory::Grade::Again,
                  m_lastGradeAt};
    const CardState before = found ? *found : CardState{};
    const CardState after = m_scheduler.Next(before, grade, now, FuzzSeed(card.word, before.reps));
    m_states[card.word] = after;
    if (after.phase == Phase::Learning || after.phase == Phase::Relearning) {
        m_waiting.push_back({after.due, card.index});
        undo.wasWaiting = true;
    }
    ++m_reviewed;
    m_recalled += undo.recalled;
    m_lastGradeAt = now;
    m_undo = std::move(undo);
    ShowNext();
    return written;
}

AnswerCheck ReviewSession::CheckTyped(std::string_view typed) const {
    return CheckAnswer(typed, m_current->Expected());
}

bool ReviewSession::Undo(std::string& message) {
    message.clear();
    if (!m_undo)
        return false;
    const UndoStep undo = std::move(*m_undo);
    m_undo.reset();
    HistoryEvent event;
    event.time = EventTime(); // after the grade it takes back
    event.kind = EventKind::Retract;
    event.word = undo.word;
    event.retractedAt = undo.gradedAt;
    const bool written = m_writer.Append(event, message);

    if (undo.before)
        m_states[undo.word] = *undo.before;
    else
        m_states[undo.word] = CardState{};
    if (undo.wasWaiting) {
        const auto it = std::find_if(m_waiting.begin(), m_waiting.end(),
                                     [&](const Waiting& w) { return w.index == undo.index; });
        if (it != m_waiting.end())
            m_waiting.erase(it);
    }
    // The card that was showing goes back to the front; the taken-back card shows again.
    if (m_current && m_current->index != undo.index)
        m_ahead.push_front(m_current->index);
    --m_reviewed;
    m_recalled -= undo.recalled;
    m_lastGradeAt = undo.spentBefore;
    Show(undo.index);
    return written;
}

SessionSummary ReviewSession::Summary() const {
    SessionSummary summary;
    summary.reviewed = m_reviewed;
    summary.recalled = m_recalled;
    summary.spentMs = m_reviewed ? m_lastGradeAt - m_startedAt : 0;
    const TimeMs now = m_clock();
    m_states.ForEach([&](std::string_view, const CardState& s) {
        if (s.phase != Phase::New && s.due > now &&
            (summary.nextDue == 0 || s.due < summary.nextDue))
            summary.nextDue = s.due;
    });
    return summary;
}

} // namespace review
