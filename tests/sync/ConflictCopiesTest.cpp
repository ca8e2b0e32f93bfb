// Conflict copies found among a synchronised folder's files and merged back into the files.
#include <gtest/gtest.h>

#include <QLockFile>
#include <QSysInfo>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "settings/IniText.h"
#include "storage/LocalLock.h"
#include "sync/ConflictCopies.h"
#include "sync/SettingsMerge.h"
#include "tests/support/FileBytes.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kCopy = "WL.sync-conflict-20261208-101500-LAPTOP1.txt";
constexpr const char* kHistoryCopy = "reviews.sync-conflict-20261208-101500-LAPTOP1.tsv";
constexpr const char* kSettingsCopy = "env.sync-conflict-20261208-101500-LAPTOP1.ini";
constexpr timespec kNow = {1796724000, 0}; // 2026-12-08T10:00:00Z

TEST(ConflictCopies, TellsCopiesOfOurFilesFromEverythingElse) {
    const struct {
        const char* name;
        const char* file;
        bool copy;
    } cases[] = {
        {"WL.sync-conflict-20261208-101500-ABCDEF1.txt", "WL.txt", true},
        {"WL.sync-conflict-20261208-101500-ABCDEF1.sync-conflict-20261209-080000-XYZ1234.txt",
         "WL.txt", true},
        {"reviews.sync-conflict-20261208-101500-ABCDEF1.tsv", "reviews.tsv", true},
        {"env.sync-conflict-20261208-101500-ABCDEF1.ini", "env.ini", true},
        {"WL.sync-conflict-20261208-101500-ABCDEF1.txt", "env.ini", false},
        {"WL.txt", "WL.txt", false},
        {".syncthing.WL.txt.tmp", "WL.txt", false},
        {".syncthing.WL.sync-conflict-20261208-101500-ABCDEF1.txt.tmp", "WL.txt", false},
        {".stfolder", "WL.txt", false},
        {".WL.txt.tmp-0123456789ab", "WL.txt", false},
        {"WL.conflict-20261208-101500.txt", "WL.txt", false}, // our own, made for the learner
        {"WL-20261208-101500-123.txt", "WL.txt", false},      // a backup
        {"WL.sync-conflict-2026120-101500-ABCDEF1.txt", "WL.txt", false},
        {"WL.sync-conflict-20261208-101500-.txt", "WL.txt", false},
        {"WL.sync-conflict-20261208-101500-AB/CD.txt", "WL.txt", false},
        {"WL.sync-conflict-20261208-101500-ABCDEF1.txt.bak", "WL.txt", false},
        {"XWL.sync-conflict-20261208-101500-ABCDEF1.txt", "WL.txt", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsConflictCopyOf(c.name, c.file), c.copy) << c.name << " of " << c.file;
}

class FolderTest : public testing::Test {
protected:
    void SetUp() override {
        m_dir = testing::TempDir() + "/sync-" +
                testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_folder = Folder::Open(m_dir.string());
    }
    void TearDown() override { fs::remove_all(m_dir); }
    void Put(const std::string& name, const std::string& bytes) { WriteBytes(m_dir / name, bytes); }
    std::string Get(const std::string& name) const { return ReadBytes(m_dir / name); }
    bool Has(const std::string& name) const { return fs::exists(m_dir / name); }

    fs::path m_dir;
    Folder m_folder;
};

TEST_F(FolderTest, MergesEveryFileAndMovesTheCopiesIntoBackups) {
    Put("WL.txt", "1 apple \\e n. fruit\r\n2 book \\e n. read\r\n");
    Put(kCopy, "1 apple \\e n. fruit\r\n2 cat \\e n. pet\r\n3 dog \\e n. pet\r\n");
    Put("reviews.tsv", "2026-12-08T09:00:00.000Z\tapple\t3\n");
    Put(kHistoryCopy, "2026-12-08T08:00:00.000Z\tcat\t1\n2026-12-08T09:00:00.000Z\tapple\t3\n"
                      "2026-12-08T11:00:00.000Z\tdog\t4\n");
    Put("env.ini", "[Setting]\r\nIndex=11\r\nGoto=2\r\n");
    Put(kSettingsCopy, "[Setting]\r\nIndex=-9\r\nGoto=\r\n[View]\r\nZoom=125\r\n");
    Put(".syncthing.WL.txt.tmp", "half a file");
    fs::create_directory(m_dir / ".stfolder");
    EXPECT_TRUE(HasConflictCopies(m_folder));

    const CopyMergeReport report = MergeConflictCopies(m_folder, kNow);

    EXPECT_EQ(Get("WL.txt"), "1 apple \\e n. fruit\r\n2 book \\e n. read\r\n3 cat \\e n. pet\r\n"
                             "4 dog \\e n. pet\r\n");
    EXPECT_EQ(Get("reviews.tsv"),
              "2026-12-08T08:00:00.000Z\tcat\t1\n2026-12-08T09:00:00.000Z\tapple\t3\n"
              "2026-12-08T10:00:00.000Z\tdog\t4\t@2026-12-08T11:00:00.000Z\n");
    EXPECT_EQ(Get("env.ini"), "[Setting]\r\nIndex=11\r\nGoto=2\r\n[View]\r\nZoom=125\r\n");
    for (const char* copy : {kCopy, kHistoryCopy, kSettingsCopy}) {
        EXPECT_FALSE(Has(copy)) << copy;
        EXPECT_TRUE(Has(std::string("backups/") + copy)) << copy;
    }
    EXPECT_EQ(Get(".syncthing.WL.txt.tmp"), "half a file");
    EXPECT_FALSE(HasConflictCopies(m_folder));
    EXPECT_EQ(report.Message(),
              "Merged 2 words, 2 reviews and 1 setting from 3 copies made on another machine.\n"
              "1 review was stamped later than this machine's clock; they count from now.");

    // Nothing left: a second look merges nothing and says nothing.
    EXPECT_EQ(MergeConflictCopies(m_folder, kNow).Message(), "");
}

TEST_F(FolderTest, ABackupBothDescendFromLetsADeletionThrough) {
    const std::string base = "1 apple \\e n. x\r\n2 book \\e n. x\r\n3 cat \\e n. x\r\n";
    // Ours deleted book; theirs added dog.
    const std::string ours = "1 apple \\e n. x\r\n2 cat \\e n. x\r\n";
    const std::string theirs = base + "4 dog \\e n. x\r\n";
    for (const bool withBackup : {false, true}) {
        fs::remove_all(m_dir / "backups");
        Put("WL.txt", ours);
        Put(kCopy, theirs);
        if (withBackup) {
            fs::create_directory(m_dir / "backups");
            Put("backups/WL-20261208-090000-000.txt", base);
            // Made after theirs added a word ours never had: not the common version.
            Put("backups/WL-20261208-093000-000.txt",
                base + "4 dog \\e n. x\r\n5 egg \\e n. x\r\n");
        }
        MergeConflictCopies(m_folder, kNow);
        EXPECT_EQ(Get("WL.txt"), withBackup ? "1 apple \\e n. x\r\n2 cat \\e n. x\r\n"
                                              "3 dog \\e n. x\r\n"
                                            : "1 apple \\e n. x\r\n2 cat \\e n. x\r\n"
                                              "3 book \\e n. x\r\n4 dog \\e n. x\r\n")
            << (withBackup ? "with" : "without") << " a backup";
    }
}

TEST_F(FolderTest, BothVersionsOfAnEntryEditedTwiceAreKeptAndSaid) {
    Put("WL.txt", "1 apple \\e n. mine\r\n");
    Put(kCopy, "1 apple \\e n. theirs\r\n");
    const CopyMergeReport report = MergeConflictCopies(m_folder, kNow);
    EXPECT_EQ(Get("WL.txt"), "1 apple \\e n. mine\r\n2 apple \\e n. theirs\r\n");
    EXPECT_EQ(report.Message(), "Merged 1 word and 0 reviews from a copy made on another machine.\n"
                                "Edited differently on both machines, both versions kept: apple.\n"
                                "The copy with the other versions is kept as 'backups/" +
                                    std::string(kCopy) + "'.");
    EXPECT_EQ(Get(std::string("backups/") + kCopy), "1 apple \\e n. theirs\r\n");
    // The version replaced by the merge is a backup like any save's.
    int backups = 0;
    for (const auto& item : fs::directory_iterator(m_dir / "backups"))
        backups += item.path().filename().string().starts_with("WL-") ? 1 : 0;
    EXPECT_EQ(backups, 1);
}

TEST_F(FolderTest, CopiesFromTwoMachinesAreMergedInTurn) {
    Put("WL.txt", "1 apple \\e n. x\r\n");
    Put("WL.sync-conflict-20261208-101500-LAPTOP1.txt", "1 apple \\e n. x\r\n2 book \\e n. x\r\n");
    Put("WL.sync-conflict-20261208-111500-DESKTOP.txt", "1 apple \\e n. x\r\n2 cat \\e n. x\r\n");
    const CopyMergeReport report = MergeConflictCopies(m_folder, kNow);
    EXPECT_EQ(Get("WL.txt"), "1 apple \\e n. x\r\n2 book \\e n. x\r\n3 cat \\e n. x\r\n");
    EXPECT_EQ(report.Message(),
              "Merged 2 words and 0 reviews from 2 copies made on 2 other machines.");
}

TEST_F(FolderTest, ACopyThatCannotBeReadIsKeptAndNamed) {
    Put("WL.txt", "1 apple \\e n. x\r\n");
    ASSERT_EQ(::mkfifo((m_dir / kCopy).c_str(), 0600), 0);
    fs::create_directory(m_dir / kHistoryCopy);
    const CopyMergeReport report = MergeConflictCopies(m_folder, kNow);
    EXPECT_EQ(Get("WL.txt"), "1 apple \\e n. x\r\n");
    EXPECT_TRUE(fs::is_fifo(m_dir / kCopy));
    EXPECT_TRUE(fs::is_directory(m_dir / kHistoryCopy));
    EXPECT_EQ(report.Message(), "Not merged, left as it is: '" + std::string(kCopy) +
                                    "' (it could not be read).\nNot merged, left as it is: '" +
                                    kHistoryCopy + "' (it could not be read).");
}

TEST_F(FolderTest, AWordFileThatCannotBeReadIsNotWrittenOver) {
    ASSERT_EQ(::mkfifo((m_dir / "WL.txt").c_str(), 0600), 0);
    Put(kCopy, "1 apple \\e n. x\r\n");
    const CopyMergeReport report = MergeConflictCopies(m_folder, kNow);
    EXPECT_TRUE(fs::is_fifo(m_dir / "WL.txt"));
    EXPECT_EQ(Get(kCopy), "1 apple \\e n. x\r\n");
    EXPECT_EQ(report.notMerged, std::vector<std::string>{"'" + std::string(kCopy) +
                                                         "' ('WL.txt' could not be read)"});
}

TEST(SettingsMerge, KeepsThisMachinesPlaceAndTheNewerOfTheRest) {
    const struct {
        const char* name;
        std::string ours, theirs;
        bool theirsNewer;
        std::string merged;
        std::size_t taken;
    } cases[] = {
        {"the place stays ours even from a newer file", "[Setting]\nIndex=11\nGoto=2\n",
         "[setting]\nINDEX=-9\ngoto=7\n", true, "[Setting]\nIndex=11\nGoto=2\n", 0},
        {"a newer value is taken", "; mine\n[View]\nZoom=100\n", "[View]\nZoom=150\nTheme=dark\n",
         true, "; mine\n[View]\nZoom=150\nTheme=dark\n", 2},
        {"an older value only fills what is missing", "[View]\nZoom=100\n",
         "[View]\nZoom=150\nTheme=dark\n", false, "[View]\nZoom=100\nTheme=dark\n", 1},
        {"a missing place comes from theirs", "", "[Setting]\nIndex=1\n", false, "", 0},
    };
    for (const auto& c : cases) {
        const SettingsMerge result = MergeSettings(c.ours, c.theirs, c.theirsNewer);
        EXPECT_EQ(result.merged, c.merged) << c.name;
        EXPECT_EQ(result.taken, c.taken) << c.name;
    }
}

TEST(IniText, ListsTheKeysOfItsSections) {
    const IniText text("top=1\n[A]\nx=1\n; c\ny = 2\n[b]\nx=3\nx=4\n");
    EXPECT_EQ(text.Keys(), (std::vector<std::pair<std::string, std::string>>{
                               {"A", "x"}, {"A", "y"}, {"b", "x"}, {"b", "x"}}));
}

// A lock file that came from another machine with the folder: Qt never takes it over, since it
// cannot ask that machine whether its process still runs. Hence the lock lives outside the folder.
TEST_F(FolderTest, ALockFromAnotherHostIsNeverTakenOver) {
    const struct {
        std::string host;
        bool taken;
    } cases[] = {{"laptop-elsewhere", false}, {QSysInfo::machineHostName().toStdString(), true}};
    for (const auto& c : cases) {
        // A process id that runs nowhere here.
        Put(".WL.txt.lock", "2147480000\nvocamint\n" + c.host + "\n");
        QLockFile lock(QString::fromStdString((m_dir / ".WL.txt.lock").string()));
        lock.setStaleLockTime(0);
        EXPECT_EQ(lock.tryLock(0), c.taken) << c.host;
    }
}

TEST_F(FolderTest, TheLocalLockIsOutsideTheFolderAndOnePerFolder) {
    const std::string lock = LocalLockPath(m_folder, "WL.txt");
    ASSERT_FALSE(lock.empty());
    EXPECT_FALSE(lock.starts_with(fs::canonical(m_dir).string()));
    EXPECT_TRUE(lock.ends_with("WL.txt.lock"));
    fs::create_directory(m_dir / "other");
    fs::create_directory_symlink(m_dir, m_dir / "link");
    EXPECT_EQ(LocalLockPath(Folder::Open((m_dir / "link").string()), "WL.txt"), lock);
    EXPECT_NE(LocalLockPath(Folder::Open((m_dir / "other").string()), "WL.txt"), lock);
    // Two sessions on one folder: the second is refused while the first holds it.
    QLockFile first(QString::fromStdString(lock));
    QLockFile second(QString::fromStdString(lock));
    EXPECT_TRUE(first.tryLock(0));
    EXPECT_FALSE(second.tryLock(0));
}

} // namespace
