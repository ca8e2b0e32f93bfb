// Data exchange, control objects, message boxes, layout in dialog units, icons and painting.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "framework/CIcon.h"
#include "framework/CPaintDC.h"
#include "framework/CWinApp.h"
#include "framework/DialogUnits.h"
#include "framework/ResourceModule.h"
#include "res/ResourceIds.h"
#include "tests/framework/RecordingDialog.h"
#include "tests/support/DialogDriver.h"

namespace {

TEST(DialogData, TextSurvivesAnUntouchedRoundTripAndTypingConvertsAtTheBoundary) {
    struct Case {
        std::string bytes;
        QString shown;
        std::string typedX; // bytes read back after typing "x" at the end
    };
    const Case cases[] = {
        {"word", "word", "wordx"},
        {"\xe5\x8d\x95\xe8\xaf\x8d", QString::fromUtf8("单词"), "\xe5\x8d\x95\xe8\xaf\x8dx"},
        {"", "", "x"},
        // Invalid bytes show as replacement characters and come back as they were...
        {"\xff\xfe", QString(2, QChar(0xFFFD)), "\xef\xbf\xbd\xef\xbf\xbdx"},
        {"a\xe4\xb8", QStringLiteral("a") + QString(2, QChar(0xFFFD)),
         "a\xef\xbf\xbd\xef\xbf\xbdx"},
        // ...but once the learner edits the text, what it now shows is what counts.
        {"<b>&amp;</b>", "<b>&amp;</b>", "<b>&amp;</b>x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        RecordingDialog dlg(IDD_MAIN);
        dlg.m_strWord = c.bytes;
        dlg.m_strPage = c.bytes;
        QString shownInEdit, shownInLabel;
        CString untouchedWord, untouchedPage, typed;
        RunModal(dlg, [&](QDialog* w) {
            auto* edit = Control<QLineEdit>(w, IDC_WORD);
            auto* label = Control<QLabel>(w, IDC_PAGE);
            shownInEdit = edit->text();
            shownInLabel = label->text();
            EXPECT_EQ(label->textFormat(), Qt::PlainText);
            dlg.m_strWord.Empty();
            dlg.m_strPage.Empty();
            dlg.UpdateData(TRUE);
            untouchedWord = dlg.m_strWord;
            untouchedPage = dlg.m_strPage;
            edit->setFocus();
            edit->end(false);
            QTest::keyClicks(edit, "x");
            dlg.UpdateData(TRUE);
            typed = dlg.m_strWord;
        });
        EXPECT_EQ(shownInEdit, c.shown);
        EXPECT_EQ(shownInLabel, c.shown);
        EXPECT_EQ(untouchedWord.str(), c.bytes);
        EXPECT_EQ(untouchedPage.str(), c.bytes);
        EXPECT_EQ(typed.str(), c.typedX);
    }
}

TEST(DialogData, TickStatesExchangeBothWaysAsZeroOrOne) {
    RecordingDialog dlg(IDD_MAIN);
    dlg.m_bHideWord = 1;
    bool tickedAtStart = false;
    int afterClick = -1;
    RunModal(dlg, [&](QDialog* w) {
        auto* box = Control<QCheckBox>(w, IDC_HIDE_WORD);
        tickedAtStart = box->isChecked();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(3, 3));
        dlg.UpdateData(TRUE);
        afterClick = dlg.m_bHideWord;
    });
    EXPECT_TRUE(tickedAtStart);
    EXPECT_EQ(afterClick, 0);
}

TEST(DialogData, ControlObjectsAttachForTheRunAndLetGoAfterIt) {
    RecordingDialog dlg(IDD_MAIN);
    bool editAttached = false, boxAttached = false;
    QString spellVisibility;
    RunModal(dlg, [&](QDialog* w) {
        editAttached = dlg.m_editWord.GetSafeHwnd() == Control<QLineEdit>(w, IDC_WORD);
        boxAttached = dlg.m_btnHideWord.GetSafeHwnd() == Control<QCheckBox>(w, IDC_HIDE_WORD);
        EXPECT_EQ(dlg.m_editWord.GetDlgCtrlID(), IDC_WORD);
        // Show and hide report the flag they found.
        spellVisibility = QStringLiteral("%1 %2 %3 %4")
                              .arg(dlg.m_spellLabel.ShowWindow(SW_SHOW))
                              .arg(dlg.m_spellLabel.IsWindowVisible())
                              .arg(dlg.m_spellLabel.ShowWindow(SW_HIDE))
                              .arg(dlg.m_spellLabel.IsWindowVisible());
        dlg.m_editWord.SetFocus();
        EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(w, IDC_WORD));
    });
    EXPECT_TRUE(editAttached);
    EXPECT_TRUE(boxAttached);
    EXPECT_EQ(dlg.initVisibility, "0 1"); // flags are right before the window is shown
    EXPECT_EQ(spellVisibility, "0 1 1 0");
    EXPECT_EQ(dlg.m_editWord.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dlg.GetDlgItem(IDC_WORD), nullptr);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
    // Control objects without a control ignore what they are asked.
    dlg.m_editWord.SetWindowText("x");
    CString text("unchanged");
    dlg.m_editWord.GetWindowText(text);
    EXPECT_EQ(text.str(), "");
}

TEST(DialogData, EndingTheDialogDuringStartUpEndsTheRunAtOnce) {
    RecordingDialog dlg(IDD_MAIN);
    dlg.endInInit = IDOK;
    bool scriptRan = false;
    EXPECT_EQ(RunModal(dlg, [&](QDialog*) { scriptRan = true; }), IDOK);
    EXPECT_FALSE(scriptRan);
}

TEST(DialogData, MessageBoxesAreModalOverTheDialogWithConvertedPlainText) {
    struct Case {
        const char* text;
        const char* caption;
        UINT flags;
        QString shownText;
        QString shownCaption;
        QMessageBox::Icon icon;
    };
    const Case cases[] = {
        {"Please Input Word!", "Error", MB_OK | MB_ICONINFORMATION, "Please Input Word!", "Error",
         QMessageBox::Information},
        {"Open file '/tmp/x/WL.txt' failed!", "Info", MB_OK, "Open file '/tmp/x/WL.txt' failed!",
         "Info", QMessageBox::NoIcon},
        {"<b>\xe5\x8d\x95</b> \xff", "Info", MB_OK, QString::fromUtf8("<b>单</b> ") + QChar(0xFFFD),
         "Info", QMessageBox::NoIcon},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RecordingDialog dlg(IDD_MAIN);
        SeenMessageBox seen;
        int result = 0;
        QWidget* window = nullptr;
        RunModal(dlg, [&](QDialog* w) {
            window = w;
            AnswerNextMessageBox(&seen);
            result = dlg.MessageBox(c.text, c.caption, c.flags);
        });
        EXPECT_TRUE(seen.shown);
        EXPECT_EQ(seen.text, c.shownText);
        EXPECT_EQ(seen.caption, c.shownCaption);
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.owner, window);
        EXPECT_EQ(result, IDOK);
    }
}

TEST(DialogUnits, ConvertToPixelsRoundingHalvesAwayFromZero) {
    const DialogUnits units(6, 13);
    struct Case {
        int units;
        int x, y;
    };
    const Case cases[] = {
        {0, 0, 0},   {1, 2, 2},    {2, 3, 3},       {3, 5, 5},       {4, 6, 7},
        {8, 12, 13}, {-1, -2, -2}, {548, 822, 891}, {328, 492, 533},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(units.toPixelsX(c.units), c.x) << c.units;
        EXPECT_EQ(units.toPixelsY(c.units), c.y) << c.units;
    }
}

TEST(DialogUnits, DialogAndControlsAreLaidOutInTheTemplateFontsUnits) {
    const DialogTemplate* main = FindDialogTemplate(IDD_MAIN);
    ASSERT_NE(main, nullptr);
    RecordingDialog dlg(IDD_MAIN);
    QFont font;
    QSize size, minimum, maximum;
    QRect add, goTo;
    QString title;
    Qt::WindowFlags flags;
    RunModal(dlg, [&](QDialog* w) {
        font = w->font();
        size = w->size();
        minimum = w->minimumSize();
        maximum = w->maximumSize();
        add = Control<QWidget>(w, IDC_ADD)->geometry();
        goTo = Control<QWidget>(w, IDC_GOTO)->geometry();
        title = w->windowTitle();
        flags = w->windowFlags();
    });
    const bool faceInstalled =
        QFontDatabase::families().contains(QString::fromUtf8(main->fontFace));
    EXPECT_EQ(font.family(),
              QString::fromUtf8(faceInstalled ? main->fontFace : main->fallbackFontFace));
    EXPECT_EQ(font.pointSize(), main->pointSize);
    const DialogUnits units = DialogUnits::FromFont(font);
    EXPECT_EQ(size, QSize(units.toPixelsX(548), units.toPixelsY(328)));
    EXPECT_EQ(minimum, size); // not resizable
    EXPECT_EQ(maximum, size);
    EXPECT_EQ(add, units.toPixels(333, 285, 50, 16));
    EXPECT_EQ(goTo, units.toPixels(457, 15, 35, 14));
    EXPECT_EQ(title, "Vocamint");
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);

    // Latin letters are half the width of a Chinese character, all of one width.
    const QFontMetrics metrics(font);
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("i")),
              metrics.horizontalAdvance(QStringLiteral("W")));
    EXPECT_EQ(2 * metrics.horizontalAdvance(QStringLiteral("a")),
              metrics.horizontalAdvance(QString::fromUtf8("单")));
}

TEST(DialogIcons, IconsComeFromTheResourcesAndSetIconKeepsBothSizes) {
    const HICON icon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(AfxGetApp()->LoadIcon(IDR_MAINFRAME), icon); // one handle for the process
    EXPECT_EQ(AfxGetApp()->LoadIcon(9999), nullptr);
    EXPECT_EQ(icon->pixmap(32).size(), QSize(32, 32));
    EXPECT_EQ(icon->pixmap(16).size(), QSize(16, 16));
    const QImage big = icon->pixmap(32).toImage();
    EXPECT_EQ(big.pixelColor(0, 0).alpha(), 0); // transparent ground
    int opaque = 0;
    for (int y = 0; y < big.height(); ++y) {
        for (int x = 0; x < big.width(); ++x)
            opaque += big.pixelColor(x, y).alpha() == 255 ? 1 : 0;
    }
    EXPECT_GT(opaque, 32); // the letters are drawn in solid colours

    RecordingDialog dlg(IDD_MAIN);
    HICON firstBig = icon, secondBig = nullptr, firstSmall = icon;
    QList<QSize> sizes;
    RunModal(dlg, [&](QDialog* w) {
        firstBig = dlg.SetIcon(icon, TRUE);
        firstSmall = dlg.SetIcon(icon, FALSE);
        secondBig = dlg.SetIcon(icon, TRUE);
        sizes = w->windowIcon().availableSizes();
    });
    EXPECT_EQ(firstBig, nullptr);
    EXPECT_EQ(firstSmall, nullptr);
    EXPECT_EQ(secondBig, icon);
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));

    // The About box's icon control shows the 32-pixel image.
    RecordingDialog about(IDD_ABOUTBOX);
    QSize shown;
    RunModal(about, [&](QDialog* w) {
        for (QLabel* label : w->findChildren<QLabel*>()) {
            if (!label->pixmap().isNull())
                shown = label->pixmap().size();
        }
    });
    EXPECT_EQ(shown, QSize(32, 32));
}

TEST(DialogPaint, PaintContextDrawsOnlyWhileTheDialogHandlesPaint) {
    RecordingDialog dlg(IDD_MAIN);
    dlg.recordPaint = true;
    BOOL outside = TRUE;
    LRESULT dragIcon = -1;
    RunModal(dlg, [&](QDialog* w) {
        dlg.log.clear();
        w->repaint();
        CPaintDC dc(&dlg);
        outside = dc.DrawIcon(0, 0, AfxGetApp()->LoadIcon(IDR_MAINFRAME));
        dragIcon = dlg.SendMessage(WM_QUERYDRAGICON);
    });
    EXPECT_EQ(dlg.log.value(0), "paint 1");
    EXPECT_EQ(outside, FALSE);
    EXPECT_EQ(dragIcon, 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
    EXPECT_EQ(GetSystemMetrics(SM_CYICON), 32);
}

} // namespace
