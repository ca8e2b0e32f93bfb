// Find as you type: a search of the word list done a slice at a time, so that the window can
// run it from its event loop and never stop answering keys.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "words/TextQuery.h"
#include "words/WordList.h"
#include "words/WordPos.h"

// Matches the text as a substring of an entry's word, spell or meaning (not its type), Latin
// letters without regard to case (see TextQuery). An empty text matches nothing. The list must
// not change while a search runs: start a new search after an edit.
class WordSearch {
public:
    WordSearch(const WordList& words, std::string_view text);

    bool Done() const { return m_done; }
    // Looks at up to `maxEntries` more entries and appends the positions of those that match
    // to `found`, in list order.
    void Step(std::uint32_t maxEntries, std::vector<WordPos>& found);
    // How many entries have been looked at, against GetCount() of the list.
    std::uint32_t Examined() const { return m_examined; }

private:
    const WordList& m_words;
    TextQuery m_query;
    WordPos m_next;
    std::uint32_t m_examined = 0;
    bool m_done = false;
};
