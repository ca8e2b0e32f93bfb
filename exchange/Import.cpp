#include "exchange/Import.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "exchange/KvtmlReader.h"

namespace {

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open '" + path + "': " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        error = "'" + path + "' is a folder";
        return false;
    }
    bytes.clear();
    if (info.st_size > 0) {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char piece[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, piece, sizeof piece);
        if (got > 0) {
            bytes.append(piece, static_cast<std::size_t>(got));
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            error = "cannot read '" + path + "': " + std::strerror(errno);
            ::close(fd);
            return false;
        }
    }
    ::close(fd);
    return true;
}

bool OnlyBlanks(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
    });
}

} // namespace

bool ImportBytes(std::string bytes, std::string_view name, const ImportOptions& options,
                 ImportedWords& out, std::string& error) {
    std::optional<ExchangeFormat> format = options.format;
    if (!format && LooksLikeXml(bytes)) {
        format = ExchangeFormat::Kvtml;
    }
    if (!format) {
        const std::optional<ExchangeFormat> byName = FormatFromPath(name);
        // A .txt file may hold any separator; .csv and .tsv say which ones to look for.
        const bool txt = name.size() >= 4 && (name.ends_with(".txt") || name.ends_with(".TXT"));
        if (byName && !txt) {
            format = byName;
        }
    }
    if (format == ExchangeFormat::Kvtml) {
        bool decoded = false;
        if (options.encoding) {
            if (!DecodeToUtf8(bytes, options.encoding, out.encoding, error)) {
                return false;
            }
            decoded = true;
        }
        if (!ReadKvtml(bytes, decoded, out, error)) {
            return false;
        }
    } else {
        if (!DecodeToUtf8(bytes, options.encoding, out.encoding, error)) {
            return false;
        }
        if (OnlyBlanks(bytes)) {
            error = "the file is empty";
            return false;
        }
        if (bytes.find('\0') != std::string::npos) {
            error = "not a text file";
            return false;
        }
        DelimitedOptions delimited = options.delimited;
        if (format == ExchangeFormat::Csv) {
            delimited.candidates = ",;";
        } else if (format == ExchangeFormat::Tsv && delimited.separator == 0) {
            delimited.separator = '\t';
        }
        ReadDelimited(bytes, delimited, out);
    }
    std::stable_sort(
        out.problems.begin(), out.problems.end(),
        [](const ImportProblem& a, const ImportProblem& b) { return a.line < b.line; });
    if (out.entries.GetCount() == 0) {
        error = out.problems.empty() ? "no words in the file" : "no line could be read as a word";
        return false;
    }
    return true;
}

bool ImportFile(const std::string& path, const ImportOptions& options, ImportedWords& out,
                std::string& error) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes, error)) {
        return false;
    }
    return ImportBytes(std::move(bytes), path, options, out, error);
}
