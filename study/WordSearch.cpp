#include "study/WordSearch.h"

WordSearch::WordSearch(const WordList& words, std::string_view text)
    : words_(words), query_(text), next_(words.Begin()), done_(query_.Empty()) {}

void WordSearch::Step(std::uint32_t maxEntries, std::vector<WordPos>& found) {
    if (done_) {
        return;
    }
    const std::uint32_t from = words_.IndexOf(next_);
    next_ = words_.FindText(query_, next_, maxEntries, found);
    examined_ += words_.IndexOf(next_) - from;
    done_ = next_ == words_.End();
}
