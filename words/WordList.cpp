#include "words/WordList.h"

#include <cassert>
#include <utility>

void WordList::Append(const WordEntry& entry) {
    entries_.push_back(entry);
}

void WordList::Append(WordEntry&& entry) {
    entries_.push_back(std::move(entry));
}

std::uint32_t WordList::GetCount() const {
    return static_cast<std::uint32_t>(entries_.size());
}

WordPos WordList::Begin() const {
    return entries_.empty() ? End() : WordPos(0);
}

WordPos WordList::End() const {
    return WordPos();
}

WordPos WordList::Next(WordPos pos) const {
    assert(pos.index_ < entries_.size());
    const std::size_t next = pos.index_ + 1;
    return next < entries_.size() ? WordPos(next) : End();
}

const WordEntry& WordList::At(WordPos pos) const {
    assert(pos.index_ < entries_.size());
    return entries_[pos.index_];
}

WordPos WordList::FindNumber(std::int32_t number) const {
    std::size_t index = 0;
    for (const WordEntry& entry : entries_) {
        if (entry.number == number) {
            return WordPos(index);
        }
        ++index;
    }
    return End();
}

WordPos WordList::FindWord(std::string_view word) const {
    std::size_t index = 0;
    for (const WordEntry& entry : entries_) {
        if (entry.word == word) {
            return WordPos(index);
        }
        ++index;
    }
    return End();
}
