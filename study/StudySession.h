// One run with the learner's word list, without any window: it owns the store, the list, the
// history of changes, the page position and the settings, and answers each thing the learner
// does with what changed and what to show. The study window and the command line are its
// clients, so both load, change, merge and save the list the same way.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "settings/Settings.h"
#include "study/ListHistory.h"
#include "study/ReviewState.h"
#include "words/WordList.h"
#include "words/WordPos.h"
#include "words/WordStore.h"

class Progress;
class WordListLoad;
struct ImportPlan;
struct KvtmlGrade;

class StudySession {
public:
    static constexpr int kRows = 10;

    // What a window shows after an action.
    struct Answer {
        bool pageMoved = false;      // another page: rows take a new page's revealed states
        bool rowsChanged = false;    // the same page with other texts: rows keep their states
        bool listChanged = false;    // the list changed: undo texts and searches are stale
        std::optional<int> focusRow; // the row whose entry the action was about
    };

    // The folder of `store` (nothing: until Open gives one); the settings beside its list and
    // in the user's file `userFile` (see Settings).
    // A session given its folder by Open(WordListLoad&).
    StudySession();
    explicit StudySession(std::unique_ptr<WordStore> store,
                          std::string userFile = Settings::UserFilePath());
    ~StudySession();
    StudySession(const StudySession&) = delete;
    StudySession& operator=(const StudySession&) = delete;

    // Start-up. Takes the list `load` read (its store replaces the session's); returns the
    // notice for the learner when the file could not be read whole, else empty.
    std::string Open(WordListLoad& load);
    // The same reading the file here and now (the command line, which keeps no settings).
    std::string Open();
    // What Open merged from copies a folder synchroniser left (another machine changed the
    // list, its history or its settings too), for an "Info" box; empty when nothing.
    const std::string& MergedCopiesNotice() const { return m_copiesNotice; }
    // While the list is open: merges copies a folder synchroniser left since, as Open does, and
    // reads the list again when this run has changed nothing yet (else the save merges them).
    // `notice` says what was merged, or is empty when there was nothing.
    Answer FollowSyncedCopies(std::string& notice);
    // The page position and jump text the last run left; the start is the stored index, from
    // which the start-up's next-page move leads to the page that was shown.
    void ReadSettings();
    // The page position and the jump field's text `goTo`, as the settings file keeps them.
    void WriteSettings(std::string_view goTo);
    // Takes the folder's lock; the notice for the learner when another copy holds it.
    std::string LockNotice();
    // The same for the lock as it was taken, without taking it again: after a switch of lists.
    std::string TakenLockNotice() const;
    // The computer whose copy may hold the list when TakeLock refused, or empty for a copy on
    // this one.
    std::string LockHost() const;
    // The command line's variant: whether the lock was taken.
    bool TakeLock();

    const WordList& words() const { return m_words; }
    const ListHistory& history() const { return m_history; }
    Settings& settings() { return m_settings; }
    // The review of this list: its history, counts and the grades waiting for the disk.
    ReviewState& review() { return m_review; }
    std::int32_t PageStart() const { return m_pageStart; }
    WordPos Cursor() const { return m_cursor; }
    bool IsModified() const { return m_history.IsModified(); }
    // The word file's path as messages show it.
    std::string WordFilePath() const;

    // Page moves; a refused move answers nothing.
    Answer FirstPage();
    Answer PreviousPage();
    Answer NextPage();
    Answer LastPage();
    Answer Jump(std::string_view text);
    // The page that holds list index `index`, reached as a jump reaches it, focus on its row.
    Answer ShowEntry(std::uint32_t index);

    // The list index of the entry shown in `row`; nothing for an empty row.
    std::optional<std::uint32_t> EntryAtRow(int row) const;

    // Changes. Each keeps an undo step and shows the page of the change.
    Answer Add(const WordEntry& entry);
    Answer Edit(std::uint32_t index, const WordEntry& entry); // nothing when no text differs
    Answer Delete(std::uint32_t index);
    Answer Undo();
    Answer Redo();
    // Nothing when the plan changes nothing. The plan's added entries are taken over: a caller
    // that has no further use for its plan moves it in.
    Answer Import(ImportPlan plan);
    // The progress an imported KVTML file carried starts its words' review history; why it
    // could not, or empty.
    std::string ImportGrades(const std::vector<KvtmlGrade>& grades);

    struct Leaving {
        bool end = true;     // the run may end: saved, or nothing more can be done
        std::string message; // for the learner; empty when there is nothing to say
    };
    // Exit: WriteSettings, then Save.
    Leaving Leave(std::string_view goTo, Progress* progress = nullptr);
    // The list saved when changed, merged with what changed on disk (the command line saves
    // only this way). `progress`, when given, hears how far a save that writes has come.
    Leaving Save(Progress* progress = nullptr);
    // After a refused save at an end nobody can answer, the list is kept beside the word file,
    // as a conflict is. Says where, for the error output.
    std::string KeepAside();

    // ---- Changes left by Escape, and other lists (StudySessionLists.cpp) ----

    // Escape: what this run changed and did not save is kept in the folder's backups/, the
    // word file and the settings left as they are. Where it was kept ("backups/..."), or empty
    // when there was nothing to keep; `failed` tells a keep that did not work.
    std::string KeepDiscarded(bool* failed = nullptr);
    // Start-up: the notice of changes the last Escape kept, for an "Info" box, once; else empty.
    std::string DiscardedNotice();
    // Whether kept changes wait to be applied again (and this run has not applied them).
    bool CanRecoverDiscarded() const;
    // Applies the kept changes as one undo step; `message` says why nothing changed. Once the
    // list is saved with them, they are not offered again.
    Answer RecoverDiscarded(std::string& message);

    // Switching to the list of folder `path`: its lock taken and its list read while this one
    // stays open, so that a refusal loses nothing. The learner's reason when it cannot be
    // switched to, else empty.
    std::string PrepareSwitch(const std::string& path);
    // Once this list was left as Exit leaves it: the prepared list becomes the session's, as
    // start-up opens one (ReadSettings follows). False when none was prepared.
    bool FinishSwitch();
    // The prepared list is not taken after all; its lock is released.
    void CancelSwitch();
    // The folder of the list, as the learner chose it.
    std::string FolderPath() const;

private:
    // Merges the copies of the folder's files that a folder synchroniser left; the learner's
    // notice of what was merged, or empty. `wasReread` tells whether the list was read again.
    std::string MergeSyncedCopies(bool* wasReread = nullptr);
    static std::string Joined(std::string first, std::string second);
    void MoveToNumber(std::int32_t number);
    Answer MoveTo(std::optional<std::int32_t> start);
    // After a change: the page holding `changed`, or the page kept when it holds it.
    Answer ShowChange(WordPos changed);
    // After an addition: the last page, as the add form has always shown it.
    Answer ShowAppended();
    // Tells the review which words the last step renamed.
    void FollowRenames();

    // After a save: kept changes applied again are in the word file now.
    void NoteSaved(bool saved);
    struct NextList {
        std::unique_ptr<WordStore> store;
        WordList words;
        WordStore::LockState lock = WordStore::LockState::Taken;
    };
    std::unique_ptr<NextList> m_next;
    std::string m_recovering; // the kept changes this run applied, by name

    std::unique_ptr<WordStore> m_store;
    WordStore::LockState m_lockState = WordStore::LockState::Taken;
    std::string m_copiesNotice;
    WordList m_words;
    ListHistory m_history{m_words};
    Settings m_settings;
    ReviewState m_review{m_words, m_settings.review};
    std::int32_t m_pageStart = 0;
    WordPos m_cursor;
};
