// The About item of the system menu: which commands open the box, and that closing it changes
// nothing.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QColor>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QtTest/QTest>

#include "StudyWindowFixture.h"
#include "framework/CWinApp.h"
#include "res/ResourceIds.h"
#include "tests/support/DialogDriver.h"
#include "ui/CVocabDlg.h"

namespace {

using ::PrintTo;

enum class CloseBy { OkButton, Enter, Escape, Frame };

struct AboutCase {
    const char* name;
    UINT command;
    bool opens;
    CloseBy closeBy;
};

const AboutCase kAboutCases[] = {
    {"cmd16_ok_button", 16, true, CloseBy::OkButton}, {"cmd17_enter", 17, true, CloseBy::Enter},
    {"cmd31_escape", 31, true, CloseBy::Escape},      {"cmd16_frame", 16, true, CloseBy::Frame},
    {"cmd32_nothing", 32, false, CloseBy::Escape},    {"cmd15_nothing", 15, false, CloseBy::Escape},
};

// What the learner sees of the study window.
struct Snapshot {
    PageView page;
    std::string words, means;
    QString word;
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

Snapshot Take(QDialog* w) {
    return {ViewPage(w), RowStates(w, true), RowStates(w, false),
            Control<QLineEdit>(w, IDC_WORD)->text()};
}

class AboutTest : public StudyWindowTest, public ::testing::WithParamInterface<AboutCase> {};

TEST_P(AboutTest, OpensOnItsCommandsAndLeavesTheWindowAsItWas) {
    const AboutCase& c = GetParam();
    WriteWords(35);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    QString aboutTitle;
    Snapshot before, after;
    bool stillOpen = false;
    CVocabDlg dlg;
    RunModal(dlg, [&](QDialog* w) {
        Perform(w, {{Step::Click, IDC_NEXT_PAGE},
                    {Step::Click, IDC_HIDE_MEAN},
                    {Step::Click, kRows[2].meanToggle},
                    {Step::Type, IDC_WORD, "pe"}});
        before = Take(w);
        QTimer answer;
        answer.setSingleShot(true);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (about == nullptr || about == w)
                return;
            aboutTitle = about->windowTitle();
            switch (c.closeBy) {
            case CloseBy::OkButton:
                QTest::mouseClick(Control<QAbstractButton>(about, IDOK), Qt::LeftButton);
                break;
            case CloseBy::Enter:
                QTest::keyClick(about->focusWidget() ? about->focusWidget() : about,
                                Qt::Key_Return);
                break;
            case CloseBy::Escape:
                QTest::keyClick(about->focusWidget() ? about->focusWidget() : about,
                                Qt::Key_Escape);
                break;
            case CloseBy::Frame:
                about->close();
                break;
            }
        });
        answer.start(0);
        dlg.SendMessage(WM_SYSCOMMAND, c.command, 0);
        answer.stop();
        after = Take(w);
        stillOpen = w->isVisible();
    });
    EXPECT_EQ(aboutTitle, c.opens ? QString::fromUtf8("关于 Vocamint") : QString());
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(SystemMenu, AboutTest, ::testing::ValuesIn(kAboutCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Minimised, the window paints its icon centred in its client area; otherwise it does not.
TEST_F(StudyWindowTest, MinimisedWindowPaintsCentredIcon) {
    // Strongly coloured pixels in the centred 32 x 32 square: the icon's letters are coloured.
    const auto count = [](const QImage& image) {
        int coloured = 0;
        const int cx = (image.width() - 32 + 1) / 2, cy = (image.height() - 32 + 1) / 2;
        for (int y = cy; y < cy + 32; ++y)
            for (int x = cx; x < cx + 32; ++x)
                coloured += QColor(image.pixel(x, y)).saturation() > 128 ? 1 : 0;
        return coloured;
    };
    int normal = -1, minimised = -1;
    CVocabDlg dlg;
    RunModal(dlg, [&](QDialog* w) {
        normal = count(w->grab().toImage());
        dlg.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
        minimised = count(w->grab().toImage());
    });
    EXPECT_EQ(normal, 0);
    EXPECT_GT(minimised, 20) << minimised;
}

// The system menu ends with a separator and the About item; the window carries the icon.
TEST_F(StudyWindowTest, SystemMenuEndsWithAboutItemAndIconIsSet) {
    bool separator = false;
    QString item;
    bool hasIcon = false;
    LRESULT dragIcon = 0;
    CVocabDlg dlg;
    RunModal(dlg, [&](QDialog* w) {
        const QList<QAction*> actions = dlg.GetSystemMenu(FALSE)->GetQMenu()->actions();
        ASSERT_GE(actions.size(), 2);
        separator = actions[actions.size() - 2]->isSeparator();
        item = actions.back()->text();
        hasIcon = !w->windowIcon().isNull();
        dragIcon = dlg.SendMessage(WM_QUERYDRAGICON);
    });
    EXPECT_TRUE(separator);
    EXPECT_EQ(item, QString::fromUtf8("关于 Vocamint(&A)..."));
    EXPECT_TRUE(hasIcon);
    EXPECT_EQ(dragIcon, reinterpret_cast<LRESULT>(AfxGetApp()->LoadIcon(IDR_MAINFRAME)));
}

} // namespace
