#include "review/History.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Counted.h"

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

bool Digits(std::string_view text, std::size_t at, std::size_t count, unsigned& value) {
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
    }
    return true;
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

bool ParseTime(std::string_view t, TimeMs& time) {
    unsigned y, mo, d, h, mi, s, ms;
    if (t.size() != kTimeChars || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' ||
        t[16] != ':' || t[19] != '.' || t[23] != 'Z')
        return false;
    if (!Digits(t, 0, 4, y) || !Digits(t, 5, 2, mo) || !Digits(t, 8, 2, d) ||
        !Digits(t, 11, 2, h) || !Digits(t, 14, 2, mi) || !Digits(t, 17, 2, s) ||
        !Digits(t, 20, 3, ms))
        return false;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59)
        return false;
    const std::int64_t days = DaysFromCivil(y, mo, d);
    std::int64_t cy;
    unsigned cm, cd;
    CivilFromDays(days, cy, cm, cd);
    if (cm != mo || cd != d) // 31 April and the like
        return false;
    time = days * kDayMs + (h * 3600 + mi * 60 + s) * TimeMs{1000} + ms;
    return true;
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

bool ParseEvent(std::string_view line, HistoryEvent& e) {
    bool last = false;
    e.firstStamped = 0;
    if (const std::size_t tab = line.rfind('\t');
        tab != std::string_view::npos && line.substr(tab + 1).starts_with('@')) {
        if (!ParseTime(line.substr(tab + 2), e.firstStamped))
            return false;
        line = line.substr(0, tab);
    }
    std::string_view rest = line;
    const std::string_view time = NextField(rest, last);
    if (last || !ParseTime(time, e.time))
        return false;
    const std::string_view word = NextField(rest, last);
    if (last || word.empty() || !UnescapeField(word, e.word))
        return false;
    const std::string_view kind = NextField(rest, last);
    if (last)
        return false;
    const std::string_view arg = NextField(rest, last);
    if (kind.size() == 1 && kind[0] >= '1' && kind[0] <= '4') {
        e.kind = EventKind::Grade;
        e.grade = static_cast<memory::Grade>(kind[0] - '0');
        if (last || !ParseInt(arg, e.tookMs) || e.tookMs > INT32_MAX)
            return false;
        const std::string_view direction = NextField(rest, last);
        if (!last)
            return false;
        if (direction == "w2m")
            e.direction = Direction::WordToMeaning;
        else if (direction == "m2w")
            e.direction = Direction::MeaningToWord;
        else
            return false;
        return true;
    }
    if (!last)
        return false;
    if (kind == "rename") {
        e.kind = EventKind::Rename;
        return !arg.empty() && UnescapeField(arg, e.newWord);
    }
    if (kind == "undo") {
        e.kind = EventKind::Retract;
        return ParseTime(arg, e.retractedAt);
    }
    return false;
}

// Words by their bytes: an open-addressed table of (hash, index) pairs, flat in memory, since
// a million lookups in a node-based map spend their time on cache misses.
struct HistoryParser::Index {
    struct Slot {
        std::uint64_t hash = 0;
        std::int32_t id = -1;
    };
    std::vector<Slot> slots = std::vector<Slot>(1024);
    std::size_t used = 0;

    static std::uint64_t Hash(std::string_view s) {
        std::uint64_t h = 0xcbf29ce484222325ULL; // FNV-1a, then a final mix for the low bits
        for (const char c : s) {
            h ^= static_cast<unsigned char>(c);
            h *= 0x100000001b3ULL;
        }
        h = (h ^ (h >> 30)) * 0xbf58476d1ce4e5b9ULL;
        h = (h ^ (h >> 27)) * 0x94d049bb133111ebULL;
        return h ^ (h >> 31);
    }
    // The slot holding `word`, or the empty slot where it belongs.
    Slot& Find(std::string_view word, std::uint64_t hash, const std::vector<std::string>& words) {
        const std::size_t mask = slots.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = slots[i];
            if (slot.id < 0 ||
                (slot.hash == hash && words[static_cast<std::size_t>(slot.id)] == word))
                return slot;
        }
    }
    void Add(std::uint64_t hash, std::int32_t id, const std::vector<std::string>& words) {
        if (2 * (used + 1) > slots.size()) {
            std::vector<Slot> old = std::move(slots);
            slots.assign(old.size() * 2, Slot{});
            for (const Slot& s : old)
                if (s.id >= 0)
                    Find(words[static_cast<std::size_t>(s.id)], s.hash, words) = s;
        }
        Slot& slot = Find(words[static_cast<std::size_t>(id)], hash, words);
        slot = {hash, id};
        ++used;
    }
};

HistoryParser::HistoryParser(History& history) : m_history(history), m_index(new Index) {
    for (std::size_t i = 0; i < history.words.size(); ++i)
        m_index->Add(Index::Hash(history.words[i]), static_cast<std::int32_t>(i), history.words);
}

HistoryParser::~HistoryParser() {
    delete m_index;
}

std::int32_t HistoryParser::Intern(std::string&& word) {
    const std::uint64_t hash = Index::Hash(word);
    const Index::Slot& slot = m_index->Find(word, hash, m_history.words);
    if (slot.id >= 0)
        return slot.id;
    const auto id = static_cast<std::int32_t>(m_history.words.size());
    m_history.words.push_back(std::move(word));
    m_index->Add(hash, id, m_history.words);
    return id;
}

void HistoryParser::Line(std::string_view line) {
    ++m_lineNumber;
    if (line.empty() || line[0] == '#')
        return;
    if (!ParseEvent(line, m_scratch)) {
        if (m_history.unreadableLines++ == 0)
            m_history.firstUnreadableLine = m_lineNumber;
        return;
    }
    History::Event event;
    event.time = m_scratch.time;
    event.firstStamped = m_scratch.firstStamped;
    event.kind = m_scratch.kind;
    event.word = Intern(std::move(m_scratch.word));
    // Only the fields of the line's own kind: the scratch keeps those of earlier lines, and
    // replay tells duplicate lines apart by every field.
    if (event.kind == EventKind::Grade) {
        event.grade = m_scratch.grade;
        event.tookMs = static_cast<std::int32_t>(m_scratch.tookMs);
        event.direction = m_scratch.direction;
    }
    if (event.kind == EventKind::Retract)
        event.retractedAt = m_scratch.retractedAt;
    if (event.kind == EventKind::Rename)
        event.newWord = Intern(std::move(m_scratch.newWord));
    m_history.events.push_back(event);
}

void HistoryParser::Feed(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t newline = bytes.find('\n');
        const std::string_view piece = bytes.substr(0, newline);
        if (newline == std::string_view::npos) {
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
            m_partial.append(piece);
            Line(m_partial);
            m_partial.clear();
        }
    }
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
    if (::fstat(fd, &st) == 0 && st.st_size > 0) // about 40 bytes a line
        history.events.reserve(history.events.size() + static_cast<std::size_t>(st.st_size / 36));
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
