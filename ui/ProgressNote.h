// A small window that says how far a long piece of work has come ("Saving WL.txt: merging the
// changed file... 45%"). It shows only once the work has run longer than a moment; while it
// shows, the program's windows keep painting but take no input, so the learner sees why the
// window waits and cannot change the list under the work.
#pragma once

#include <QElapsedTimer>
#include <chrono>
#include <memory>
#include <string_view>

#include "base/Progress.h"

class QLabel;
class QProgressBar;
class QWidget;

class ProgressNote : public Progress {
public:
    // How long work may run before the note comes up.
    static constexpr std::chrono::milliseconds kDefaultDelay{1000};
    // How often, at most, the windows are painted while the work runs: often enough to look
    // alive, rarely enough to cost the work nothing.
    static constexpr std::chrono::milliseconds kPaintEvery{50};

    // The work starts now; the note, when it comes, is centred over `window`.
    explicit ProgressNote(QWidget* window, std::chrono::milliseconds delay = kDefaultDelay);
    ~ProgressNote() override; // the note goes with the work
    ProgressNote(const ProgressNote&) = delete;
    ProgressNote& operator=(const ProgressNote&) = delete;

    void Report(std::string_view step, int permille) override;

private:
    void Show();
    void Paint();

    QWidget* m_window;
    std::chrono::milliseconds m_delay;
    QElapsedTimer m_clock;
    qint64 m_paintedAt = 0;
    std::unique_ptr<QWidget> m_note;
    QLabel* m_text = nullptr;
    QProgressBar* m_bar = nullptr;
};
