#include "review/History.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Counted.h"
#include "base/HugePages.h"

namespace review {

namespace {

constexpr std::string_view kHeader =
    "# Review history: UTC time, word, then grade 1-4, ms taken and direction (w2m or m2w), "
    "or 'rename' and the new word, or 'undo' and the time of the grade taken back; tab "
    "separated; in words \\\\ \\t \\n \\r stand for backslash, tab, newline and carriage "
    "return.";
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

std::string Errno(const char* what, const std::string& path, int error) {
    return std::string(what) + " '" + path + "' failed: " + std::strerror(error);
}

// Opens a file for reading without blocking on a FIFO or device; refuses anything but a
// regular file.
int OpenRegular(const std::string& path, ReadStatus& status, std::string& message) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        status = errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
        if (status == ReadStatus::Failed)
            message = Errno("Reading the review history", path, errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        status = ReadStatus::Refused;
        message = "The review history '" + path + "' is not a regular file; it was not read.";
        return -1;
    }
    status = ReadStatus::Ok;
    return fd;
}

bool ReadAllFd(int fd, const std::string& path, HistoryParser* parser, std::string* bytes,
               std::string& message) {
    std::string buffer(1 << 20, '\0');
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            message = Errno("Reading the review history", path, errno);
            return false;
        }
        if (got == 0)
            return true;
        const std::string_view piece(buffer.data(), static_cast<std::size_t>(got));
        if (parser)
            parser->Feed(piece);
        if (bytes)
            bytes->append(piece);
    }
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t put = ::write(fd, data.data(), data.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
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

namespace {

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

// Parses time stamps, remembering the last date: the lines of a history come in time order,
// so most stamps repeat the date of the line before.
class TimeParser {
public:
    bool Parse(std::string_view t, TimeMs& time) {
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

private:
    char m_date[10] = {};
    bool m_haveDate = false;
    std::int64_t m_days = 0;
};

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

namespace {

// An event line's fields as they stand in the line, its words still escaped.
struct RawEvent {
    TimeMs time = 0;
    TimeMs retractedAt = 0;
    TimeMs firstStamped = 0;
    std::string_view word, newWord;
    std::int32_t tookMs = 0;
    EventKind kind = EventKind::Grade;
    memory::Grade grade = memory::Grade::Good;
    Direction direction = Direction::WordToMeaning;
};

// Splits and checks a line; whether its words unescape is left to the caller.
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

// A field's text: the field itself when it holds nothing escaped, else its unescaped copy in
// `scratch`.
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

} // namespace

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

// Words by their bytes: an open-addressed table of (hash tag, index) pairs, flat and small,
// since a million lookups spend their time on cache misses. The hash is keyed at random per
// parser, so that a hostile file cannot choose words that all fall on one slot.
struct HistoryParser::Index {
    struct Slot {
        std::uint32_t tag = 0;
        std::int32_t id = -1;
    };
    std::vector<Slot> slots = std::vector<Slot>(1024);
    std::size_t used = 0;
    std::uint64_t key = 0;

    Index() {
        std::uint64_t seed = reinterpret_cast<std::uintptr_t>(this);
        seed ^=
            static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        key = Mix(seed, 0x9e3779b97f4a7c15ULL) | 1;
    }

    static std::uint64_t Mix(std::uint64_t a, std::uint64_t b) {
        const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
        return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
    }
    std::uint64_t Hash(std::string_view s) const {
        std::uint64_t h = key ^ (s.size() * 0xa0761d6478bd642fULL);
        const char* p = s.data();
        std::size_t n = s.size();
        for (; n >= 8; p += 8, n -= 8) {
            std::uint64_t chunk;
            std::memcpy(&chunk, p, 8);
            h = Mix(h ^ chunk, 0xe7037ed1a0b428dbULL);
        }
        if (n > 0) {
            std::uint64_t chunk = 0;
            std::memcpy(&chunk, p, n);
            h = Mix(h ^ chunk, 0x8ebc6af09c88c6e3ULL);
        }
        return Mix(h, 0x589965cc75374cc3ULL ^ key);
    }
    static std::uint32_t Tag(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }
    std::size_t Home(std::uint64_t hash) const { return hash & (slots.size() - 1); }

    // The slot holding `word`, or the empty slot where it belongs.
    Slot& Find(std::string_view word, std::uint64_t hash, const std::vector<std::string>& words) {
        const std::size_t mask = slots.size() - 1;
        const std::uint32_t tag = Tag(hash);
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = slots[i];
            if (slot.id < 0 ||
                (slot.tag == tag && words[static_cast<std::size_t>(slot.id)] == word))
                return slot;
        }
    }
    void Add(std::uint64_t hash, std::int32_t id, const std::vector<std::string>& words) {
        if (2 * (used + 1) > slots.size()) {
            std::vector<Slot> old = std::move(slots);
            slots.assign(old.size() * 2, Slot{});
            for (const Slot& s : old)
                if (s.id >= 0) {
                    const std::string& w = words[static_cast<std::size_t>(s.id)];
                    Find(w, Hash(w), words) = s;
                }
        }
        Find(words[static_cast<std::size_t>(id)], hash, words) = {Tag(hash), id};
        ++used;
    }
};

// What the parser keeps between lines: the word index, the last date, and the lines parsed but
// not yet interned. Interning waits kDepth lines after parsing, with the slot its word hashes
// to fetched from memory meanwhile (and halfway, the word that slot names), so that the cache
// misses of many lookups overlap instead of following one another.
struct HistoryParser::Work {
    static constexpr std::size_t kDepth = 16;
    struct Pending {
        RawEvent raw;
        std::string_view word, newWord;
        std::string wordCopy, newWordCopy; // unescaped words
        std::uint64_t hash = 0;
    };
    Index index;
    TimeParser times;
    Pending ring[kDepth];
    std::size_t head = 0, count = 0;
};

HistoryParser::HistoryParser(History& history) : m_history(history), m_work(new Work) {
    Index& index = m_work->index;
    for (std::size_t i = 0; i < history.words.size(); ++i)
        index.Add(index.Hash(history.words[i]), static_cast<std::int32_t>(i), history.words);
}

HistoryParser::~HistoryParser() {
    delete m_work;
}

std::int32_t HistoryParser::Intern(std::string_view word, std::uint64_t hash) {
    Index& index = m_work->index;
    const Index::Slot& slot = index.Find(word, hash, m_history.words);
    if (slot.id >= 0)
        return slot.id;
    const auto id = static_cast<std::int32_t>(m_history.words.size());
    m_history.words.emplace_back(word);
    index.Add(hash, id, m_history.words);
    return id;
}

void HistoryParser::Line(std::string_view line) {
    ++m_lineNumber;
    if (line.empty() || line[0] == '#')
        return;
    Work& work = *m_work;
    Work::Pending& p = work.ring[(work.head + work.count) % Work::kDepth];
    if (!ParseRaw(line, p.raw, work.times) || !FieldText(p.raw.word, p.wordCopy, p.word) ||
        (p.raw.kind == EventKind::Rename && !FieldText(p.raw.newWord, p.newWordCopy, p.newWord))) {
        if (m_history.unreadableLines++ == 0)
            m_history.firstUnreadableLine = m_lineNumber;
        return;
    }
    Index& index = work.index;
    p.hash = index.Hash(p.word);
    __builtin_prefetch(&index.slots[index.Home(p.hash)]);
    // Halfway: the slot has come; fetch the word it names, if it may be the one.
    if (work.count >= Work::kDepth / 2) {
        const Work::Pending& mid =
            work.ring[(work.head + work.count - Work::kDepth / 2) % Work::kDepth];
        const Index::Slot& slot = index.slots[index.Home(mid.hash)];
        if (slot.id >= 0 && slot.tag == Index::Tag(mid.hash) &&
            static_cast<std::size_t>(slot.id) < m_history.words.size())
            __builtin_prefetch(&m_history.words[static_cast<std::size_t>(slot.id)]);
    }
    if (++work.count == Work::kDepth)
        Complete();
}

// Interns the oldest pending line's words and adds its event.
void HistoryParser::Complete() {
    Work& work = *m_work;
    const Work::Pending& p = work.ring[work.head];
    work.head = (work.head + 1) % Work::kDepth;
    --work.count;
    History::Event event;
    event.time = p.raw.time;
    event.firstStamped = p.raw.firstStamped;
    event.kind = p.raw.kind;
    event.word = Intern(p.word, p.hash);
    // Only the fields of the line's own kind: replay tells duplicate lines apart by every field.
    if (event.kind == EventKind::Grade) {
        event.grade = p.raw.grade;
        event.tookMs = p.raw.tookMs;
        event.direction = p.raw.direction;
    }
    if (event.kind == EventKind::Retract)
        event.retractedAt = p.raw.retractedAt;
    if (event.kind == EventKind::Rename)
        event.newWord = Intern(p.newWord, work.index.Hash(p.newWord));
    m_history.events.push_back(event);
}

void HistoryParser::Drain() {
    while (m_work->count > 0)
        Complete();
}

void HistoryParser::Feed(std::string_view bytes) {
    // Pending lines may point into `bytes` and into m_partial: drained before either changes.
    while (!bytes.empty()) {
        const std::size_t newline = bytes.find('\n');
        const std::string_view piece = bytes.substr(0, newline);
        if (newline == std::string_view::npos) {
            Drain();
            if (m_partial.size() + piece.size() > kMaxLineBytes)
                m_overlong = true;
            if (!m_overlong)
                m_partial.append(piece);
            return;
        }
        bytes.remove_prefix(newline + 1);
        if (m_overlong || m_partial.size() + piece.size() > kMaxLineBytes) {
            m_partial.clear();
            m_overlong = false;
            Line("\x01"); // counted as unreadable without being held
        } else if (m_partial.empty()) {
            Line(piece);
        } else {
            Drain();
            m_partial.append(piece);
            Line(m_partial);
            Drain();
            m_partial.clear();
        }
    }
    Drain();
}

void HistoryParser::Finish() {
    m_history.tornTail = m_overlong || !m_partial.empty();
    m_partial.clear();
    m_overlong = false;
}

ReadStatus ReadHistory(const std::string& path, History& history, std::string& message) {
    ReadStatus status;
    const int fd = OpenRegular(path, status, message);
    if (fd < 0)
        return status;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) { // about 40 bytes a line
        history.events.reserve(history.events.size() + static_cast<std::size_t>(st.st_size / 36));
        AdviseHugePages(history.events);
    }
    HistoryParser parser(history);
    const bool ok = ReadAllFd(fd, path, &parser, nullptr, message);
    parser.Finish();
    ::close(fd);
    return ok ? ReadStatus::Ok : ReadStatus::Failed;
}

std::string UnreadableLinesMessage(const History& history) {
    if (history.unreadableLines == 0)
        return {};
    return Counted(history.unreadableLines, "line", "lines") +
           " of the review history could not be read and " +
           (history.unreadableLines == 1 ? "was" : "were") + " skipped (the first is line " +
           std::to_string(history.firstUnreadableLine) + "). The file keeps them as they are.";
}

HistoryWriter::HistoryWriter(std::string path, const FileStamp* like) : m_path(std::move(path)) {
    if (like && like->exists) {
        m_haveLike = true;
        m_like = *like;
    }
}

HistoryWriter::~HistoryWriter() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool HistoryWriter::Open(std::string& message) {
    if (m_fd >= 0)
        return true;
    const int flags = O_RDWR | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;
    bool created = true;
    int fd = ::open(m_path.c_str(), flags | O_CREAT | O_EXCL, 0600);
    if (fd < 0 && errno == EEXIST) {
        created = false;
        fd = ::open(m_path.c_str(), flags);
    }
    if (fd < 0) {
        message = Errno("Writing the review history", m_path, errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        message = "The review history '" + m_path +
                  "' is not a regular file; grades are kept "
                  "in memory until it can be written.";
        return false;
    }
    if (created) {
        // A new history shows no more than the list does to whom the list does not show.
        if (m_haveLike) {
            if (::fchown(fd, m_like.owner, m_like.group) != 0) {
                // Only root may give a file away; the file stays the writer's own.
            }
            ::fchmod(fd, 0600 & m_like.mode);
        }
        if (!WriteAll(fd, std::string(kHeader) + "\n")) {
            message = Errno("Writing the review history", m_path, errno);
            ::close(fd);
            ::unlink(m_path.c_str());
            return false;
        }
        // The new name must survive a crash as well as the lines written under it.
        const std::size_t slash = m_path.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : m_path.substr(0, slash + 1);
        if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
    m_fd = fd;
    return true;
}

bool HistoryWriter::WriteLines(int fd, std::vector<std::string>& lines, std::string& message) {
    // A crash in the middle of a line leaves it without its newline; close it first, so the
    // next line stands on its own.
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        message = Errno("Writing the review history", m_path, errno);
        return false;
    }
    bool needNewline = false;
    if (st.st_size > 0) {
        char lastByte = '\n';
        if (::pread(fd, &lastByte, 1, st.st_size - 1) == 1)
            needNewline = lastByte != '\n';
    }
    std::size_t done = 0;
    for (std::string& line : lines) {
        std::string bytes = needNewline ? "\n" + line + "\n" : line + "\n";
        needNewline = false;
        if (!WriteAll(fd, bytes)) {
            message = Errno("Writing the review history", m_path, errno ? errno : ENOSPC);
            break;
        }
        ++done;
    }
    if (done > 0 && ::fdatasync(fd) != 0) {
        message = Errno("Syncing the review history", m_path, errno);
        return false; // the lines may not be on disk: keep them; a second copy counts once
    }
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(done));
    return lines.empty();
}

bool HistoryWriter::Append(const HistoryEvent& event, std::string& message) {
    m_pending.push_back(FormatEvent(event));
    return FlushPending(message);
}

bool HistoryWriter::FlushPending(std::string& message) {
    if (m_pending.empty())
        return true;
    if (!Open(message))
        return false;
    if (WriteLines(m_fd, m_pending, message))
        return true;
    // The descriptor may be stale (disk replaced, file removed): reopen next time.
    ::close(m_fd);
    m_fd = -1;
    return false;
}

bool HistoryWriter::WritePendingTo(const std::string& path, std::string& message) {
    if (m_pending.empty())
        return true;
    HistoryWriter other(path, m_haveLike ? &m_like : nullptr);
    other.m_pending = m_pending;
    if (!other.FlushPending(message))
        return false;
    m_pending.clear();
    return true;
}

std::string HistoryPathFor(const std::string& listPath) {
    const std::size_t slash = listPath.rfind('/');
    return slash == std::string::npos ? "reviews.tsv"
                                      : listPath.substr(0, slash + 1) + "reviews.tsv";
}

} // namespace review
