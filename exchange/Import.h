// Reads an import file whole: picks its format and encoding and hands it to the right reader.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "exchange/DelimitedReader.h"
#include "exchange/Exporters.h"
#include "exchange/ImportedWords.h"
#include "exchange/TextEncoding.h"
#include "storage/Folder.h"

struct ImportOptions {
    // Unset: KVTML when the file starts like XML, else delimited text, guided by the extension.
    std::optional<ExchangeFormat> format;
    // Unset: found from the bytes.
    std::optional<TextEncoding> encoding;
    // For delimited text; the format, when given, narrows the separators.
    DelimitedOptions delimited;
};

// Larger files are refused: reading one takes a few times its size in memory.
constexpr std::uint64_t kMaxImportBytes = std::uint64_t{1} << 30;

// Reads the bytes of a file named `name` (used only for its extension). False, with `error`
// set, when the text is empty, cannot be decoded, or gives no entry at all.
// When `text` is given and the file was read as delimited text, its decoded text is moved
// there, so that ImportText can read it again with other choices.
bool ImportBytes(std::string bytes, std::string_view name, const ImportOptions& options,
                 ImportedWords& out, std::string& error, std::string* text = nullptr);

// Reads again the delimited text ImportBytes kept from a file named `name`, with other
// separator, header or column choices: no file is read and nothing decoded. `out` keeps the
// encoding and dropped bytes it is given, those of the first reading.
bool ImportText(std::string_view text, std::string_view name, const ImportOptions& options,
                ImportedWords& out, std::string& error);

// Reads the file at `path` whole into `bytes`, with its stamp: another stamp later means the
// file was written to, or another file put in its place. False, with `error` set, as
// ImportFile below refuses a file.
bool ReadImportFile(const std::string& path, std::string& bytes, FileStamp& stamp,
                    std::string& error);

// The same for the file at `path`, also false when it cannot be read, is no regular file
// (a FIFO or a device is refused at once), is larger than kMaxImportBytes, or changes size
// while it is read.
bool ImportFile(const std::string& path, const ImportOptions& options, ImportedWords& out,
                std::string& error, std::string* text = nullptr);
