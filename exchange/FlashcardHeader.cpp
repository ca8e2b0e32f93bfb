#include "exchange/FlashcardHeader.h"

#include <algorithm>
#include <charconv>

#include "base/AsciiText.h"
#include "exchange/SeparatorGuess.h"

namespace {

// An export names a handful of such columns (note type, deck, tags, id); a file that names
// more is not kept from being read, the rest are only not left out.
constexpr std::size_t kMaxSkipped = 16;

} // namespace

bool FlashcardHeader::IsSkipped(int column) const {
    return std::find(skip.begin(), skip.end(), column) != skip.end();
}

FlashcardHeader ReadFlashcardHeader(std::string_view text) {
    FlashcardHeader header;
    std::size_t at = 0;
    while (at < text.size() && text[at] == '#') {
        const std::size_t stop = text.find_first_of("\r\n", at);
        const std::size_t end = stop == std::string_view::npos ? text.size() : stop;
        const std::string_view line = text.substr(at + 1, end - at - 1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            break;
        }
        const std::string_view rawKey = ascii::Trim(line.substr(0, colon));
        // "#" followed by other text is data, not a header line.
        if (rawKey.empty() || rawKey.size() > 30 ||
            !std::all_of(rawKey.begin(), rawKey.end(),
                         [](char c) { return ascii::IsLetter(c) || c == ' '; })) {
            break;
        }
        const std::string key = ascii::Lower(rawKey);
        const std::string_view value = line.substr(colon + 1);
        if (key == "separator") {
            header.separator = SeparatorNamed(value);
        } else if (key == "html") {
            header.html = ascii::EqualsNoCase(ascii::Trim(value), "true");
        } else if (key == "columns") {
            header.columns = std::string(value);
        } else if (key.ends_with(" column")) {
            const std::string_view digits = ascii::Trim(value);
            int column = 0;
            const auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), column);
            if (error == std::errc() && column >= 1 && header.skip.size() < kMaxSkipped &&
                !header.IsSkipped(column - 1)) {
                header.skip.push_back(column - 1);
            }
        }
        at = end;
        if (at < text.size() && text[at] == '\r') {
            ++at;
        }
        if (at < text.size() && text[at] == '\n') {
            ++at;
        }
        ++header.lines;
        header.bytes = at;
    }
    return header;
}
