#include "words/WordFile.h"

#include <QtCore/QByteArray>
#include <QtCore/QFile>
#include <QtCore/QSaveFile>
#include <QtCore/QString>

#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "words/WordFileFormat.h"
#include "words/WordList.h"
#include "words/WordTextReader.h"

namespace {

constexpr std::size_t kReadChunk = 256 * 1024;
constexpr std::size_t kWriteChunk = 256 * 1024;

std::string OpenFailed(const std::string& path) {
    return "Open file '" + path + "' failed!";
}
std::string WriteFailed(const std::string& path) {
    return "Write file '" + path + "' failed!";
}

// A file without any write permission bit was protected on purpose by the learner. The
// check is made here because a process running as root is allowed to write it anyway.
bool IsWriteProtected(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return false;
    }
    return S_ISREG(info.st_mode) && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool WriteAll(QSaveFile& file, std::string_view data) {
    return file.write(data.data(), static_cast<qint64>(data.size())) ==
           static_cast<qint64>(data.size());
}

// Makes the rename that replaced the file durable.
bool SyncFolder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        // A folder that may be written but not read cannot be opened to sync it; the new
        // file itself is already synced and in place.
        return true;
    }
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL; // EINVAL: not supported here
    ::close(fd);
    return synced;
}

} // namespace

std::string WordFilePath() {
    std::string folder(256, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE) {
            // The current directory has been removed or cannot be named (a parent folder
            // without search permission). A relative name still opens WL.txt in whatever
            // the current directory is, which is the best that can be done.
            return "WL.txt";
        }
        folder.resize(folder.size() * 2);
    }
    folder.resize(folder.find('\0'));
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder + "WL.txt";
}

bool LoadWordFile(WordList& words, const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    std::vector<char> buffer(kReadChunk);
    WordTextReader reader(words);
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got > 0) {
            reader.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            ok = false; // A token cut off by the failure would be wrong: it is not taken.
            break;
        }
    }
    ::close(fd);
    if (ok) {
        reader.Finish();
    }
    return ok;
}

bool SaveWordFile(const WordList& words, const std::string& path, std::string& message) {
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    // A path that does not survive the conversion would make the save land in another file.
    if (QFile::encodeName(name).toStdString() != path || IsWriteProtected(path)) {
        message = OpenFailed(path);
        return false;
    }

    // The new content goes to a temporary file in the same folder that replaces the old file
    // only when complete and synced. In a folder that cannot take a new file, a writable
    // WL.txt is written in place instead, as it always could be.
    QSaveFile file(name);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        message = OpenFailed(path);
        return false;
    }

    std::string text;
    text.reserve(kWriteChunk + 4096);
    bool ok = true;
    for (WordPos pos = words.Begin(); ok && pos != words.End(); pos = words.Next(pos)) {
        AppendWordLine(text, words.Fields(pos));
        if (text.size() >= kWriteChunk) {
            ok = WriteAll(file, text);
            text.clear();
        }
    }
    // Qt's commit ignores a failed sync, so the sync is done and checked here first.
    ok = ok && WriteAll(file, text) && file.flush() && ::fsync(file.handle()) == 0 && file.commit();
    if (!ok || !SyncFolder(path)) {
        // Destroying an uncommitted QSaveFile removes its temporary file.
        message = WriteFailed(path);
        return false;
    }
    return true;
}
