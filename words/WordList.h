// The ordered, append-only list of word entries, with lookups by number and by word.
#pragma once

#include <cstdint>
#include <deque>
#include <string_view>
#include <vector>

#include "words/WordEntry.h"
#include "words/WordPos.h"

class WordList {
public:
    // Stores a copy after the last entry (the second form takes over the given fields).
    void Append(const WordEntry& entry);
    void Append(WordEntry&& entry);
    std::uint32_t GetCount() const;

    WordPos Begin() const;
    WordPos End() const;
    WordPos Next(WordPos pos) const;        // pos must not be End()
    const WordEntry& At(WordPos pos) const; // pos must not be End()

    // First entry in list order with that number / that exact word (byte equality), or End().
    WordPos FindNumber(std::int32_t number) const;
    WordPos FindWord(std::string_view word) const;

private:
    // A deque grows in small blocks: appending never moves the entries already held, so
    // references from At() stay valid and a large list never needs twice its size at once.
    std::deque<WordEntry> entries_;

    // The number and a hash of the word of each entry, in list order. The lookups walk this
    // compact column from the first entry instead of the entries themselves, which would
    // read the whole list from memory; a hash match is confirmed on the word itself.
    struct Keys {
        std::int32_t number;
        std::uint32_t wordHash;
    };
    std::vector<Keys> keys_;
};
