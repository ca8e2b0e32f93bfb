#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        // The unprivileged child of the folder tests must be able to reach the folder.
        ::chmod(Dir().c_str(), 0755);
    }

    std::string Dir() const { return m_dir.path().toStdString(); }
    std::string PathOf(const std::string& name) const { return Dir() + "/" + name; }

    static void Put(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Get(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static bool Exists(const std::string& path) {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0;
    }
    static mode_t ModeOf(const std::string& path) {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
    }

    // Runs `work` as a user without special rights: root passes every permission check, so
    // a forked child drops to nobody first.
    static bool AsUnprivileged(const std::function<bool()>& work) {
        if (::geteuid() != 0)
            return work();
        const pid_t pid = ::fork();
        if (pid == 0) {
            const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
            ::_exit(dropped && work() ? 0 : 1);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    QTemporaryDir m_dir;
};

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
    const std::string path = PathOf("env.ini");
    IniFile missing(path);
    EXPECT_EQ(missing.ReadInt("Setting", "Index", 0), 0);
    EXPECT_EQ(missing.ReadInt("Setting", "Index", -4), -4);
    EXPECT_EQ(missing.ReadString("Setting", "Goto", ""), "");
    EXPECT_EQ(missing.ReadString("Setting", "Goto", "dflt"), "dflt");

    Put(path, "[Other]\r\nIndex=5\r\nGoto=x\r\n[Setting]\r\nKey=1\r\n");
    IniFile file(path);
    EXPECT_EQ(file.ReadInt("Setting", "Index", 7), 7);
    EXPECT_EQ(file.ReadString("Setting", "Goto", "d"), "d");
    EXPECT_EQ(file.ReadInt("Nowhere", "Key", 8), 8);
    EXPECT_EQ(file.ReadInt("Setting", "Key", 8), 1);
}

TEST_F(IniFileTest, ReadIntReadsLikeAtoiAndSaturates) {
    const struct {
        const char* stored;
        std::int32_t expected;
    } cases[] = {
        {"-9", -9},
        {"21", 21},
        {"+5", 5},
        {"", 0},
        {"abc", 0},
        {"12x", 12},
        {"-", 0},
        {"- 3", 0},
        {"0012", 12},
        {"\" \t 42\"", 42},
        {"\"\v-7\"", -7},
        {"1 2", 1},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-2147483649", -2147483647 - 1},
        {"99999999999999999999999999", 2147483647},
        {"-99999999999999999999999999", -2147483647 - 1},
    };
    const std::string path = PathOf("env.ini");
    for (const auto& c : cases) {
        Put(path, std::string("[Setting]\r\nIndex=") + c.stored + "\r\n");
        EXPECT_EQ(IniFile(path).ReadInt("Setting", "Index", 99), c.expected) << c.stored;
    }
}

TEST_F(IniFileTest, ReadStringCutsToMaxBytes) {
    const std::string path = PathOf("env.ini");
    const struct {
        std::size_t length;
        std::size_t maxBytes;
        std::size_t expected;
    } cases[] = {{0, 259, 0},      {258, 259, 258}, {259, 259, 259}, {260, 259, 259},
                 {5000, 259, 259}, {10, 3, 3},      {10, 0, 0}};
    for (const auto& c : cases) {
        const std::string value(c.length, 'g');
        Put(path, "[Setting]\nGoto=" + value + "\n");
        EXPECT_EQ(IniFile(path).ReadString("Setting", "Goto", "", c.maxBytes),
                  value.substr(0, c.expected))
            << c.length << " / " << c.maxBytes;
    }
    EXPECT_EQ(IniFile(PathOf("none.ini")).ReadString("S", "k", "abcdef", 3), "abc");
}

TEST_F(IniFileTest, WriteCreatesTheFileWithCrLf) {
    const std::string path = PathOf("env.ini");
    IniFile file(path);
    ASSERT_TRUE(file.WriteString("Setting", "Index", "-9"));
    ASSERT_TRUE(file.WriteString("Setting", "Goto", ""));
    EXPECT_EQ(Get(path), "[Setting]\r\nIndex=-9\r\nGoto=\r\n");
    EXPECT_EQ(file.ReadInt("Setting", "Index", 0), -9);
    EXPECT_EQ(file.ReadString("Setting", "Goto", "x"), "");

    ASSERT_TRUE(file.WriteString("Setting", "Index", "11"));
    ASSERT_TRUE(file.WriteString("Setting", "Goto", "3"));
    EXPECT_EQ(Get(path), "[Setting]\r\nIndex=11\r\nGoto=3\r\n");
}

TEST_F(IniFileTest, WriteLeavesTheRestOfTheFileAlone) {
    const std::string path = PathOf("env.ini");
    Put(path, "; kept\n[Window]\r\nLeft=10\r\n\r\n[setting]\nindex = 4\n; last\n\n[Z]\nz=1");
    IniFile file(path);
    ASSERT_TRUE(file.WriteString("Setting", "Index", "21"));
    ASSERT_TRUE(file.WriteString("Setting", "Goto", "  5 "));
    EXPECT_EQ(Get(path), "; kept\n[Window]\r\nLeft=10\r\n\r\n[setting]\nindex = 21\nGoto=\"  5 \"\n"
                         "; last\n\n[Z]\nz=1");
    EXPECT_EQ(file.ReadString("Setting", "Goto", ""), "  5 ");
}

TEST_F(IniFileTest, WriteKeepsThePermissionsAndLeavesNoTemporaryFile) {
    const std::string path = PathOf("env.ini");
    Put(path, "[Setting]\nIndex=1\n");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(IniFile(path).WriteString("Setting", "Index", "2"));
    EXPECT_EQ(ModeOf(path), 0640u);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"env.ini"});
}

TEST_F(IniFileTest, FailedWriteReturnsFalseAndChangesNothing) {
    const std::string before = "[Setting]\r\nIndex=1\r\n";

    const std::string readOnly = PathOf("ro.ini");
    Put(readOnly, before);
    ::chmod(readOnly.c_str(), 0444);
    EXPECT_FALSE(IniFile(readOnly).WriteString("Setting", "Index", "2"));
    EXPECT_EQ(Get(readOnly), before);

    const std::string inMissingFolder = PathOf("missing/env.ini");
    EXPECT_FALSE(IniFile(inMissingFolder).WriteString("Setting", "Index", "2"));
    EXPECT_FALSE(Exists(PathOf("missing")));

    const std::string folder = PathOf("dir.ini");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    EXPECT_FALSE(IniFile(folder).WriteString("Setting", "Index", "2"));

    EXPECT_FALSE(IniFile(PathOf("bad.ini")).WriteString("a]b", "Index", "2"));
    EXPECT_FALSE(Exists(PathOf("bad.ini")));
}

TEST_F(IniFileTest, LockedFolderRefusesANewFileButRewritesAWritableOne) {
    const std::string locked = PathOf("locked");
    ASSERT_EQ(::mkdir(locked.c_str(), 0755), 0);
    const std::string existing = locked + "/env.ini";
    Put(existing, "[Setting]\nIndex=1\n");
    ::chmod(existing.c_str(), 0666);
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);

    const std::string fresh = locked + "/new.ini";
    EXPECT_FALSE(
        AsUnprivileged([&] { return IniFile(fresh).WriteString("Setting", "Index", "2"); }));
    EXPECT_FALSE(Exists(fresh));

    EXPECT_TRUE(
        AsUnprivileged([&] { return IniFile(existing).WriteString("Setting", "Index", "2"); }));
    EXPECT_EQ(Get(existing), "[Setting]\nIndex=2\n");

    ::chmod(existing.c_str(), 0644);
    EXPECT_FALSE(
        AsUnprivileged([&] { return IniFile(existing).WriteString("Setting", "Index", "3"); }));
    EXPECT_EQ(Get(existing), "[Setting]\nIndex=2\n");
    ::chmod(locked.c_str(), 0755);
}

} // namespace
