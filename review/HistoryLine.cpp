#include "review/HistoryLine.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace review {

const std::string_view kHistoryHeader =
    "# Review history: UTC time, word, then grade 1-4, ms taken and direction (w2m or m2w), "
    "or 'rename' and the new word, or 'undo' and the time of the grade taken back; tab "
    "separated; in words \\\\ \\t \\n \\r stand for backslash, tab, newline and carriage "
    "return.";
namespace {

constexpr std::size_t kTimeChars = 24;

// Days since 1970-01-01 of a proleptic Gregorian date (the civil-from-days inverse).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

template <typename Int> bool ParseInt(std::string_view text, Int& value) {
    if (text.empty() || text.size() > 18)
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

std::string_view NextField(std::string_view& rest, bool& last) {
    const std::size_t tab = rest.find('\t');
    if (tab == std::string_view::npos) {
        last = true;
        const std::string_view field = rest;
        rest = {};
        return field;
    }
    const std::string_view field = rest.substr(0, tab);
    rest.remove_prefix(tab + 1);
    return field;
}

bool LeapYear(unsigned y) {
    return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
}

unsigned DaysInMonth(unsigned y, unsigned m) {
    static constexpr unsigned char kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && LeapYear(y) ? 29 : kDays[m - 1];
}

// A digit pair at a fixed place, or -1.
int Two(const char* p) {
    const unsigned a = static_cast<unsigned char>(p[0]) - '0';
    const unsigned b = static_cast<unsigned char>(p[1]) - '0';
    return a < 10 && b < 10 ? static_cast<int>(a * 10 + b) : -1;
}

} // namespace

std::string FormatTime(TimeMs time) {
    std::int64_t days = time / kDayMs;
    std::int64_t ms = time % kDayMs;
    if (ms < 0) {
        ms += kDayMs;
        --days;
    }
    std::int64_t y;
    unsigned m, d;
    CivilFromDays(days, y, m, d);
    if (y < 0 || y > 9999)
        y = y < 0 ? 0 : 9999; // never written: the clock would have to be absurd
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(y), m,
                  d, static_cast<int>(ms / 3'600'000), static_cast<int>(ms / 60'000 % 60),
                  static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000));
    return text;
}

bool TimeParser::Parse(std::string_view t, TimeMs& time) {
    if (t.size() != kTimeChars || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' ||
        t[16] != ':' || t[19] != '.' || t[23] != 'Z')
        return false;
    if (!m_haveDate || std::memcmp(t.data(), m_date, sizeof m_date) != 0) {
        const int y1 = Two(t.data()), y2 = Two(t.data() + 2);
        const int mo = Two(t.data() + 5), d = Two(t.data() + 8);
        if (y1 < 0 || y2 < 0 || mo < 1 || mo > 12 || d < 1)
            return false;
        const unsigned y = static_cast<unsigned>(y1 * 100 + y2);
        if (static_cast<unsigned>(d) > DaysInMonth(y, static_cast<unsigned>(mo)))
            return false; // 31 April and the like
        m_days = DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d));
        std::memcpy(m_date, t.data(), sizeof m_date);
        m_haveDate = true;
    }
    const int h = Two(t.data() + 11), mi = Two(t.data() + 14), s = Two(t.data() + 17);
    const int ms1 = Two(t.data() + 20);
    const unsigned ms3 = static_cast<unsigned char>(t[22]) - '0';
    if (h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59 || ms1 < 0 || ms3 > 9)
        return false;
    time = m_days * kDayMs + (h * 3600 + mi * 60 + s) * TimeMs{1000} + ms1 * 10 + ms3;
    return true;
}

bool ParseTime(std::string_view t, TimeMs& time) {
    TimeParser parser;
    return parser.Parse(t, time);
}

std::string EscapeField(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool UnescapeField(std::string_view text, std::string& out) {
    if (text.find_first_of("\\\r") == std::string_view::npos) {
        out.assign(text);
        return true;
    }
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r')
            return false;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == text.size())
            return false;
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return false;
        }
    }
    return true;
}

std::string FormatEvent(const HistoryEvent& e) {
    std::string line = FormatTime(e.time);
    line += '\t';
    line += EscapeField(e.word);
    line += '\t';
    switch (e.kind) {
    case EventKind::Grade:
        line += static_cast<char>('0' + static_cast<int>(e.grade));
        line += '\t';
        line += std::to_string(std::clamp<std::int64_t>(e.tookMs, 0, INT32_MAX));
        line += e.direction == Direction::WordToMeaning ? "\tw2m" : "\tm2w";
        break;
    case EventKind::Rename:
        line += "rename\t";
        line += EscapeField(e.newWord);
        break;
    case EventKind::Retract:
        line += "undo\t";
        line += FormatTime(e.retractedAt);
        break;
    }
    return line;
}

bool ParseRaw(std::string_view line, RawEvent& e, TimeParser& times) {
    bool last = false;
    e.firstStamped = 0;
    if (const std::size_t tab = line.rfind('\t');
        tab != std::string_view::npos && tab + 1 < line.size() && line[tab + 1] == '@') {
        if (!times.Parse(line.substr(tab + 2), e.firstStamped))
            return false;
        line = line.substr(0, tab);
    }
    // The time is the first field: exactly kTimeChars, then a tab.
    if (line.size() <= kTimeChars || line[kTimeChars] != '\t' ||
        !times.Parse(line.substr(0, kTimeChars), e.time))
        return false;
    std::string_view rest = line.substr(kTimeChars + 1);
    e.word = NextField(rest, last);
    if (last || e.word.empty())
        return false;
    const std::string_view kind = NextField(rest, last);
    if (last)
        return false;
    const std::string_view arg = NextField(rest, last);
    if (kind.size() == 1 && kind[0] >= '1' && kind[0] <= '4') {
        e.kind = EventKind::Grade;
        e.grade = static_cast<memory::Grade>(kind[0] - '0');
        std::int64_t took = 0;
        if (last || !ParseInt(arg, took) || took > INT32_MAX)
            return false;
        e.tookMs = static_cast<std::int32_t>(took);
        // The direction is the last field: what is left of the line.
        if (rest == "w2m")
            e.direction = Direction::WordToMeaning;
        else if (rest == "m2w")
            e.direction = Direction::MeaningToWord;
        else
            return false;
        return true;
    }
    if (!last)
        return false;
    if (kind == "rename") {
        e.kind = EventKind::Rename;
        e.newWord = arg;
        return !arg.empty();
    }
    if (kind == "undo") {
        e.kind = EventKind::Retract;
        return times.Parse(arg, e.retractedAt);
    }
    return false;
}

bool FieldText(std::string_view field, std::string& scratch, std::string_view& text) {
    if (std::memchr(field.data(), '\\', field.size()) == nullptr &&
        std::memchr(field.data(), '\r', field.size()) == nullptr) {
        text = field;
        return true;
    }
    if (!UnescapeField(field, scratch))
        return false;
    text = scratch;
    return true;
}

bool ParseEvent(std::string_view line, HistoryEvent& e) {
    TimeParser times;
    RawEvent raw;
    if (!ParseRaw(line, raw, times) || !UnescapeField(raw.word, e.word))
        return false;
    e.time = raw.time;
    e.firstStamped = raw.firstStamped;
    e.kind = raw.kind;
    switch (raw.kind) {
    case EventKind::Grade:
        e.grade = raw.grade;
        e.tookMs = raw.tookMs;
        e.direction = raw.direction;
        return true;
    case EventKind::Rename:
        return UnescapeField(raw.newWord, e.newWord);
    case EventKind::Retract:
        e.retractedAt = raw.retractedAt;
        return true;
    }
    return false;
}

} // namespace review
