// The review beside the list: its history file, the day's counts read on a thread of their
// own, the reviews whose grades still wait for the disk, the words an edit renamed, and the
// progress KVTML files carry in and out. The session owns it; a window only shows what it says.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "exchange/Exporters.h"
#include "exchange/ImportedWords.h"
#include "review/History.h"
#include "review/HistoryLoad.h"
#include "review/HistoryWriter.h"
#include "review/ReviewSession.h"
#include "settings/Settings.h"
#include "storage/Folder.h"
#include "study/StatisticsFigures.h"
#include "words/WordList.h"

class ReviewState {
public:
    // `settings` are the session's, which the review options change and the session writes at
    // Exit; both outlive this object.
    ReviewState(const WordList& words, const ReviewSettings& settings);
    // Writes whatever is still pending: leaving without saving the list keeps every grade.
    ~ReviewState();
    ReviewState(const ReviewState&) = delete;
    ReviewState& operator=(const ReviewState&) = delete;

    // The history beside the word file at `listPath`; empty: no history (nothing is reviewed).
    void SetListPath(const std::string& listPath);
    const std::string& HistoryPath() const { return m_historyPath; }
    review::SessionSettings SessionSettings() const;

    // ---- The day's counts ----
    // Reads and replays the history on a thread of its own; a count still running is dropped.
    void StartCount(review::TimeMs now);
    bool Counting() const { return m_load != nullptr; }
    // Once the count is done: "12 due, 20 new", or an empty text when the history could not be
    // read; nothing while it runs.
    std::optional<std::string> TakeCount(review::TimeMs now);
    // Whether the file changed since the last count: another machine's reviews arrived through
    // a folder synchroniser, or another copy of the program reviewed.
    bool HistoryChanged() const;

    // ---- Reviewing ----
    struct Begun {
        std::unique_ptr<review::ReviewSession> session; // none: `message` says why
        std::string message; // the error, or the Info text on unreadable lines (once a run)
    };
    Begun BeginReview();
    // A review that ended: its grades not yet on disk are written at Exit.
    void EndReview(std::unique_ptr<review::ReviewSession> session);

    // What the statistics window draws; false with `message` when the history cannot be read.
    bool Figures(review::TimeMs now, StatisticsFigures& figures, std::string& message) const;

    // ---- The words' history follows the list ----
    // Edits (or their undo) gave these words other texts at `when`; written once the list is.
    void Renamed(std::vector<std::pair<std::string, std::string>> renames, review::TimeMs when);
    // After the list was saved: the renames go into the history, in the order they were made
    // and stamped when they were made. Why not, or empty (they stay pending for Exit).
    std::string WriteRenames();
    // The list was left unsaved: its words on disk are the old ones, and so stay their history.
    void DropRenames() { m_renames.clear(); }

    // After an import: the progress a KVTML file carried starts the history of its words. Why
    // it could not, or empty.
    std::string ImportGrades(const std::vector<KvtmlGrade>& grades);
    // The schedule of each word, for a KVTML export.
    GradeLookup GradesForExport() const;

    // At Exit: grades and renames that could not be written yet are written, else kept in a
    // conflict file beside the history. Why not, or empty.
    std::string WritePending();

private:
    FileStamp Stamp() const;

    const WordList& m_words;
    const ReviewSettings& m_settings;
    std::string m_historyPath;
    std::unique_ptr<review::HistoryLoad> m_load;
    FileStamp m_counted; // the history as last counted
    bool m_toldUnreadable = false;
    std::vector<review::HistoryEvent> m_renames; // made since the last save
    review::TimeMs m_lastRename = 0;
    std::unique_ptr<review::HistoryWriter> m_writer; // renames that failed to be written
    std::vector<std::unique_ptr<review::ReviewSession>> m_pending;
};
