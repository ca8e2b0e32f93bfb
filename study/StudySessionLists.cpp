// The session's changes kept at Escape and brought back, and the switch to another list's
// folder.
#include <ctime>
#include <sys/stat.h>

#include "base/Counted.h"
#include "study/DiscardedChanges.h"
#include "study/StudySession.h"
#include "words/WordStore.h"
#include "words/WordTextReader.h"

namespace {

std::string FolderOf(const std::string& wordFile) {
    const std::size_t slash = wordFile.rfind('/');
    return slash == std::string::npos ? std::string(".") : wordFile.substr(0, slash);
}

bool SameFolder(const Folder& a, const Folder& b) {
    struct stat first {};
    struct stat second {};
    return a.IsOpen() && b.IsOpen() && ::fstat(a.fd(), &first) == 0 &&
           ::fstat(b.fd(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

} // namespace

std::string StudySession::KeepDiscarded(bool* failed) {
    if (failed)
        *failed = false;
    if (!m_store || !m_history.IsModified())
        return {};
    std::string bytes;
    FileStamp stamp;
    const Folder::Read read = m_store->folder().ReadAll(WordStore::kFileName, bytes, &stamp);
    WordList file;
    if (read == Folder::Read::Ok)
        ParseWordText(bytes, file);
    // Against the file as this run loaded or saved it, where each entry came from tells the
    // changes apart; against any other version only additions can be told safely.
    const bool asLoaded = read != Folder::Read::Failed && stamp.SameVersion(m_store->LoadedStamp());
    const DiscardedChanges changes =
        asLoaded ? FindDiscarded(file, m_words) : FindUnsaved(file, m_words);
    if (changes.Empty())
        return {};
    std::string kept =
        discarded::Keep(m_store->folder(), WordStore::kFileName, changes, std::time(nullptr));
    if (kept.empty() && failed)
        *failed = true;
    return kept;
}

std::string StudySession::DiscardedNotice() {
    if (!m_store)
        return {};
    const std::string name = discarded::NewestWithout(m_store->folder(), discarded::kTold);
    DiscardedChanges changes;
    if (name.empty() || !discarded::Read(m_store->folder(), name, changes) || changes.Empty())
        return {};
    // Told once; a mark that cannot be written tells again next time rather than never.
    discarded::Mark(m_store->folder(), name, discarded::kTold);
    const bool one = changes.Count() == 1;
    return Counted(changes.Count(), "change", "changes") + " left when Vocamint was closed with " +
           "Escape " + (one ? "is" : "are") + " kept in backups/" + name +
           "; File > Recover Last Discarded... brings " + (one ? "it" : "them") + " back.";
}

bool StudySession::CanRecoverDiscarded() const {
    return m_store && !m_history.HasDone(ListStep::Kind::Recover) &&
           !discarded::NewestWithout(m_store->folder(), discarded::kRecovered).empty();
}

StudySession::Answer StudySession::RecoverDiscarded(std::string& message) {
    message.clear();
    if (!CanRecoverDiscarded())
        return {};
    const std::string name = discarded::NewestWithout(m_store->folder(), discarded::kRecovered);
    DiscardedChanges changes;
    if (!discarded::Read(m_store->folder(), name, changes)) {
        message = "The changes kept in backups/" + name + " could not be read.";
        return {};
    }
    Recovery recovery = PlanRecovery(m_words, changes);
    if (recovery.Empty()) {
        // Nothing left to bring back: not offered again.
        discarded::Mark(m_store->folder(), name, discarded::kRecovered);
        message = "The list holds the changes kept in backups/" + name + " already.";
        return {};
    }
    m_recovering = name;
    const WordPos changed = m_history.Apply(ListStep::Recover(
        std::move(recovery.replaced), std::move(recovery.removed), std::move(recovery.appended)));
    FollowRenames();
    return ShowChange(changed);
}

void StudySession::NoteSaved(bool saved) {
    if (!saved || m_recovering.empty() || !m_store || !m_history.HasDone(ListStep::Kind::Recover))
        return;
    if (discarded::Mark(m_store->folder(), m_recovering, discarded::kRecovered))
        m_recovering.clear();
}

std::string StudySession::FolderPath() const {
    return FolderOf(WordFilePath());
}

std::string StudySession::PrepareSwitch(const std::string& path) {
    m_next.reset();
    auto next = std::make_unique<NextList>();
    next->store = std::make_unique<WordStore>(path);
    if (!next->store->folder().IsOpen())
        return "The folder '" + path + "' could not be opened.";
    if (m_store && SameFolder(next->store->folder(), m_store->folder()))
        return "The list in '" + path + "' is the one open.";
    next->lock = next->store->Lock();
    if (next->lock == WordStore::LockState::LiveCopy ||
        next->lock == WordStore::LockState::OtherHost)
        return next->store->LockNotice(next->lock) + " The list in '" + path +
               "' was not opened here.";
    std::string message;
    if (!next->store->Load(next->words, message))
        return message + " The list in '" + path + "' was not opened.";
    m_next = std::move(next);
    return {};
}

bool StudySession::FinishSwitch() {
    if (!m_next)
        return false;
    // The old store goes last, and with it the old folder's lock.
    std::unique_ptr<WordStore> old = std::move(m_store);
    m_store = std::move(m_next->store);
    m_lockState = m_next->lock;
    m_words = std::move(m_next->words);
    m_next.reset();
    m_history.Clear();
    m_recovering.clear();
    m_settings = Settings(&m_store->folder(), m_settings.UserFile());
    m_pageStart = 0;
    m_cursor = m_words.Begin();
    m_review.DropRenames();
    m_review.SetListPath(m_store->path());
    m_copiesNotice = MergeSyncedCopies();
    old.reset();
    return true;
}

void StudySession::CancelSwitch() {
    m_next.reset();
}
