// The session with the learner's word file: the folder it was opened in, what was loaded from
// it, and saves that merge with changes made behind our back, keep a backup and never write
// over a file that was not read whole.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Folder.h"
#include "words/WordMerge.h"

class Progress;
class QLockFile;
class WordList;

class WordStore {
public:
    static constexpr const char* kFileName = "WL.txt";

    // Holds the current directory open; every file of the session is found in it.
    WordStore();
    // For tests: a folder given by path.
    explicit WordStore(const std::string& folderPath);
    ~WordStore();

    const Folder& folder() const { return m_folder; }
    // The word file's path as shown in messages.
    const std::string& path() const { return m_path; }
    // The word file as loaded or last saved (exists = false: there was none).
    const FileStamp& LoadedStamp() const { return m_stamp; }

    // What became of the folder's lock. A lock left by a copy that died is taken over.
    enum class LockState {
        Taken,
        NotNeeded, // a folder we may not write: no save of ours can clash
        LiveCopy,  // another running copy on this computer holds it
        OtherHost, // a copy on another computer took it; whether it still runs is unknown
        Unusable,  // the lock file cannot be used: not a file, unchangeable, unreadable
    };
    LockState Lock();
    // What a lock that could not be taken means, from what its file says of its holder: a
    // process (running here or not) on a computer known by its name and unique id. A lock that
    // names this computer and a process that is not running was stale, yet could not be
    // removed: it cannot be used, and no other copy holds the list.
    struct LockHolder {
        bool running = false;
        std::string_view host, machineId; // as the lock file gives them; either may be empty
        std::string_view ourHost, ourMachineId;
    };
    static LockState HeldLockState(const LockHolder& holder);
    // Where the lock file is: on this machine, outside the folder when a private place exists.
    std::string LockPath() const;
    // The computer named by a lock of LockState::OtherHost.
    const std::string& LockHost() const { return m_lockHost; }
    // The learner's notice for a lock not taken; empty when there is nothing to say.
    std::string LockNotice(LockState state) const;

    // Appends the file's entries to `words`, which then stand for them in later merges. A
    // missing file is an empty list. False (with `message` set) when the file exists but
    // could not be read whole: every later save of the session is then refused.
    bool Load(WordList& words, std::string& message);

    struct SaveResult {
        bool done = false;    // the window may end: saved, or nothing more can be done
        std::string message;  // for the learner's "Info" box; empty when nothing to say
        bool written = false; // the file now holds `words` (not kept aside, not a conflict)
    };
    // Writes `words` over the file, merging when the file changed since it was loaded, after
    // keeping the replaced version as a backup. On success `words` holds what was written.
    // `progress`, when given, hears how far the save has come. Beside the list, the save holds
    // at most one parsed copy of a file changed behind our back, which becomes the list.
    SaveResult Save(WordList& words, Progress* progress = nullptr);

    // Writes `words` beside the word file as WL.conflict-<date>-<time>.txt, for an end that
    // cannot wait for the learner after a refused save. Returns the path, or empty on failure.
    std::string KeepAside(const WordList& words);

private:
    struct Appended;
    // Whether a file of `fileBytes` may be the file as loaded with entries appended, this run
    // having only appended too: the save then reads just the appended text, once the loaded
    // part's hash shows it is that.
    bool MayBeAppended(std::size_t fileBytes, const WordList& words) const;
    static MergeResult MergeAppended(const WordList& words, std::size_t loaded,
                                     std::string_view tail, Appended& out);
    void RemoveLeftovers();
    std::string ConflictName() const;
    std::string BackupFailed() const;
    // How a file that was loaded with entries was cut short behind our back ("removed",
    // "emptied", "cut to 2 of its 300 entries"), or empty when it was not.
    std::string CutShort(bool exists, std::size_t entries) const;
    // The entries this run loaded or last saved, with its edits to them: the last good copy
    // of a list that was cut short.
    std::string LastKnownText(const WordList& words) const;
    bool WriteList(const std::string& name, const WordList& words);

    Folder m_folder;
    std::string m_path;
    std::unique_ptr<QLockFile> m_lock;
    std::string m_lockHost; // the other computer of LockState::OtherHost
    bool m_readWhole = true;
    FileStamp m_stamp;            // the file as loaded or last saved
    std::uint64_t m_hash = 0;     // a hash of its bytes
    std::size_t m_bytes = 0;      // how many bytes
    bool m_betweenRecords = true; // text appended to them reads as records of its own
    std::size_t m_loaded = 0;     // entries in the file as loaded or last saved
};

// A hash of a file's bytes, to tell a changed file from one merely touched. The same bytes
// hash the same whether given at once or in pieces of any size.
class ByteHash {
public:
    void Add(std::string_view bytes);
    std::uint64_t Finish();

private:
    static constexpr std::size_t kBlock = 64 * 1024;
    void AddBlock(std::string_view block);
    char m_block[kBlock];
    std::size_t m_fill = 0;
    std::uint64_t m_hash = 0;
};

std::uint64_t HashBytes(std::string_view bytes);
