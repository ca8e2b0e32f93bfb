#include "study/WordSearch.h"

WordSearch::WordSearch(const WordList& words, std::string_view text)
    : m_words(words), m_query(text), m_next(words.Begin()), m_done(m_query.Empty()) {}

void WordSearch::Step(std::uint32_t maxEntries, std::vector<WordPos>& found) {
    if (m_done) {
        return;
    }
    const std::uint32_t from = m_words.IndexOf(m_next);
    m_next = m_words.FindText(m_query, m_next, maxEntries, found);
    m_examined += m_words.IndexOf(m_next) - from;
    m_done = m_next == m_words.End();
}
