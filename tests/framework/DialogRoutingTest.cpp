// Clicks, Enter, Escape, the frame's close and the system menu, through the message map.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "res/ResourceIds.h"
#include "tests/framework/RecordingDialog.h"
#include "tests/support/DialogDriver.h"

namespace {

QWidget* Focused() {
    return QApplication::focusWidget();
}

QMenu* OpenPopup() {
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QStringList ActionTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QAction* ActionWithData(QMenu* menu, UINT id) {
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator() && action->data().toULongLong() == id)
            return action;
    }
    return nullptr;
}

struct ClickCase {
    int id;
    QStringList log;
    INT_PTR code; // -1: the dialog stays open
};

TEST(DialogRouting, ClicksReachTheMessageMapAndOkCancelTheirHandlers) {
    const ClickCase cases[] = {
        {IDC_ADD, {"click 1016"}, -1},
        {IDC_NEXT_PAGE, {"click 1002"}, -1},
        {IDC_ROW_CHECK_0, {"click 1004"}, -1},
        {IDC_HIDE_WORD, {"click 1017"}, -1},
        {IDOK, {"OnOK"}, IDOK},
    };
    for (const ClickCase& c : cases) {
        SCOPED_TRACE(c.id);
        RecordingDialog dlg(IDD_MAIN);
        bool leftOpen = false;
        const INT_PTR code = RunModal(
            dlg,
            [&](QDialog* w) {
                QTest::mouseClick(Control<QWidget>(w, c.id), Qt::LeftButton, {}, QPoint(3, 3));
            },
            &leftOpen);
        EXPECT_EQ(dlg.log, c.log);
        EXPECT_EQ(leftOpen, c.code == -1);
        EXPECT_EQ(code, c.code == -1 ? IDCANCEL : c.code);
    }
}

struct KeyRouteCase {
    int focusId;
    Qt::Key key;
    QStringList log;
    INT_PTR code; // -1: the dialog stays open
};

TEST(DialogRouting, EnterPressesTheFocusedPushButtonElseIssuesOkAndEscapeCancels) {
    const KeyRouteCase cases[] = {
        {IDC_ADD, Qt::Key_Return, {"click 1016"}, -1},
        {IDC_GOTO_BUTTON, Qt::Key_Enter, {"click 1061"}, -1},
        {IDOK, Qt::Key_Return, {"OnOK"}, IDOK},
        {IDC_WORD, Qt::Key_Return, {"OnOK"}, IDOK},
        {IDC_GOTO, Qt::Key_Enter, {"OnOK"}, IDOK},
        {IDC_HIDE_MEAN, Qt::Key_Return, {"OnOK"}, IDOK},
        {IDC_WORD, Qt::Key_Escape, {"OnCancel"}, IDCANCEL},
        {IDC_ADD, Qt::Key_Escape, {"OnCancel"}, IDCANCEL},
        {IDC_ROW_CHECK_3, Qt::Key_Escape, {"OnCancel"}, IDCANCEL},
    };
    for (const KeyRouteCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.focusId << " key " << c.key);
        RecordingDialog dlg(IDD_MAIN);
        bool leftOpen = false;
        const INT_PTR code = RunModal(
            dlg,
            [&](QDialog* w) {
                Control<QWidget>(w, c.focusId)->setFocus();
                ASSERT_EQ(Focused(), Control<QWidget>(w, c.focusId));
                QTest::keyClick(Focused(), c.key);
            },
            &leftOpen);
        EXPECT_EQ(dlg.log, c.log);
        EXPECT_EQ(leftOpen, c.code == -1);
        if (c.code != -1) {
            EXPECT_EQ(code, c.code);
        }
    }
}

TEST(DialogRouting, QDialogAcceptAndRejectGoThroughTheCommands) {
    RecordingDialog dlg(IDD_MAIN);
    EXPECT_EQ(RunModal(dlg, [](QDialog* w) { w->reject(); }), IDCANCEL);
    EXPECT_EQ(dlg.log, QStringList{"OnCancel"});
    RecordingDialog dlg2(IDD_MAIN);
    EXPECT_EQ(RunModal(dlg2, [](QDialog* w) { w->accept(); }), IDOK);
    EXPECT_EQ(dlg2.log, QStringList{"OnOK"});
}

// A message posted for when the window is shown comes after its first paint, and once: a
// later post comes at once; a dialog that ended first never gets it.
TEST(DialogRouting, MessagesPostedForTheShownWindowComeAfterItsFirstPaint) {
    struct Case {
        const char* name;
        int endInInit;
        QStringList log; // "paint" stands for any number of paints
    };
    const Case cases[] = {
        {"shown", 0, {"paint", "app 1", "app 2"}},
        {"ended_in_init", IDCANCEL, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingDialog dlg(IDD_MAIN);
        dlg.recordPaint = true;
        dlg.postWhenShown = true;
        dlg.endInInit = c.endInInit;
        RunModal(dlg, [&](QDialog*) {
            QTRY_VERIFY_WITH_TIMEOUT(dlg.log.contains("app 1"), 3000);
            dlg.PostMessageWhenShown(WM_APP, 2);
            QTRY_VERIFY_WITH_TIMEOUT(dlg.log.contains("app 2"), 3000);
        });
        QTest::qWait(20);
        QStringList log;
        for (const QString& entry : dlg.log) {
            const QString item = entry.startsWith("paint") ? QStringLiteral("paint") : entry;
            if (log.isEmpty() || log.last() != item)
                log << item;
        }
        EXPECT_EQ(log, c.log);
    }
}

TEST(DialogRouting, FrameClosePostsCancelUnlessTheCloseHandlerEndedTheDialog) {
    struct Case {
        bool okOnClose;
        QStringList log;
        INT_PTR code;
    };
    const Case cases[] = {
        {false, {"OnClose", "OnCancel"}, IDCANCEL},
        {true, {"OnClose", "OnOK"}, IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.okOnClose);
        RecordingDialog dlg(IDD_MAIN);
        dlg.okOnClose = c.okOnClose;
        QStringList logRightAfterClose;
        const INT_PTR code = RunModal(dlg, [&](QDialog* w) {
            EXPECT_FALSE(w->close()); // the frame never closes the window by itself
            logRightAfterClose = dlg.log;
            QTest::qWait(20);
        });
        QCoreApplication::processEvents();
        // The cancel command is posted, so it arrives after the close handler has returned.
        EXPECT_EQ(logRightAfterClose, c.log.mid(0, c.okOnClose ? 2 : 1));
        EXPECT_EQ(dlg.log, c.log);
        EXPECT_EQ(code, c.code);
    }
}

TEST(DialogRouting, SystemMenuHoldsTheFrameItemsAndAppendedOnesAndSendsSysCommands) {
    RecordingDialog dlg(IDD_MAIN);
    dlg.appendAboutItem = true;
    QStringList texts;
    bool minimized = false;
    BOOL iconic = FALSE;
    bool restored = false;
    RunModal(dlg, [&](QDialog* w) {
        // A right-click on the background opens it (the platform turns the click into this).
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5),
                                     w->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(w, &rightClick);
        QMenu* menu = OpenPopup();
        ASSERT_NE(menu, nullptr);
        texts = ActionTexts(menu);
        QAction* about = ActionWithData(menu, IDM_ABOUTBOX);
        ASSERT_NE(about, nullptr);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(about).center());
        EXPECT_EQ(OpenPopup(), nullptr);

        // Minimize from the menu opened by the keyboard on a button; restore by command.
        Control<QWidget>(w, IDC_ADD)->setFocus();
        QTest::keyClick(Focused(), Qt::Key_F10, Qt::ShiftModifier);
        menu = OpenPopup();
        ASSERT_NE(menu, nullptr);
        ActionWithData(menu, SC_MINIMIZE)->trigger();
        menu->close();
        minimized = w->isMinimized();
        iconic = dlg.IsIconic();
        dlg.SendMessage(WM_SYSCOMMAND, SC_RESTORE);
        restored = !w->isMinimized();

        // Close from the menu goes the frame-close way.
        QTest::keyClick(w, Qt::Key_Menu);
        menu = OpenPopup();
        ASSERT_NE(menu, nullptr);
        QAction* close = ActionWithData(menu, SC_CLOSE);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(close).center());
        QTest::qWait(20);
    });
    const QStringList expectedTexts{"Mi&nimize", "&Close\tAlt+F4", "-",
                                    QString::fromUtf8("关于 Vocamint(&A)...")};
    EXPECT_EQ(texts, expectedTexts);
    EXPECT_TRUE(minimized);
    EXPECT_EQ(iconic, TRUE);
    EXPECT_TRUE(restored);
    // Shift itself is a key the focused button does not use.
    const QStringList expectedLog{"syscommand 16",    "keydown 16 1 0",   "keyup 16 1 49152",
                                  "syscommand 61472", "syscommand 61728", "syscommand 61536",
                                  "OnClose",          "OnCancel"};
    EXPECT_EQ(dlg.log, expectedLog);
}

TEST(DialogRouting, NoSystemMenuFromAnEditsMenuKeyOrRightClick) {
    RecordingDialog dlg(IDD_MAIN);
    QStringList popups;
    RunModal(dlg, [&](QDialog* w) {
        auto* edit = Control<QLineEdit>(w, IDC_WORD);
        edit->setFocus();
        QTest::keyClick(Focused(), Qt::Key_F10, Qt::ShiftModifier);
        if (QMenu* menu = OpenPopup()) {
            popups << QStringLiteral("key");
            menu->close();
        }
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(2, 2),
                                     edit->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(edit, &rightClick);
        if (QMenu* menu = OpenPopup()) {
            // The edit's own menu, not the system menu.
            if (!ActionWithData(menu, SC_CLOSE))
                popups << QStringLiteral("edit's own");
            else
                popups << QStringLiteral("system");
            menu->close();
        }
    });
    EXPECT_EQ(popups, QStringList{"edit's own"});
}

TEST(DialogRouting, SystemMenuOfADialogWithoutMinimizeBoxHasMinimizeDisabled) {
    RecordingDialog dlg(IDD_ABOUTBOX);
    bool minimizeEnabled = true;
    RunModal(dlg, [&](QDialog*) {
        minimizeEnabled =
            ActionWithData(dlg.GetSystemMenu(FALSE)->GetQMenu(), SC_MINIMIZE)->isEnabled();
    });
    EXPECT_FALSE(minimizeEnabled);
    EXPECT_EQ(dlg.GetSystemMenu(FALSE), nullptr); // no window, no menu
}

} // namespace
