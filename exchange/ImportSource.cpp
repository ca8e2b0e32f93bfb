#include "exchange/ImportSource.h"

#include <utility>

ImportSource::ImportSource(std::string path, std::size_t keptTextBytes)
    : m_path(std::move(path)), m_keptTextBytes(keptTextBytes) {}

bool ImportSource::Read(const ImportOptions& options, ImportedWords& out, std::string& error) {
    m_delimited = false;
    m_text = std::string();
    std::string bytes;
    if (!ReadImportFile(m_path, bytes, m_stamp, error)) {
        return false;
    }
    std::string text;
    const bool ok = ImportBytes(std::move(bytes), m_path, options, out, error, &text);
    if (out.format == ReadFormat::Delimited && !text.empty()) {
        m_delimited = true;
        m_encoding = out.encoding;
        m_droppedBytes = out.droppedBytes;
        if (text.size() <= m_keptTextBytes) {
            m_text = std::move(text);
        }
    }
    return ok;
}

bool ImportSource::ReadAgain(const ImportOptions& options, ImportedWords& out, std::string& error) {
    if (!m_delimited) {
        return Read(options, out, error);
    }
    out.encoding = m_encoding;
    out.droppedBytes = m_droppedBytes;
    if (!m_text.empty()) {
        return ImportText(m_text, m_path, options, out, error);
    }
    std::string bytes;
    FileStamp stamp;
    if (!ReadImportFile(m_path, bytes, stamp, error)) {
        return false;
    }
    if (!stamp.SameVersion(m_stamp)) {
        error = "'" + m_path + "' changed since it was opened; open it again to import it";
        return false;
    }
    TextEncoding used = m_encoding;
    std::size_t dropped = 0;
    if (!DecodeToUtf8(bytes, m_encoding, used, dropped, error)) {
        return false;
    }
    return ImportText(bytes, m_path, options, out, error);
}
