// What an entry of the file was when it was loaded, without keeping its text.
#pragma once

#include <cstdint>
#include <string_view>

#include "words/WordFields.h"

// A hash of the entry's word (to find it again) and of all its text fields (to tell whether it
// changed). Numbers are left out: they follow from the entry's place.
struct EntryPrint {
    std::uint64_t word = 0;
    std::uint64_t fields = 0;
    friend bool operator==(const EntryPrint&, const EntryPrint&) = default;
};

EntryPrint PrintOf(const WordFields& fields);
// The `word` of the print of an entry with that word.
std::uint64_t PrintOfWord(std::string_view word);
