#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest/QTest>
#include <functional>

#include "res/ResourceIds.h"
#include "tests/support/DialogDriver.h"
#include "ui/CAboutDlg.h"

namespace {

// One way of ending the About box.
struct Ending {
    const char* name;
    std::function<void(QDialog*)> act;
    INT_PTR code;
};

void PressKey(QDialog* window, Qt::Key key) {
    QWidget* focus = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(focus, key);
}

const Ending kEndings[] = {
    {"click on OK",
     [](QDialog* w) { QTest::mouseClick(Control<QPushButton>(w, IDOK), Qt::LeftButton); }, IDOK},
    {"Enter", [](QDialog* w) { PressKey(w, Qt::Key_Return); }, IDOK},
    {"Escape", [](QDialog* w) { PressKey(w, Qt::Key_Escape); }, IDCANCEL},
    {"close button", [](QDialog* w) { w->close(); }, IDCANCEL},
};

TEST(AboutBox, ShowsIconVersionLineAndOkButton) {
    CAboutDlg dlg;
    bool leftOpen = false;
    RunModal(
        dlg,
        [](QDialog* w) {
            EXPECT_EQ(w->windowTitle(), QString::fromUtf8("关于 Vocamint"));
            bool icon = false, version = false;
            for (QLabel* label : w->findChildren<QLabel*>()) {
                icon = icon || !label->pixmap().isNull();
                version = version || label->text() == QString::fromUtf8("Vocamint 1.0 版");
            }
            EXPECT_TRUE(icon);
            EXPECT_TRUE(version);
            QPushButton* ok = Control<QPushButton>(w, IDOK);
            ASSERT_NE(ok, nullptr);
            EXPECT_EQ(ok->text(), QString::fromUtf8("确定"));
            EXPECT_TRUE(ok->isDefault());
        },
        &leftOpen);
    EXPECT_TRUE(leftOpen);
}

TEST(AboutBox, EndsWithOkOrCancel) {
    for (const Ending& ending : kEndings) {
        SCOPED_TRACE(ending.name);
        CAboutDlg dlg;
        bool leftOpen = false;
        const auto endAndWait = [&](QDialog* w) {
            ending.act(w);
            // A close arrives as a queued cancel command.
            const QPointer<QDialog> window = w;
            EXPECT_TRUE(QTest::qWaitFor([&] { return !window || !window->isVisible(); }, 1000));
        };
        EXPECT_EQ(RunModal(dlg, endAndWait, &leftOpen), ending.code);
        EXPECT_FALSE(leftOpen);
    }
}

} // namespace
