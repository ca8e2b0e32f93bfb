// Joins review histories kept as sets of lines, as two machines' copies of the history file
// are: the union of their lines, each once, in the order of their time stamps.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "storage/Folder.h"

// A record line starts with the UTC time of the event, "2026-12-08T09:15:02.123Z", then a
// tab. Lines starting with '#' are comments; a last line without a line end is a write that
// was cut off.
inline constexpr std::size_t kStampBytes = 24;

bool IsHistoryStamp(std::string_view text);
// The stamp of a moment, in UTC to the millisecond.
std::string HistoryStamp(const timespec& when);

// A line whose stamp lies after `now` (another machine's clock runs ahead) is stamped `now`
// instead, and keeps what it said as a last field "\t@<stamp>", so that the two versions of
// it are still known as one line. A line that is not in the future comes back as it is.
std::string CapFutureStamp(std::string_view line, std::string_view now);
// What a line stands for in a union: a capped line for the line it was capped from.
std::string UnionKey(std::string_view line);

struct HistoryUnion {
    std::string merged;     // the whole new file; `ours` unchanged when `changed` is false
    std::size_t added = 0;  // lines only theirs had
    std::size_t capped = 0; // of those, lines stamped in the future
    bool changed = false;
};

// Our file's lines with those of theirs it lacks. Comments and our cut-off last line stay as
// they were (comments first, the cut-off line last); theirs' comments and cut-off line are left
// out. When anything is added the records are written in the order of their stamps (equal
// stamps by their text), so that two machines uniting the same files write the same bytes.
HistoryUnion UniteHistories(std::string_view ours, std::string_view theirs, std::string_view now);

// Follows the history file while the list is open: the lines that arrived since the last look,
// for instance when the other machine's version replaced the file.
class HistoryFollower {
public:
    explicit HistoryFollower(std::string fileName) : m_name(std::move(fileName)) {}

    // The record lines of the file not given before (the first call gives them all), future
    // stamps capped at `now` for the caller; the file is not changed. An unchanged file costs
    // one stat. False when the file exists but cannot be read.
    bool NewLines(const Folder& folder, std::string_view now, std::vector<std::string>& lines);

private:
    std::string m_name;
    FileStamp m_stamp;
    std::unordered_set<std::uint64_t> m_seen; // hashes of the union keys given so far
};
