// The study window's Review menu: the day's counts in its first item, the review window and
// the review options, over the session's review state, which decides all of it.
#pragma once

#include <QTimer>
#include <string>

#include "settings/Settings.h"
#include "study/ReviewState.h"

class CDialog;
class Speaker;

class ReviewMenu {
public:
    // `window` owns the menu bar and the boxes; `state` and `settings` are the session's.
    ReviewMenu(CDialog& window, ReviewState& state, ReviewSettings& settings, Speaker& speaker);

    // Once the window is on screen: the history is read on a thread of its own and the counts
    // come into the menu when it is read.
    void Start();
    // Ctrl+R: a review of the day's words in a window of its own.
    void OpenReview();
    // Review > Statistics...: the charts module is loaded on the first use.
    void OpenStatistics();
    // Review > Options...: the choices take effect at once and are written at Exit.
    void OpenOptions();
    // At Exit: grades that could not be written yet. A box tells of a failure unless `quiet`.
    void Exit(bool quiet);
    // The history changed behind the window (an import's progress, another machine's lines).
    void Recount();
    // Counts again when the history changed on disk: the window asks every few seconds.
    void Follow();

    // "&Review (12 due, 20 new)", or "&Review" until the history is read.
    std::string ItemText() const { return m_itemText; }
    bool CountsReady() const { return m_countsReady; }

private:
    void PollCount();
    void ShowCounts(std::string text);

    CDialog& m_window;
    ReviewState& m_state;
    ReviewSettings& m_settings;
    Speaker& m_speaker;
    QTimer m_poll;
    std::string m_itemText = "&Review";
    bool m_countsReady = false;
    bool m_ended = false; // Exit was called: the history is no longer followed
};
