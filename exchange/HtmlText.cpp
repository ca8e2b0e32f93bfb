#include "exchange/HtmlText.h"

#include <utility>

#include "base/AsciiText.h"

namespace {

// The longest entity looked at, "&#x10FFFF;" being the longest that means anything.
constexpr std::size_t kMaxEntity = 10;

// Appends the UTF-8 form of code point `c`; false for values that are no character.
bool AppendCodePoint(std::string& out, unsigned long c) {
    if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return false;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return true;
}

// Decodes the entity at html[at] ('&'); returns its length, or 0 when it is none. Looks no
// further than kMaxEntity bytes, so a run of '&' without ';' costs a constant each.
std::size_t DecodeEntity(std::string_view html, std::size_t at, std::string& out) {
    const std::size_t semi = html.substr(at, kMaxEntity + 1).find(';');
    if (semi == std::string_view::npos) {
        return 0;
    }
    const std::string_view name = html.substr(at + 1, semi - 1);
    if (name.size() > 1 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 7) {
            return 0;
        }
        unsigned long value = 0;
        for (const char c : digits) {
            int digit = -1;
            if (c >= '0' && c <= '9') {
                digit = c - '0';
            } else if (hex && c >= 'a' && c <= 'f') {
                digit = c - 'a' + 10;
            } else if (hex && c >= 'A' && c <= 'F') {
                digit = c - 'A' + 10;
            }
            if (digit < 0) {
                return 0;
            }
            value = value * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
        }
        return AppendCodePoint(out, value) ? semi + 1 : 0;
    }
    static constexpr std::pair<std::string_view, std::string_view> kNamed[] = {
        {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}, {"nbsp", " "},
    };
    for (const auto& [entity, text] : kNamed) {
        if (name == entity) {
            out += text;
            return semi + 1;
        }
    }
    return 0;
}

// The next `c` at or after `from`, remembered: each search starts where the last one ended,
// so a text full of openers without closers is searched once, not once per opener.
class NextOf {
public:
    NextOf(std::string_view text, char c) : m_text(text), m_c(c) {}

    std::size_t From(std::size_t from) {
        if (!m_searched || (m_found != std::string_view::npos && m_found < from)) {
            m_found = m_text.find(m_c, from);
            m_searched = true;
        }
        return m_found;
    }

private:
    std::string_view m_text;
    char m_c;
    bool m_searched = false;
    std::size_t m_found = std::string_view::npos;
};

} // namespace

void AppendHtmlText(std::string_view html, std::string& out) {
    const std::size_t start = out.size();
    NextOf tagEnd(html, '>');
    NextOf soundEnd(html, ']');
    std::size_t i = 0;
    while (i < html.size()) {
        const char c = html[i];
        if (c == '<') {
            const char next = i + 1 < html.size() ? html[i + 1] : '\0';
            const bool tag = ascii::IsLetter(next) || next == '/' || next == '!';
            const std::size_t close = tag ? tagEnd.From(i) : std::string_view::npos;
            if (close != std::string_view::npos) {
                const std::string_view name = html.substr(i + 1, close - i - 1);
                if (ascii::StartsWithNoCase(name, "br") &&
                    (name.size() == 2 || name[2] == ' ' || name[2] == '/')) {
                    out += ' ';
                }
                i = close + 1;
                continue;
            }
        } else if (c == '&') {
            const std::size_t used = DecodeEntity(html, i, out);
            if (used > 0) {
                i += used;
                continue;
            }
        } else if (c == '[' && html.substr(i, 7) == "[sound:") {
            const std::size_t close = soundEnd.From(i);
            if (close != std::string_view::npos) {
                i = close + 1;
                continue;
            }
        }
        out += c;
        ++i;
    }
    // Trim what was appended: blanks at its start, then at its end.
    std::size_t end = out.size();
    while (end > start && ascii::IsSpace(out[end - 1])) {
        --end;
    }
    std::size_t lead = start;
    while (lead < end && ascii::IsSpace(out[lead])) {
        ++lead;
    }
    out.resize(end);
    out.erase(start, lead - start);
}

std::string HtmlToText(std::string_view html) {
    std::string out;
    out.reserve(html.size());
    AppendHtmlText(html, out);
    return out;
}
