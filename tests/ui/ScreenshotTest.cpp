// Renders the study window, the About box and the review windows to PNG files, and checks that the
// spell column lines up for words of single- and double-width characters.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QtTest/QTest>

#include "StudyWindowFixture.h"
#include "res/ResourceIds.h"
#include "tests/support/DialogDriver.h"
#include "ui/CVocabDlg.h"

namespace {

// Where the pictures go: VOCAMINT_SCREENSHOT_DIR when set, else the directory of the test.
QString ShotPath(const char* name) {
    const QString dir = qEnvironmentVariableIsSet("VOCAMINT_SCREENSHOT_DIR")
                            ? qEnvironmentVariable("VOCAMINT_SCREENSHOT_DIR")
                            : QCoreApplication::applicationDirPath();
    return QDir(dir).filePath(name);
}

// The leftmost column at or after `from` that holds ink, or -1.
int FirstInkColumn(const QImage& image, int from) {
    const QRgb background = image.pixel(image.width() - 1, 0);
    for (int x = from; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) < qGray(background) - 80)
                return x;
    return -1;
}

// Where the spell starts on a word label: measured by the font, and found in the pixels.
struct SpellColumn {
    int measured;
    int inked;
};

SpellColumn SpellStart(QLabel* label) {
    const QString text = label->text();
    const int spellAt = text.lastIndexOf(' ') + 1;
    const QFontMetrics metrics(label->font());
    const int measured = metrics.horizontalAdvance(text.left(spellAt));
    const QImage image = label->grab().toImage();
    const int wordEnd = metrics.horizontalAdvance(text.section(' ', 0, 0));
    return {measured, FirstInkColumn(image, wordEnd + metrics.horizontalAdvance(' '))};
}

TEST_F(StudyWindowTest, RendersAndAlignsTheSpellColumn) {
    const QString source = QStringLiteral(VOCAMINT_SOURCE_DIR);
    QFile examples(QDir(source).filePath("examples/WL.txt"));
    ASSERT_TRUE(examples.open(QIODevice::ReadOnly)) << examples.fileName().toStdString();
    // The sample list with its third word in Chinese, so the first page shows both widths.
    QList<QByteArray> lines = examples.readAll().split('\n');
    ASSERT_GT(lines.size(), 10);
    QList<QByteArray> fields = lines[2].split(' ');
    fields[1] = "水";
    lines[2] = fields.join(' ');
    WriteFile("WL.txt", lines.join('\n').toStdString());
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\nGoto=1\r\n");

    SpellColumn ascii{}, chinese{};
    QString asciiWord, chineseWord;
    CVocabDlg dlg;
    RunModal(dlg, [&](QDialog* w) {
        QTest::qWait(50);
        auto* first = Control<QLabel>(w, kRows[0].wordLabel);
        auto* third = Control<QLabel>(w, kRows[2].wordLabel);
        asciiWord = first->text().section(' ', 0, 0);
        chineseWord = third->text().section(' ', 0, 0);
        ascii = SpellStart(first);
        chinese = SpellStart(third);
        EXPECT_TRUE(w->grab().save(ShotPath("study-window.png")));

        QTimer shoot;
        shoot.setSingleShot(true);
        QObject::connect(&shoot, &QTimer::timeout, [&] {
            auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (about == nullptr || about == w)
                return;
            EXPECT_TRUE(about->grab().save(ShotPath("about-box.png")));
            QTest::keyClick(about, Qt::Key_Escape);
        });
        shoot.start(50);
        dlg.SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    });
    EXPECT_EQ(asciiWord, "apple");
    EXPECT_EQ(chineseWord, "水");
    EXPECT_NEAR(ascii.measured, chinese.measured, 1);
    ASSERT_GE(ascii.inked, 0);
    EXPECT_NEAR(ascii.inked, chinese.inked, 2);
    EXPECT_NEAR(ascii.inked, ascii.measured, 3);
}

// The review window with its answer shown, and the statistics of a few months of reviews.
TEST_F(StudyWindowTest, RendersTheReviewAndStatisticsWindows) {
    qputenv("VOCAMINT_MODULE_DIR", VOCAMINT_MODULE_BUILD_DIR);
    const QString source = QStringLiteral(VOCAMINT_SOURCE_DIR);
    QFile examples(QDir(source).filePath("examples/WL.txt"));
    ASSERT_TRUE(examples.open(QIODevice::ReadOnly));
    WriteFile("WL.txt", examples.readAll().toStdString());
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    const char* words[] = {"apple", "book", "water", "house", "light", "paper", "river", "stone"};
    std::string history = "# history\n";
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int day = 120; day >= 1; --day) {
        for (int k = 0; k <= (day * 7) % 5; ++k) {
            const char* word = words[(day + k) % 8];
            const int grade = (day + k) % 9 == 0 ? 1 : 3;
            history += now.addDays(-day).addSecs(k * 60).toString(Qt::ISODateWithMs).toStdString() +
                       "\t" + word + "\t" + std::to_string(grade) + "\t2000\tw2m\n";
        }
    }
    WriteFile("reviews.tsv", history);
    bool reviewShot = false, statisticsShot = false;
    Run([&](QDialog* w) {
        auto* bar = w->findChild<QMenuBar*>();
        QAction* stats = nullptr;
        for (QAction* title : bar->actions()) {
            if (title->text() != "&Review")
                continue;
            for (QAction* item : title->menu()->actions()) {
                if (item->text() == "&Statistics...")
                    stats = item;
            }
        }
        ASSERT_NE(stats, nullptr);
        // The Review items work once the history has been read after the first paint.
        (void)QTest::qWaitFor(
            [&] {
                return stats->menu() == nullptr && bar->actions().size() > 3 &&
                       bar->actions().at(3)->menu()->actions().at(0)->text().contains('(');
            },
            5000);
        ActOnNextDialog("Review", [&](QDialog* d) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
            QTest::qWait(50);
            reviewShot = d->grab().save(ShotPath("review-window.png"));
        });
        QApplication::setActiveWindow(w);
        Control<QWidget>(w, IDOK)->setFocus();
        QTest::keyClick(Control<QWidget>(w, IDOK), Qt::Key_R, Qt::ControlModifier);
        ActOnNextDialog("Statistics", [&](QDialog* d) {
            d->resize(900, 620);
            QTest::qWait(300);
            statisticsShot = d->grab().save(ShotPath("statistics-window.png"));
        });
        stats->trigger();
    });
    qunsetenv("VOCAMINT_MODULE_DIR");
    EXPECT_TRUE(reviewShot);
    EXPECT_TRUE(statisticsShot);
}

} // namespace
