// Managing the list from the study window: the menu bar, editing, deleting, undo and redo, the
// row menu and the find window, driven as a learner drives them.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QTest>

#include "StudyWindowFixture.h"
#include "res/ResourceIds.h"
#include "tests/support/DialogDriver.h"
#include "ui/CFindDlg.h"

namespace {

using ::PrintTo;

// Puts the keyboard focus on a row's check box, as Tab would.
Step FocusRow(int row) {
    return Step{Step::Type, -row - 1};
}

void Act(QDialog* w, const Step& step) {
    if (step.kind == Step::Type && step.id < 0) {
        Control<QWidget>(w, kRows[-step.id - 1].check)->setFocus();
        return;
    }
    Perform(w, step);
}

// Fills the entry editor's fields (nullptr leaves one as it is) and presses OK.
void EditNext(const char* word, const char* spell, const char* type, const char* mean) {
    ActOnNextDialog("Edit Entry", [=](QDialog* d) {
        const std::pair<int, const char*> fields[] = {{IDC_ENTRY_WORD, word},
                                                      {IDC_ENTRY_SPELL, spell},
                                                      {IDC_ENTRY_TYPE, type},
                                                      {IDC_ENTRY_MEAN, mean}};
        for (const auto& [id, text] : fields) {
            if (text != nullptr)
                Control<QLineEdit>(d, id)->setText(QString::fromUtf8(text));
        }
        QTest::keyClick(Control<QWidget>(d, IDOK), Qt::Key_Return);
    });
}

// Types into the entry editor's focus control as it opens (whether or not the desktop has made
// the window active yet), with an Alt+letter that names no control in between, then presses
// Enter there.
void TypeIntoNextEditor(const char* before, Qt::Key altKey, const char* after) {
    ActOnNextDialog("Edit Entry", [=](QDialog* d) {
        QTest::keyClicks(d->focusWidget(), QString::fromUtf8(before));
        QTest::keyClick(d->focusWidget(), altKey, Qt::AltModifier);
        QTest::keyClicks(d->focusWidget(), QString::fromUtf8(after));
        QTest::keyClick(d->focusWidget(), Qt::Key_Return);
    });
}

struct EditCase {
    const char* name;
    std::function<void(QDialog*)> act;
    // Words of the saved list in order, numbers 1..n; nullptr: WL.txt left as it was.
    std::vector<const char*> words;
};

const Step kF2{Step::Key, Qt::Key_F2};
const Step kDelete{Step::Key, Qt::Key_Delete};
const Step kExit{Step::Click, IDOK};

void Keys(QDialog* w, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : w;
    QTest::keyClick(focus, key, modifiers);
}

class ManageListTest : public StudyWindowTest, public ::testing::WithParamInterface<EditCase> {};

const EditCase kCases[] = {
    {"f2_edits_the_focused_row",
     [](QDialog* w) {
         Act(w, FocusRow(1));
         EditNext("pear", "/pe/", nullptr, nullptr);
         Act(w, kF2);
     },
     {"w1", "pear", "w3", "w4", "w5", "w6", "w7", "w8", "w9", "w10", "w11", "w12"}},
    {"f2_typing_replaces_the_whole_word",
     [](QDialog* w) {
         Act(w, FocusRow(2));
         TypeIntoNextEditor("pe", Qt::Key_Q, "ar");
         Act(w, kF2);
     },
     {"w1", "w2", "pear", "w4", "w5", "w6", "w7", "w8", "w9", "w10", "w11", "w12"}},
    {"f2_alt_x_types_nothing_into_the_word",
     [](QDialog* w) {
         Act(w, FocusRow(0));
         TypeIntoNextEditor("fig", Qt::Key_X, "");
         Act(w, kF2);
     },
     {"fig", "w2", "w3", "w4", "w5", "w6", "w7", "w8", "w9", "w10", "w11", "w12"}},
    {"delete_renumbers_the_rest",
     [](QDialog* w) {
         Act(w, FocusRow(0));
         Act(w, kDelete);
     },
     {"w2", "w3", "w4", "w5", "w6", "w7", "w8", "w9", "w10", "w11", "w12"}},
    // Delete acts on a row the learner points at, never on one a page button stands for.
    {"delete_with_the_focus_on_a_page_button_deletes_nothing",
     [](QDialog* w) {
         Act(w, Step{Step::Click, IDC_NEXT_PAGE});
         Act(w, Step{Step::Click, IDC_FIRST_PAGE}); // the focus stays on "|<"
         Act(w, kDelete);
     },
     {}},
    {"delete_with_the_focus_in_the_add_form_deletes_nothing",
     [](QDialog* w) {
         Control<QWidget>(w, IDC_WORD)->setFocus();
         Act(w, kDelete);
     },
     {}},
    {"undo_of_a_delete_writes_nothing",
     [](QDialog* w) {
         Act(w, FocusRow(3));
         Act(w, kDelete);
         Keys(w, Qt::Key_Z, Qt::ControlModifier);
     },
     {}},
    {"undo_of_an_add_writes_nothing",
     [](QDialog* w) {
         Act(w, Step{Step::Type, IDC_WORD, "zebra"});
         Act(w, Step{Step::Type, IDC_MEAN, "animal"});
         Act(w, Step{Step::Type, IDC_TYPE, "n."});
         Act(w, Step{Step::Click, IDC_ADD});
         Act(w, FocusRow(0));
         Keys(w, Qt::Key_Z, Qt::ControlModifier);
     },
     {}},
    {"redo_with_ctrl_y_and_ctrl_shift_z",
     [](QDialog* w) {
         Act(w, FocusRow(0));
         Act(w, kDelete);
         Act(w, FocusRow(0));
         Act(w, kDelete);
         Keys(w, Qt::Key_Z, Qt::ControlModifier);
         Keys(w, Qt::Key_Z, Qt::ControlModifier);
         Keys(w, Qt::Key_Y, Qt::ControlModifier);
         Keys(w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
     },
     {"w3", "w4", "w5", "w6", "w7", "w8", "w9", "w10", "w11", "w12"}},
    {"delete_in_an_edit_deletes_text_only",
     [](QDialog* w) {
         Act(w, Step{Step::Type, IDC_WORD, "ab"});
         Keys(w, Qt::Key_Home);
         Keys(w, Qt::Key_Delete);
     },
     {}},
    {"double_click_edits_that_row",
     [](QDialog* w) {
         EditNext(nullptr, nullptr, "v.", "changed");
         QTest::mouseDClick(Control<QWidget>(w, kRows[4].meanLabel), Qt::LeftButton);
     },
     {"w1", "w2", "w3", "w4", "w5", "w6", "w7", "w8", "w9", "w10", "w11", "w12"}},
    {"row_menu_deletes_the_row_under_the_mouse",
     [](QDialog* w) {
         QWidget* label = Control<QWidget>(w, kRows[2].wordLabel);
         ChooseFromNextPopupMenu("Delete");
         QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                                 label->mapToGlobal(QPoint(2, 2)));
         QApplication::sendEvent(label, &event);
     },
     {"w1", "w2", "w4", "w5", "w6", "w7", "w8", "w9", "w10", "w11", "w12"}},
};

TEST_P(ManageListTest, SavedList) {
    const EditCase& c = GetParam();
    // LF line ends: a file Vocamint rewrites gets CR LF, so an unwritten file shows itself.
    std::string original;
    for (int n = 1; n <= 12; ++n)
        original += std::to_string(n) + " w" + std::to_string(n) + " s n. m\n";
    WriteFile("WL.txt", original);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    Run([&](QDialog* w) {
        c.act(w);
        Act(w, kExit);
    });
    if (c.words.empty()) {
        EXPECT_EQ(ReadFile("WL.txt"), original);
        return;
    }
    const std::vector<WordEntry> saved = LoadEntries("WL.txt");
    ASSERT_EQ(saved.size(), c.words.size());
    for (std::size_t i = 0; i < saved.size(); ++i) {
        EXPECT_EQ(saved[i].word, c.words[i]) << i;
        EXPECT_EQ(saved[i].number, static_cast<int>(i) + 1) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(List, ManageListTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

class ManageWindowTest : public StudyWindowTest {};

TEST_F(ManageWindowTest, EditorRefusesAsTheAddFormDoesAndKeepsTheRowsRevealedState) {
    WriteWords(12);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    SeenMessageBox missing, duplicate;
    std::string before, after;
    std::vector<WordEntry> kept;
    Run([&](QDialog* w) {
        Act(w, Step{Step::Click, IDC_HIDE_WORD});
        Act(w, Step{Step::Click, kRows[1].wordToggle});
        before = RowStates(w, true);
        ActOnNextDialog("Edit Entry", [&](QDialog* d) {
            AnswerNextMessageBox(&missing);
            Control<QLineEdit>(d, IDC_ENTRY_WORD)->setText("  ");
            QTest::keyClick(Control<QWidget>(d, IDOK), Qt::Key_Return);
            AnswerNextMessageBox(&duplicate);
            Control<QLineEdit>(d, IDC_ENTRY_WORD)->setText("w5");
            QTest::keyClick(Control<QWidget>(d, IDOK), Qt::Key_Return);
            Control<QLineEdit>(d, IDC_ENTRY_WORD)->setText(" w2b ");
            QTest::keyClick(Control<QWidget>(d, IDOK), Qt::Key_Return);
        });
        Act(w, FocusRow(1));
        Act(w, kF2);
        after = RowStates(w, true);
        Act(w, kExit);
    });
    EXPECT_EQ(missing.text, "Please Input Word!");
    EXPECT_EQ(missing.caption, "Error");
    EXPECT_EQ(duplicate.text, "Word 'w5' already existed!");
    EXPECT_EQ(before, "-+--------");
    EXPECT_EQ(after, before);
    kept = LoadEntries("WL.txt");
    ASSERT_EQ(kept.size(), 12u);
    EXPECT_EQ(kept[1].word, "w2b");
}

TEST_F(ManageWindowTest, MenuBarAboveTheClientAreaLeavesTheAltKeysToTheControls) {
    WriteWords(12);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    QStringList titles, undoTexts;
    bool hideWordTicked = false;
    int barBottom = -1, firstControlTop = -1;
    Run([&](QDialog* w) {
        auto* bar = w->findChild<QMenuBar*>();
        ASSERT_NE(bar, nullptr);
        for (QAction* menu : bar->actions())
            titles << menu->text();
        barBottom = bar->geometry().bottom();
        firstControlTop = Control<QWidget>(w, IDC_FIRST_PAGE)->geometry().top();
        Act(w, FocusRow(0));
        Keys(w, Qt::Key_W, Qt::AltModifier);
        hideWordTicked = Control<QCheckBox>(w, IDC_HIDE_WORD)->isChecked();
        Act(w, FocusRow(2));
        Act(w, kDelete);
        for (QAction* action : bar->actions().at(1)->menu()->actions())
            undoTexts << action->text();
    });
    EXPECT_EQ(titles, (QStringList{"&File", "E&dit", "&View", "&Review", "&Help"}));
    EXPECT_TRUE(hideWordTicked);
    EXPECT_LT(barBottom, firstControlTop);
    ASSERT_FALSE(undoTexts.isEmpty());
    EXPECT_EQ(undoTexts.first(), "&Undo Delete 'w3'");
}

TEST_F(ManageWindowTest, FindShowsThePageOfTheChosenEntryAndF3StepsThroughMatches) {
    WriteWords(35);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    QString count, labelAfterEnter, labelAfterF3;
    bool focusOnRow = false;
    Run([&](QDialog* w) {
        Keys(w, Qt::Key_F, Qt::ControlModifier);
        QDialog* find = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->isVisible() && top->windowTitle() == "Find")
                find = qobject_cast<QDialog*>(top);
        }
        ASSERT_NE(find, nullptr);
        EXPECT_FALSE(find->isModal());
        auto* text = Control<QLineEdit>(find, IDC_FIND_TEXT);
        text->setFocus();
        QTest::keyClicks(text, "W2");
        auto* results = Control<QListWidget>(find, IDC_FIND_RESULTS);
        QTRY_COMPARE(results->count(), 11); // w2, w20..w29
        count = Control<QLabel>(find, IDC_FIND_COUNT)->text();
        results->setCurrentRow(3); // w22
        QTest::keyClick(results, Qt::Key_Return);
        labelAfterEnter = Control<QLabel>(w, IDC_PAGE)->text();
        focusOnRow = w->focusWidget() == Control<QWidget>(w, kRows[1].check);
        w->activateWindow();
        QTRY_VERIFY(w->isActiveWindow());
        for (int i = 0; i < 3; ++i)
            Keys(w, Qt::Key_F3, Qt::ShiftModifier);
        labelAfterF3 = Control<QLabel>(w, IDC_PAGE)->text();
        find->close();
    });
    EXPECT_EQ(count, "11 matches");
    EXPECT_EQ(labelAfterEnter.trimmed(), "Page: 3  /4");
    EXPECT_TRUE(focusOnRow);
    EXPECT_EQ(labelAfterF3.trimmed(), "Page: 1  /4"); // back from w22 past w21, w20 to w2
}

TEST(FindCount, SaysMatchesUpToMillionsAndHowManyAreListed) {
    struct Case {
        std::optional<std::size_t> matches;
        bool searching;
        const char* text;
    };
    const Case cases[] = {
        {std::nullopt, false, ""},
        {0, false, "0 matches"},
        {1, false, "1 match"},
        {12, true, "12 matches so far"},
        {10000, false, "10000 matches"},
        {13439, false, "13439 matches, 10000 listed"},
        {1234567, true, "1234567 matches, 10000 listed so far"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CFindDlg::CountText(c.matches, c.searching), c.text);
}

// The find window stands beside the study window, not over its page, and its count has room
// for the longest it says.
TEST_F(ManageWindowTest, FindOpensBesideTheWindowWithRoomForTheCount) {
    WriteWords(35);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    QRect study, find;
    int countWidth = 0, needed = 0;
    Run([&](QDialog* w) {
        Keys(w, Qt::Key_F, Qt::ControlModifier);
        QDialog* window = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->isVisible() && top->windowTitle() == "Find")
                window = qobject_cast<QDialog*>(top);
        }
        ASSERT_NE(window, nullptr);
        study = w->frameGeometry();
        find = window->frameGeometry();
        auto* count = Control<QLabel>(window, IDC_FIND_COUNT);
        countWidth = count->width();
        needed = QFontMetrics(count->font())
                     .horizontalAdvance(QString::fromStdString(CFindDlg::CountText(1234567, true)));
        window->close();
    });
    EXPECT_FALSE(find.intersects(study));
    EXPECT_EQ(find.top(), study.top());
    EXPECT_LE(needed, countWidth);
}

} // namespace

namespace {

// Edit, delete, undo, redo, Exit; a second start shows what the first saved and, left with
// Exit, writes the same bytes again.
// An edit in the study window carries the word's review history to its new text once saved;
// an edit left with Escape leaves the history as it was.
TEST_F(ManageWindowTest, EditedWordKeepsItsReviewHistory) {
    const std::string graded = "2026-12-01T10:00:00.000Z\tw1\t3\t1500\tw2m\n";
    for (const bool save : {true, false}) {
        WriteWords(3);
        WriteFile("reviews.tsv", graded);
        Run([&](QDialog* w) {
            Act(w, FocusRow(0));
            EditNext("alpha", nullptr, nullptr, nullptr);
            Act(w, kF2);
            if (save)
                Act(w, kExit);
        });
        const std::string history = ReadFile("reviews.tsv").value_or("");
        EXPECT_EQ(history.find("\tw1\trename\talpha\n") != std::string::npos, save) << history;
        EXPECT_EQ(history.rfind(graded, 0), 0u);
    }
}

TEST_F(ManageWindowTest, ChangesSurviveARestart) {
    WriteWords(12);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    Run([&](QDialog* w) {
        Act(w, FocusRow(0));
        EditNext("alpha", "/al/", "adj.", "first");
        Act(w, kF2);
        w->activateWindow(); // as the window manager does when the editor closes
        QTRY_VERIFY(w->isActiveWindow());
        Act(w, FocusRow(2));
        Act(w, kDelete);
        Keys(w, Qt::Key_Z, Qt::ControlModifier);
        Keys(w, Qt::Key_Y, Qt::ControlModifier);
        Act(w, kExit);
    });
    const std::optional<std::string> saved = ReadFile("WL.txt");
    ASSERT_TRUE(saved.has_value());
    PageView view;
    Run([&](QDialog* w) {
        view = ViewPage(w);
        Act(w, kExit);
    });
    ASSERT_EQ(view.words.size(), 10);
    EXPECT_EQ(view.words[0], "alpha");
    EXPECT_EQ(view.words[2], "w4");
    EXPECT_EQ(view.label.trimmed(), "Page: 1  /2");
    EXPECT_EQ(ReadFile("WL.txt"), saved);
    const std::vector<WordEntry> entries = LoadEntries("WL.txt");
    ASSERT_EQ(entries.size(), 11u);
    EXPECT_EQ(entries[0].spell, "/al/");
    EXPECT_EQ(entries[0].type, "adj.");
    EXPECT_EQ(entries[10].number, 11);
}

} // namespace

namespace {

TEST_F(ManageWindowTest, F1ShowsEveryKeyOfTheWindow) {
    WriteWords(3);
    QString keys;
    Run([&](QDialog* w) {
        ActOnNextDialog("Keyboard", [&](QDialog* d) {
            for (QLabel* label : d->findChildren<QLabel*>())
                keys += label->text() + "\n";
            QTest::keyClick(d, Qt::Key_Return);
        });
        Keys(w, Qt::Key_F1);
    });
    for (const char* key : {"Right", "Home", "Alt+W", "Alt+A", "Escape", "F2", "Delete", "Ctrl+Z",
                            "Ctrl+Y", "Ctrl+F", "Shift+F3", "F1"})
        EXPECT_TRUE(keys.contains(key)) << key;
}

} // namespace
