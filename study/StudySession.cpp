#include "study/StudySession.h"

#include <utility>
#include <vector>

#include "exchange/ImportPlan.h"
#include "review/ReviewSession.h"
#include "study/PageRules.h"
#include "sync/ConflictCopies.h"
#include "words/WordListLoad.h"
#include "words/WordStore.h"

StudySession::StudySession() : StudySession(nullptr) {}

StudySession::StudySession(std::unique_ptr<WordStore> store, std::string userFile)
    : m_store(std::move(store)),
      m_settings(m_store ? &m_store->folder() : nullptr, std::move(userFile)),
      m_cursor(m_words.Begin()) {}

StudySession::~StudySession() = default;

std::string StudySession::Open(WordListLoad& load) {
    WordListLoad::Result result = load.Finish(m_words);
    m_store = std::move(result.store);
    m_settings = Settings(&m_store->folder(), m_settings.UserFile());
    m_cursor = m_words.Begin();
    m_review.SetListPath(m_store->path());
    m_copiesNotice = MergeSyncedCopies();
    return result.loaded ? std::string() : std::move(result.message);
}

std::string StudySession::Open() {
    if (!m_store)
        m_store = std::make_unique<WordStore>();
    m_settings = Settings(&m_store->folder(), m_settings.UserFile());
    std::string message;
    const bool loaded = m_store->Load(m_words, message);
    m_cursor = m_words.Begin();
    m_review.SetListPath(m_store->path());
    m_copiesNotice = MergeSyncedCopies();
    return loaded ? std::string() : message;
}

std::string StudySession::Joined(std::string first, std::string second) {
    if (first.empty())
        return second;
    if (!second.empty())
        first += "\n\n" + second;
    return first;
}

// Copies that a folder synchroniser left, when another machine changed the list too, are merged
// into the files they copy. The list is read again when its file took words from them; this run
// has changed nothing yet, so nothing of it can be lost.
std::string StudySession::MergeSyncedCopies(bool* wasReread) {
    if (!m_store || !HasConflictCopies(m_store->folder()))
        return {};
    const CopyMergeReport report = MergeConflictCopies(m_store->folder());
    if (report.words > 0 && !m_history.CanUndo()) {
        WordList reread;
        std::string message;
        if (m_store->Load(reread, message)) {
            m_words = std::move(reread);
            m_cursor = m_words.Begin();
            if (wasReread != nullptr)
                *wasReread = true;
        }
    }
    return report.Message();
}

StudySession::Answer StudySession::FollowSyncedCopies(std::string& notice) {
    // The page shown stays: its first row is the entry at the same place in the list.
    const bool pastTheEnd = m_cursor == m_words.End();
    const std::uint32_t first = pastTheEnd ? 0 : m_words.IndexOf(m_cursor);
    bool reread = false;
    notice = MergeSyncedCopies(&reread);
    if (!reread)
        return {};
    if (pastTheEnd)
        MoveToNumber(m_pageStart);
    else
        m_cursor = m_words.PosAt(first);
    Answer answer;
    answer.rowsChanged = true;
    answer.listChanged = true;
    return answer;
}

void StudySession::ReadSettings() {
    m_settings.Read();
    m_pageStart = m_settings.index;
}

void StudySession::WriteSettings(std::string_view goTo) {
    m_settings.WriteAtExit(PageRules::StoredIndex(m_pageStart), goTo);
}

// Only a copy known to be running, here or on another computer, keeps the command line out; a
// lock file that cannot be used at all protects nothing, and the window saves regardless.
bool StudySession::TakeLock() {
    if (!m_store)
        return true;
    m_lockState = m_store->Lock();
    return m_lockState != WordStore::LockState::LiveCopy &&
           m_lockState != WordStore::LockState::OtherHost;
}

std::string StudySession::LockNotice() {
    if (!m_store)
        return {};
    TakeLock();
    return m_store->LockNotice(m_lockState);
}

std::string StudySession::TakenLockNotice() const {
    return m_store ? m_store->LockNotice(m_lockState) : std::string();
}

std::string StudySession::LockHost() const {
    return m_store && m_lockState == WordStore::LockState::OtherHost ? m_store->LockHost()
                                                                     : std::string();
}

std::string StudySession::WordFilePath() const {
    return m_store ? m_store->path() : std::string(WordStore::kFileName);
}

// ---- Pages --------------------------------------------------------------------------------

void StudySession::MoveToNumber(std::int32_t number) {
    m_pageStart = number;
    m_cursor = m_words.FindNumber(m_pageStart);
}

StudySession::Answer StudySession::MoveTo(std::optional<std::int32_t> start) {
    if (!start)
        return {};
    MoveToNumber(*start);
    Answer answer;
    answer.pageMoved = true;
    return answer;
}

StudySession::Answer StudySession::FirstPage() {
    return MoveTo(PageRules::First(m_pageStart));
}

StudySession::Answer StudySession::PreviousPage() {
    return MoveTo(PageRules::Previous(m_pageStart));
}

StudySession::Answer StudySession::NextPage() {
    return MoveTo(PageRules::Next(m_pageStart, m_words.GetCount()));
}

StudySession::Answer StudySession::LastPage() {
    return MoveTo(PageRules::Last(m_pageStart, m_words.GetCount()));
}

StudySession::Answer StudySession::Jump(std::string_view text) {
    return MoveTo(PageRules::Jump(text, m_words.GetCount()));
}

StudySession::Answer StudySession::ShowEntry(std::uint32_t index) {
    const WordPos pos = m_words.PosAt(index);
    if (pos == m_words.End())
        return {};
    const std::int32_t number = m_words.At(pos).number;
    const std::int32_t page = PageRules::StartOfPageHolding(number) / PageRules::kPageSize + 1;
    Answer answer = Jump(std::to_string(page));
    const std::uint32_t first = m_words.IndexOf(m_cursor);
    if (m_cursor != m_words.End() && index >= first && index - first < kRows)
        answer.focusRow = static_cast<int>(index - first);
    return answer;
}

std::optional<std::uint32_t> StudySession::EntryAtRow(int row) const {
    if (row < 0 || row >= kRows || m_cursor == m_words.End())
        return std::nullopt;
    const std::uint64_t index =
        std::uint64_t{m_words.IndexOf(m_cursor)} + static_cast<std::uint32_t>(row);
    if (index >= m_words.GetCount())
        return std::nullopt;
    return static_cast<std::uint32_t>(index);
}

// ---- Changes ------------------------------------------------------------------------------

StudySession::Answer StudySession::ShowChange(WordPos changed) {
    Answer answer;
    answer.listChanged = true;
    if (changed == m_words.End()) {
        // Nothing left to show where the change was: the page stays, or the last one.
        MoveToNumber(m_pageStart);
        if (m_cursor == m_words.End() && m_words.GetCount() > 0) {
            changed = m_words.PosAt(m_words.GetCount() - 1);
        } else {
            answer.rowsChanged = true;
            return answer;
        }
    }
    const std::int32_t start = PageRules::StartOfPageHolding(m_words.At(changed).number);
    // The page shown keeps its rows' revealed states; another page starts afresh.
    (start == m_pageStart ? answer.rowsChanged : answer.pageMoved) = true;
    MoveToNumber(start);
    return answer;
}

StudySession::Answer StudySession::ShowAppended() {
    m_pageStart = PageRules::BeforeLast(m_pageStart);
    Answer answer = LastPage();
    answer.listChanged = true;
    return answer;
}

void StudySession::FollowRenames() {
    if (ListHistory::Renames renames = m_history.TakeRenames(); !renames.empty())
        m_review.Renamed(std::move(renames), review::SystemNow());
}

StudySession::Answer StudySession::Add(const WordEntry& entry) {
    m_history.Apply(ListStep::Add(entry));
    return ShowAppended();
}

StudySession::Answer StudySession::Edit(std::uint32_t index, const WordEntry& entry) {
    const WordPos pos = m_words.PosAt(index);
    if (pos == m_words.End())
        return {};
    const WordEntry& before = m_words.At(pos);
    if (before.word == entry.word && before.spell == entry.spell && before.type == entry.type &&
        before.mean == entry.mean)
        return {};
    const WordPos changed = m_history.Apply(ListStep::Edit(index, entry));
    FollowRenames();
    return ShowChange(changed);
}

StudySession::Answer StudySession::Delete(std::uint32_t index) {
    if (index >= m_words.GetCount())
        return {};
    return ShowChange(m_history.Apply(ListStep::Delete(index)));
}

StudySession::Answer StudySession::Undo() {
    if (!m_history.CanUndo())
        return {};
    const WordPos changed = m_history.Undo();
    FollowRenames();
    return ShowChange(changed);
}

StudySession::Answer StudySession::Redo() {
    if (!m_history.CanRedo())
        return {};
    const WordPos changed = m_history.Redo();
    FollowRenames();
    return ShowChange(changed);
}

StudySession::Answer StudySession::Import(ImportPlan plan) {
    if (plan.replaced.empty() && plan.added.GetCount() == 0)
        return {};
    m_history.Apply(ListStep::Import(std::move(plan)));
    FollowRenames();
    return ShowAppended();
}

std::string StudySession::ImportGrades(const std::vector<KvtmlGrade>& grades) {
    return m_review.ImportGrades(grades);
}

// ---- Leaving ------------------------------------------------------------------------------

StudySession::Leaving StudySession::Leave(std::string_view goTo, Progress* progress) {
    WriteSettings(goTo);
    return Save(progress);
}

// The history's renames are written once the list that holds the new words is: a run left
// without saving keeps the old words, and with them their history.
StudySession::Leaving StudySession::Save(Progress* progress) {
    if (!m_store)
        return {};
    if (!m_history.IsModified())
        return {true, m_review.WriteRenames()};
    // Copies from another machine go into the file first; the save then merges with it as with
    // any change made behind this run's back.
    std::string copies;
    if (HasConflictCopies(m_store->folder()))
        copies = MergeConflictCopies(m_store->folder()).Message();
    const WordStore::SaveResult saved = m_store->Save(m_words, progress);
    std::string renames;
    if (saved.written) {
        m_history.MarkSaved();
        renames = m_review.WriteRenames();
    }
    NoteSaved(saved.written);
    return {saved.done, Joined(Joined(std::move(copies), saved.message), std::move(renames))};
}

std::string StudySession::KeepAside() {
    const std::string kept = m_store ? m_store->KeepAside(m_words) : std::string();
    if (kept.empty())
        return "the list could not be saved, nor kept aside";
    return "the list could not be saved; it is kept as '" + kept + "'";
}
