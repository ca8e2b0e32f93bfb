#include "settings/IniFile.h"

#include "settings/IniText.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>
#include <algorithm>
#include <limits>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

QString FileName(const std::string& path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

bool ReadBytes(const QString& name, std::string& bytes) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    bytes.assign(data.constData(), static_cast<std::size_t>(data.size()));
    return true;
}

// A file without any write bit is read-only even for a user whom the system lets write anyway.
bool MayOverwrite(const QFileInfo& info) {
    constexpr QFileDevice::Permissions kWriteBits =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.isFile() && info.isWritable() && (info.permissions() & kWriteBits);
}

// Makes the rename that replaced the file survive a power cut.
void SyncFolder([[maybe_unused]] const QString& folder) {
#if defined(Q_OS_UNIX)
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

// Reads the number the way atoi does, but saturates instead of overflowing.
std::int32_t ParseInt(std::string_view text) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = std::min(magnitude * 10 + (text[i] - '0'), kMax + 1);
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp(value, kMin, kMax));
}

} // namespace

std::optional<std::string> IniFile::Lookup(std::string_view section, std::string_view key) const {
    std::string bytes;
    if (!ReadBytes(FileName(m_path), bytes))
        return std::nullopt;
    return IniText(std::move(bytes)).Find(section, key);
}

std::int32_t IniFile::ReadInt(std::string_view section, std::string_view key,
                              std::int32_t defaultValue) const {
    const std::optional<std::string> value = Lookup(section, key);
    return value ? ParseInt(*value) : defaultValue;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue, std::size_t maxBytes) const {
    const std::optional<std::string> value = Lookup(section, key);
    const std::string_view text = value ? std::string_view(*value) : defaultValue;
    return std::string(text.substr(0, maxBytes));
}

bool IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const QString name = FileName(m_path);
    const QFileInfo info(name);
    std::string bytes;
    if (info.exists() && (!MayOverwrite(info) || !ReadBytes(name, bytes)))
        return false;
    IniText text(std::move(bytes));
    if (!text.Set(section, key, value))
        return false;

    // The new text goes to a temporary file in the same folder that replaces the old one
    // only once it is complete; a folder we may not create files in gets the file rewritten
    // in place instead.
    QSaveFile out(name);
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const std::string& data = text.bytes();
    const auto size = static_cast<qint64>(data.size());
    if (out.write(data.data(), size) != size) {
        out.cancelWriting();
        return false;
    }
    if (!out.commit())
        return false;
    SyncFolder(info.absolutePath());
    return true;
}
