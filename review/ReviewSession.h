// A review of the due and new words of a list, one card at a time, without any window: the
// review window only shows what this says and passes on the learner's answers.
//
// Use:
//   ReviewSession session(list, HistoryPathFor(listPath), settings);
//   session.Start(message);            // reads and replays reviews.tsv; message: Info text
//   while (session.HasCard()) {
//       session.Current();             // the card: word, spell, type, meaning, direction
//       session.ButtonLabel(grade);    // "10 min", "3 d" under each button
//       session.Reveal();              // the answer side is shown
//       session.Grade(grade, message); // on disk before the next card; false: see message
//       session.Undo(message);         // takes the last grade back (Ctrl+Z)
//   }
//   session.Summary();
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "review/AnswerCheck.h"
#include "review/DueQueue.h"
#include "review/History.h"
#include "review/HistoryWriter.h"
#include "review/Replay.h"
#include "review/Schedule.h"
#include "words/WordList.h"

namespace review {

using Clock = std::function<TimeMs()>;
TimeMs SystemNow();

struct SessionSettings {
    ScheduleSettings schedule;
    DayLimits limits;
    Direction direction = Direction::WordToMeaning;
    // A learning card due within this much after the queue ran out is shown early rather than
    // ending the session with it waiting.
    TimeMs learnAhead = 20 * kMinuteMs;
};

struct ReviewCard {
    std::uint32_t index = 0; // in the list the session was given
    std::string word, spell, type, mean;
    Direction direction = Direction::WordToMeaning;
    Phase phase = Phase::New;
    // What is asked and what answers it, by the direction: the meaning for a word shown, or
    // the word for a meaning shown.
    const std::string& Prompt() const {
        return direction == Direction::WordToMeaning ? word : mean;
    }
    const std::string& Expected() const {
        return direction == Direction::WordToMeaning ? mean : word;
    }
};

struct SessionSummary {
    int reviewed = 0;
    int recalled = 0;   // graded Hard, Good or Easy
    TimeMs spentMs = 0; // from the start to the last grade
    TimeMs nextDue = 0; // when the next word falls due after now; 0 when none
    double RecalledPercent() const { return reviewed ? 100.0 * recalled / reviewed : 0.0; }
};

// "12 due, 20 new" for `vocamint --due`: reads and replays the history beside the list. False
// with `message` when the history cannot be read.
bool DueCounts(const WordList& words, const std::string& historyPath, TimeMs now,
               const SessionSettings& settings, std::string& text, std::string& message);

class ReviewSession {
public:
    // The list must outlive the session and stay unchanged while it runs.
    ReviewSession(const WordList& words, std::string historyPath, SessionSettings settings = {},
                  Clock clock = SystemNow, const FileStamp* listStamp = nullptr);

    // Reads and replays the history and builds the queue. Returns false only when the history
    // cannot be read at all (refused or failing file); `message` then says why, and the session
    // is empty. On success `message` is the Info text for unreadable lines, or empty.
    bool Start(std::string& message);

    bool HasCard() const { return m_current.has_value(); }
    const ReviewCard& Current() const { return *m_current; } // HasCard() must be true
    void Reveal() { m_revealed = true; }
    bool Revealed() const { return m_revealed; }

    // When the current card would be due again after each grade, and that as a button label.
    TimeMs PreviewInterval(memory::Grade grade) const;
    std::string ButtonLabel(memory::Grade grade) const;

    // Grades the current card and moves on. The grade is written and synced to the history
    // first; when that fails, `message` says so, the grade still counts and its line is kept
    // pending (PendingLines), written with the next grade or by FlushPending.
    bool Grade(memory::Grade grade, std::string& message);
    // The two-answer mode: Knew is Good, Forgot is Again.
    bool Answer(bool knew, std::string& message) {
        return Grade(knew ? memory::Grade::Good : memory::Grade::Again, message);
    }
    // The typed-answer mode: compares with the expected side of the current card.
    AnswerCheck CheckTyped(std::string_view typed) const;

    // Takes back the last grade: writes a retraction, restores the card's state and shows the
    // card again. Only the last grade can be taken back.
    bool CanUndo() const { return m_undo.has_value(); }
    bool Undo(std::string& message);

    SessionSummary Summary() const;
    const CardStates& States() const { return m_states; }
    // The queue as it stood at Start, for "12 due, 20 new".
    const DueQueue& Queue() const { return m_queue; }
    std::size_t PendingLines() const { return m_writer.PendingCount(); }
    bool FlushPending(std::string& message) { return m_writer.FlushPending(message); }
    HistoryWriter& Writer() { return m_writer; }

private:
    void ShowNext();
    TimeMs EventTime();
    void Show(std::uint32_t index);

    struct Waiting {
        TimeMs due;
        std::uint32_t index;
    };
    struct UndoStep {
        std::string word;
        TimeMs gradedAt;
        std::optional<CardState> before;
        std::uint32_t index;
        bool wasWaiting; // the grade put the card among the waiting learning cards
        bool recalled;
        TimeMs spentBefore;
    };

    const WordList& m_words;
    std::string m_historyPath;
    SessionSettings m_settings;
    Scheduler m_scheduler;
    Clock m_clock;
    HistoryWriter m_writer;
    CardStates m_states;
    DueQueue m_queue;
    std::deque<std::uint32_t> m_ahead; // due, then new words, in order
    std::vector<Waiting> m_waiting;    // learning cards graded this session, due later
    std::optional<ReviewCard> m_current;
    bool m_revealed = false;
    TimeMs m_shownAt = 0;
    TimeMs m_startedAt = 0;
    TimeMs m_lastGradeAt = 0;
    TimeMs m_lastEventAt = 0;
    int m_reviewed = 0;
    int m_recalled = 0;
    std::optional<UndoStep> m_undo;
};

} // namespace review
