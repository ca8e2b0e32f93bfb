// The review history file, reviews.tsv beside the word list: one line per event, appended and
// synced as each grade is given, and read back to rebuild every word's schedule.
//
// The file is UTF-8 text; each line is one event, its fields separated by tabs:
//   TIME  WORD  GRADE   MS  DIRECTION    a grade: 1 Again, 2 Hard, 3 Good, 4 Easy, the time the
//                                        answer took in ms, and w2m (word shown, meaning asked)
//                                        or m2w (meaning shown, word asked)
//   TIME  WORD  rename  NEWWORD          the entry's word was edited: its history goes on under
//                                        the new word
//   TIME  WORD  undo    GRADETIME        the grade of WORD given at GRADETIME is retracted
// TIME is UTC to the millisecond, e.g. 2026-12-08T09:15:02.123Z. In WORD and NEWWORD a
// backslash, tab, newline and carriage return are written \\ \t \n \r. Lines that start with
// '#' are comments (a new file starts with one that says the above); empty lines are skipped.
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

#include "review/MemoryModel.h"
#include "review/Schedule.h"
#include "storage/Folder.h"

namespace review {

enum class Direction : std::uint8_t { WordToMeaning, MeaningToWord };
enum class EventKind : std::uint8_t { Grade, Rename, Retract };

// One event as the session writes it.
struct HistoryEvent {
    TimeMs time = 0;
    EventKind kind = EventKind::Grade;
    std::string word;
    memory::Grade grade = memory::Grade::Good; // Grade
    std::int64_t tookMs = 0;                   // Grade
    Direction direction = Direction::WordToMeaning;
    std::string newWord;    // Rename
    TimeMs retractedAt = 0; // Retract: the time of the grade it takes back
    // A line stamped ahead of the clock of the machine that merged it carries that machine's
    // time first and its own as a last field "@TIME"; it is known by its own.
    TimeMs firstStamped = 0;
};

// "2026-12-08T09:15:02.123Z"; ParseTime accepts exactly that form.
std::string FormatTime(TimeMs time);
bool ParseTime(std::string_view text, TimeMs& time);

std::string EscapeField(std::string_view text);
bool UnescapeField(std::string_view text, std::string& out);

// The line of an event, without its newline.
std::string FormatEvent(const HistoryEvent& event);
bool ParseEvent(std::string_view line, HistoryEvent& event);

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

// Appends events to the history file, each one on disk (fdatasync) before Append returns. A
// torn last line left by a crash is closed with a newline before the next line, so the new line
// is never glued to it; the torn bytes stay in the file as one unreadable line.
class HistoryWriter {
public:
    // `like` gives the owner, group and mode a new file may have at most (the word list's);
    // without it a new file is private to its owner.
    explicit HistoryWriter(std::string path, const FileStamp* like = nullptr);
    ~HistoryWriter();
    HistoryWriter(const HistoryWriter&) = delete;
    HistoryWriter& operator=(const HistoryWriter&) = delete;

    // Writes the pending lines, then this one. On failure (disk full, read-only file or folder)
    // returns false with `message` for the learner, and keeps the line pending: it is written
    // by the next Append or FlushPending, or given to WritePendingTo. Nothing is lost.
    bool Append(const HistoryEvent& event, std::string& message);
    bool FlushPending(std::string& message);
    std::size_t PendingCount() const { return m_pending.size(); }
    // Appends the pending lines to another file (e.g. a conflict copy the learner picks).
    bool WritePendingTo(const std::string& path, std::string& message);

    // The lines are appended in one write() each and the file is opened O_APPEND, so several
    // processes may append to one history at once without tearing each other's lines.
    const std::string& Path() const { return m_path; }

private:
    bool Open(std::string& message);
    bool WriteLines(int fd, std::vector<std::string>& lines, std::string& message);

    std::string m_path;
    bool m_haveLike = false;
    FileStamp m_like;
    int m_fd = -1;
    std::vector<std::string> m_pending;
};

// The name of the history beside a word list file: the folder of `listPath` + "reviews.tsv".
std::string HistoryPathFor(const std::string& listPath);

} // namespace review
