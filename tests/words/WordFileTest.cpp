#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "tests/support/FileBytes.h"
#include "words/WordFile.h"
#include "words/WordFileFormat.h"
#include "words/WordList.h"

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

WordList SomeWords(int count) {
    WordList list;
    for (int i = 1; i <= count; ++i) {
        list.Append({i, "word" + std::to_string(i), "", "v. n.", "a meaning"});
    }
    return list;
}

// A folder of its own for each test, open to the unprivileged user the tests switch to.
class WordFileTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vocamint-words-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        fs::permissions(dir_, fs::perms::all);
        file_ = dir_ / "WL.txt";
    }
    void TearDown() override {
        std::error_code error;
        for (const auto& item : fs::recursive_directory_iterator(dir_, error)) {
            fs::permissions(item.path(), fs::perms::owner_all, fs::perm_options::add, error);
        }
        fs::remove_all(dir_, error);
    }
    std::vector<std::string> FolderNames(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(folder)) {
            names.push_back(item.path().filename().string());
        }
        return names;
    }

    fs::path dir_;
    fs::path file_;
};

struct SaveResult {
    bool saved = false;
    std::string message;
};

// Saves in a child process, as an unprivileged user and under a file-size limit when asked,
// so that root's rights and the limit do not reach the test process.
SaveResult SaveInChild(const WordList& words, const std::string& path, bool unprivileged,
                       rlim_t sizeLimit = RLIM_INFINITY) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return {false, "pipe failed"};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        if (unprivileged && ::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            ::_exit(2);
        }
        const rlimit limit{sizeLimit, sizeLimit};
        if (sizeLimit != RLIM_INFINITY &&
            (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &limit) != 0)) {
            ::_exit(2);
        }
        std::string message;
        const bool saved = SaveWordFile(words, path, message);
        const bool sent = ::write(pipeFds[1], message.data(), message.size()) ==
                          static_cast<ssize_t>(message.size());
        ::_exit(sent ? (saved ? 0 : 1) : 2);
    }
    ::close(pipeFds[1]);
    SaveResult result;
    char buffer[256];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        result.message.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "child set-up failed";
    result.saved = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

TEST_F(WordFileTest, PathIsTheCurrentFolderWithoutLengthLimit) {
    const fs::path before = fs::current_path();
    fs::path deep = dir_;
    for (int i = 0; i < 12; ++i) {
        deep /= std::string(60, static_cast<char>('a' + i));
    }
    fs::create_directories(deep);
    fs::current_path(deep);
    const std::string path = WordFilePath();
    fs::current_path(dir_);
    const std::string inTop = WordFilePath();
    fs::current_path("/");
    const std::string inRoot = WordFilePath();
    fs::current_path(before);
    EXPECT_EQ(path, deep.string() + "/WL.txt");
    EXPECT_GT(path.size(), 700u);
    EXPECT_EQ(inTop, dir_.string() + "/WL.txt");
    EXPECT_EQ(inRoot, "/WL.txt");
}

TEST_F(WordFileTest, PathFallsBackToARelativeNameWhenTheFolderIsGone) {
    const fs::path before = fs::current_path();
    fs::create_directory(dir_ / "gone");
    fs::current_path(dir_ / "gone");
    fs::remove(dir_ / "gone");
    const std::string path = WordFilePath();
    fs::current_path(before);
    EXPECT_EQ(path, "WL.txt");
}

TEST_F(WordFileTest, LoadFailsOnlyWhenTheFileCannotBeRead) {
    WordList list;
    list.Append({7, "kept", "", "", ""});
    EXPECT_FALSE(LoadWordFile(list, file_.string()));
    EXPECT_FALSE(LoadWordFile(list, dir_.string()));
    WriteBytes(file_, "1 a b c d\r\n");
    EXPECT_TRUE(LoadWordFile(list, file_.string()));
    ASSERT_EQ(list.GetCount(), 2u);
    EXPECT_EQ(list.At(list.Begin()).word, "kept");
}

TEST_F(WordFileTest, LargeFilesAndLongTokensSurviveSaveAndLoad) {
    WordList list = SomeWords(30000);
    list.Append({30001, std::string(700000, 'x'), "a b", "", "\xb0\xa1"});
    std::string message;
    ASSERT_TRUE(SaveWordFile(list, file_.string(), message)) << message;
    EXPECT_EQ(ReadBytes(file_), FormatWordFile(list));
    WordList loaded;
    ASSERT_TRUE(LoadWordFile(loaded, file_.string()));
    EXPECT_EQ(FormatWordFile(loaded), FormatWordFile(list));
    EXPECT_EQ(FolderNames(dir_), std::vector<std::string>{"WL.txt"});
}

TEST_F(WordFileTest, SaveRewritesLfOnlyFilesWithCrLfAndKeepsTheMode) {
    WriteBytes(file_, "1 apple /ap/ n. fruit\n2 book /bk/ n. pages");
    fs::permissions(file_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    WordList list;
    ASSERT_TRUE(LoadWordFile(list, file_.string()));
    std::string message;
    ASSERT_TRUE(SaveWordFile(list, file_.string(), message)) << message;
    EXPECT_EQ(ReadBytes(file_), "1 apple /ap/ n. fruit\r\n2 book /bk/ n. pages\r\n");
    EXPECT_EQ(ModeOf(file_), 0640u);
}

// Each way a save can fail leaves the old file byte for byte as it was.
TEST_F(WordFileTest, FailedSavesLeaveTheOldFileAlone) {
    const std::string old = "1 old /o/ n. content\r\n";
    struct Case {
        const char* name;
        bool fileExists;
        mode_t fileMode;
        mode_t folderMode;
        bool unprivileged;
        rlim_t sizeLimit;
        const char* messageStart;
    };
    const Case cases[] = {
        {"read-only file", true, 0444, 0777, false, RLIM_INFINITY, "Open file '"},
        {"read-only file, read-only folder", true, 0444, 0555, true, RLIM_INFINITY, "Open file '"},
        {"read-only folder, no file", false, 0, 0555, true, RLIM_INFINITY, "Open file '"},
        {"file system full", true, 0666, 0777, false, 4096, "Write file '"},
        {"file system full at once", true, 0666, 0777, false, 0, "Write file '"},
    };
    const WordList words = SomeWords(2000);
    for (const Case& c : cases) {
        const fs::path folder = dir_ / c.name;
        const fs::path file = folder / "WL.txt";
        fs::create_directory(folder);
        if (c.fileExists) {
            WriteBytes(file, old);
            ::chmod(file.c_str(), c.fileMode);
        }
        ::chmod(folder.c_str(), c.folderMode);
        const SaveResult result = SaveInChild(words, file.string(), c.unprivileged, c.sizeLimit);
        EXPECT_FALSE(result.saved) << c.name;
        const std::string verb = c.messageStart;
        EXPECT_EQ(result.message, verb + file.string() + "' failed!") << c.name;
        ::chmod(folder.c_str(), 0777);
        if (c.fileExists) {
            EXPECT_EQ(ReadBytes(file), old) << c.name;
            EXPECT_EQ(ModeOf(file), c.fileMode) << c.name;
            EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"WL.txt"}) << c.name;
        } else {
            EXPECT_TRUE(FolderNames(folder).empty()) << c.name;
        }
    }
}

TEST_F(WordFileTest, MissingFolderIsReportedAndNotCreated) {
    const fs::path file = dir_ / "missing" / "WL.txt";
    std::string message;
    EXPECT_FALSE(SaveWordFile(SomeWords(3), file.string(), message));
    EXPECT_EQ(message, "Open file '" + file.string() + "' failed!");
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_F(WordFileTest, WritableFileInReadOnlyFolderIsSavedInPlace) {
    const fs::path folder = dir_ / "locked";
    fs::create_directory(folder);
    WriteBytes(folder / "WL.txt", "1 old /o/ n. content\r\n");
    ::chmod((folder / "WL.txt").c_str(), 0666);
    ::chmod(folder.c_str(), 0555);
    const WordList words = SomeWords(3);
    const SaveResult result = SaveInChild(words, (folder / "WL.txt").string(), true);
    EXPECT_TRUE(result.saved) << result.message;
    EXPECT_EQ(ReadBytes(folder / "WL.txt"), FormatWordFile(words));
}

} // namespace
