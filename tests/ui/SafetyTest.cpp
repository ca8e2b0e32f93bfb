// What the window does so that no word is lost: unreadable and special files at start-up,
// text the locale cannot hold, a second copy in the folder, and an end asked by the session.
#include <QDialog>
#include <QDir>
#include <QLockFile>
#include <QMessageBox>
#include <QTest>
#include <clocale>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "StudyWindowFixture.h"
#include "res/ResourceIds.h"
#include "tests/support/DialogDriver.h"
#include "ui/CVocabDlg.h"
#include "words/WordStore.h"

namespace {

const char* const kList = "1 w1 s1 n. m1\r\n2 w2 s2 n. m2\r\n";

void Add(QDialog* w, const char* word, const char* mean = "fruit") {
    Perform(w, {{Step::Type, IDC_WORD, word},
                {Step::Type, IDC_MEAN, mean},
                {Step::Type, IDC_TYPE, "n."},
                {Step::Click, IDC_ADD}});
}

// A FIFO where a file should be hangs nothing: the window opens, says so, and keeps the FIFO.
TEST_F(StudyWindowTest, SpecialFilesDoNotHangTheStartUp) {
    ASSERT_EQ(::mkfifo(Path("WL.txt").c_str(), 0666), 0);
    ASSERT_EQ(::mkfifo(Path("env.ini").c_str(), 0666), 0);
    ::alarm(30); // on failure the open blocks for good
    SeenMessageBox seen;
    AnswerNextMessageBox(&seen);
    SeenMessageBox onExit;
    Run([&](QDialog* w) {
        Add(w, "pear");
        AnswerNextMessageBox(&onExit);
        Perform(w, Step{Step::Click, IDOK});
    });
    ::alarm(0);
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.text.toStdString(), "Open file '" + Path("WL.txt") + "' failed!");
    EXPECT_EQ(seen.caption, "Info");
    // The exit tells that WL.txt was left alone and where this run's list went.
    EXPECT_TRUE(onExit.text.contains("WL.conflict-")) << onExit.text.toStdString();
    struct stat info {};
    ASSERT_EQ(::stat(Path("WL.txt").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

// Under a code set that cannot hold the text, the add form refuses it instead of storing '?'.
TEST_F(StudyWindowTest, TextTheCodeSetCannotHoldIsRefused) {
    WriteFile("WL.txt", kList);
    std::setlocale(LC_ALL, "C");
    SeenMessageBox seen;
    Run([&](QDialog* w) {
        AnswerNextMessageBox(&seen);
        Add(w, "pear", "\xe6\xa2\xa8"); // a Chinese meaning
        Perform(w, Step{Step::Click, IDOK});
    });
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.caption, "Error");
    EXPECT_TRUE(seen.text.startsWith("Mean ")) << seen.text.toStdString();
    EXPECT_EQ(ReadFile("WL.txt"), std::optional<std::string>(kList));
}

// A second copy in the folder is told so, and the window still opens.
TEST_F(StudyWindowTest, SecondCopyIsToldAtStartUp) {
    WriteFile("WL.txt", kList);
    QLockFile other(QString::fromStdString(WordStore(Path(".")).LockPath()));
    ASSERT_TRUE(other.tryLock(0));
    SeenMessageBox seen;
    AnswerNextMessageBox(&seen);
    bool opened = false;
    Run([&](QDialog* w) {
        opened = w->isVisible();
        // The notice comes once the window is on screen.
        QTRY_VERIFY_WITH_TIMEOUT(seen.shown, 3000);
        Perform(w, Step{Step::Click, IDOK});
    });
    EXPECT_TRUE(opened);
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.caption, "Info");
    EXPECT_TRUE(seen.text.startsWith("Another Vocamint")) << seen.text.toStdString();
}

// The session's end saves like "&Exit", shows nothing, and ends the window even when the
// save is refused.
TEST_F(StudyWindowTest, EndingTheSessionSavesWithoutAsking) {
    WriteFile("WL.txt", kList);
    CVocabDlg dlg;
    RunModal(dlg, [&](QDialog* w) {
        Add(w, "pear");
        dlg.EndSession();
        EXPECT_FALSE(w->isVisible());
    });
    EXPECT_EQ(ReadFile("WL.txt"),
              std::optional<std::string>(std::string(kList) + "3 pear \\e n. fruit\r\n"));
    EXPECT_TRUE(ReadFile("env.ini").has_value());
}

// A refused save at the session's end still ends the program, with this run's list kept
// beside the untouched file.
TEST_F(StudyWindowTest, EndingTheSessionKeepsARefusedListBesideTheFile) {
    WriteFile("WL.txt", kList);
    ASSERT_EQ(::chmod(Path("WL.txt").c_str(), 0444), 0);
    CVocabDlg dlg;
    RunModal(dlg, [&](QDialog* w) {
        Add(w, "pear");
        dlg.EndSession();
        EXPECT_FALSE(w->isVisible());
    });
    EXPECT_EQ(ReadFile("WL.txt"), std::optional<std::string>(kList));
    std::vector<std::string> kept;
    for (const QString& name :
         QDir(QString::fromStdString(Path("."))).entryList({"WL.conflict-*.txt"}, QDir::Files))
        kept.push_back(name.toStdString());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(ReadFile(kept[0].c_str()),
              std::optional<std::string>(std::string(kList) + "3 pear \\e n. fruit\r\n"));
}

} // namespace

// Another machine's copy that a folder synchroniser drops beside the open list is merged within
// seconds, shown on the page and told once, without the learner saving.
TEST_F(StudyWindowTest, CopyFromAnotherMachineIsMergedWhileOpen) {
    WriteFile("WL.txt", kList);
    SeenMessageBox seen;
    PageView shown;
    Run([&](QDialog* w) {
        WriteFile("WL.sync-conflict-20261208-101500-ABCDEF1.txt",
                  std::string(kList) + "3 w3 s3 n. m3\r\n");
        // The folder is looked at every few seconds; a watcher gives up sooner, so keep one armed.
        for (int tries = 0; tries < 4 && !seen.shown; ++tries) {
            AnswerNextMessageBox(&seen);
            (void)QTest::qWaitFor([&] { return seen.shown; }, 4000);
        }
        ASSERT_TRUE(seen.shown);
        shown = ViewPage(w);
    });
    EXPECT_EQ(seen.caption, "Info");
    EXPECT_TRUE(seen.text.contains("1 word")) << seen.text.toStdString();
    EXPECT_EQ(shown, ExpectedPage(1, 3, shown.label));
    EXPECT_FALSE(ReadFile("WL.sync-conflict-20261208-101500-ABCDEF1.txt"));
    EXPECT_NE(ReadFile("WL.txt")->find("w3"), std::string::npos);
}
