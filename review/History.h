// The review history file, reviews.tsv beside the word list: one line per event (see
// review/HistoryLine.h), appended and synced as each grade is given (review/HistoryWriter.h), and
// read back here to rebuild every word's schedule.
//
// Every line is a fact that stands on its own, so a history is a set of lines: two copies of it
// combine by their union (sync/HistoryUnion), duplicates count once, and the order of the lines in
// the file does not matter, since replay orders events by time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "review/HistoryLine.h"

namespace review {

// A history as read: words interned once, events in file order.
struct History {
    struct Event {
        TimeMs time = 0;
        TimeMs retractedAt = 0;
        TimeMs firstStamped = 0;  // see HistoryEvent
        std::int32_t word = 0;    // index into words
        std::int32_t newWord = 0; // Rename: index into words
        std::int32_t tookMs = 0;
        EventKind kind = EventKind::Grade;
        memory::Grade grade = memory::Grade::Good;
        Direction direction = Direction::WordToMeaning;
    };
    std::vector<std::string> words;
    std::vector<Event> events;

    std::uint64_t unreadableLines = 0;
    std::uint64_t firstUnreadableLine = 0; // 1-based; 0 when every line was read
    bool tornTail = false;                 // the last line had no newline and was skipped
};

// Parses history text fed in pieces of any size: linear time, and memory bounded by the events
// kept (a line longer than kMaxLineBytes is counted unreadable without being held).
class HistoryParser {
public:
    static constexpr std::size_t kMaxLineBytes = 64 * 1024;

    explicit HistoryParser(History& history);
    ~HistoryParser();
    HistoryParser(const HistoryParser&) = delete;
    HistoryParser& operator=(const HistoryParser&) = delete;

    void Feed(std::string_view bytes);
    void Finish();

private:
    struct Index;
    struct Work;
    void Line(std::string_view line);
    void Complete();
    void Drain();
    std::int32_t Intern(std::string_view word, std::uint64_t hash);

    History& m_history;
    Work* m_work;
    std::string m_partial;
    bool m_overlong = false;
    std::uint64_t m_lineNumber = 0;
};

enum class ReadStatus { Ok, Missing, Refused, Failed };

// Reads the history at `path` into `history`. A missing file is an empty history. Anything but
// a regular file is refused at once, without blocking on it. `message` tells why on failure.
ReadStatus ReadHistory(const std::string& path, History& history, std::string& message);

// The text of the "Info" box for lines that could not be read; empty when there were none.
std::string UnreadableLinesMessage(const History& history);

// The name of the history beside a word list file: the folder of `listPath` + "reviews.tsv".
std::string HistoryPathFor(const std::string& listPath);

} // namespace review
