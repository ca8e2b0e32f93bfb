// One line of the review history: its events, their text and its grammar.
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
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "review/MemoryModel.h"
#include "review/Schedule.h"

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

// The comment a new history starts with.
extern const std::string_view kHistoryHeader;

// Parses time stamps, remembering the last date: the lines of a history come in time order,
// so most stamps repeat the date of the line before.
class TimeParser {
public:
    bool Parse(std::string_view text, TimeMs& time);

private:
    char m_date[10] = {};
    bool m_haveDate = false;
    std::int64_t m_days = 0;
};

// An event line's fields as they stand in the line, its words still escaped: what a reader
// that interns words takes from a line before deciding whether to copy them.
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
bool ParseRaw(std::string_view line, RawEvent& event, TimeParser& times);
// A field's text: the field itself when it holds nothing escaped, else its unescaped copy in
// `scratch`.
bool FieldText(std::string_view field, std::string& scratch, std::string_view& text);

} // namespace review
