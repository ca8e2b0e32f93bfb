#include "ui/ReviewMenu.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QPalette>
#include <cstdio>

#include "framework/CDialog.h"
#include "framework/CMenu.h"
#include "res/ResourceIds.h"
#include "review/ReviewSession.h"
#include "ui/CReviewDlg.h"
#include "ui/CReviewOptionsDlg.h"

namespace {

// How often the menu looks whether the history has been read.
constexpr int kPollMs = 20;

// The statistics module, loaded once and kept: its window's code stays mapped while the
// program runs. VOCAMINT_MODULE_DIR overrides where it is looked for (tests).
ShowStatisticsFunction LoadStatistics(QString& error) {
    static ShowStatisticsFunction show = nullptr;
    if (show != nullptr)
        return show;
    QStringList folders;
    if (const QString dir = qEnvironmentVariable("VOCAMINT_MODULE_DIR"); !dir.isEmpty())
        folders << dir;
    const QString bin = QCoreApplication::applicationDirPath();
    folders << bin << QDir(bin).filePath(QStringLiteral(VOCAMINT_MODULE_DIR_FROM_BIN));
    for (const QString& folder : folders) {
        auto* library = new QLibrary(QDir(folder).filePath(QStringLiteral("vocamint-statistics")));
        if (library->load()) {
            show = reinterpret_cast<ShowStatisticsFunction>(library->resolve(kShowStatisticsName));
            if (show != nullptr)
                return show;
        }
        error = library->errorString();
        delete library;
    }
    return nullptr;
}

} // namespace

ReviewMenu::ReviewMenu(CDialog& window, ReviewState& state, ReviewSettings& settings,
                       Speaker& speaker)
    : m_window(window), m_state(state), m_settings(settings), m_speaker(speaker) {
    m_poll.setInterval(kPollMs);
    QObject::connect(&m_poll, &QTimer::timeout, [this] { PollCount(); });
}

void ReviewMenu::Start() {
    // After a switch of lists the old list's counts are not shown while the new ones are read.
    m_ended = false;
    m_countsReady = false;
    m_itemText = "&Review";
    if (CMenu* menu = m_window.GetMenu())
        menu->ModifyMenu(ID_REVIEW_START, m_itemText.c_str());
    Recount();
}

void ReviewMenu::Follow() {
    if (!m_ended && !m_state.Counting() && m_state.HistoryChanged())
        Recount();
}

void ReviewMenu::Recount() {
    if (m_state.HistoryPath().empty())
        return;
    m_state.StartCount(review::SystemNow());
    m_poll.start();
}

void ReviewMenu::PollCount() {
    const std::optional<std::string> counts = m_state.TakeCount(review::SystemNow());
    if (!counts)
        return;
    m_poll.stop();
    ShowCounts(counts->empty() ? "&Review" : "&Review (" + *counts + ")");
}

void ReviewMenu::ShowCounts(std::string text) {
    m_itemText = std::move(text);
    m_countsReady = true;
    if (CMenu* menu = m_window.GetMenu())
        menu->ModifyMenu(ID_REVIEW_START, m_itemText.c_str());
}

void ReviewMenu::OpenReview() {
    if (m_state.HistoryPath().empty())
        return;
    ReviewState::Begun begun = m_state.BeginReview();
    if (!begun.session) {
        m_window.MessageBox(begun.message.c_str(), "Error", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!begun.message.empty())
        m_window.MessageBox(begun.message.c_str(), "Info", MB_OK);
    CReviewDlg dlg(*begun.session, m_settings, m_speaker, &m_window);
    // The review's own grades change the history; they are counted once it ends.
    dlg.DoModal();
    m_state.EndReview(std::move(begun.session));
    Recount();
}

void ReviewMenu::OpenStatistics() {
    if (m_state.HistoryPath().empty())
        return;
    StatisticsFigures figures;
    std::string message;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool read = m_state.Figures(review::SystemNow(), figures, message);
    QApplication::restoreOverrideCursor();
    if (!read) {
        m_window.MessageBox(message.c_str(), "Error", MB_OK | MB_ICONINFORMATION);
        return;
    }
    figures.dark = QApplication::palette().color(QPalette::Window).lightness() < 128;
    QString error;
    ShowStatisticsFunction show = LoadStatistics(error);
    if (show == nullptr) {
        const std::string text = "The statistics window needs the charts library of Qt "
                                 "(libqt6charts6): " +
                                 error.toStdString();
        m_window.MessageBox(text.c_str(), "Error", MB_OK | MB_ICONINFORMATION);
        return;
    }
    show(m_window.GetSafeHwnd(), &figures);
}

void ReviewMenu::OpenOptions() {
    CReviewOptionsDlg dlg(m_settings, &m_window);
    if (dlg.DoModal() != IDOK || dlg.GetSettings() == m_settings)
        return;
    m_settings = dlg.GetSettings();
    Recount();
}

void ReviewMenu::Exit(bool quiet) {
    m_poll.stop();
    m_ended = true;
    const std::string failure = m_state.WritePending();
    if (failure.empty())
        return;
    if (quiet)
        std::fprintf(stderr, "vocamint: %s\n", failure.c_str());
    else
        m_window.MessageBox(failure.c_str(), "Info", MB_OK);
}
