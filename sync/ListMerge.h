// Joins two versions of the word file that two machines changed apart, against the version
// both started from when one is known.
#pragma once

#include <string>
#include <vector>

#include "words/WordList.h"

struct ListMergeResult {
    WordList merged;
    std::size_t taken = 0;   // entries in `merged` that only `theirs` gave
    std::size_t removed = 0; // entries one side deleted and the other kept as they were
    std::vector<std::string> bothChanged; // words that got two different versions: both kept
    std::vector<std::string> keptChanged; // words deleted on one side and edited on the other
};

// Entries are matched by word, the n-th entry of a word with the n-th of the same word in the
// other version. Against `base`: an entry one side changed and the other left as it was takes
// the change (a deletion included); an entry both sides changed differently is kept twice,
// ours first; an entry deleted on one side and edited on the other is kept as edited. Without
// a base (`hasBase` false) nothing counts as deleted and two different versions of a word are
// both kept. The result is `ours` in its order with those changes, then the entries only
// `theirs` has, in its order. When ours was numbered 1, 2, 3, ... the result is numbered so
// too; otherwise ours keep their numbers and the others follow its last one.
ListMergeResult MergeListCopies(const WordList& ours, const WordList& theirs, const WordList* base);

// Whether `side` may descend from `candidate`: it still holds the word of the candidate's last
// entry. A version made after one side added words ends with a word the other side never had,
// and taking it as the base would read those words as deleted by the other side; a base that
// is merely older only makes more entries match as unchanged additions.
bool MayDescendFrom(const WordList& side, const WordList& candidate);
