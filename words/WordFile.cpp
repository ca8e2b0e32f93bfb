#include "words/WordFile.h"

#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "storage/SafeFile.h"
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
    SafeFile file(path);
    if (!file.Open()) {
        message = OpenFailed(path);
        return false;
    }
    std::string text;
    text.reserve(kWriteChunk + 4096);
    for (WordPos pos = words.Begin(); pos != words.End(); pos = words.Next(pos)) {
        AppendWordLine(text, words.Fields(pos));
        if (text.size() >= kWriteChunk) {
            file.Write(text);
            text.clear();
        }
    }
    if (!file.Write(text) || !file.Commit()) {
        message = WriteFailed(path);
        return false;
    }
    return true;
}
