// Appends the review history's lines, each on disk before a grade counts as given.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "review/HistoryLine.h"
#include "storage/Folder.h"

namespace review {

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

} // namespace review
