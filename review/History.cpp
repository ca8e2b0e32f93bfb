#include "review/History.h"

#include <algorithm>
#include <cerrno>
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

bool ReadAllFd(int fd, const std::string& path, HistoryParser& parser, std::string& message) {
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
        parser.Feed(piece);
    }
}

} // namespace

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
    const bool ok = ReadAllFd(fd, path, parser, message);
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

std::string HistoryPathFor(const std::string& listPath) {
    const std::size_t slash = listPath.rfind('/');
    return slash == std::string::npos ? "reviews.tsv"
                                      : listPath.substr(0, slash + 1) + "reviews.tsv";
}

} // namespace review
