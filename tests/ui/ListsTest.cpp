// The File menu's lists: what Escape kept and its recovery, and switching to other folders.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMenuBar>
#include <QtTest/QTest>
#include <filesystem>
#include <sys/stat.h>

#include "StudyWindowFixture.h"
#include "res/ResourceIds.h"
#include "settings/IniFile.h"
#include "tests/support/DialogDriver.h"
#include "ui/CVocabDlg.h"
#include "words/WordStore.h"

namespace {

namespace fs = std::filesystem;

void AddWord(QDialog* w, const char* word) {
    Perform(w, {{Step::Type, IDC_WORD, word},
                {Step::Type, IDC_MEAN, "fruit"},
                {Step::Type, IDC_TYPE, "n."},
                {Step::Click, IDC_ADD}});
}

std::string Lines(int count) {
    std::string text;
    for (int n = 1; n <= count; ++n)
        text += std::to_string(n) + " w" + std::to_string(n) + " s n. m\r\n";
    return text;
}

class ListsWindowTest : public StudyWindowTest {
protected:
    // Runs the window with Open List and New List answered by `folders`, one per use.
    INT_PTR RunChoosing(std::vector<std::string> folders,
                        const std::function<void(QDialog*)>& script) {
        CVocabDlg dlg;
        dlg.SetFolderChooser([folders, next = std::size_t{0}](bool, std::string& path) mutable {
            if (next >= folders.size())
                return false;
            path = folders[next++];
            return true;
        });
        return RunModal(dlg, script);
    }

    std::vector<std::string> KeptFolders() const {
        std::vector<std::string> names;
        if (!fs::is_directory(Path("backups")))
            return names;
        for (const auto& entry : fs::directory_iterator(Path("backups"))) {
            if (entry.path().filename().string().starts_with("discarded-"))
                names.push_back(entry.path().filename().string());
        }
        return names;
    }
};

TEST_F(ListsWindowTest, EscapeKeepsTheChangesAndRecoverBringsThemBackAsOneStep) {
    WriteWords(12);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\nGoto=4\r\n");
    const std::optional<std::string> list = ReadFile("WL.txt");
    bool greyedAtFirst = false;
    EXPECT_EQ(Run([&](QDialog* w) {
                  greyedAtFirst = !MenuItem(w, ID_FILE_RECOVER)->isEnabled();
                  AddWord(w, "pear");
                  QTest::keyClick(w, Qt::Key_Escape);
              }),
              IDCANCEL);
    EXPECT_TRUE(greyedAtFirst);
    EXPECT_EQ(ReadFile("WL.txt"), list);
    EXPECT_EQ(ReadFile("env.ini"), "[Setting]\r\nIndex=-9\r\nGoto=4\r\n");
    const std::vector<std::string> kept = KeptFolders();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(LoadEntries(("backups/" + kept[0] + "/added.txt").c_str()).at(0).word, "pear");

    // The next start tells once; Recover adds the word as one step that Ctrl+Z takes back.
    SeenMessageBox told;
    AnswerNextMessageBox(&told);
    QString undoText, labelAfterRecover, labelAfterUndo;
    bool offeredAgainAfterUndo = false, greyedAfterRecover = false;
    Run([&](QDialog* w) {
        QTRY_VERIFY_WITH_TIMEOUT(told.shown, 3000);
        ASSERT_TRUE(MenuItem(w, ID_FILE_RECOVER)->isEnabled());
        MenuItem(w, ID_FILE_RECOVER)->trigger();
        greyedAfterRecover = !MenuItem(w, ID_FILE_RECOVER)->isEnabled();
        labelAfterRecover = ViewPage(w).words.at(2);
        undoText = MenuItem(w, ID_EDIT_UNDO)->text();
        // Ctrl+Z on a row (in an edit field it undoes typing).
        // The window takes the keys again once the start's box is gone.
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
        QWidget* row = Control<QWidget>(w, kRows[0].check);
        row->setFocus();
        QTest::keyClick(row, Qt::Key_Z, Qt::ControlModifier);
        labelAfterUndo = ViewPage(w).words.at(2);
        offeredAgainAfterUndo = MenuItem(w, ID_FILE_RECOVER)->isEnabled();
        MenuItem(w, ID_FILE_RECOVER)->trigger();
        Perform(w, Step{Step::Click, IDOK});
    });
    EXPECT_EQ(told.caption, "Info");
    EXPECT_TRUE(told.text.startsWith("1 change left when Vocamint was closed with Escape is kept "
                                     "in backups/discarded-"))
        << told.text.toStdString();
    EXPECT_TRUE(told.text.endsWith("; File > Recover Last Discarded... brings it back."));
    EXPECT_TRUE(greyedAfterRecover);
    EXPECT_EQ(undoText, "&Undo Recover (1 change)");
    EXPECT_EQ(labelAfterRecover, "pear");
    EXPECT_EQ(labelAfterUndo, "");
    EXPECT_TRUE(offeredAgainAfterUndo);
    EXPECT_EQ(LoadEntries("WL.txt").size(), 13u);

    // Saved with the list, the kept changes are neither told of nor offered again.
    SeenMessageBox again;
    AnswerNextMessageBox(&again);
    bool offered = true;
    Run([&](QDialog* w) {
        QTest::qWait(200);
        offered = MenuItem(w, ID_FILE_RECOVER)->isEnabled();
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_FALSE(again.shown) << again.text.toStdString();
    EXPECT_FALSE(offered);
    EXPECT_EQ(KeptFolders().size(), 1u) << ::testing::PrintToString(KeptFolders());
}

TEST_F(ListsWindowTest, OpenListLeavesThisFolderAsExitDoesAndTheMenuSwitchesBack) {
    WriteWords(12);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\nGoto=\r\n");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Path("spanish"))));
    WriteFile("spanish/WL.txt", Lines(25));
    WriteFile("spanish/env.ini", "[Setting]\r\nIndex=11\r\nGoto=3\r\n");
    const std::string home = QDir::currentPath().toStdString();
    QString afterOpen, afterBack, firstItem, secondItem, aboutDetails;
    bool firstTicked = false, homeReleased = false;
    const INT_PTR code = RunChoosing({Path("spanish")}, [&](QDialog* w) {
        AddWord(w, "pear");
        MenuItem(w, ID_FILE_OPEN_LIST)->trigger();
        afterOpen = ViewPage(w).words.at(0) + " " + ViewPage(w).label;
        // The folder left is free for another copy.
        homeReleased = WordStore(home).Lock() == WordStore::LockState::Taken;
        firstItem = MenuItem(w, ID_FILE_RECENT_FIRST)->text();
        firstTicked = MenuItem(w, ID_FILE_RECENT_FIRST)->isChecked();
        secondItem = MenuItem(w, ID_FILE_RECENT_FIRST + 1)->text();
        ActOnNextDialog(QStringLiteral("关于 Vocamint"),
                        [&](QDialog* about) { aboutDetails = about->toolTip(); });
        MenuItem(w, ID_APP_ABOUT)->trigger();
        MenuItem(w, ID_FILE_RECENT_FIRST + 1)->trigger();
        afterBack = ViewPage(w).words.at(0);
        Perform(w, Step{Step::Click, IDOK});
    });
    EXPECT_EQ(code, IDOK);
    EXPECT_TRUE(homeReleased);
    EXPECT_EQ(afterOpen.section(' ', 0, 0), "w21");
    EXPECT_EQ(firstItem, "&1 spanish");
    EXPECT_TRUE(firstTicked);
    EXPECT_EQ(secondItem, "&2 " + QDir(QString::fromStdString(home)).dirName());
    EXPECT_TRUE(aboutDetails.contains("spanish")) << aboutDetails.toStdString();
    // Opened as start-up opens it: the addition's page was kept when the folder was left.
    EXPECT_EQ(afterBack, "w11");
    // Each folder was left as Exit leaves it: the list saved, the page kept.
    EXPECT_EQ(LoadEntries("WL.txt").size(), 13u);
    EXPECT_EQ(Settings(), "1|"); // the page of w11 shown, kept as Exit keeps it
    EXPECT_EQ(ReadFile("spanish/env.ini"), "[Setting]\r\nIndex=11\r\nGoto=3\r\n");
    EXPECT_EQ(ReadFile("spanish/WL.txt"), Lines(25));
    // The learner's own file keeps the lists, the last opened first.
    const IniFile user(UserSettingsPath());
    EXPECT_EQ(user.ReadString("Lists", "Recent1", "", 4096), home);
    EXPECT_EQ(user.ReadString("Lists", "Recent2", "", 4096), Path("spanish"));
}

TEST_F(ListsWindowTest, AFolderThatCannotBeOpenedLeavesTheListAsItWas) {
    WriteWords(12);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\nGoto=\r\n");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Path("held"))));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Path("fifo"))));
    ASSERT_EQ(::mkfifo(Path("fifo/WL.txt").c_str(), 0600), 0);
    WordStore holder(Path("held"));
    ASSERT_EQ(holder.Lock(), WordStore::LockState::Taken);
    SeenMessageBox held, unreadable, full;
    QString lastRow;
    RunChoosing({Path("held"), Path("fifo"), Path(".")}, [&](QDialog* w) {
        AddWord(w, "pear");
        AnswerNextMessageBox(&held);
        MenuItem(w, ID_FILE_OPEN_LIST)->trigger();
        AnswerNextMessageBox(&unreadable);
        MenuItem(w, ID_FILE_OPEN_LIST)->trigger();
        // New List in a folder with a list: it is never emptied.
        AnswerNextMessageBox(&full);
        MenuItem(w, ID_FILE_NEW_LIST)->trigger();
        lastRow = ViewPage(w).words.at(2);
        Perform(w, Step{Step::Click, IDOK});
    });
    EXPECT_TRUE(held.text.startsWith("Another Vocamint has this word list open."))
        << held.text.toStdString();
    EXPECT_TRUE(unreadable.text.contains("was not opened")) << unreadable.text.toStdString();
    EXPECT_TRUE(full.text.contains("holds a word list already")) << full.text.toStdString();
    EXPECT_EQ(lastRow, "pear");
    EXPECT_EQ(LoadEntries("WL.txt").size(), 13u);
}

// A list switched to is told of as start-up tells of it: a lock that cannot be used is named,
// and the Review menu does not go on showing the left list's counts.
TEST_F(ListsWindowTest, ASwitchTellsOfAnUnusableLockAndDropsTheOldCounts) {
    WriteWords(12);
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Path("odd"))));
    WriteFile("odd/WL.txt", Lines(25));
    const std::string lock = WordStore(Path("odd")).LockPath();
    fs::remove_all(lock);
    ASSERT_TRUE(fs::create_directories(lock));
    SeenMessageBox told;
    QString before, after;
    RunChoosing({Path("odd")}, [&](QDialog* w) {
        QTRY_VERIFY_WITH_TIMEOUT(MenuItem(w, ID_REVIEW_START)->text().contains("12 new"), 5000);
        before = MenuItem(w, ID_REVIEW_START)->text();
        AnswerNextMessageBox(&told);
        MenuItem(w, ID_FILE_OPEN_LIST)->trigger();
        after = MenuItem(w, ID_REVIEW_START)->text();
        Perform(w, Step{Step::Click, IDOK});
    });
    fs::remove_all(lock);
    EXPECT_TRUE(told.text.contains("could not use its lock file")) << told.text.toStdString();
    EXPECT_FALSE(after.contains("12 new")) << before.toStdString() << " -> " << after.toStdString();
}

TEST_F(ListsWindowTest, NewListStartsAnEmptyListInTheChosenFolder) {
    WriteWords(12);
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Path("new"))));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Path("config/vocamint"))));
    WriteFile("config/vocamint/vocamint.ini", "[Lists]\r\nRecent1=" + Path("gone") + "\r\n");
    PageView view;
    QString goneText;
    bool goneGreyed = false;
    RunChoosing({Path("new")}, [&](QDialog* w) {
        // A list whose folder is gone is named, greyed.
        goneText = MenuItem(w, ID_FILE_RECENT_FIRST + 1)->text();
        goneGreyed = !MenuItem(w, ID_FILE_RECENT_FIRST + 1)->isEnabled();
        MenuItem(w, ID_FILE_NEW_LIST)->trigger();
        view = ViewPage(w);
        AddWord(w, "first");
        Perform(w, Step{Step::Click, IDOK});
    });
    EXPECT_EQ(goneText, "&2 gone");
    EXPECT_TRUE(goneGreyed);
    EXPECT_EQ(view.words, QStringList(10, QString()));
    ASSERT_EQ(LoadEntries("new/WL.txt").size(), 1u);
    EXPECT_EQ(LoadEntries("new/WL.txt")[0].word, "first");
    EXPECT_EQ(LoadEntries("WL.txt").size(), 12u);
}

} // namespace
