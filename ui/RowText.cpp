#include "ui/RowText.h"

#include <cwchar>

namespace {
constexpr std::size_t kWordColumns = 28;
}

std::size_t DisplayWidth(std::string_view text) {
    std::size_t columns = 0;
    std::mbstate_t state{};
    std::size_t i = 0;
    while (i < text.size()) {
        wchar_t wc = 0;
        const std::size_t n = std::mbrtowc(&wc, text.data() + i, text.size() - i, &state);
        if (n == static_cast<std::size_t>(-1) || n == static_cast<std::size_t>(-2)) {
            // An invalid or truncated sequence: its first byte takes one column, and the
            // decoder starts afresh at the next byte.
            state = std::mbstate_t{};
            ++columns;
            ++i;
            continue;
        }
        const int w = ::wcwidth(wc);
        // Control characters have no width of their own; they still take a cell on screen.
        columns += w < 0 ? 1 : static_cast<std::size_t>(w);
        i += n == 0 ? 1 : n;
    }
    return columns;
}

std::string FormatRowText(std::string_view word, std::string_view spell) {
    const std::size_t width = DisplayWidth(word);
    std::string text;
    text.reserve(word.size() + kWordColumns + 1 + spell.size());
    text.append(word);
    if (width < kWordColumns)
        text.append(kWordColumns - width, ' ');
    text.push_back(' ');
    text.append(spell);
    return text;
}
