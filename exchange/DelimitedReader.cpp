#include "exchange/DelimitedReader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <tuple>
#include <vector>

namespace {

constexpr std::size_t kSampleRecords = 20;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// Cuts text into records of fields. Fields are views into the text, or into the scanner's own
// memory for quoted fields with doubled quotes; they stay valid until the next record.
class RecordScanner {
public:
    enum class Result { Record, End, Error };

    RecordScanner(std::string_view text, char separator, std::size_t firstLine)
        : m_text(text), m_separator(separator), m_line(firstLine) {
        m_stops.fill(false);
        m_stops[static_cast<unsigned char>(separator)] = true;
        m_stops['\r'] = true;
        m_stops['\n'] = true;
    }

    // On Record, `line` is where the record starts; on Error, where the bad row starts, with
    // `reason` set. The scanner then goes on after that row.
    Result Next(std::vector<std::string_view>& fields, std::size_t& line, const char*& reason) {
        fields.clear();
        if (m_at >= m_text.size()) {
            return Result::End;
        }
        line = m_line;
        const std::size_t start = m_at;
        for (;;) {
            if (m_at < m_text.size() && m_text[m_at] == '"') {
                std::string_view field;
                if (!Quoted(fields.size(), field)) {
                    reason = "unclosed quote";
                    SkipRowFrom(start, line);
                    return Result::Error;
                }
                fields.push_back(field);
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
                fields.push_back(m_text.substr(from, m_at - from));
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

    std::size_t Line() const { return m_line; }

private:
    // Moves past a line end whose first byte `c` was just read.
    void EndLine(char c) {
        if (c == '\r' && m_at < m_text.size() && m_text[m_at] == '\n') {
            ++m_at;
        }
        ++m_line;
    }

    // Counts the line ends in m_text[from, to).
    void CountLines(std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            if (m_text[i] == '\n' ||
                (m_text[i] == '\r' && (i + 1 >= to || m_text[i + 1] != '\n'))) {
                ++m_line;
            }
        }
    }

    // Reads a quoted field starting at m_at; false when its closing quote is missing.
    bool Quoted(std::size_t index, std::string_view& field) {
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
    void SkipRowFrom(std::size_t start, std::size_t line) {
        m_line = line;
        SkipLineFrom(start);
    }

    // Goes on after the line end that follows `from`; m_line is the line of `from`.
    void SkipLineFrom(std::size_t from) {
        m_at = from;
        while (m_at < m_text.size() && m_text[m_at] != '\r' && m_text[m_at] != '\n') {
            ++m_at;
        }
        if (m_at < m_text.size()) {
            EndLine(m_text[m_at++]);
        }
    }

    std::string_view m_text;
    char m_separator;
    std::size_t m_at = 0;
    std::size_t m_line;
    std::array<bool, 256> m_stops{};
    // One string per field index; a deque, so views into earlier fields stay valid.
    std::deque<std::string> m_scratch;
};

// Counts each candidate outside quotes in the first records; the separator is the one that
// every record holds, the same number of times if possible, then the most often.
char DetectSeparator(std::string_view text, std::string_view candidates) {
    struct Tally {
        std::size_t min = SIZE_MAX;
        std::size_t max = 0;
    };
    std::vector<Tally> tallies(candidates.size());
    std::vector<std::size_t> counts(candidates.size(), 0);
    std::size_t records = 0;
    bool quoted = false;
    bool empty = true;
    const auto endRecord = [&] {
        if (!empty) {
            for (std::size_t k = 0; k < candidates.size(); ++k) {
                tallies[k].min = std::min(tallies[k].min, counts[k]);
                tallies[k].max = std::max(tallies[k].max, counts[k]);
            }
            ++records;
        }
        std::fill(counts.begin(), counts.end(), 0);
        empty = true;
    };
    for (std::size_t i = 0; i < text.size() && records < kSampleRecords; ++i) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '\n' || c == '\r')) {
            endRecord();
            continue;
        } else if (!quoted) {
            const std::size_t k = candidates.find(c);
            if (k != std::string_view::npos) {
                ++counts[k];
            }
        }
        empty = false;
    }
    endRecord();
    char best = 0;
    // Scores: in every record, then the same count in every record, then the count.
    std::tuple<bool, bool, std::size_t> bestScore{false, false, 0};
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        if (tallies[k].max == 0) {
            continue;
        }
        const std::tuple<bool, bool, std::size_t> score{
            tallies[k].min > 0, tallies[k].min == tallies[k].max, tallies[k].min};
        if (best == 0 || score > bestScore) {
            best = candidates[k];
            bestScore = score;
        }
    }
    return best != 0 ? best : (candidates.empty() ? ',' : candidates.front());
}

// The known "#key:value" lines at the top of a flashcard program's text export.
struct FlashcardHeader {
    std::size_t lines = 0; // header lines read
    std::size_t bytes = 0; // their length with line ends
    char separator = 0;
    std::optional<bool> html;
    std::string columns;   // the raw "#columns:" value
    std::vector<int> skip; // columns holding note type, deck, tags or id, from 0
};

char SeparatorNamed(std::string_view value) {
    const std::string name = Lower(Trim(value));
    if (name == "tab" || value == "\t") {
        return '\t';
    }
    if (name == "comma" || name == ",") {
        return ',';
    }
    if (name == "semicolon" || name == ";") {
        return ';';
    }
    if (name == "space" || value == " ") {
        return ' ';
    }
    if (name == "pipe" || name == "|") {
        return '|';
    }
    if (name == "colon" || name == ":") {
        return ':';
    }
    return 0;
}

FlashcardHeader ReadFlashcardHeader(std::string_view text) {
    FlashcardHeader header;
    std::size_t at = 0;
    while (at < text.size() && text[at] == '#') {
        std::size_t end = at;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') {
            ++end;
        }
        const std::string_view line = text.substr(at + 1, end - at - 1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            break;
        }
        const std::string key = Lower(Trim(line.substr(0, colon)));
        // "#" followed by other text is data, not a header line.
        if (key.empty() || key.size() > 30 || !std::all_of(key.begin(), key.end(), [](char c) {
                return (c >= 'a' && c <= 'z') || c == ' ';
            })) {
            break;
        }
        const std::string_view value = line.substr(colon + 1);
        if (key == "separator") {
            header.separator = SeparatorNamed(value);
        } else if (key == "html") {
            header.html = Lower(Trim(value)) == "true";
        } else if (key == "columns") {
            header.columns = std::string(value);
        } else if (key.ends_with(" column")) {
            const int column = std::atoi(std::string(Trim(value)).c_str());
            if (column >= 1) {
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

// The map for rows without a header, by the number of columns that are not skipped.
ColumnMap MapByCount(std::size_t count, const std::vector<int>& usable) {
    const auto at = [&](std::size_t i) { return i < usable.size() ? usable[i] : -1; };
    switch (count) {
    case 0:
    case 1:
        return {at(0), -1, -1, -1};
    case 2:
        return {at(0), -1, -1, at(1)};
    case 3:
        return {at(0), at(1), -1, at(2)};
    case 4:
        return {at(0), at(1), at(2), at(3)};
    case 5:
        return {at(1), at(2), at(3), at(4)};
    default:
        // Many columns, as on a card with extra fields: its front and back.
        return {at(0), -1, -1, at(1)};
    }
}

ColumnMap MapByNames(const std::vector<std::string_view>& names) {
    ColumnMap map;
    int* const slots[] = {&map.word, &map.spell, &map.type, &map.mean};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int role = HeaderRole(names[i]);
        if (role >= 0 && role < 4 && *slots[role] < 0) {
            *slots[role] = static_cast<int>(i);
        }
    }
    if (map.word < 0) {
        // No column is called a word: the first one no other field took.
        for (int i = 0; i < static_cast<int>(names.size()); ++i) {
            if (i != map.spell && i != map.type && i != map.mean && HeaderRole(names[i]) != 4) {
                map.word = i;
                break;
            }
        }
    }
    return map;
}

bool LooksLikeHeader(const std::vector<std::string_view>& fields) {
    std::size_t named = 0;
    std::size_t filled = 0;
    for (const std::string_view field : fields) {
        filled += Trim(field).empty() ? 0 : 1;
        named += HeaderRole(field) >= 0 ? 1 : 0;
    }
    return named >= std::min<std::size_t>(2, std::max<std::size_t>(filled, 1));
}

bool AllEmpty(const std::vector<std::string_view>& fields) {
    return std::all_of(fields.begin(), fields.end(),
                       [](std::string_view field) { return field.empty(); });
}

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

// Decodes the entity at html[at] ('&'); returns its length, or 0 when it is none.
std::size_t DecodeEntity(std::string_view html, std::size_t at, std::string& out) {
    const std::size_t semi = html.find(';', at);
    if (semi == std::string_view::npos || semi - at > 10) {
        return 0;
    }
    const std::string_view name = html.substr(at + 1, semi - at - 1);
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
        return AppendCodePoint(out, value) ? semi - at + 1 : 0;
    }
    static constexpr std::pair<std::string_view, std::string_view> kNamed[] = {
        {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}, {"nbsp", " "},
    };
    for (const auto& [entity, text] : kNamed) {
        if (name == entity) {
            out += text;
            return semi - at + 1;
        }
    }
    return 0;
}

} // namespace

int HeaderRole(std::string_view name) {
    static constexpr std::pair<std::string_view, int> kNames[] = {
        {"word", 0},     {"front", 0},         {"term", 0},        {"单词", 0},
        {"词", 0},       {"词汇", 0},          {"meaning", 3},     {"mean", 3},
        {"back", 3},     {"definition", 3},    {"translation", 3}, {"释义", 3},
        {"意思", 3},     {"中文", 3},          {"词义", 3},        {"解释", 3},
        {"翻译", 3},     {"pronunciation", 1}, {"ipa", 1},         {"spell", 1},
        {"phonetic", 1}, {"音标", 1},          {"发音", 1},        {"part of speech", 2},
        {"type", 2},     {"pos", 2},           {"word type", 2},   {"词性", 2},
        {"number", 4},   {"no.", 4},           {"no", 4},          {"#", 4},
        {"id", 4},       {"序号", 4},          {"编号", 4},
    };
    const std::string key = Lower(Trim(name));
    for (const auto& [known, role] : kNames) {
        if (key == known) {
            return role;
        }
    }
    return -1;
}

bool LooksLikeWordType(std::string_view text) {
    static constexpr std::string_view kTypes[] = {
        "n",           "v",           "vt",      "vi",           "adj",       "adv",
        "prep",        "conj",        "pron",    "int",          "interj",    "art",
        "num",         "a",           "ad",      "aux",          "det",       "abbr",
        "pl",          "phr",         "noun",    "verb",         "adjective", "adverb",
        "preposition", "conjunction", "pronoun", "interjection", "article",   "numeral",
        "determiner",  "名词",        "动词",    "形容词",       "副词",      "介词",
        "连词",        "代词",        "感叹词",  "冠词",         "数词"};
    const std::string lower = Lower(Trim(text));
    if (lower.empty()) {
        return false;
    }
    std::size_t at = 0;
    while (at < lower.size()) {
        const std::size_t end = lower.find_first_of("/,;& ", at);
        std::string_view part = std::string_view(lower).substr(at, end - at);
        if (!part.empty() && part.back() == '.') {
            part.remove_suffix(1);
        }
        if (!part.empty() &&
            std::find(std::begin(kTypes), std::end(kTypes), part) == std::end(kTypes)) {
            return false;
        }
        if (end == std::string::npos) {
            break;
        }
        at = end + 1;
    }
    return true;
}

std::string HtmlToText(std::string_view html) {
    std::string out;
    out.reserve(html.size());
    std::size_t i = 0;
    while (i < html.size()) {
        const char c = html[i];
        if (c == '<') {
            const std::size_t close = html.find('>', i);
            const char next = i + 1 < html.size() ? html[i + 1] : '\0';
            const bool tag = (next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') ||
                             next == '/' || next == '!';
            if (tag && close != std::string_view::npos) {
                std::string name =
                    Lower(html.substr(i + 1, std::min<std::size_t>(3, close - i - 1)));
                if (name.starts_with("br") &&
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
            const std::size_t close = html.find(']', i);
            if (close != std::string_view::npos) {
                i = close + 1;
                continue;
            }
        }
        out += c;
        ++i;
    }
    return std::string(Trim(out));
}

bool IsNoWord(std::string_view word) {
    return Trim(word).empty();
}

std::string ProblemText(const ImportProblem& problem) {
    return "line " + std::to_string(problem.line) + ": " + problem.reason;
}

void ReadDelimited(std::string_view text, const DelimitedOptions& options, ImportedWords& out) {
    const FlashcardHeader flashcard = ReadFlashcardHeader(text);
    const std::string_view body = text.substr(flashcard.bytes);
    char separator = options.separator;
    if (separator == 0) {
        separator = flashcard.separator != 0 ? flashcard.separator
                                             : DetectSeparator(body, options.candidates);
    }
    out.separator = separator;
    // A flashcard export holds HTML unless it says otherwise.
    out.html = flashcard.lines > 0 ? flashcard.html.value_or(true) : false;
    const std::size_t firstLine = flashcard.lines + 1;

    // Look at the first records for a header and the usual column count.
    std::vector<std::string_view> fields;
    std::vector<std::string_view> first;
    std::vector<std::string> firstOwned;
    std::vector<std::size_t> counts;
    std::size_t fourColumnRows = 0;
    std::size_t typeLike = 0;
    std::size_t line = 0;
    const char* reason = nullptr;
    {
        RecordScanner sample(body, separator, firstLine);
        for (RecordScanner::Result result;
             counts.size() < kSampleRecords &&
             (result = sample.Next(fields, line, reason)) != RecordScanner::Result::End;) {
            if (result == RecordScanner::Result::Error || AllEmpty(fields)) {
                continue;
            }
            if (counts.empty()) {
                firstOwned.assign(fields.begin(), fields.end());
            } else if (fields.size() >= 4) {
                // The first row may be a header: its third field says nothing of types.
                ++fourColumnRows;
                typeLike += fields[2].empty() || LooksLikeWordType(fields[2]) ? 1 : 0;
            }
            counts.push_back(fields.size());
        }
    }
    for (const std::string& field : firstOwned) {
        first.emplace_back(field);
    }

    std::vector<std::string_view> names;
    std::vector<std::string> columnNames;
    if (!flashcard.columns.empty()) {
        std::size_t at = 0;
        for (;;) {
            const std::size_t end = flashcard.columns.find(separator, at);
            columnNames.push_back(flashcard.columns.substr(at, end - at));
            if (end == std::string::npos) {
                break;
            }
            at = end + 1;
        }
        names.assign(columnNames.begin(), columnNames.end());
    }
    out.header = options.header.value_or(names.empty() && !first.empty() && LooksLikeHeader(first));
    if (out.header && names.empty()) {
        names = first;
    }

    // The usual number of columns: the most frequent among the first rows, ties going to the
    // one seen first.
    std::size_t layout = 0;
    {
        const std::size_t from = out.header && !counts.empty() ? 1 : 0;
        std::size_t bestRun = 0;
        for (std::size_t i = from; i < counts.size(); ++i) {
            const auto run = static_cast<std::size_t>(std::count(
                counts.begin() + static_cast<std::ptrdiff_t>(from), counts.end(), counts[i]));
            if (run > bestRun) {
                bestRun = run;
                layout = counts[i];
            }
        }
    }
    // Four columns whose third is mostly no word type are a three-column list with notes.
    if (layout == 4 && names.empty() && typeLike * 2 < fourColumnRows) {
        layout = 3;
    }
    std::vector<int> usable;
    for (int i = 0; i < static_cast<int>(std::max(layout, names.size())); ++i) {
        if (std::find(flashcard.skip.begin(), flashcard.skip.end(), i) == flashcard.skip.end()) {
            usable.push_back(i);
        }
    }
    if (options.columns) {
        out.columns = *options.columns;
    } else if (!names.empty()) {
        out.columns = MapByNames(names);
    } else {
        out.columns = MapByCount(usable.size(), usable);
    }
    const ColumnMap map = out.columns;
    // A three-column list may carry notes in a fourth column: a word type, or dropped.
    const bool notes = !options.columns && names.empty() && usable.size() == 3;
    const std::size_t layoutWidth =
        std::max(usable.empty() ? 0 : static_cast<std::size_t>(usable.back()) + 1, layout);
    const bool countDropped = !options.columns && names.empty();
    const auto IsSkipped = [&](int column) {
        return std::find(flashcard.skip.begin(), flashcard.skip.end(), column) !=
               flashcard.skip.end();
    };

    RecordScanner scanner(body, separator, firstLine);
    bool skipHeader = out.header && flashcard.columns.empty();
    std::string converted[4];
    for (;;) {
        const RecordScanner::Result result = scanner.Next(fields, line, reason);
        if (result == RecordScanner::Result::End) {
            break;
        }
        if (result == RecordScanner::Result::Error) {
            out.problems.push_back({line, reason});
            continue;
        }
        if (AllEmpty(fields)) {
            continue;
        }
        if (skipHeader) {
            skipHeader = false;
            continue;
        }
        const auto field = [&](int column) {
            return column >= 0 && static_cast<std::size_t>(column) < fields.size()
                       ? fields[static_cast<std::size_t>(column)]
                       : std::string_view();
        };
        std::string_view values[4] = {field(map.word), field(map.spell), field(map.type),
                                      field(map.mean)};
        bool typeFromNotes = false;
        if (notes && fields.size() > 3 && values[2].empty() && LooksLikeWordType(fields[3])) {
            values[2] = Trim(fields[3]);
            typeFromNotes = true;
        }
        // Without a header or a chosen map, text beyond the usual columns is lost: count it.
        for (std::size_t i = layoutWidth; countDropped && i < fields.size(); ++i) {
            const int column = static_cast<int>(i);
            const bool taken = column == map.word || column == map.spell || column == map.type ||
                               column == map.mean || (typeFromNotes && column == 3) ||
                               IsSkipped(column);
            if (!taken && !fields[i].empty()) {
                ++out.droppedFields;
            }
        }
        if (out.html) {
            for (int i = 0; i < 4; ++i) {
                converted[i] = HtmlToText(values[i]);
                values[i] = converted[i];
            }
        }
        if (IsNoWord(values[0])) {
            out.problems.push_back({line, "no word"});
            continue;
        }
        out.entries.AppendFields(static_cast<std::int32_t>(std::min<std::size_t>(line, INT32_MAX)),
                                 values[0], values[1], values[2], values[3]);
    }
}
