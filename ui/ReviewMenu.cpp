#include "ui/ReviewMenu.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QPalette>
#include <cstdio>
#include <ctime>

#include "framework/CDialog.h"
#include "framework/CMenu.h"
#include "res/ResourceIds.h"
#include "review/DueQueue.h"
#include "review/ReviewChoices.h"
#include "review/Statistics.h"
#include "ui/CReviewDlg.h"
#include "ui/CReviewOptionsDlg.h"
#include "ui/ReviewExchange.h"
#include "ui/StatisticsFigures.h"

namespace {

// How often the menu looks whether the history has been read, and whether it changed on disk.
constexpr int kPollMs = 20;
constexpr int kFollowMs = 5000;

// reviews.conflict-20261208-091502.tsv beside the history: its lines merge back by union.
std::string ConflictPath(const std::string& historyPath) {
    const std::size_t slash = historyPath.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : historyPath.substr(0, slash + 1);
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return folder + "reviews.conflict-" + stamp + ".tsv";
}

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

constexpr int kPastDays = 365;
constexpr int kDaysAhead = 30;
constexpr int kWeeks = 26;

} // namespace

ReviewMenu::ReviewMenu(CDialog& window, const WordList& words, Speaker& speaker)
    : m_window(window), m_words(words), m_speaker(speaker) {
    m_poll.setInterval(kPollMs);
    QObject::connect(&m_poll, &QTimer::timeout, [this] { PollCount(); });
    m_follow.setInterval(kFollowMs);
    QObject::connect(&m_follow, &QTimer::timeout, [this] { Follow(); });
}

FileStamp ReviewMenu::HistoryStamp() const {
    FileStamp stamp;
    const std::size_t slash = m_historyPath.rfind('/');
    const Folder folder = Folder::Open(slash == std::string::npos ? std::string(".")
                                                                  : m_historyPath.substr(0, slash));
    if (folder.IsOpen())
        folder.Stat(m_historyPath.substr(slash == std::string::npos ? 0 : slash + 1), stamp);
    return stamp;
}

void ReviewMenu::Follow() {
    if (m_load || m_historyPath.empty() || HistoryStamp().SameVersion(m_counted))
        return;
    Recount();
}

// Leaving without saving (Escape) still keeps every grade.
ReviewMenu::~ReviewMenu() {
    const std::string failure = WritePending();
    if (!failure.empty())
        std::fprintf(stderr, "vocamint: %s\n", failure.c_str());
}

review::SessionSettings ReviewMenu::SessionSettings() const {
    return review::SessionSettingsOf(*m_settings);
}

void ReviewMenu::Start(ReviewSettings& settings, std::string historyPath) {
    m_historyPath = std::move(historyPath);
    m_settings = &settings;
    Recount();
}

void ReviewMenu::Recount() {
    if (m_historyPath.empty())
        return;
    m_poll.stop();
    m_load.reset(); // waits for a count still running
    m_counted = HistoryStamp();
    m_follow.start();
    m_load = std::make_unique<review::HistoryLoad>(m_historyPath, SessionSettings().schedule,
                                                   review::SystemNow());
    m_poll.start();
}

void ReviewMenu::PollCount() {
    if (!m_load || !m_load->Done())
        return;
    m_poll.stop();
    const review::TimeMs now = review::SystemNow();
    review::HistoryLoad::Result result = m_load->Take();
    m_load.reset();
    if (result.status == review::ReadStatus::Refused ||
        result.status == review::ReadStatus::Failed) {
        ShowCounts("&Review");
        return;
    }
    const review::SessionSettings settings = SessionSettings();
    const review::Scheduler scheduler(settings.schedule);
    const review::DueQueue queue = review::BuildDueQueue(m_words, result.states, scheduler, now,
                                                         settings.limits, result.today);
    ShowCounts("&Review (" + review::DueSummary(queue) + ")");
}

void ReviewMenu::ShowCounts(std::string text) {
    m_itemText = std::move(text);
    m_countsReady = true;
    if (CMenu* menu = m_window.GetMenu())
        menu->ModifyMenu(ID_REVIEW_START, m_itemText.c_str());
}

void ReviewMenu::OpenReview() {
    if (m_historyPath.empty())
        return;
    auto session =
        std::make_unique<review::ReviewSession>(m_words, m_historyPath, SessionSettings());
    std::string message;
    if (!session->Start(message)) {
        m_window.MessageBox(message.c_str(), "Error", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!message.empty() && !m_toldUnreadable) {
        m_toldUnreadable = true;
        m_window.MessageBox(message.c_str(), "Info", MB_OK);
    }
    CReviewDlg dlg(*session, *m_settings, m_speaker, &m_window);
    m_follow.stop(); // the review's own grades change the history; counted once it ends
    dlg.DoModal();
    if (session->PendingLines() > 0 && !session->FlushPending(message))
        m_pending.push_back(std::move(session));
    Recount();
}

void ReviewMenu::OpenStatistics() {
    if (m_historyPath.empty())
        return;
    const review::TimeMs now = review::SystemNow();
    const review::SessionSettings settings = SessionSettings();
    const review::Scheduler scheduler(settings.schedule);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const review::HistoryLoad::Result history =
        review::LoadHistory(m_historyPath, scheduler, now, true);
    QApplication::restoreOverrideCursor();
    if (history.status == review::ReadStatus::Refused ||
        history.status == review::ReadStatus::Failed) {
        m_window.MessageBox(history.message.c_str(), "Error", MB_OK | MB_ICONINFORMATION);
        return;
    }
    StatisticsFigures figures;
    figures.reviewsPerDay = review::ReviewsPerDay(history.grades, now, kPastDays);
    const std::time_t first = static_cast<std::time_t>(
        review::DayStarts(now - (kPastDays - 1) * review::kDayMs, 1)[0] / 1000);
    std::tm local{};
    localtime_r(&first, &local);
    figures.firstWeekday = (local.tm_wday + 6) % 7;
    figures.duePerDay = review::DuePerDay(history.states, now, kDaysAhead);
    for (const review::WeekShare& week : review::RecalledPerWeek(history.grades, now, kWeeks))
        figures.recalledPerWeek.push_back(week.reviewed ? week.Share() : -1.0);
    figures.desiredRetention = m_settings->desiredRetention;
    const review::CardCounts counts = review::CountCards(m_words, history.states);
    figures.newWords = counts.newWords;
    figures.learning = counts.learning;
    figures.young = counts.young;
    figures.mature = counts.mature;
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

void ReviewMenu::ImportGrades(const std::vector<KvtmlGrade>& grades) {
    if (grades.empty() || m_historyPath.empty())
        return;
    std::size_t added = 0;
    std::string message;
    if (!::ImportGrades(m_historyPath, grades, SessionSettings().schedule, added, message)) {
        const std::string text = "The progress kept in the file could not be added to the "
                                 "review history: " +
                                 message;
        m_window.MessageBox(text.c_str(), "Info", MB_OK);
    }
    Recount();
}

void ReviewMenu::OpenOptions() {
    CReviewOptionsDlg dlg(*m_settings, &m_window);
    if (dlg.DoModal() != IDOK || dlg.GetSettings() == *m_settings)
        return;
    *m_settings = dlg.GetSettings();
    Recount();
}

std::string ReviewMenu::WritePending() {
    std::string failure;
    for (const auto& session : m_pending) {
        std::string message;
        if (session->FlushPending(message))
            continue;
        const std::string kept = ConflictPath(m_historyPath);
        if (session->Writer().WritePendingTo(kept, message))
            failure = "The review history could not be written; this run's grades are kept in '" +
                      kept + "'.";
        else
            failure = "The review history could not be written, nor kept aside: " + message;
    }
    m_pending.clear();
    return failure;
}

void ReviewMenu::Exit(bool quiet) {
    m_poll.stop();
    m_follow.stop();
    m_load.reset();
    const std::string failure = WritePending();
    if (failure.empty())
        return;
    if (quiet)
        std::fprintf(stderr, "vocamint: %s\n", failure.c_str());
    else
        m_window.MessageBox(failure.c_str(), "Info", MB_OK);
}
