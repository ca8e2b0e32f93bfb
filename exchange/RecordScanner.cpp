#include "exchange/RecordScanner.h"

#include <cstring>

RecordScanner::RecordScanner(std::string_view text, char separator, std::size_t firstLine)
    : m_text(text), m_separator(separator), m_line(firstLine) {
    m_stops.fill(false);
    m_stops[static_cast<unsigned char>(separator)] = true;
    m_stops['\r'] = true;
    m_stops['\n'] = true;
}

void RecordScanner::Keep(std::vector<std::string_view>& fields, std::string_view field) {
    if (fields.size() < kMaxFields) {
        fields.push_back(field);
    } else if (!field.empty()) {
        ++m_beyondMax;
    }
}

RecordScanner::Result RecordScanner::Next(std::vector<std::string_view>& fields, std::size_t& line,
                                          const char*& reason) {
    fields.clear();
    m_beyondMax = 0;
    if (m_at >= m_text.size()) {
        return Result::End;
    }
    line = m_line;
    const std::size_t start = m_at;
    std::size_t index = 0;
    for (;; ++index) {
        if (m_at < m_text.size() && m_text[m_at] == '"') {
            std::string_view field;
            if (!Quoted(std::min(index, kMaxFields), field)) {
                reason = "unclosed quote";
                SkipRowFrom(start, line);
                return Result::Error;
            }
            Keep(fields, field);
            if (m_at < m_text.size() && !m_stops[static_cast<unsigned char>(m_text[m_at])]) {
                reason = "text after a closing quote";
                SkipLineFrom(m_at);
                return Result::Error;
            }
        } else {
            const std::size_t from = m_at;
            while (m_at < m_text.size() && !m_stops[static_cast<unsigned char>(m_text[m_at])]) {
                ++m_at;
            }
            Keep(fields, m_text.substr(from, m_at - from));
        }
        if (m_at >= m_text.size()) {
            return Result::Record;
        }
        const char c = m_text[m_at++];
        if (c == m_separator) {
            continue;
        }
        EndLine(c);
        return Result::Record;
    }
}

// Moves past a line end whose first byte `c` was just read.
void RecordScanner::EndLine(char c) {
    if (c == '\r' && m_at < m_text.size() && m_text[m_at] == '\n') {
        ++m_at;
    }
    ++m_line;
}

// Counts the line ends in m_text[from, to).
void RecordScanner::CountLines(std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        if (m_text[i] == '\n' || (m_text[i] == '\r' && (i + 1 >= to || m_text[i + 1] != '\n'))) {
            ++m_line;
        }
    }
}

// Reads a quoted field starting at m_at; false when its closing quote is missing. Fields past
// kMaxFields share the last scratch string, as they are only counted.
bool RecordScanner::Quoted(std::size_t index, std::string_view& field) {
    const std::size_t open = m_at + 1;
    std::size_t from = open;
    std::string* own = nullptr;
    for (;;) {
        const void* found = std::memchr(m_text.data() + from, '"', m_text.size() - from);
        if (found == nullptr) {
            return false;
        }
        const std::size_t quote =
            static_cast<std::size_t>(static_cast<const char*>(found) - m_text.data());
        if (quote + 1 < m_text.size() && m_text[quote + 1] == '"') {
            if (own == nullptr) {
                while (m_scratch.size() <= index) {
                    m_scratch.emplace_back();
                }
                own = &m_scratch[index];
                own->clear();
            }
            own->append(m_text.substr(from, quote + 1 - from));
            from = quote + 2;
            continue;
        }
        CountLines(open, quote);
        if (own == nullptr) {
            field = m_text.substr(open, quote - open);
        } else {
            own->append(m_text.substr(from, quote - from));
            field = *own;
        }
        m_at = quote + 1;
        return true;
    }
}

// Gives up the row that starts at `start` on line `line`: the scan goes on after it.
void RecordScanner::SkipRowFrom(std::size_t start, std::size_t line) {
    m_line = line;
    SkipLineFrom(start);
}

// Goes on after the line end that follows `from`; m_line is the line of `from`.
void RecordScanner::SkipLineFrom(std::size_t from) {
    m_at = from;
    while (m_at < m_text.size() && m_text[m_at] != '\r' && m_text[m_at] != '\n') {
        ++m_at;
    }
    if (m_at < m_text.size()) {
        EndLine(m_text[m_at++]);
    }
}
