// Every way of leaving the window, and what each writes.
#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest/QTest>
#include <chrono>
#include <fstream>
#include <sys/stat.h>

#include "StudyWindowFixture.h"
#include "res/ResourceIds.h"
#include "tests/support/DialogDriver.h"
#include "ui/CVocabDlg.h"

namespace {

using ::PrintTo;

const char* const kIni = "[Setting]\r\nIndex=-9\r\nGoto=7\r\n";
const char* const kIniAfterNext = "[Setting]\r\nIndex=1\r\nGoto=7\r\n";

void AddPear(QDialog* w) {
    Perform(w, {{Step::Type, IDC_WORD, "pear"},
                {Step::Type, IDC_MEAN, "fruit"},
                {Step::Type, IDC_TYPE, "n."},
                {Step::Click, IDC_ADD}});
}

std::vector<WordEntry> Twelve() {
    std::vector<WordEntry> entries;
    for (int n = 1; n <= 12; ++n)
        entries.push_back({n, "w" + std::to_string(n), "s", "n.", "m"});
    return entries;
}

enum Route { Exit, EnterInEdit, Escape, Close };

void Leave(QDialog* w, Route route) {
    switch (route) {
    case Exit:
        Perform(w, Step{Step::Click, IDOK});
        break;
    case EnterInEdit:
        Control<QLineEdit>(w, IDC_MEAN)->setFocus();
        QTest::keyClick(Control<QLineEdit>(w, IDC_MEAN), Qt::Key_Return);
        break;
    case Escape:
        QTest::keyClick(w, Qt::Key_Escape);
        break;
    case Close:
        w->close();
        break;
    }
}

struct CloseCase {
    const char* name;
    bool wordFile; // WL.txt exists at start-up
    bool add;
    Route route;
    const char* settings; // "Index|Goto" written; nullptr: env.ini untouched
    bool wordsWritten;
    INT_PTR code;
};

const CloseCase kCloseCases[] = {
    {"no_add_exit", true, false, Exit, "1|7", false, IDOK},
    // The refused start-up move keeps the stored start, -9, which is stored less ten.
    {"no_add_no_file_exit", false, false, Exit, "-19|7", false, IDOK},
    {"added_exit", true, true, Exit, "1|7", true, IDOK},
    {"added_enter_in_edit", true, true, EnterInEdit, "1|7", true, IDOK},
    {"added_escape", true, true, Escape, nullptr, false, IDCANCEL},
    {"added_close", true, true, Close, "1|7", true, IDOK},
    {"added_no_file_close", false, true, Close, "-9|7", true, IDOK},
    {"no_add_escape", true, false, Escape, nullptr, false, IDCANCEL},
};

class CloseTest : public StudyWindowTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseTest, WritesWhatTheRouteWrites) {
    const CloseCase& c = GetParam();
    std::string words;
    for (int n = 1; n <= 12; ++n)
        words += std::to_string(n) + " w" + std::to_string(n) + " s n. m\r\n";
    if (c.wordFile)
        WriteFile("WL.txt", words);
    WriteFile("env.ini", kIni);
    bool leftOpen = false;
    const INT_PTR code = Run(
        [&](QDialog* w) {
            Perform(w, Step{Step::Click, IDC_NEXT_PAGE});
            if (c.add)
                AddPear(w);
            Leave(w, c.route);
        },
        &leftOpen);
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(code, c.code);
    // An addition moves to the last page, which starts at 11 here as after ">>".
    if (c.settings) {
        EXPECT_EQ(Settings(), c.settings);
    } else {
        EXPECT_EQ(ReadFile("env.ini"), kIni);
    }
    if (c.wordsWritten) {
        std::vector<WordEntry> expected = c.wordFile ? Twelve() : std::vector<WordEntry>{};
        expected.push_back(
            {static_cast<std::int32_t>(expected.size() + 1), "pear", "", "n.", "fruit"});
        EXPECT_EQ(LoadEntries("WL.txt"), expected);
        EXPECT_LE(QFileInfo("env.ini").lastModified(), QFileInfo("WL.txt").lastModified());
    } else {
        EXPECT_EQ(ReadFile("WL.txt"),
                  c.wordFile ? std::optional<std::string>(words) : std::nullopt);
    }
}

INSTANTIATE_TEST_SUITE_P(Routes, CloseTest, ::testing::ValuesIn(kCloseCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A save that runs longer than the note's delay says how far it has come in a note over the
// window, which keeps other windows from input while it shows and is gone before the exit's
// message; a quicker save shows none. The delay is cut to nothing here to stand for a slow save.
struct SaveNoteCase {
    const char* name;
    int delayMs;
    bool changedBehind; // another program appended to WL.txt meanwhile: the exit tells of a merge
    bool noteSeen;
};

const SaveNoteCase kSaveNoteCases[] = {
    {"slow_save_shows_the_note", 0, false, true},
    {"slow_merge_shows_the_note_then_the_message", 0, true, true},
    {"quick_save_shows_none", 3600 * 1000, true, false},
};

class SaveNoteTest : public StudyWindowTest, public ::testing::WithParamInterface<SaveNoteCase> {};

QWidget* VisibleNote() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == "progressNote" && widget->isVisible())
            return widget;
    return nullptr;
}

TEST_P(SaveNoteTest, ShowsHowFarASlowSaveHasCome) {
    const SaveNoteCase& c = GetParam();
    WriteWords(12);
    WriteFile("env.ini", kIni);
    QStringList texts;        // what the note said while it showed
    bool modal = true;        // the note held every other window's input while it showed
    bool withMessage = false; // the note and a message box showed at once
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* note = VisibleNote();
        withMessage = withMessage || (note && QApplication::activeModalWidget() != note);
        if (note == nullptr)
            return;
        modal = modal && QApplication::activeModalWidget() == note;
        texts << note->findChild<QLabel*>("progressText")->text();
    });
    SeenMessageBox message;
    CVocabDlg dlg;
    dlg.SetSaveNoteDelay(std::chrono::milliseconds(c.delayMs));
    bool leftOpen = false;
    RunModal(
        dlg,
        [&](QDialog* w) {
            AddPear(w);
            if (c.changedBehind) {
                std::ofstream("WL.txt", std::ios::app) << "13 theirs s n. m\r\n";
                AnswerNextMessageBox(&message);
            }
            watch.start();
            Perform(w, Step{Step::Click, IDOK});
        },
        &leftOpen);
    watch.stop();
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(!texts.isEmpty(), c.noteSeen);
    const QRegularExpression said("^Saving WL.txt: (merging the changed file|writing the list)"
                                  "\\.\\.\\. [0-9]{1,2}%$");
    for (const QString& text : texts)
        EXPECT_TRUE(said.match(text).hasMatch()) << text.toStdString();
    EXPECT_TRUE(modal);
    EXPECT_FALSE(withMessage);
    EXPECT_EQ(VisibleNote(), nullptr);
    EXPECT_EQ(message.shown, c.changedBehind);
    if (c.changedBehind) {
        EXPECT_TRUE(message.text.contains("was changed by another program"))
            << message.text.toStdString();
    }
    std::vector<WordEntry> entries = LoadEntries("WL.txt");
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back().word, "pear");
}

INSTANTIATE_TEST_SUITE_P(Delays, SaveNoteTest, ::testing::ValuesIn(kSaveNoteCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A word file that cannot be replaced: each exit attempt writes the settings, shows the
// failure and keeps the window open with the new words; once writable, the exit saves them.
struct ReadOnlyCase {
    const char* name;
    Route route;
};

const ReadOnlyCase kReadOnlyCases[] = {{"exit", Exit}, {"close", Close}};

class ReadOnlyTest : public StudyWindowTest, public ::testing::WithParamInterface<ReadOnlyCase> {};

TEST_P(ReadOnlyTest, StaysOpenUntilSaved) {
    WriteWords(12);
    WriteFile("env.ini", kIni);
    ASSERT_EQ(::chmod(Path("WL.txt").c_str(), 0444), 0);
    SeenMessageBox first, second;
    bool openAfterFirst = false, openAfterSecond = false, iniRewritten = false;
    bool leftOpen = false;
    Run(
        [&](QDialog* w) {
            AddPear(w);
            AnswerNextMessageBox(&first);
            Leave(w, GetParam().route);
            openAfterFirst = w->isVisible();
            ::remove("env.ini");
            AnswerNextMessageBox(&second);
            Leave(w, GetParam().route);
            openAfterSecond = w->isVisible();
            iniRewritten = ReadFile("env.ini").has_value();
            ::chmod(Path("WL.txt").c_str(), 0644);
            Leave(w, Exit);
        },
        &leftOpen);
    EXPECT_FALSE(leftOpen);
    for (const SeenMessageBox* seen : {&first, &second}) {
        EXPECT_TRUE(seen->shown);
        EXPECT_TRUE(seen->text.contains("WL.txt")) << seen->text.toStdString();
        EXPECT_EQ(seen->caption, "Info");
        EXPECT_EQ(seen->icon, QMessageBox::NoIcon);
    }
    EXPECT_TRUE(openAfterFirst);
    EXPECT_TRUE(openAfterSecond);
    EXPECT_TRUE(iniRewritten);
    std::vector<WordEntry> expected = LoadEntries("WL.txt");
    ASSERT_EQ(expected.size(), 13u);
    EXPECT_EQ(expected.back(), (WordEntry{13, "pear", "", "n.", "fruit"}));
}

INSTANTIATE_TEST_SUITE_P(Routes, ReadOnlyTest, ::testing::ValuesIn(kReadOnlyCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Enter goes to the default button "&Exit" unless a push button has the focus.
struct EnterCase {
    const char* name;
    int focusId;
    const char* typed; // into the focused edit first
    bool closes;
};

const EnterCase kEnterCases[] = {
    {"in_word_edit", IDC_WORD, "neu", true},
    {"in_jump_field", IDC_GOTO, "2", true},
    {"on_add_button", IDC_ADD, "", false},
};

class EnterTest : public StudyWindowTest, public ::testing::WithParamInterface<EnterCase> {};

TEST_P(EnterTest, GoesToDefaultButtonUnlessOnAPushButton) {
    const EnterCase& c = GetParam();
    WriteWords(12);
    WriteFile("env.ini", kIni);
    const std::string words = ReadFile("WL.txt").value_or("");
    SeenMessageBox seen;
    bool leftOpen = false;
    Run(
        [&](QDialog* w) {
            if (c.focusId == IDC_ADD) {
                AddPear(w); // the click leaves the focus on "&Add"
                AnswerNextMessageBox(&seen);
            } else {
                Perform(w, Step{Step::Type, c.focusId, c.typed});
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        },
        &leftOpen);
    EXPECT_EQ(leftOpen, !c.closes);
    if (c.closes) {
        EXPECT_EQ(Settings(), "-9|7"); // not jumped, the typed text not stored
        EXPECT_EQ(ReadFile("WL.txt"), words);
    } else {
        EXPECT_TRUE(seen.shown);
        EXPECT_EQ(seen.text, "Word 'pear' already existed!");
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, EnterTest, ::testing::ValuesIn(kEnterCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Text typed into the jump field and left at once is not what is stored: the field's text
// as of the last exchange is.
TEST_F(StudyWindowTest, TypedJumpTextThenExitStoresOldText) {
    WriteWords(12);
    WriteFile("env.ini", kIni);
    Run([&](QDialog* w) {
        Perform(w, Step{Step::Type, IDC_GOTO, "5"});
        Perform(w, Step{Step::Click, IDOK});
    });
    EXPECT_EQ(Settings(), "-9|7");
}

} // namespace
