// The file an import dialog reads, read again as the learner changes the choices: the text a
// small file gave is kept, a large file is read again, and must be the file read first.
#pragma once

#include <cstddef>
#include <string>

#include "exchange/Import.h"

class ImportSource {
public:
    // Text up to this size is kept: more would cost as much memory again as the entries.
    static constexpr std::size_t kKeptTextBytes = std::size_t{1} << 20;

    explicit ImportSource(std::string path, std::size_t keptTextBytes = kKeptTextBytes);

    // Reads the file anew, as ImportFile does.
    bool Read(const ImportOptions& options, ImportedWords& out, std::string& error);
    // Reads the delimited text of the last Read again with other separator, header or column
    // choices, decoded as it was then: `out` gets the encoding and dropped bytes of that
    // reading. Without such text, as Read. A large file is read again, and refused when it is
    // no longer the file that was read.
    bool ReadAgain(const ImportOptions& options, ImportedWords& out, std::string& error);
    // Whether the last Read gave delimited text that ReadAgain can read with other choices.
    bool CanReadAgain() const { return m_delimited; }

private:
    std::string m_path;
    std::size_t m_keptTextBytes;
    bool m_delimited = false;
    std::string m_text; // kept when small
    FileStamp m_stamp;
    TextEncoding m_encoding = TextEncoding::Utf8;
    std::size_t m_droppedBytes = 0;
};
