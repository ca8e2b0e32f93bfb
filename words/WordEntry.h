// One word of the learner's list: its number, the word, its spell text, type and meaning.
#pragma once

#include <cstdint>
#include <string>

struct WordEntry {
    std::int32_t number = 0;
    std::string word;
    std::string spell;
    std::string type;
    std::string mean;

    friend bool operator==(const WordEntry&, const WordEntry&) = default;
};
