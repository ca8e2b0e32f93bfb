// A position in a WordList: one entry, or the end after the last entry.
#pragma once

#include <cstddef>
#include <limits>

class WordPos {
public:
    // The end position of every list.
    WordPos() = default;

    friend bool operator==(WordPos, WordPos) = default;

private:
    friend class WordList;

    static constexpr std::size_t kEnd = std::numeric_limits<std::size_t>::max();

    explicit WordPos(std::size_t index) : m_index(index) {}

    // The end is a value of its own rather than the count, so a position taken at the end
    // stays the end when entries are appended later, as it would in a linked list.
    std::size_t m_index = kEnd;
};
