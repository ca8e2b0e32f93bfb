// A word list's entries as values, for tests and fuzzers to compare.
#pragma once

#include <vector>

#include "words/WordEntry.h"
#include "words/WordList.h"

inline std::vector<WordEntry> ListEntries(const WordList& list) {
    std::vector<WordEntry> entries;
    for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos))
        entries.push_back(list.At(pos));
    return entries;
}

// The same with every number 0: for formats that do not keep numbers.
inline std::vector<WordEntry> ListEntriesUnnumbered(const WordList& list) {
    std::vector<WordEntry> entries = ListEntries(list);
    for (WordEntry& entry : entries)
        entry.number = 0;
    return entries;
}
