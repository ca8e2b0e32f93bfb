// What a run changed in the list and did not save: found against the list as saved, kept in
// the folder's backups/ when the run ends without saving, and applied again as one step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "words/WordEntry.h"

class Folder;
class WordList;

struct DiscardedChanges {
    std::vector<WordEntry> added;                        // as the run left them
    std::vector<std::pair<WordEntry, WordEntry>> edited; // as saved, then as the run left it
    std::vector<WordEntry> deleted;                      // as saved

    std::size_t Count() const { return added.size() + edited.size() + deleted.size(); }
    bool Empty() const { return Count() == 0; }
    friend bool operator==(const DiscardedChanges&, const DiscardedChanges&) = default;
};

// The changes that make `now` of `saved`, told apart by where each entry of `now` came from
// (WordList::Origin): a new entry was added, one whose texts differ was edited, and an entry
// of `saved` that nothing came from was deleted. A renumbering alone is no change.
DiscardedChanges FindDiscarded(const WordList& saved, const WordList& now);
// The same when the file is no longer the version the run loaded, so that where its entries
// came from says nothing: every entry of `now` whose texts the file lacks counts as added,
// and nothing as deleted. Nothing is lost and nothing of the other version is taken back.
DiscardedChanges FindUnsaved(const WordList& file, const WordList& now);

// What applying `changes` to `words` does, as the history's steps take it: texts replaced
// (index, entry with its number kept), entries removed (indexes, highest first, so that each
// stays right while the earlier are taken out) and entries appended (numbered on from the
// list's count). An edit or a deletion finds its entry by number and texts as saved, else by
// texts alone; an edit whose entry is gone comes back as an addition, a deletion whose entry
// is gone is done already, and an addition already in the list is not made twice.
struct Recovery {
    std::vector<std::pair<std::uint32_t, WordEntry>> replaced;
    std::vector<std::uint32_t> removed;
    std::vector<WordEntry> appended;

    bool Empty() const { return replaced.empty() && removed.empty() && appended.empty(); }
};
Recovery PlanRecovery(const WordList& words, const DiscardedChanges& changes);

// The kept changes in backups/: a folder "discarded-YYYYMMDD-HHMMSS" of word files, one for
// each kind ("added.txt", "edited.txt" with each entry as saved followed by it as edited,
// "deleted.txt"), and marks once the learner was told ("told") and the changes were recovered
// and saved ("recovered"). The names are none of a backup of the list, so nothing that looks
// for the list's backups takes them.
namespace discarded {

inline constexpr const char* kPrefix = "discarded-";
inline constexpr const char* kTold = "told";
inline constexpr const char* kRecovered = "recovered";
// Keep removes the oldest beyond this many.
inline constexpr std::size_t kKeptMost = 10;

// "discarded-20261208-041502" for that local time.
std::string FolderName(std::int64_t when);
// Whether `name` is such a folder's name.
bool IsKeptName(const std::string& name);

// Writes `changes` (not empty) into a new folder of `list`'s backups/, all files at once or
// none, files made like `model` (the word file) is, and removes the oldest beyond kKeptMost. The
// kept folder's name ("backups/..."), empty on failure.
std::string Keep(const Folder& list, const std::string& model, const DiscardedChanges& changes,
                 std::int64_t when);

// The newest kept folder (its name in backups/) without the mark `mark`; empty when none.
std::string NewestWithout(const Folder& list, const char* mark);
// Reads the kept changes of `name`; false when they cannot be read.
bool Read(const Folder& list, const std::string& name, DiscardedChanges& changes);
// Sets `mark` on the kept folder `name`; false when it could not be written.
bool Mark(const Folder& list, const std::string& name, const char* mark);

} // namespace discarded
