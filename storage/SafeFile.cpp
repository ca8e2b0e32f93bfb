#include "storage/SafeFile.h"

#include <QByteArray>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsWriteProtected(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return false;
    return S_ISREG(info.st_mode) && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
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

SafeFile::SafeFile(const std::string& path, InPlace inPlace)
    : m_path(path), m_file(QFile::decodeName(QByteArray::fromStdString(path))) {
    m_file.setDirectWriteFallback(inPlace == InPlace::Allowed);
}

bool SafeFile::Open() {
    // A path that does not survive the conversion would make the save land in another file.
    if (QFile::encodeName(m_file.fileName()).toStdString() != m_path || IsWriteProtected(m_path))
        return false;
    return m_file.open(QIODevice::WriteOnly);
}

bool SafeFile::Write(std::string_view data) {
    const auto size = static_cast<qint64>(data.size());
    m_ok = m_ok && m_file.write(data.data(), size) == size;
    return m_ok;
}

bool SafeFile::Commit() {
    // Qt's commit ignores a failed sync, so the sync is done and checked here first.
    // Destroying an uncommitted QSaveFile removes its temporary file.
    m_ok = m_ok && m_file.flush() && ::fsync(m_file.handle()) == 0 && m_file.commit();
    return m_ok && SyncFolder(m_path);
}
