#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>

#include "study/StudySession.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ListEntries.h"
#include "words/WordStore.h"

namespace {

namespace fs = std::filesystem;

const char* const kIni = "[Setting]\r\nIndex=1\r\nGoto=2\r\n";

class SessionListsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "vocamint-lists-XXXXXX").string();
        ASSERT_NE(::mkdtemp(name.data()), nullptr);
        m_dir = name;
        fs::create_directory(m_dir / "a");
        fs::create_directory(m_dir / "b");
        WriteBytes(m_dir / "a" / "WL.txt", Lines(1, 5));
        WriteBytes(m_dir / "a" / "env.ini", kIni);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::unique_ptr<StudySession> Start(const char* folder = "a") {
        auto session = std::make_unique<StudySession>(
            std::make_unique<WordStore>((m_dir / folder).string()), (m_dir / "user.ini").string());
        EXPECT_EQ(session->Open(), "");
        session->ReadSettings();
        EXPECT_TRUE(session->TakeLock());
        return session;
    }

    // An addition, an edit and a deletion.
    static void Change(StudySession& session) {
        session.Add({6, "x", "", "n.", "new"});
        session.Edit(1, {0, "y", "", "v.", "edited"});
        session.Delete(3);
    }

    fs::path m_dir;
};

TEST_F(SessionListsTest, RecoverIsOneStepAndIsNotOfferedOnceSaved) {
    std::vector<WordEntry> changed;
    {
        auto session = Start();
        Change(*session);
        changed = ListEntries(session->words());
        ASSERT_NE(session->KeepDiscarded(), "");
    }
    auto session = Start();
    const std::vector<WordEntry> loaded = ListEntries(session->words());
    EXPECT_EQ(session->DiscardedNotice().rfind("3 changes left when Vocamint was closed with "
                                               "Escape are kept in backups/discarded-",
                                               0),
              0u);
    ASSERT_TRUE(session->CanRecoverDiscarded());
    std::string message;
    EXPECT_TRUE(session->RecoverDiscarded(message).listChanged);
    EXPECT_EQ(message, "");
    EXPECT_EQ(ListEntries(session->words()), changed);
    EXPECT_FALSE(session->CanRecoverDiscarded());
    session->Undo();
    EXPECT_EQ(ListEntries(session->words()), loaded);
    EXPECT_FALSE(session->history().CanUndo());
    // Undone, the changes are offered again; left unsaved they are offered next time too.
    EXPECT_TRUE(session->CanRecoverDiscarded());
    session->Redo();
    EXPECT_TRUE(session->Save().end);
    session.reset();
    EXPECT_EQ(ReadBytes(m_dir / "a" / "WL.txt"),
              "1 w1 s n. m\r\n2 y \\e v. edited\r\n3 w3 s n. m\r\n4 w5 s n. m\r\n"
              "5 x \\e n. new\r\n");
    auto after = Start();
    EXPECT_FALSE(after->CanRecoverDiscarded());
    EXPECT_EQ(after->RecoverDiscarded(message).listChanged, false);
}

TEST_F(SessionListsTest, NothingToKeepWritesNothing) {
    {
        auto session = Start();
        session->Add({6, "x", "", "n.", "new"});
        session->Undo();
        EXPECT_EQ(session->KeepDiscarded(), "");
    }
    {
        // An edit taken back by hand is no change either.
        auto session = Start();
        session->Edit(0, {0, "q", "s", "n.", "m"});
        session->Edit(0, {0, "w1", "s", "n.", "m"});
        EXPECT_EQ(session->KeepDiscarded(), "");
    }
    EXPECT_FALSE(fs::exists(m_dir / "a" / "backups"));
    EXPECT_FALSE(Start()->CanRecoverDiscarded());
}

// Another copy saved the list meanwhile: this run's entries it lacks are kept, and nothing
// of its version is counted as deleted.
TEST_F(SessionListsTest, AListChangedBehindTheRunKeepsOnlyWhatItLacks) {
    auto session = Start();
    Change(*session);
    WriteBytes(m_dir / "a" / "WL.txt", Lines(1, 2));
    bool failed = true;
    const std::string kept = session->KeepDiscarded(&failed);
    EXPECT_FALSE(failed);
    EXPECT_EQ(ReadBytes(m_dir / "a" / kept / "added.txt"),
              "2 y \\e v. edited\r\n3 w3 s n. m\r\n4 w5 s n. m\r\n5 x \\e n. new\r\n");
    EXPECT_FALSE(fs::exists(m_dir / "a" / kept / "deleted.txt"));
}

struct RefusalCase {
    const char* name;
    const char* folder;
    const char* expected; // a part of the reason
};

TEST_F(SessionListsTest, ARefusedSwitchLeavesEverythingAsItWas) {
    ASSERT_EQ(::mkfifo((m_dir / "b" / "WL.txt").c_str(), 0600), 0);
    fs::create_directory(m_dir / "c");
    WordStore holder((m_dir / "c").string());
    ASSERT_EQ(holder.Lock(), WordStore::LockState::Taken);
    const RefusalCase cases[] = {
        {"missing", "missing", "could not be opened"},
        {"unreadable_list", "b", "was not opened"},
        {"held_by_another_window", "c", "Another Vocamint has this word list open."},
        {"the_one_open", "a", "is the one open"},
    };
    auto session = Start();
    session->Add({6, "x", "", "n.", "new"});
    for (const RefusalCase& c : cases) {
        const std::string reason = session->PrepareSwitch((m_dir / c.folder).string());
        EXPECT_NE(reason.find(c.expected), std::string::npos) << c.name << ": " << reason;
        EXPECT_FALSE(session->FinishSwitch()) << c.name;
        EXPECT_EQ(session->words().GetCount(), 6u) << c.name;
        EXPECT_TRUE(session->IsModified()) << c.name;
    }
    // A switch prepared and called off releases the other folder.
    fs::remove(m_dir / "b" / "WL.txt");
    ASSERT_EQ(session->PrepareSwitch((m_dir / "b").string()), "");
    session->CancelSwitch();
    WordStore other((m_dir / "b").string());
    EXPECT_EQ(other.Lock(), WordStore::LockState::Taken);
    EXPECT_EQ(session->FolderPath(), (m_dir / "a").string());
}

} // namespace
