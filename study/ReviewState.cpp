#include "study/ReviewState.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "review/DueQueue.h"
#include "review/HistoryWriter.h"
#include "review/ReviewChoices.h"
#include "review/Statistics.h"
#include "study/ReviewExchange.h"

namespace {

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

constexpr int kPastDays = 365;
constexpr int kDaysAhead = 30;
constexpr int kWeeks = 26;

} // namespace

ReviewState::ReviewState(const WordList& words, const ReviewSettings& settings)
    : m_words(words), m_settings(settings) {}

ReviewState::~ReviewState() {
    m_load.reset();
    const std::string failure = WritePending();
    if (!failure.empty())
        std::fprintf(stderr, "vocamint: %s\n", failure.c_str());
}

void ReviewState::SetListPath(const std::string& listPath) {
    m_load.reset();
    m_historyPath = listPath.empty() ? std::string() : review::HistoryPathFor(listPath);
    m_counted = FileStamp();
}

review::SessionSettings ReviewState::SessionSettings() const {
    return review::SessionSettingsOf(m_settings);
}

FileStamp ReviewState::Stamp() const {
    FileStamp stamp;
    const std::size_t slash = m_historyPath.rfind('/');
    const Folder folder = Folder::Open(slash == std::string::npos ? std::string(".")
                                                                  : m_historyPath.substr(0, slash));
    if (folder.IsOpen())
        folder.Stat(m_historyPath.substr(slash == std::string::npos ? 0 : slash + 1), stamp);
    return stamp;
}

// ---- The day's counts ---------------------------------------------------------------------

void ReviewState::StartCount(review::TimeMs now) {
    m_load.reset(); // waits for a count still running
    if (m_historyPath.empty())
        return;
    m_counted = Stamp();
    m_load = std::make_unique<review::HistoryLoad>(m_historyPath, SessionSettings().schedule, now);
}

std::optional<std::string> ReviewState::TakeCount(review::TimeMs now) {
    if (!m_load || !m_load->Done())
        return std::nullopt;
    review::HistoryLoad::Result result = m_load->Take();
    m_load.reset();
    if (result.status == review::ReadStatus::Refused || result.status == review::ReadStatus::Failed)
        return std::string();
    const review::SessionSettings settings = SessionSettings();
    const review::Scheduler scheduler(settings.schedule);
    const review::DueQueue queue = review::BuildDueQueue(m_words, result.states, scheduler, now,
                                                         settings.limits, result.today);
    return review::DueSummary(queue);
}

bool ReviewState::HistoryChanged() const {
    return !m_historyPath.empty() && !Stamp().SameVersion(m_counted);
}

// ---- Reviewing ----------------------------------------------------------------------------

ReviewState::Begun ReviewState::BeginReview() {
    Begun begun;
    if (m_historyPath.empty()) {
        begun.message = "There is no review history beside this list.";
        return begun;
    }
    auto session =
        std::make_unique<review::ReviewSession>(m_words, m_historyPath, SessionSettings());
    if (!session->Start(begun.message))
        return begun;
    if (m_toldUnreadable)
        begun.message.clear();
    else if (!begun.message.empty())
        m_toldUnreadable = true;
    begun.session = std::move(session);
    return begun;
}

void ReviewState::EndReview(std::unique_ptr<review::ReviewSession> session) {
    std::string message;
    if (session && session->PendingLines() > 0 && !session->FlushPending(message))
        m_pending.push_back(std::move(session));
}

bool ReviewState::Figures(review::TimeMs now, StatisticsFigures& figures,
                          std::string& message) const {
    const review::Scheduler scheduler(SessionSettings().schedule);
    const review::HistoryLoad::Result history =
        review::LoadHistory(m_historyPath, scheduler, now, true);
    if (history.status == review::ReadStatus::Refused ||
        history.status == review::ReadStatus::Failed) {
        message = history.message;
        return false;
    }
    figures.reviewsPerDay = review::ReviewsPerDay(history.grades, now, kPastDays);
    const std::time_t first = static_cast<std::time_t>(
        review::DayStarts(now - (kPastDays - 1) * review::kDayMs, 1)[0] / 1000);
    std::tm local{};
    localtime_r(&first, &local);
    figures.firstWeekday = (local.tm_wday + 6) % 7;
    figures.duePerDay = review::DuePerDay(history.states, now, kDaysAhead);
    figures.recalledPerWeek.clear();
    for (const review::WeekShare& week : review::RecalledPerWeek(history.grades, now, kWeeks))
        figures.recalledPerWeek.push_back(week.reviewed ? week.Share() : -1.0);
    figures.desiredRetention = m_settings.desiredRetention;
    const review::CardCounts counts = review::CountCards(m_words, history.states);
    figures.newWords = counts.newWords;
    figures.learning = counts.learning;
    figures.young = counts.young;
    figures.mature = counts.mature;
    return true;
}

// ---- Renames ------------------------------------------------------------------------------

void ReviewState::Renamed(std::vector<std::pair<std::string, std::string>> renames,
                          review::TimeMs when) {
    for (auto& [from, to] : renames) {
        // A history is a set of lines ordered by time: an undo and its redo within one
        // millisecond must still be two lines, in their order.
        when = std::max(when, m_lastRename + 1);
        m_lastRename = when;
        review::HistoryEvent event;
        event.kind = review::EventKind::Rename;
        event.time = when;
        event.word = std::move(from);
        event.newWord = std::move(to);
        m_renames.push_back(std::move(event));
    }
}

// Stamped when they were made, not when written: a grade given to the new word in between
// comes after its rename, and so goes on from the old word's history.
std::string ReviewState::WriteRenames() {
    if (m_renames.empty() || m_historyPath.empty())
        return {};
    if (!m_writer)
        m_writer = std::make_unique<review::HistoryWriter>(m_historyPath);
    std::string failure;
    for (const review::HistoryEvent& event : m_renames) {
        std::string message;
        if (!m_writer->Append(event, message) && failure.empty())
            failure = message;
    }
    m_renames.clear();
    return failure;
}

// ---- Interchange --------------------------------------------------------------------------

std::string ReviewState::ImportGrades(const std::vector<KvtmlGrade>& grades) {
    if (grades.empty() || m_historyPath.empty())
        return {};
    std::size_t added = 0;
    std::string message;
    if (::ImportGrades(m_historyPath, grades, SessionSettings().schedule, added, message))
        return {};
    return "The progress kept in the file could not be added to the review history: " + message;
}

GradeLookup ReviewState::GradesForExport() const {
    if (m_historyPath.empty())
        return {};
    return ::GradesForExport(m_historyPath, SessionSettings().schedule);
}

// ---- Exit ---------------------------------------------------------------------------------

std::string ReviewState::WritePending() {
    std::string failure;
    const auto keep = [&](review::HistoryWriter& writer) {
        std::string message;
        if (writer.PendingCount() == 0 || writer.FlushPending(message))
            return;
        const std::string kept = ConflictPath(m_historyPath);
        if (writer.WritePendingTo(kept, message))
            failure = "The review history could not be written; this run's grades are kept in '" +
                      kept + "'.";
        else
            failure = "The review history could not be written, nor kept aside: " + message;
    };
    for (const auto& session : m_pending)
        keep(session->Writer());
    m_pending.clear();
    if (m_writer)
        keep(*m_writer);
    return failure;
}
