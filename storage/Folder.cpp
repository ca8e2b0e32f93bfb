#include "storage/Folder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

FileStamp StampOf(const struct stat& info) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = info.st_size;
    stamp.mtimeNs =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.owner = info.st_uid;
    stamp.group = info.st_gid;
    stamp.mode = info.st_mode & 07777;
    stamp.regular = S_ISREG(info.st_mode);
    return stamp;
}

namespace {

constexpr std::size_t kReadChunk = 1 << 20;

// Opens a regular file for reading; O_NONBLOCK keeps a FIFO from blocking the open itself,
// and the check after it refuses the FIFO, device or socket that was opened.
int OpenRegular(int folder, const std::string& name, struct stat& info) {
    const int fd = ::openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t put = ::write(fd, data.data(), data.size());
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

constexpr std::size_t kTempDigits = 12;

bool IsTempName(const std::string& name, const std::string& entry) {
    const std::string prefix = "." + name + ".tmp-";
    if (entry.size() != prefix.size() + kTempDigits || entry.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < entry.size(); ++i) {
        const char c = entry[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

std::string TempName(const std::string& name) {
    static std::mt19937_64 random(std::random_device{}());
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%0*llx", static_cast<int>(kTempDigits),
                  static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
    return "." + name + ".tmp-" + suffix;
}

} // namespace

Folder::~Folder() {
    if (m_fd >= 0)
        ::close(m_fd);
}

Folder::Folder(Folder&& other) noexcept : m_fd(other.m_fd) {
    other.m_fd = -1;
}

Folder& Folder::operator=(Folder&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

Folder Folder::OpenCurrent() {
    return Open(".");
}

Folder Folder::Open(const std::string& path) {
    // O_PATH would do for a folder we may not read, but fsync on it is refused.
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        fd = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    return Folder(fd);
}

std::string Folder::HandlePath() const {
    return "/proc/self/fd/" + std::to_string(m_fd);
}

Folder::Read Folder::ReadAll(const std::string& name, std::string& bytes, FileStamp* stamp) const {
    bytes.clear();
    if (stamp)
        *stamp = FileStamp{};
    struct stat info {};
    const int fd = OpenRegular(m_fd, name, info);
    if (fd < 0)
        return errno == ENOENT ? Read::Missing : Read::Failed;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    // The size is a hint only: the file may grow or shrink while it is read. The spare byte
    // lets the read that finds the end need no more room, so a file that keeps its size is
    // read into exactly its own size: a larger buffer costs a page fault per page at start-up.
    bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t have = 0;
    bool ok = true;
    for (;;) {
        if (have == bytes.size())
            bytes.resize(bytes.size() + std::max(kReadChunk, bytes.size() / 2));
        const ssize_t got = ::read(fd, bytes.data() + have, bytes.size() - have);
        if (got > 0) {
            have += static_cast<std::size_t>(got);
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            ok = false;
            break;
        }
    }
    bytes.resize(have);
    struct stat after {};
    if (ok && stamp && ::fstat(fd, &after) == 0)
        *stamp = StampOf(after);
    ::close(fd);
    if (!ok)
        bytes.clear();
    return ok ? Read::Ok : Read::Failed;
}

Folder::Read Folder::ReadPieces(const std::string& name,
                                const std::function<void(std::string_view)>& take,
                                FileStamp* stamp) const {
    if (stamp)
        *stamp = FileStamp{};
    struct stat info {};
    const int fd = OpenRegular(m_fd, name, info);
    if (fd < 0)
        return errno == ENOENT ? Read::Missing : Read::Failed;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    // Small enough to stay in the cache while it is used.
    std::string buffer(256 * 1024, '\0');
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got > 0) {
            take(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            ok = false;
            break;
        }
    }
    struct stat after {};
    if (ok && stamp && ::fstat(fd, &after) == 0)
        *stamp = StampOf(after);
    ::close(fd);
    return ok ? Read::Ok : Read::Failed;
}

bool Folder::Stat(const std::string& name, FileStamp& stamp) const {
    struct stat info {};
    if (::fstatat(m_fd, name.c_str(), &info, 0) != 0) {
        stamp = FileStamp{};
        return errno == ENOENT;
    }
    stamp = StampOf(info);
    return true;
}

std::vector<std::string> Folder::Names() const {
    std::vector<std::string> names;
    const int listFd = ::openat(m_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (dir == nullptr) {
        if (listFd >= 0)
            ::close(listFd);
        return names;
    }
    while (const dirent* item = ::readdir(dir)) {
        const std::string_view name = item->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

Folder Folder::OpenSub(const std::string& name, const FileStamp& like) const {
    mode_t mode = 0777;
    if (like.exists)
        mode =
            0700 | ((like.mode & S_IRGRP) != 0 ? 050 : 0) | ((like.mode & S_IROTH) != 0 ? 05 : 0);
    if (::mkdirat(m_fd, name.c_str(), mode) == 0) {
        // Made by root for a learner's list: it belongs to the learner like the list.
        if (like.exists && (like.owner != ::geteuid() || like.group != ::getegid()))
            (void)::fchownat(m_fd, name.c_str(), like.owner, like.group, AT_SYMLINK_NOFOLLOW);
    }
    return Folder(::openat(m_fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

bool Folder::IsLink(const std::string& name) const {
    struct stat info {};
    return ::fstatat(m_fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode);
}

FolderFile::FolderFile(const Folder& folder, std::string name)
    : m_folder(folder), m_name(std::move(name)) {}

FolderFile::~FolderFile() {
    Discard();
}

void FolderFile::Discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
        if (!m_inPlace)
            ::unlinkat(m_folder.fd(), m_temp.c_str(), 0);
    }
}

bool FolderFile::Open(const FileStamp* like) {
    if (!m_folder.IsOpen())
        return false;
    struct stat old {};
    const bool exists = ::fstatat(m_folder.fd(), m_name.c_str(), &old, 0) == 0;
    if (!exists && errno != ENOENT)
        return false;
    if (exists && (!S_ISREG(old.st_mode) || (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0))
        return false;
    // The owner and group to keep: the old file's, or those given for a new file.
    const FileStamp target = exists ? StampOf(old) : like ? *like : FileStamp{};
    // Created no wider than the file it stands beside; the umask may narrow it further.
    const mode_t newMode = exists ? 0600 : target.exists ? target.mode & 0666 : 0666;
    for (int attempt = 0; attempt < 8 && m_fd < 0; ++attempt) {
        m_temp = TempName(m_name);
        m_fd = ::openat(m_folder.fd(), m_temp.c_str(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, newMode);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        // A folder that takes no new file: a writable file is rewritten in place instead,
        // the one case that is not atomic.
        if (!exists)
            return false;
        struct stat info {};
        m_fd =
            ::openat(m_folder.fd(), m_name.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (m_fd < 0)
            return false;
        // Cut to nothing by the first write, so that the old content can be kept first.
        if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(m_fd);
            m_fd = -1;
            return false;
        }
        m_inPlace = true;
        return true;
    }
    if (target.exists) {
        // Root saving a learner's file leaves it the learner's; an ordinary user who may not
        // give a file away keeps at least the group and mode where allowed.
        if (target.owner != ::geteuid() || target.group != ::getegid()) {
            if (::fchown(m_fd, target.owner, target.group) != 0)
                (void)::fchown(m_fd, static_cast<uid_t>(-1), target.group);
        }
        if (exists)
            (void)::fchmod(m_fd, target.mode);
    }
    return true;
}

bool FolderFile::Write(std::string_view data) {
    if (m_ok && m_inPlace && !m_truncated)
        m_ok = ::ftruncate(m_fd, 0) == 0;
    m_truncated = true;
    m_ok = m_ok && m_fd >= 0 && WriteAll(m_fd, data);
    return m_ok;
}

bool FolderFile::Commit(const FileStamp* expected, bool* raced) {
    if (raced)
        *raced = false;
    if (m_inPlace && !m_truncated)
        Write({});
    m_ok = m_ok && m_fd >= 0 && ::fsync(m_fd) == 0;
    if (m_ok && m_inPlace) {
        m_ok = ::close(m_fd) == 0;
        m_fd = -1;
        return m_ok;
    }
    if (m_ok && expected) {
        FileStamp now;
        if (!m_folder.Stat(m_name, now) || !now.SameVersion(*expected)) {
            if (raced)
                *raced = true;
            m_ok = false;
        }
    }
    if (!m_ok) {
        Discard();
        return false;
    }
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    if (!closed || ::renameat(m_folder.fd(), m_temp.c_str(), m_folder.fd(), m_name.c_str()) != 0) {
        ::unlinkat(m_folder.fd(), m_temp.c_str(), 0);
        m_ok = false;
        return false;
    }
    // EINVAL: syncing folders is not supported here; EBADF: a folder we may not read.
    return ::fsync(m_folder.fd()) == 0 || errno == EINVAL || errno == EBADF;
}

void RemoveStaleTemps(const Folder& folder, const std::string& name, std::time_t before) {
    if (!folder.IsOpen())
        return;
    const int listFd = ::openat(folder.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (dir == nullptr) {
        if (listFd >= 0)
            ::close(listFd);
        return;
    }
    std::vector<std::string> stale;
    while (const dirent* item = ::readdir(dir)) {
        const std::string entry = item->d_name;
        struct stat info {};
        if (IsTempName(name, entry) &&
            ::fstatat(folder.fd(), entry.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_mtime < before)
            stale.push_back(entry);
    }
    ::closedir(dir);
    for (const std::string& entry : stale)
        ::unlinkat(folder.fd(), entry.c_str(), 0);
}

FileStamp StampBeside(const Folder& folder, const std::string& model) {
    FileStamp stamp;
    if (!folder.Stat(model, stamp) || !stamp.exists)
        folder.Stat(".", stamp);
    // The owner may always read and change what is kept for them.
    stamp.mode = (stamp.mode & 0666) | 0600;
    return stamp;
}

bool WriteBeside(const Folder& folder, const std::string& model, const std::string& name,
                 std::string_view bytes) {
    const FileStamp like = StampBeside(folder, model);
    FolderFile file(folder, name);
    return file.Open(&like) && file.Write(bytes) && file.Commit();
}
