#include "settings/IniText.h"

#include "base/AsciiText.h"

using ascii::IsBlank;

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}
bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

} // namespace

IniText::IniText(std::string bytes) : m_bytes(std::move(bytes)) {
    Parse();
}

void IniText::Parse() {
    m_lines.clear();
    const std::size_t size = m_bytes.size();
    std::size_t pos = 0;
    while (pos < size) {
        std::size_t contentEnd = pos;
        while (contentEnd < size && !IsLineBreak(m_bytes[contentEnd]))
            ++contentEnd;
        std::size_t end = contentEnd;
        if (end < size)
            end += (m_bytes[end] == '\r' && end + 1 < size && m_bytes[end + 1] == '\n') ? 2 : 1;
        // Editors that save UTF-8 may put a byte-order mark in front of the first line.
        std::size_t contentBegin = pos;
        if (pos == 0 && std::string_view(m_bytes).starts_with(kByteOrderMark))
            contentBegin = kByteOrderMark.size();
        m_lines.push_back(Classify(contentBegin, contentEnd, end));
        pos = end;
    }
}

IniText::Line IniText::Classify(std::size_t begin, std::size_t contentEnd, std::size_t end) const {
    Line line;
    line.contentEnd = contentEnd;
    line.end = end;
    const std::string_view content(m_bytes.data() + begin, contentEnd - begin);
    const std::string_view rest = ascii::TrimBlanks(content);
    if (rest.empty())
        return line;
    const std::size_t restBegin = begin + static_cast<std::size_t>(rest.data() - content.data());
    if (rest.front() == ';') {
        line.kind = Kind::Comment;
        return line;
    }
    std::string_view name;
    if (rest.front() == '[') {
        name = rest.substr(1);
        name = name.substr(0, name.find(']'));
        line.kind = Kind::Section;
    } else {
        const std::size_t equals = rest.find('=');
        if (equals == std::string_view::npos) {
            line.kind = Kind::Other;
            return line;
        }
        name = rest.substr(0, equals);
        line.kind = Kind::Key;
        std::size_t value = restBegin + equals + 1;
        while (value < contentEnd && IsBlank(m_bytes[value]))
            ++value;
        line.valueBegin = value;
    }
    name = ascii::TrimBlanks(name);
    line.nameBegin = static_cast<std::size_t>(name.data() - m_bytes.data());
    line.nameEnd = line.nameBegin + name.size();
    return line;
}

std::string_view IniText::NameOf(const Line& line) const {
    return std::string_view(m_bytes).substr(line.nameBegin, line.nameEnd - line.nameBegin);
}

std::size_t IniText::FindSection(std::string_view section) const {
    section = ascii::TrimBlanks(section);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && ascii::EqualsNoCase(NameOf(m_lines[i]), section))
            return i;
    }
    return m_lines.size();
}

std::size_t IniText::FindKey(std::size_t header, std::string_view key) const {
    key = ascii::TrimBlanks(key);
    for (std::size_t i = header + 1; i < m_lines.size() && m_lines[i].kind != Kind::Section; ++i) {
        if (m_lines[i].kind == Kind::Key && ascii::EqualsNoCase(NameOf(m_lines[i]), key))
            return i;
    }
    return m_lines.size();
}

std::optional<std::string> IniText::Find(std::string_view section, std::string_view key) const {
    const std::size_t header = FindSection(section);
    if (header == m_lines.size())
        return std::nullopt;
    const std::size_t index = FindKey(header, key);
    if (index == m_lines.size())
        return std::nullopt;
    const Line& line = m_lines[index];
    return DecodeValue(
        std::string_view(m_bytes).substr(line.valueBegin, line.contentEnd - line.valueBegin));
}

std::vector<std::pair<std::string, std::string>> IniText::Keys() const {
    std::vector<std::pair<std::string, std::string>> keys;
    const Line* section = nullptr;
    for (const Line& line : m_lines) {
        if (line.kind == Kind::Section)
            section = &line;
        else if (line.kind == Kind::Key && section != nullptr)
            keys.emplace_back(NameOf(*section), NameOf(line));
    }
    return keys;
}

std::string_view IniText::LineEndStyle() const {
    for (const Line& line : m_lines) {
        if (line.end == line.contentEnd)
            continue;
        // A lone CR is read as a line end but not written: a CR put in front of a line that
        // starts with LF would join the two into one line end.
        return line.end - line.contentEnd == 1 && m_bytes[line.contentEnd] == '\n' ? "\n" : "\r\n";
    }
    return "\r\n";
}

void IniText::InsertLines(std::size_t pos, const std::string& lines) {
    std::string text = lines;
    if (pos == m_bytes.size() && !m_lines.empty() &&
        m_lines.back().end == m_lines.back().contentEnd)
        text.insert(0, LineEndStyle());
    m_bytes.insert(pos, text);
}

bool IniText::Set(std::string_view section, std::string_view key, std::string_view value) {
    if (!IsStorableSection(section) || !IsStorableKey(key))
        return false;
    section = ascii::TrimBlanks(section);
    key = ascii::TrimBlanks(key);
    const std::string encoded = EncodeValue(value);
    const std::string eol(LineEndStyle());
    // Appended piece by piece: gcc 12 at -O3 warns falsely (-Wrestrict) on chained operator+.
    std::string keyLine(key);
    keyLine.append("=").append(encoded).append(eol);

    const std::size_t header = FindSection(section);
    if (header == m_lines.size()) {
        std::string lines("[");
        lines.append(section).append("]").append(eol).append(keyLine);
        InsertLines(m_bytes.size(), lines);
    } else if (const std::size_t index = FindKey(header, key); index != m_lines.size()) {
        const Line& line = m_lines[index];
        m_bytes.replace(line.valueBegin, line.contentEnd - line.valueBegin, encoded);
    } else {
        // After the section's last entry, so comments and blank lines that close it stay last.
        std::size_t last = header;
        for (std::size_t i = header + 1; i < m_lines.size() && m_lines[i].kind != Kind::Section;
             ++i) {
            if (m_lines[i].kind != Kind::Blank && m_lines[i].kind != Kind::Comment)
                last = i;
        }
        InsertLines(m_lines[last].end, keyLine);
    }
    Parse();
    return true;
}

bool IniText::IsStorableSection(std::string_view section) {
    for (const char c : section) {
        if (c == ']' || IsLineBreak(c))
            return false;
    }
    return true;
}

bool IniText::IsStorableKey(std::string_view key) {
    key = ascii::TrimBlanks(key);
    if (!key.empty() && (key.front() == ';' || key.front() == '['))
        return false;
    for (const char c : key) {
        if (c == '=' || IsLineBreak(c))
            return false;
    }
    return true;
}

std::string IniText::FlattenLineBreaks(std::string_view value) {
    std::string flat;
    flat.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n')
            ++i;
        flat += IsLineBreak(value[i]) ? ' ' : value[i];
    }
    return flat;
}

std::string IniText::EncodeValue(std::string_view value) {
    std::string flat = FlattenLineBreaks(value);
    const bool needsQuotes =
        !flat.empty() &&
        (IsBlank(flat.front()) || IsBlank(flat.back()) ||
         (flat.size() >= 2 && flat.front() == flat.back() && IsQuote(flat.front())));
    return needsQuotes ? "\"" + flat + "\"" : flat;
}

std::string IniText::DecodeValue(std::string_view stored) {
    stored = ascii::TrimBlanks(stored);
    if (stored.size() >= 2 && stored.front() == stored.back() && IsQuote(stored.front()))
        stored = stored.substr(1, stored.size() - 2);
    return std::string(stored);
}

bool IniText::RemoveSection(std::string_view section) {
    const std::size_t header = FindSection(section);
    if (header == m_lines.size())
        return false;
    std::size_t next = header + 1;
    while (next < m_lines.size() && m_lines[next].kind != Kind::Section)
        ++next;
    const std::size_t begin = header == 0 ? 0 : m_lines[header - 1].end;
    const std::size_t end = next == m_lines.size() ? m_bytes.size() : m_lines[next - 1].end;
    m_bytes.erase(begin, end - begin);
    Parse();
    return true;
}

std::vector<std::pair<std::string, std::string>> IniText::Entries(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> entries;
    const std::size_t header = FindSection(section);
    for (std::size_t i = header + 1; i < m_lines.size() && m_lines[i].kind != Kind::Section; ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Key)
            entries.emplace_back(NameOf(line),
                                 DecodeValue(std::string_view(m_bytes).substr(
                                     line.valueBegin, line.contentEnd - line.valueBegin)));
    }
    return entries;
}
