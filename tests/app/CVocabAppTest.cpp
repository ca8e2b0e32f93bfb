#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include "app/CVocabApp.h"
#include "framework/CWnd.h"

namespace {

TEST(VocabApp, InitInstanceRunsTheStudyWindowOnceAndEnds) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString oldDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));

    CVocabApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    QString title;
    bool mainWindowIsTheStudyWindow = false;
    // Escape ends the study window without writing anything.
    QTimer::singleShot(50, [&] {
        auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!window)
            return;
        title = window->windowTitle();
        mainWindowIsTheStudyWindow =
            app.m_pMainWnd && app.m_pMainWnd->GetSafeHwnd() == static_cast<QWidget*>(window);
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_Escape);
    });
    // Should the key go astray, the test still ends.
    QTimer::singleShot(5000, [] {
        if (QWidget* window = QApplication::activeModalWidget())
            window->close();
    });
    EXPECT_EQ(app.InitInstance(), FALSE);

    EXPECT_EQ(title, "Vocamint");
    EXPECT_TRUE(mainWindowIsTheStudyWindow);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty()) << "nothing is written";
    QDir::setCurrent(oldDir);
}

} // namespace
