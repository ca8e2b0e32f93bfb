// Keys the focused control does not use, tab order and mnemonics.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

#include "framework/VirtualKey.h"
#include "res/ResourceIds.h"
#include "tests/framework/RecordingDialog.h"
#include "tests/support/DialogDriver.h"

namespace {

QWidget* Focused() {
    return QApplication::focusWidget();
}

int FocusedId() {
    QWidget* w = Focused();
    return w ? w->objectName().toInt() : 0;
}

TEST(VirtualKey, MapsToolkitKeysToKeyCodes) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        UINT code;
    };
    const Case cases[] = {
        {Qt::Key_Home, Qt::NoModifier, VK_HOME},
        {Qt::Key_End, Qt::NoModifier, VK_END},
        {Qt::Key_Left, Qt::NoModifier, VK_LEFT},
        {Qt::Key_Right, Qt::NoModifier, VK_RIGHT},
        {Qt::Key_Up, Qt::NoModifier, VK_UP},
        {Qt::Key_Down, Qt::NoModifier, VK_DOWN},
        {Qt::Key_PageUp, Qt::NoModifier, VK_PRIOR},
        {Qt::Key_PageDown, Qt::NoModifier, VK_NEXT},
        {Qt::Key_Home, Qt::KeypadModifier, VK_HOME}, // keypad Home with Num Lock off
        {Qt::Key_A, Qt::NoModifier, 'A'},
        {Qt::Key_Z, Qt::ShiftModifier, 'Z'},
        {Qt::Key_7, Qt::NoModifier, '7'},
        {Qt::Key_7, Qt::KeypadModifier, 0x67},    // VK_NUMPAD7
        {Qt::Key_Plus, Qt::KeypadModifier, 0x6B}, // VK_ADD
        {Qt::Key_Exclam, Qt::ShiftModifier, '1'}, // the key under the symbol
        {Qt::Key_Comma, Qt::NoModifier, 0xBC},    // VK_OEM_COMMA
        {Qt::Key_F1, Qt::NoModifier, VK_F1},
        {Qt::Key_F12, Qt::NoModifier, VK_F1 + 11},
        {Qt::Key_Menu, Qt::NoModifier, VK_APPS},
        {Qt::Key_Shift, Qt::ShiftModifier, VK_SHIFT},
        {Qt::Key_Backtab, Qt::ShiftModifier, VK_TAB},
        {Qt::Key_Enter, Qt::KeypadModifier, VK_RETURN},
        {Qt::Key_unknown, Qt::NoModifier, 0},
        {Qt::Key_Eacute, Qt::NoModifier, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VirtualKeyFromQt(c.key, c.modifiers), c.code) << "key " << Qt::hex << c.key;
}

TEST(VirtualKey, KeyMessageFlagsCarryRepeatAndTransitionBits) {
    EXPECT_EQ(KeyMessageLParam(WM_KEYDOWN, false), 1);
    EXPECT_EQ(KeyMessageLParam(WM_KEYDOWN, true), 0x40000001);
    EXPECT_EQ(KeyMessageLParam(WM_KEYUP, false), 0xC0000001);
}

struct KeyCase {
    int focusId;
    Qt::Key key;
    QStringList log;
};

TEST(DialogKeyboard, KeysUnusedByButtonsAndCheckBoxesReachTheDialog) {
    const KeyCase cases[] = {
        {IDC_ADD, Qt::Key_Home, {"keydown 36 1 0", "keyup 36 1 49152"}},
        {IDC_NEXT_PAGE, Qt::Key_End, {"keydown 35 1 0", "keyup 35 1 49152"}},
        {IDOK, Qt::Key_Left, {"keydown 37 1 0", "keyup 37 1 49152"}},
        {IDC_WORD_TOGGLE_0, Qt::Key_Right, {"keydown 39 1 0", "keyup 39 1 49152"}},
        {IDC_HIDE_WORD, Qt::Key_Up, {"keydown 38 1 0", "keyup 38 1 49152"}},
        {IDC_ROW_CHECK_2, Qt::Key_Down, {"keydown 40 1 0", "keyup 40 1 49152"}},
        {IDC_ADD, Qt::Key_X, {"keydown 88 1 0", "keyup 88 1 49152"}},
        // An edit keeps its cursor keys and its typing; what it ignores goes on.
        {IDC_WORD, Qt::Key_Home, {}},
        {IDC_WORD, Qt::Key_Left, {}},
        {IDC_GOTO, Qt::Key_End, {}},
        {IDC_GOTO, Qt::Key_X, {}},
        {IDC_GOTO, Qt::Key_PageDown, {"keydown 34 1 0", "keyup 34 1 49152"}},
        // Space is the buttons' own key: a click.
        {IDC_ADD, Qt::Key_Space, {"click 1016"}},
        {IDC_HIDE_WORD, Qt::Key_Space, {"click 1017"}},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.focusId << " key " << Qt::hex << c.key);
        RecordingDialog dlg(IDD_MAIN);
        RunModal(dlg, [&](QDialog* w) {
            Control<QWidget>(w, c.focusId)->setFocus();
            QTest::keyClick(Focused(), c.key);
        });
        EXPECT_EQ(dlg.log, c.log);
    }
}

TEST(DialogKeyboard, AutoRepeatedKeyDownsCarryThePreviousStateBit) {
    RecordingDialog dlg(IDD_MAIN);
    RunModal(dlg, [&](QDialog* w) {
        Control<QWidget>(w, IDC_ADD)->setFocus();
        QKeyEvent first(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        QKeyEvent repeated(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), true);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
        QApplication::sendEvent(Focused(), &first);
        QApplication::sendEvent(Focused(), &repeated);
        QApplication::sendEvent(Focused(), &release);
    });
    const QStringList expected{"keydown 39 1 0", "keydown 39 1 16384", "keyup 39 1 49152"};
    EXPECT_EQ(dlg.log, expected);
}

TEST(DialogKeyboard, TabFollowsTemplateOrderAndSkipsHiddenAndLabelControls) {
    struct Case {
        int startId;
        Qt::Key key;
        std::vector<int> visited;
    };
    const Case cases[] = {
        {IDOK,
         Qt::Key_Tab,
         {IDC_FIRST_PAGE, IDC_PREV_PAGE, IDC_NEXT_PAGE, IDC_LAST_PAGE, IDC_HIDE_WORD, IDC_HIDE_MEAN,
          IDC_ROW_CHECK_0}},
        {IDC_MEAN_TOGGLE_9, Qt::Key_Tab, {IDC_WORD, IDC_MEAN, IDC_ADD, IDC_GOTO}},
        // The hidden Spell edit is skipped, and the chain wraps to the first control.
        {IDC_GOTO, Qt::Key_Tab, {IDC_GOTO_BUTTON, IDC_TYPE, IDOK}},
        {IDC_TYPE, Qt::Key_Backtab, {IDC_GOTO_BUTTON, IDC_GOTO, IDC_ADD}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.startId);
        RecordingDialog dlg(IDD_MAIN);
        std::vector<int> visited;
        RunModal(dlg, [&](QDialog* w) {
            Control<QWidget>(w, c.startId)->setFocus();
            for (std::size_t i = 0; i < c.visited.size(); ++i) {
                QTest::keyClick(Focused(), c.key,
                                c.key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
                visited.push_back(FocusedId());
            }
        });
        EXPECT_EQ(visited, c.visited);
        // Only the Shift of Shift+Tab, which a focused button does not use, reaches the dialog.
        const QStringList log = dlg.log.filter(QRegularExpression("^key\\w+ (?!16 )"));
        EXPECT_EQ(log, QStringList{});
    }
}

TEST(DialogKeyboard, FirstTabStopHasTheFocusAfterStartUp) {
    RecordingDialog dlg(IDD_MAIN);
    int focused = 0;
    RunModal(dlg, [&](QDialog*) { focused = FocusedId(); });
    EXPECT_EQ(focused, IDOK);
}

TEST(DialogKeyboard, AltMnemonicsClickButtonsToggleCheckBoxesAndLabelsFocusTheirField) {
    struct Case {
        int startId;
        Qt::Key key;
        QStringList log;
        int focusId;      // where the focus is afterwards
        int hideWordTick; // the Hide Word box afterwards
    };
    const Case cases[] = {
        {IDC_WORD, Qt::Key_A, {"click 1016"}, IDC_WORD, 0},     // "&Add"
        {IDC_ADD, Qt::Key_W, {"click 1017"}, IDC_HIDE_WORD, 1}, // " Hide &Word "
        {IDC_ADD, Qt::Key_O, {}, IDC_WORD, 0},                  // "W&ord" label
        {IDOK, Qt::Key_T, {}, IDC_TYPE, 0},                     // "&Type" label
        {IDOK, Qt::Key_M, {"click 1018"}, IDC_HIDE_MEAN, 0},    // " Hide &Mean " first
        // "&Exit" and "M&ean" share E: the letter moves the focus between them, clicks nothing.
        {IDOK, Qt::Key_E, {}, IDC_MEAN, 0},
        {IDC_MEAN, Qt::Key_E, {}, IDOK, 0},
        {IDC_GOTO, Qt::Key_E, {}, IDOK, 0},
        {IDC_ADD, Qt::Key_S, {}, IDC_ADD, 0}, // "&Spell" is hidden
        {IDC_ADD, Qt::Key_Q, {}, IDC_ADD, 0}, // nothing has it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "Alt+" << char(c.key));
        RecordingDialog dlg(IDD_MAIN);
        int focusId = 0;
        int tick = -1;
        RunModal(dlg, [&](QDialog* w) {
            Control<QWidget>(w, c.startId)->setFocus();
            QTest::keyClick(Focused(), c.key, Qt::AltModifier);
            focusId = FocusedId();
            tick = Control<QCheckBox>(w, IDC_HIDE_WORD)->isChecked() ? 1 : 0;
        });
        EXPECT_EQ(dlg.log, c.log);
        EXPECT_EQ(focusId, c.focusId);
        EXPECT_EQ(tick, c.hideWordTick);
    }
}

// An Alt key types nothing into the focused field, whatever the dialog.
TEST(DialogKeyboard, AltLettersThatNameNoControlTypeNothing) {
    struct Case {
        UINT dialog;
        int fieldId;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* text; // the field afterwards, with "z" typed before and "y" after
    };
    const Case cases[] = {
        {IDD_MAIN, IDC_TYPE, Qt::Key_S, Qt::AltModifier, "zy"}, // the hidden Spell label's letter
        {IDD_MAIN, IDC_WORD, Qt::Key_Q, Qt::AltModifier, "zy"},
        {IDD_MAIN, IDC_WORD, Qt::Key_X, Qt::AltModifier | Qt::ShiftModifier, "zy"},
        {IDD_MAIN, IDC_GOTO, Qt::Key_7, Qt::AltModifier, "zy"},
        {IDD_EDIT_ENTRY, IDC_ENTRY_MEAN, Qt::Key_Q, Qt::AltModifier, "zy"},
        {IDD_FIND, IDC_FIND_TEXT, Qt::Key_Z, Qt::AltModifier, "zy"},
        // Without Alt the letter is typing as ever.
        {IDD_MAIN, IDC_WORD, Qt::Key_Q, Qt::NoModifier, "zqy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dialog << " " << c.fieldId << " " << char(c.key));
        RecordingDialog dlg(c.dialog);
        QString text;
        RunModal(dlg, [&](QDialog* w) {
            auto* field = Control<QLineEdit>(w, c.fieldId);
            field->setFocus();
            QTest::keyClicks(field, "z");
            QTest::keyClick(field, c.key, c.modifiers);
            QTest::keyClicks(field, "y");
            text = field->text();
        });
        EXPECT_EQ(text, QString::fromLatin1(c.text));
    }
}

// A label shows its '&' as an underline only through a buddy; a no-prefix label shows it as is.
TEST(DialogKeyboard, OnlyPrefixLabelsGetABuddyForTheirUnderline) {
    RecordingDialog main(IDD_MAIN);
    QWidget *wordBuddy = nullptr, *wordEdit = nullptr;
    RunModal(main, [&](QDialog* w) {
        for (QLabel* label : w->findChildren<QLabel*>()) {
            if (label->text() == "W&ord")
                wordBuddy = label->buddy();
        }
        wordEdit = Control<QWidget>(w, IDC_WORD);
    });
    EXPECT_EQ(wordBuddy, wordEdit);

    RecordingDialog about(IDD_ABOUTBOX);
    int labelsWithBuddy = -1;
    QString version;
    RunModal(about, [&](QDialog* w) {
        labelsWithBuddy = 0;
        for (QLabel* label : w->findChildren<QLabel*>()) {
            if (label->pixmap().isNull())
                version = label->text();
            labelsWithBuddy += label->buddy() ? 1 : 0;
        }
    });
    EXPECT_EQ(version, QString::fromUtf8("Vocamint 1.0 版"));
    EXPECT_EQ(labelsWithBuddy, 0);
}

} // namespace
