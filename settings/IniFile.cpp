#include "settings/IniFile.h"

#include "base/DecimalNumber.h"
#include "settings/IniText.h"
#include "storage/Folder.h"
#include "storage/SafeFile.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <limits>

namespace {

QString FileName(const std::string& path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

bool ReadFileBytes(const QString& name, std::string& bytes) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    bytes.assign(data.constData(), static_cast<std::size_t>(data.size()));
    return true;
}

} // namespace

bool IniFile::ReadBytes(std::string& bytes, bool& exists) const {
    if (m_folder == nullptr) {
        const QString name = FileName(m_path);
        exists = QFileInfo::exists(name);
        return ReadFileBytes(name, bytes);
    }
    const Folder::Read read = m_folder->ReadAll(m_path, bytes);
    exists = read != Folder::Read::Missing;
    return read == Folder::Read::Ok;
}

std::optional<std::string> IniFile::Lookup(std::string_view section, std::string_view key) const {
    std::string bytes;
    bool exists = false;
    if (!ReadBytes(bytes, exists))
        return std::nullopt;
    return IniText(std::move(bytes)).Find(section, key);
}

std::int32_t IniFile::ReadInt(std::string_view section, std::string_view key,
                              std::int32_t defaultValue) const {
    const std::optional<std::string> value = Lookup(section, key);
    return value ? ParseLeadingInt32(*value) : defaultValue;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue, std::size_t maxBytes) const {
    const std::optional<std::string> value = Lookup(section, key);
    const std::string_view text = value ? std::string_view(*value) : defaultValue;
    return std::string(text.substr(0, maxBytes));
}

std::optional<IniText> IniFile::Load() const {
    // The file as it is now, so that lines another writer added since survive a later Store.
    std::string bytes;
    bool exists = false;
    if (!ReadBytes(bytes, exists) && exists)
        return std::nullopt;
    return IniText(std::move(bytes));
}

bool IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::optional<IniText> text = Load();
    return text && text->Set(section, key, value) && Store(*text);
}

bool IniFile::Store(const IniText& text) {
    if (m_folder != nullptr) {
        FileStamp folderStamp;
        m_folder->Stat(".", folderStamp);
        FolderFile out(*m_folder, m_path);
        return out.Open(&folderStamp) && out.Write(text.bytes()) && out.Commit();
    }
    SafeFile out(m_path);
    return out.Open() && out.Write(text.bytes()) && out.Commit();
}
