// The checks a new word passes before it joins the list, in the order the add form makes them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "words/WordList.h"

struct NewWordCheck {
    enum class Verdict {
        Accepted,
        MissingWord, // empty, or white space alone
        MissingMean,
        MissingType,
        Duplicate, // `existingWord` is already in the list
    };
    Verdict verdict = Verdict::Accepted;
    std::string word;         // Accepted, Duplicate: the word without surrounding white space
    std::int32_t number = 0;  // Accepted: the number the new entry takes
    std::string existingWord; // Duplicate: the entry's word as stored
};

NewWordCheck CheckNewWord(const WordList& words, std::string_view word, std::string_view mean,
                          std::string_view type);

// The same checks for new texts of the entry at `self`: its own word is no duplicate.
NewWordCheck CheckEditedEntry(const WordList& words, WordPos self, std::string_view word,
                              std::string_view mean, std::string_view type);
