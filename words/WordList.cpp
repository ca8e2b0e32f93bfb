#include "words/WordList.h"

#include <cassert>
#include <functional>
#include <utility>

namespace {

std::uint32_t HashWord(std::string_view word) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(word));
}

} // namespace

void WordList::Append(const WordEntry& entry) {
    keys_.push_back({entry.number, HashWord(entry.word)});
    entries_.push_back(entry);
}

void WordList::Append(WordEntry&& entry) {
    keys_.push_back({entry.number, HashWord(entry.word)});
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
    for (std::size_t index = 0; index < keys_.size(); ++index) {
        if (keys_[index].number == number) {
            return WordPos(index);
        }
    }
    return End();
}

WordPos WordList::FindWord(std::string_view word) const {
    const std::uint32_t hash = HashWord(word);
    for (std::size_t index = 0; index < keys_.size(); ++index) {
        if (keys_[index].wordHash == hash && entries_[index].word == word) {
            return WordPos(index);
        }
    }
    return End();
}
