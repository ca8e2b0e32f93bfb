// Exports against real files: targets that are the list or its keeping, targets that are no
// ordinary file, and exports that fail half way.
#include <gtest/gtest.h>

#include <filesystem>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include "exchange/Exporters.h"
#include "tests/support/FileBytes.h"
#include "words/WordList.h"

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

class ExportTargetTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vocamint-export-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        fs::permissions(dir_, fs::perms::all);
        words_.Append({1, "apple", "", "n.", "fruit"});
        words_.Append({2, "pear", "", "n.", "fruit"});
    }
    void TearDown() override {
        std::error_code error;
        fs::permissions(dir_, fs::perms::all, error);
        fs::remove_all(dir_, error);
    }
    bool Export(const fs::path& target, std::string& message) {
        return ExportWords(words_, target.string(), ExchangeFormat::Tsv, message, {},
                           dir_.string());
    }
    fs::path dir_;
    WordList words_;
};

TEST_F(ExportTargetTest, TheListItsSettingsAndBackupsAreRefusedHoweverNamed) {
    const std::string list = "1 apple \\e n. fruit\r\n";
    WriteBytes(dir_ / "WL.txt", list);
    WriteBytes(dir_ / "env.ini", "[Setting]\r\nIndex=0\r\n");
    fs::create_directory(dir_ / "backups");
    WriteBytes(dir_ / "backups" / "WL-20240101-120000-000.txt", list);
    fs::create_symlink("WL.txt", dir_ / "l.csv");
    fs::create_hard_link(dir_ / "WL.txt", dir_ / "hard.tsv");
    fs::create_symlink("env.ini", dir_ / "settings.csv");
    fs::create_symlink("backups/WL-20240101-120000-000.txt", dir_ / "old.csv");
    fs::create_symlink(dir_, dir_ / "again");
    struct Case {
        const char* target;
        const char* original; // the file whose bytes must stay
    };
    const Case cases[] = {
        {"WL.txt", "WL.txt"},
        {"l.csv", "WL.txt"},
        {"hard.tsv", "WL.txt"},
        {"again/WL.txt", "WL.txt"},
        {"env.ini", "env.ini"},
        {"settings.csv", "env.ini"},
        {"backups/WL-20240101-120000-000.txt", "backups/WL-20240101-120000-000.txt"},
        {"old.csv", "backups/WL-20240101-120000-000.txt"},
    };
    for (const Case& c : cases) {
        const std::string before = ReadBytes(dir_ / c.original);
        std::string message;
        EXPECT_FALSE(Export(dir_ / c.target, message)) << c.target;
        EXPECT_NE(message.find("word list, its settings"), std::string::npos) << message;
        EXPECT_EQ(ReadBytes(dir_ / c.original), before) << c.target;
    }
    EXPECT_TRUE(fs::is_symlink(dir_ / "l.csv"));
    // A copy of the list is an ordinary export target.
    fs::copy_file(dir_ / "WL.txt", dir_ / "copy.txt");
    std::string message;
    EXPECT_TRUE(Export(dir_ / "copy.txt", message)) << message;
    EXPECT_EQ(ReadBytes(dir_ / "copy.txt").rfind("#separator:tab", 0), 0u);
}

TEST_F(ExportTargetTest, TargetsThatAreNoOrdinaryFileAreLeftAlone) {
    ASSERT_EQ(::mkfifo((dir_ / "fifo.csv").c_str(), 0666), 0);
    fs::create_directory(dir_ / "folder.csv");
    fs::create_symlink("fifo.csv", dir_ / "link.csv");
    std::vector<std::string> targets{"fifo.csv", "folder.csv", "link.csv"};
    if (::geteuid() == 0) {
        // The same device as /dev/full, made here so that a failure harms nothing outside.
        ASSERT_EQ(::mknod((dir_ / "n.csv").c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
        targets.push_back("n.csv");
    }
    for (const std::string& target : targets) {
        struct stat before {};
        ASSERT_EQ(::stat((dir_ / target).c_str(), &before), 0);
        std::string message;
        EXPECT_FALSE(Export(dir_ / target, message)) << target;
        EXPECT_NE(message.find("not an ordinary file"), std::string::npos) << message;
        struct stat after {};
        ASSERT_EQ(::stat((dir_ / target).c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino) << target;
        EXPECT_EQ(after.st_mode, before.st_mode) << target;
    }
}

// Runs `body` in a child process as nobody (when root) with files limited to `maxBytes`, so a
// write beyond it fails as on a full disk; true when `body` returns true.
template <class Body> bool InChild(Body body, rlim_t maxBytes) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(3);
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{maxBytes, maxBytes};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::alarm(20);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(ExportTargetTest, AFailedExportLeavesTheOldFile) {
    for (int i = 0; i < 2000; ++i)
        words_.Append({i + 3, "word" + std::to_string(i), "", "n.", "a longer meaning"});
    const std::string old = "Word,Spell,Type,Meaning\r\nfig,,n.,fruit\r\n";
    struct Case {
        const char* name;
        fs::perms folder; // the folder's permissions while the export runs
        const char* said; // a part of the message
    };
    const Case cases[] = {
        {"disk full", fs::perms::all, "Write file '"},
        {"disk full in a folder that takes no new file",
         fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
             fs::perms::others_read | fs::perms::others_exec,
         "Its folder takes no new file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(dir_ / "out.csv", old);
        fs::permissions(dir_ / "out.csv", fs::perms::all);
        fs::permissions(dir_, c.folder);
        const fs::path target = dir_ / "out.csv";
        const std::string folder = dir_.string();
        EXPECT_TRUE(InChild(
            [&] {
                std::string message;
                return !ExportWords(words_, target.string(), ExchangeFormat::Csv, message, {},
                                    folder) &&
                       message.find("failed!") != std::string::npos &&
                       message.find(c.said) != std::string::npos;
            },
            4096));
        fs::permissions(dir_, fs::perms::all);
        EXPECT_EQ(ReadBytes(target), old);
    }
}

} // namespace
