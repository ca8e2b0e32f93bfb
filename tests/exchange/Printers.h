// Readable test messages for entries and problems.
#pragma once

#include <ostream>

#include "exchange/ImportedWords.h"
#include "words/WordEntry.h"

inline void PrintTo(const WordEntry& entry, std::ostream* out) {
    *out << "{" << entry.number << ", \"" << entry.word << "\", \"" << entry.spell << "\", \""
         << entry.type << "\", \"" << entry.mean << "\"}";
}

inline void PrintTo(const ImportProblem& problem, std::ostream* out) {
    *out << ProblemText(problem);
}
