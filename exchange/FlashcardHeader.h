// The "#key:value" lines at the top of a flashcard program's text export.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct FlashcardHeader {
    std::size_t lines = 0; // header lines read
    std::size_t bytes = 0; // their length with line ends
    char separator = 0;
    std::optional<bool> html;
    std::string columns;   // the raw "#columns:" value
    std::vector<int> skip; // columns holding note type, deck, tags or id, from 0

    bool IsSkipped(int column) const;
};

// The known header lines at the start of `text`; a line of other text ends them.
FlashcardHeader ReadFlashcardHeader(std::string_view text);
