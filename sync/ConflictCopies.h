// Finds the copies a folder synchroniser made of the list's files when two machines changed
// them before hearing from each other, and merges them back: the word file three ways, the
// review history by union, the settings key by key.
#pragma once

#include <ctime>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Folder.h"

// The files of one word folder that travel between machines.
struct SyncedFiles {
    std::string list = "WL.txt";
    std::string history = "reviews.tsv";
    std::string settings = "env.ini";
};

// Whether `name` is a copy of `fileName` as Syncthing names them: "WL.txt" gives
// "WL.sync-conflict-20240501-153012-ABCDEF1.txt" (the date and time of the change, the short
// id of the device that made it); a copy of a copy adds another such part.
bool IsConflictCopyOf(std::string_view name, std::string_view fileName);

// The conflict copies of `fileName` in the folder, oldest first (their names sort by date). At
// most `limit` are listed: a folder full of them is merged a batch at a time.
std::vector<std::string> FindConflictCopies(const Folder& folder, std::string_view fileName,
                                            std::size_t limit = 64);

// Whether any of the files has a conflict copy: the cheap check for a timer.
bool HasConflictCopies(const Folder& folder, const SyncedFiles& files = {});

struct CopyMergeReport {
    std::size_t copies = 0;               // copies merged and moved into backups/
    std::size_t words = 0;                // entries taken from them
    std::size_t reviews = 0;              // history lines taken from them
    std::size_t settings = 0;             // settings taken from them
    std::size_t capped = 0;               // of the history lines, those stamped in the future
    std::vector<std::string> bothChanged; // words now kept in two versions
    std::vector<std::string> keptChanged; // words deleted on one machine, edited on the other
    std::vector<std::string> keptAside;   // merged copies with two versions, as kept in backups/
    std::vector<std::string> notMerged;   // copies left where they are, with why
    std::set<std::string> devices;        // the machines the merged copies came from

    bool changed() const { return words + reviews + settings > 0; }
    // The text of the learner's "Info" box; empty when there was nothing to merge.
    std::string Message() const;
};

// Merges every conflict copy of the folder's files into the file it copies, writing each file
// safely (after a backup of the word file), and moves each merged copy into backups/. The word
// file is merged against the newest backup both versions may descend from, or by word when
// there is none. A copy that cannot be read or whose file cannot be written is left where it
// is and named. `now` caps history stamps from a clock that runs ahead.
CopyMergeReport MergeConflictCopies(const Folder& folder, const timespec& now,
                                    const SyncedFiles& files = {});
// The same at the present time.
CopyMergeReport MergeConflictCopies(const Folder& folder, const SyncedFiles& files = {});
