// A word list's entries as values, for tests and fuzzers to compare.
#pragma once

#include <string>
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

// Merge tests write an entry as "<number> <word> <mean>"; spell and type are filled in.
inline WordEntry EntryFromText(const std::string& text, const std::string& spell = "s") {
    const std::size_t a = text.find(' ');
    const std::size_t b = text.find(' ', a + 1);
    return {std::stoi(text.substr(0, a)), text.substr(a + 1, b - a - 1), spell, "n.",
            text.substr(b + 1)};
}

inline WordList ListFromTexts(const std::vector<std::string>& texts,
                              const std::string& spell = "s") {
    WordList list;
    for (const std::string& text : texts)
        list.Append(EntryFromText(text, spell));
    return list;
}

inline std::vector<std::string> ListTexts(const WordList& list) {
    std::vector<std::string> texts;
    for (const WordEntry& e : ListEntries(list))
        texts.push_back(std::to_string(e.number) + " " + e.word + " " + e.mean);
    return texts;
}

// Word-file text of entries first..last, numbered as such: "<n> w<n> s n. m".
inline std::string Lines(int first, int last) {
    std::string text;
    for (int i = first; i <= last; ++i)
        text += std::to_string(i) + " w" + std::to_string(i) + " s n. m\r\n";
    return text;
}
