#include "review/HistoryWriter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace review {

namespace {

std::string Errno(const char* what, const std::string& path, int error) {
    return std::string(what) + " '" + path + "' failed: " + std::strerror(error);
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
        if (!WriteAll(fd, std::string(kHistoryHeader) + "\n")) {
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

} // namespace review
