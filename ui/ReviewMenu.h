// The study window's Review menu: the day's counts in its first item, the review window and
// the review options, the history read after the first paint, and what is left at Exit.
#pragma once

#include <QPointer>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "exchange/ImportedWords.h"
#include "review/HistoryLoad.h"
#include "review/ReviewSession.h"
#include "settings/Settings.h"
#include "storage/Folder.h"
#include "words/WordList.h"

class CDialog;
class Speaker;

class ReviewMenu {
public:
    // `window` owns the menu bar and the boxes; `words` is its list.
    ReviewMenu(CDialog& window, const WordList& words, Speaker& speaker);
    ~ReviewMenu();

    // Once the window is on screen: the review choices of the session's settings, which the
    // options change and the session writes at Exit, and the history read on a thread of its
    // own; the counts come into the menu when it is read.
    void Start(ReviewSettings& settings, std::string historyPath);
    // Ctrl+R: a review of the day's words in a window of its own.
    void OpenReview();
    // Review > Statistics...: the charts module is loaded on the first use.
    void OpenStatistics();
    // Review > Options...: the choices take effect at once and are written at Exit.
    void OpenOptions();
    // At Exit: grades that could not be written yet. A box tells of a failure unless `quiet`.
    void Exit(bool quiet);

    const ReviewSettings& Settings() const { return *m_settings; }
    const std::string& HistoryPath() const { return m_historyPath; }
    review::ScheduleSettings Schedule() const { return SessionSettings().schedule; }
    // After an import: the progress a KVTML file carried starts the history of its words.
    void ImportGrades(const std::vector<KvtmlGrade>& grades);
    // "&Review (12 due, 20 new)", or "&Review" until the history is read.
    std::string ItemText() const { return m_itemText; }
    bool CountsReady() const { return m_countsReady; }

private:
    void Recount();
    void PollCount();
    // Counts again when the history changed on disk: another machine's reviews arrived through
    // a folder synchroniser, or another copy of the program reviewed.
    void Follow();
    FileStamp HistoryStamp() const;
    void ShowCounts(std::string text);
    // Writes the grades left pending, else keeps them in a conflict file; why not, or empty.
    std::string WritePending();
    review::SessionSettings SessionSettings() const;

    CDialog& m_window;
    const WordList& m_words;
    Speaker& m_speaker;
    std::string m_historyPath;
    ReviewSettings m_defaults;                // until Start gives the session's
    ReviewSettings* m_settings = &m_defaults; // the session's, changed by the options
    std::unique_ptr<review::HistoryLoad> m_load;
    QTimer m_poll;
    QTimer m_follow;
    FileStamp m_counted; // the history as last counted
    std::string m_itemText = "&Review";
    bool m_countsReady = false;
    bool m_toldUnreadable = false;
    // Sessions whose grades are not all on disk yet: written at Exit.
    std::vector<std::unique_ptr<review::ReviewSession>> m_pending;
};
