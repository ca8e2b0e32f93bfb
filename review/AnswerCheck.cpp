#include "review/AnswerCheck.h"

#include <algorithm>
#include <cstdint>

#include "base/AsciiText.h"

namespace review {

namespace {

constexpr std::size_t kMaxChars = 400;

// Splits UTF-8 into characters (a stray byte is a character of its own).
std::vector<std::string_view> Characters(std::string_view text) {
    std::vector<std::string_view> chars;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::size_t n = 1;
        while (n < length && i + n < text.size() &&
               (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
            ++n;
        chars.push_back(text.substr(i, n));
        i += n;
    }
    return chars;
}

bool SameChar(std::string_view a, std::string_view b) {
    return a.size() == 1 && b.size() == 1 ? ascii::EqualsNoCase(a, b) : a == b;
}

void Add(std::vector<AnswerSegment>& out, AnswerSegment::Kind kind, std::string_view text) {
    if (!out.empty() && out.back().kind == kind)
        out.back().text += text;
    else
        out.push_back({kind, std::string(text)});
}

} // namespace

AnswerCheck CheckAnswer(std::string_view typed, std::string_view expected) {
    AnswerCheck check;
    const std::vector<std::string_view> a = Characters(ascii::Trim(typed));
    const std::vector<std::string_view> b = Characters(ascii::Trim(expected));
    if (a.size() > kMaxChars || b.size() > kMaxChars) {
        if (!a.empty())
            check.segments.push_back({AnswerSegment::Kind::Extra, std::string(ascii::Trim(typed))});
        if (!b.empty())
            check.segments.push_back(
                {AnswerSegment::Kind::Missing, std::string(ascii::Trim(expected))});
        check.exact = ascii::EqualsNoCase(ascii::Trim(typed), ascii::Trim(expected));
        check.suggested = check.exact ? memory::Grade::Good : memory::Grade::Again;
        return check;
    }
    // Longest common subsequence, table from the ends so the walk goes forwards.
    const std::size_t n = a.size(), m = b.size();
    std::vector<std::uint16_t> table((n + 1) * (m + 1), 0);
    const auto at = [&](std::size_t i, std::size_t j) -> std::uint16_t& {
        return table[i * (m + 1) + j];
    };
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            at(i, j) = SameChar(a[i], b[j]) ? static_cast<std::uint16_t>(at(i + 1, j + 1) + 1)
                                            : std::max(at(i + 1, j), at(i, j + 1));
    std::size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && SameChar(a[i], b[j])) {
            Add(check.segments, AnswerSegment::Kind::Same, b[j]);
            ++i;
            ++j;
        } else if (j < m && (i == n || at(i, j + 1) >= at(i + 1, j))) {
            Add(check.segments, AnswerSegment::Kind::Missing, b[j++]);
        } else {
            Add(check.segments, AnswerSegment::Kind::Extra, a[i++]);
        }
    }
    const std::size_t common = at(0, 0);
    const std::size_t edits = n + m - 2 * common;
    check.exact = edits == 0 && n > 0;
    if (check.exact)
        check.suggested = memory::Grade::Good;
    else if (n > 0 && edits <= std::max<std::size_t>(2, m / 5))
        check.suggested = memory::Grade::Hard; // a slip: recalled, not quite right
    else
        check.suggested = memory::Grade::Again;
    return check;
}

} // namespace review
