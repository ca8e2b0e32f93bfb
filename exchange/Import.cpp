#include "exchange/Import.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/AsciiText.h"
#include "base/HugePages.h"
#include "exchange/KvtmlReader.h"
#include "exchange/WordFileText.h"

namespace {

struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

bool SameSize(const struct stat& a, const struct stat& b) {
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

} // namespace

// Reads a regular file whole. Anything else (a FIFO, a device, a socket) is refused at once:
// O_NONBLOCK keeps the open of a FIFO from waiting for a writer, and the opened file is checked.
// The file must keep its size while it is read: a file that grows is not read past its size
// at the start, and one that grew or shrank is refused rather than imported in part.
bool ReadImportFile(const std::string& path, std::string& bytes, FileStamp& stamp,
                    std::string& error) {
    FileDescriptor file;
    file.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file.fd < 0) {
        error = "cannot open '" + path + "': " + std::strerror(errno);
        return false;
    }
    struct stat before {};
    if (::fstat(file.fd, &before) != 0) {
        error = "cannot read '" + path + "': " + std::strerror(errno);
        return false;
    }
    if (S_ISDIR(before.st_mode)) {
        error = "'" + path + "' is a folder";
        return false;
    }
    if (!S_ISREG(before.st_mode)) {
        error = "'" + path + "' is not a regular file";
        return false;
    }
    if (static_cast<std::uint64_t>(before.st_size) > kMaxImportBytes) {
        error = "'" + path + "' is larger than " + std::to_string(kMaxImportBytes >> 20) +
                " MB, too large to import";
        return false;
    }
    const auto size = static_cast<std::size_t>(before.st_size);
    // One spare byte: reading it means the file grew. The pages are all written at once.
    bytes.reserve(size + 1);
    AdviseHugePages(bytes.data(), bytes.capacity());
    bytes.resize(size + 1);
    std::size_t have = 0;
    while (have < bytes.size()) {
        const ssize_t got = ::read(file.fd, bytes.data() + have, bytes.size() - have);
        if (got > 0) {
            have += static_cast<std::size_t>(got);
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            error = "cannot read '" + path + "': " + std::strerror(errno);
            bytes.clear();
            return false;
        }
    }
    bytes.resize(have);
    struct stat after {};
    if (have != size || ::fstat(file.fd, &after) != 0 || !SameSize(before, after)) {
        bytes.clear();
        error = "'" + path + "' changed while it was read; nothing was imported from it";
        return false;
    }
    stamp = StampOf(after);
    return true;
}

namespace {

void SortProblems(ImportedWords& out) {
    std::stable_sort(
        out.problems.begin(), out.problems.end(),
        [](const ImportProblem& a, const ImportProblem& b) { return a.line < b.line; });
}

std::size_t LastLine(std::string_view text) {
    return 1 + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// The separators a format given or found from the name leaves to look for.
void ReadDelimitedAs(std::string_view text, std::optional<ExchangeFormat> format,
                     const ImportOptions& options, ImportedWords& out) {
    DelimitedOptions delimited = options.delimited;
    if (format == ExchangeFormat::Csv) {
        delimited.candidates = ",;";
    } else if (format == ExchangeFormat::Tsv && !delimited.separator) {
        delimited.separator = '\t';
    }
    ReadDelimited(text, delimited, out);
}

// The same for every reading: the problems in line order, and an error when nothing was read.
// `lastLine` is the text's last line, needed only when bytes were dropped.
bool Finish(std::size_t lastLine, ImportedWords& out, std::string& error) {
    if (out.droppedBytes > 0) {
        out.AddProblem(lastLine, "half a UTF-16 character at the end of the file was left out");
    }
    SortProblems(out);
    if (out.entries.GetCount() == 0) {
        error = out.problemCount == 0 ? "no words in the file" : "no line could be read as a word";
        return false;
    }
    return true;
}

bool Finish(std::string_view text, ImportedWords& out, std::string& error) {
    return Finish(out.droppedBytes > 0 ? LastLine(text) : 0, out, error);
}

std::optional<ExchangeFormat> FormatByName(std::string_view name) {
    const std::optional<ExchangeFormat> byName = FormatFromPath(name);
    // A .txt file may hold any separator; .csv and .tsv say which ones to look for.
    const bool txt = name.size() >= 4 && (name.ends_with(".txt") || name.ends_with(".TXT"));
    return byName && !txt ? byName : std::nullopt;
}

} // namespace

bool ImportText(std::string_view text, std::string_view name, const ImportOptions& options,
                ImportedWords& out, std::string& error) {
    const std::optional<ExchangeFormat> format =
        options.format ? options.format : FormatByName(name);
    if (format == ExchangeFormat::Kvtml) {
        error = "not delimited text";
        return false;
    }
    ReadDelimitedAs(text, format, options, out);
    return Finish(text, out, error);
}

bool ImportBytes(std::string bytes, std::string_view name, const ImportOptions& options,
                 ImportedWords& out, std::string& error, std::string* text) {
    std::optional<ExchangeFormat> format = options.format;
    if (!format && LooksLikeXml(bytes)) {
        format = ExchangeFormat::Kvtml;
    }
    const bool chosen = format.has_value();
    if (!format) {
        format = FormatByName(name);
    }
    if (format == ExchangeFormat::Kvtml) {
        bool decoded = false;
        if (options.encoding) {
            if (!DecodeToUtf8(bytes, options.encoding, out.encoding, out.droppedBytes, error)) {
                return false;
            }
            decoded = true;
        }
        // The text is let go of once read, before the entries are stored.
        const std::size_t lastLine = out.droppedBytes > 0 ? LastLine(bytes) : 0;
        if (!ReadKvtml(std::move(bytes), decoded, out, error)) {
            return false;
        }
        return Finish(lastLine, out, error);
    } else {
        if (!DecodeToUtf8(bytes, options.encoding, out.encoding, out.droppedBytes, error)) {
            return false;
        }
        if (ascii::IsAllSpace(bytes)) {
            error = "the file is empty";
            return false;
        }
        if (bytes.find('\0') != std::string::npos) {
            error = "not a text file";
            return false;
        }
        if (!chosen && !format && LooksLikeWordFile(bytes)) {
            // The word list itself, or one of its backups: its records, not one word a line.
            ReadWordFileText(bytes, out);
        } else {
            ReadDelimitedAs(bytes, format, options, out);
            const bool read = Finish(bytes, out, error);
            if (text != nullptr) {
                *text = std::move(bytes);
            }
            return read;
        }
    }
    return Finish(bytes, out, error);
}

bool ImportFile(const std::string& path, const ImportOptions& options, ImportedWords& out,
                std::string& error, std::string* text) {
    std::string bytes;
    FileStamp stamp;
    if (!ReadImportFile(path, bytes, stamp, error)) {
        return false;
    }
    return ImportBytes(std::move(bytes), path, options, out, error, text);
}
