// Joins this run's changes to a word list with the changes another writer made to its file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "words/EntryPrint.h"
#include "words/WordList.h"

// One print per entry, in list order.
std::vector<EntryPrint> PrintEntries(const WordList& words);

struct MergeResult {
    WordList merged;
    std::vector<std::string> added;     // this run's additions, now after the file's entries
    std::vector<std::string> dropped;   // additions whose word the file now has
    std::vector<std::string> conflicts; // entries this run changed that the file changed too
    int edited = 0;                     // this run's edits applied to the file's entries
    int deleted = 0;                    // this run's deletions applied
};

// `base`: the prints of the file as loaded; `ours`: the run's list, whose origins name the
// loaded entries (-1 for additions); `theirs`: the file as it is now. The result is the file's
// entries with the run's edits and deletions applied to the entries they name, then the run's
// additions numbered after the file's last entry; `theirs` is made into it where it is, so the
// merge holds no second copy of the file. When `conflicts` is not empty, `merged` is
// meaningless: the caller keeps both lists instead.
MergeResult MergeWordLists(const std::vector<EntryPrint>& base, const WordList& ours,
                           WordList theirs);
// The same for a file of `loaded` entries whose prints as loaded `was` gives by origin, or
// nullptr for an entry `ours` still holds as loaded: a list that keeps prints only of what
// it changed merges without printing every entry.
using LoadedPrint = std::function<const EntryPrint*(std::size_t origin)>;
MergeResult MergeWordLists(std::size_t loaded, const LoadedPrint& was, const WordList& ours,
                           WordList theirs);

// The rule for this run's additions (positions in `ours`), whatever the merge: each goes after
// the file's last entry, numbered on from `last`, unless the file has its word already
// (`fileHas`, of the words `WordsOf` gives); `add` takes each kept one, numbered. Fills `added`
// and `dropped` of `result`.
std::vector<std::string_view> WordsOf(const WordList& ours, const std::vector<WordPos>& additions);
void AddAfterLast(const WordList& ours, const std::vector<WordPos>& additions,
                  const std::unordered_set<std::string_view>& fileHas, std::int32_t last,
                  MergeResult& result, const std::function<void(const WordFields&)>& add);
