// Comfort: the theme and zoom of the View menu, kept in the learner's own settings, and what a
// screen reader hears.
#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDir>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSet>
#include <QStyleOptionButton>
#include <QTimer>
#include <QtTest/QTest>

#include "StudyWindowFixture.h"
#include "framework/Appearance.h"
#include "res/ResourceIds.h"
#include "settings/IniFile.h"
#include "tests/support/DialogDriver.h"
#include "ui/CVocabDlg.h"

namespace {

using ::PrintTo;

// Theme and zoom belong to the whole program: put them back for the tests that follow.
class ViewWindowTest : public StudyWindowTest {
protected:
    void TearDown() override {
        Zoom::SetPercent(Zoom::kDefault);
        ApplyTheme(Theme::System);
        StudyWindowTest::TearDown();
    }
};

QPalette DesktopPalette() {
    ApplyTheme(Theme::System);
    return QApplication::palette();
}

struct ThemeCase {
    const char* name;
    const char* stored; // Theme= in env.ini at start
    int choice;         // the View item chosen
    Theme expected;
    const char* written;
};

const ThemeCase kThemeCases[] = {
    {"dark_from_desktop", nullptr, ID_VIEW_DARK, Theme::Dark, "dark"},
    {"light_from_dark", "dark", ID_VIEW_LIGHT, Theme::Light, "light"},
    {"desktop_from_dark", "dark", ID_VIEW_SYSTEM, Theme::System, "system"},
};

QPalette PaletteOf(Theme theme) {
    switch (theme) {
    case Theme::Dark:
        return DarkPalette();
    case Theme::Light:
        return LightPalette();
    case Theme::System:
        break;
    }
    return DesktopPalette();
}

class ThemeTest : public ViewWindowTest, public ::testing::WithParamInterface<ThemeCase> {};

TEST_P(ThemeTest, ChoiceRepaintsTheWindowAndIsKept) {
    const ThemeCase& c = GetParam();
    const QPalette expected = PaletteOf(c.expected);
    WriteWords(12);
    std::string ini = "[Setting]\r\nIndex=-9\r\nGoto=\r\n";
    if (c.stored)
        ini += std::string("[View]\r\nTheme=") + c.stored + "\r\n";
    WriteFile("env.ini", ini);

    QRgb startWindow = 0, background = 0, edgeTopLeft = 0, edgeBottomRight = 0;
    QSet<int> checked;
    Run([&](QDialog* w) {
        QTest::qWait(20); // the new palette reaches the widgets through the event loop
        startWindow = w->palette().window().color().rgb();
        QAction* item = MenuItem(w, c.choice);
        ASSERT_NE(item, nullptr);
        item->trigger();
        QTest::qWait(20);
        for (const int id : {ID_VIEW_DARK, ID_VIEW_LIGHT, ID_VIEW_SYSTEM})
            if (MenuItem(w, id)->isChecked())
                checked.insert(id);
        const QImage shot = w->grab().toImage();
        background = shot.pixel(shot.width() - 1, shot.height() - 1);
        // A toggle without the focus: its edges in the palette's dark and light.
        QWidget* toggle = Control<QWidget>(w, kRows[5].meanToggle);
        const QImage button = toggle->grab().toImage();
        edgeTopLeft = button.pixel(0, button.height() / 2);
        edgeBottomRight = button.pixel(button.width() - 2, button.height() / 2);
    });
    EXPECT_EQ(
        startWindow,
        PaletteOf(c.stored ? *ThemeFromName(c.stored) : Theme::System).window().color().rgb());
    EXPECT_EQ(background, expected.window().color().rgb());
    EXPECT_EQ(edgeTopLeft, expected.dark().color().rgb());
    EXPECT_EQ(edgeBottomRight, expected.light().color().rgb());
    EXPECT_EQ(checked, QSet<int>{c.choice});
    const IniFile stored(UserSettingsPath());
    EXPECT_EQ(stored.ReadString("View", "Theme", ""), c.written);
    EXPECT_EQ(Settings(), "-9|");
}

INSTANTIATE_TEST_SUITE_P(View, ThemeTest, ::testing::ValuesIn(kThemeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Where the pictures go: VOCAMINT_SCREENSHOT_DIR when set, else the directory of the test.
QString ShotPath(const char* name) {
    const QString dir = qEnvironmentVariableIsSet("VOCAMINT_SCREENSHOT_DIR")
                            ? qEnvironmentVariable("VOCAMINT_SCREENSHOT_DIR")
                            : QCoreApplication::applicationDirPath();
    return QDir(dir).filePath(name);
}

TEST_F(ViewWindowTest, DarkWindowKeepsNoLightColour) {
    QFile examples(QDir(QStringLiteral(VOCAMINT_SOURCE_DIR)).filePath("examples/WL.txt"));
    ASSERT_TRUE(examples.open(QIODevice::ReadOnly));
    WriteFile("WL.txt", examples.readAll().toStdString());
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\nGoto=1\r\n[View]\r\nTheme=dark\r\n");
    const QPalette light = LightPalette();
    const QPalette desktop = DesktopPalette();
    QSet<QRgb> lightColours;
    for (const QPalette& palette : {light, desktop})
        for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base,
                                               QPalette::Light, QPalette::Midlight})
            lightColours.insert(palette.color(role).rgb());
    int lightPixels = 0;
    QImage shot;
    Run([&](QDialog* w) {
        Perform(w, Step{Step::Click, kRows[1].wordToggle}); // one hidden word, as in the drill
        QTest::qWait(20);
        shot = w->grab().toImage();
        EXPECT_TRUE(shot.save(ShotPath("study-window-dark.png")));
    });
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            lightPixels += lightColours.contains(shot.pixel(x, y)) ? 1 : 0;
    EXPECT_EQ(lightPixels, 0);
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.pixelColor(shot.width() - 1, shot.height() - 1), DarkPalette().window().color());
}

// ---- Zoom ---------------------------------------------------------------------------------

struct ZoomCase {
    const char* name;
    std::vector<std::pair<Qt::Key, int>> presses; // each with Ctrl; the int counts repeats
    int percent;
};

const ZoomCase kZoomCases[] = {
    {"ctrl_plus", {{Qt::Key_Plus, 1}}, 110},
    {"ctrl_equal", {{Qt::Key_Equal, 2}}, 125},
    {"ctrl_minus", {{Qt::Key_Minus, 1}}, 90},
    {"lower_limit", {{Qt::Key_Minus, 6}}, 80},
    {"upper_limit", {{Qt::Key_Equal, 14}}, 300},
    {"ctrl_0_resets", {{Qt::Key_Equal, 3}, {Qt::Key_0, 1}}, 100},
};

class ZoomTest : public ViewWindowTest, public ::testing::WithParamInterface<ZoomCase> {};

TEST_P(ZoomTest, KeysScaleTheWindowWithinLimitsAndTheZoomIsKept) {
    const ZoomCase& c = GetParam();
    WriteWords(12);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\nGoto=\r\n");
    QSize before, after, reopened, buttonBefore, buttonAfter;
    Run([&](QDialog* w) {
        before = w->size();
        buttonBefore = Control<QWidget>(w, IDC_ADD)->size();
        for (const auto& [key, count] : c.presses)
            for (int i = 0; i < count; ++i)
                QTest::keyClick(w, key, Qt::ControlModifier);
        after = w->size();
        buttonAfter = Control<QWidget>(w, IDC_ADD)->size();
    });
    const double scale = c.percent / 100.0;
    EXPECT_NEAR(after.width(), before.width() * scale, before.width() * scale * 0.15);
    EXPECT_NEAR(buttonAfter.height(), buttonBefore.height() * scale,
                buttonBefore.height() * scale * 0.2);
    const IniFile stored(UserSettingsPath());
    EXPECT_EQ(stored.ReadInt("View", "Zoom", 0), c.percent);
    EXPECT_EQ(Settings(), "-9|");
    Run([&](QDialog* w) { reopened = w->size(); });
    EXPECT_EQ(reopened, after);
}

INSTANTIATE_TEST_SUITE_P(View, ZoomTest, ::testing::ValuesIn(kZoomCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ViewWindowTest, ZoomOutOfRangeInTheFileIsIgnored) {
    WriteWords(12);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n[View]\r\nZoom=1000\r\n");
    QSize plain, stored;
    Run([&](QDialog* w) { stored = w->size(); });
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    Run([&](QDialog* w) { plain = w->size(); });
    EXPECT_EQ(stored, plain);
    EXPECT_EQ(Zoom::Step(100, +1), 110);
    EXPECT_EQ(Zoom::Step(95, -1), 90);
    EXPECT_EQ(Zoom::Step(300, +1), 300);
    EXPECT_EQ(Zoom::Step(80, -1), 80);
}

// On any screen the zoom stops at the largest step at which the window, frame and all, still
// fits; a larger zoom kept in env.ini is shown as far as it fits and stays kept.
TEST_F(ViewWindowTest, ZoomStopsWhereTheWindowStillFitsTheScreen) {
    WriteWords(12);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    QSize plain, frame;
    QRect zoomed, available, started;
    int reached = 0, startedAt = 0;
    Run([&](QDialog* w) {
        plain = w->size();
        frame = w->frameGeometry().size() - w->size();
        for (int i = 0; i < 14; ++i)
            QTest::keyClick(w, Qt::Key_Equal, Qt::ControlModifier);
        zoomed = w->frameGeometry();
        available = w->screen()->availableGeometry();
        reached = Zoom::Percent();
    });
    EXPECT_LE(zoomed.width(), available.width());
    EXPECT_LE(zoomed.height(), available.height());
    // No step between: the next one would not have fitted.
    const int next = Zoom::Step(reached, +1);
    if (next != reached) {
        const bool wider = plain.width() * next / 100 + frame.width() > available.width() - 8;
        const bool taller = plain.height() * next / 100 + frame.height() > available.height() - 8;
        EXPECT_TRUE(wider || taller) << "stopped at " << reached;
    }
    const IniFile stored(UserSettingsPath());
    EXPECT_EQ(stored.ReadInt("View", "Zoom", 0), reached);

    WriteFile("config/vocamint/vocamint.ini", "[View]\r\nZoom=300\r\n");
    Run([&](QDialog* w) {
        QTRY_VERIFY(w->frameGeometry().width() <= available.width() &&
                    w->frameGeometry().height() <= available.height());
        started = w->frameGeometry();
        startedAt = Zoom::Percent();
    });
    EXPECT_LE(started.width(), available.width());
    EXPECT_LE(started.height(), available.height());
    EXPECT_EQ(startedAt, reached);
    EXPECT_EQ(IniFile(UserSettingsPath()).ReadInt("View", "Zoom", 0), 300);
}

// Menus, the row check boxes and the Hide boxes grow with the window.
TEST_F(ViewWindowTest, MenusAndCheckBoxesZoomWithTheWindow) {
    WriteWords(12);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    struct Sizes {
        int bar = 0, dropDown = 0, rowBox = 0, hideBox = 0;
    };
    const auto measure = [](QDialog* w) {
        Sizes sizes;
        auto* bar = w->findChild<QMenuBar*>();
        sizes.bar = bar->sizeHint().height();
        // A drop-down's paddings are the style's: its text is what zooms.
        QMenu* view = bar->actions().at(2)->menu();
        sizes.dropDown = QFontInfo(view->font()).pixelSize();
        for (const auto& [id, slot] : {std::pair{kRows[0].check, &sizes.rowBox},
                                       std::pair{int(IDC_HIDE_WORD), &sizes.hideBox}}) {
            auto* box = Control<QAbstractButton>(w, id);
            QStyleOptionButton option;
            option.initFrom(box);
            *slot =
                box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).height();
        }
        return sizes;
    };
    Sizes plain, zoomed;
    Run([&](QDialog* w) {
        plain = measure(w);
        for (int i = 0; i < 5; ++i) // 100 -> 200
            QTest::keyClick(w, Qt::Key_Equal, Qt::ControlModifier);
        zoomed = measure(w);
    });
    ASSERT_EQ(Zoom::Percent(), 200);
    EXPECT_NEAR(zoomed.bar, plain.bar * 2, plain.bar * 0.35);
    EXPECT_NEAR(zoomed.dropDown, plain.dropDown * 2, 1);
    EXPECT_NEAR(zoomed.rowBox, plain.rowBox * 2, 2);
    EXPECT_NEAR(zoomed.hideBox, plain.hideBox * 2, 2);
}

// The list's settings file is read at start-up and written at exit only; the learner's view
// preferences live apart from it, and an old [View] section moves there once.
struct KeptCase {
    const char* name;
    const char* env;      // env.ini at start
    const char* user;     // the user's file at start; nullptr: none
    bool escape;          // leave with Escape (else with the Exit item)
    const char* envAfter; // env.ini afterwards
    const char* userAfter;
};

const KeptCase kKeptCases[] = {
    {"zoom_then_escape_leaves_env_ini", "[Setting]\r\nIndex=-9\r\nGoto=\r\n", nullptr, true,
     "[Setting]\r\nIndex=-9\r\nGoto=\r\n", "[View]\r\nZoom=110\r\n"},
    {"old_view_section_moves_out",
     "; mine\r\n[View]\r\nTheme=dark\r\nZoom=110\r\n[Setting]\r\nIndex=-9\r\n", nullptr, true,
     "; mine\r\n[Setting]\r\nIndex=-9\r\n", "[View]\r\nTheme=dark\r\nZoom=125\r\n"},
    {"only_once", "[Setting]\r\nIndex=-9\r\n[View]\r\nTheme=dark\r\n", "[View]\nZoom=90\n", false,
     "[Setting]\r\nIndex=-9\r\nGoto=\r\n[View]\r\nTheme=dark\r\n", "[View]\nZoom=100\n"},
};

class KeptTest : public ViewWindowTest, public ::testing::WithParamInterface<KeptCase> {};

TEST_P(KeptTest, ZoomIsTheLearnersAndEnvIniIsWrittenAtExitOnly) {
    const KeptCase& c = GetParam();
    WriteWords(12);
    WriteFile("env.ini", c.env);
    if (c.user) {
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Path("config/vocamint"))));
        WriteFile("config/vocamint/vocamint.ini", c.user);
    }
    Run([&](QDialog* w) {
        QTest::keyClick(w, Qt::Key_Plus, Qt::ControlModifier);
        EXPECT_EQ(ReadFile("env.ini"), c.escape ? c.envAfter : c.env); // nothing written yet
        if (c.escape)
            QTest::keyClick(w, Qt::Key_Escape);
        else
            MenuItem(w, ID_APP_EXIT)->trigger();
    });
    EXPECT_EQ(ReadFile("env.ini"), c.envAfter);
    EXPECT_EQ(ReadFile("config/vocamint/vocamint.ini"), c.userAfter);
}

INSTANTIATE_TEST_SUITE_P(View, KeptTest, ::testing::ValuesIn(kKeptCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The About box and a message box opened after a zoom come up at the same scale.
TEST_F(ViewWindowTest, DialogsAndMessageBoxesOpenedAfterAZoomFollowIt) {
    WriteWords(12);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    QSize aboutPlain, aboutZoomed;
    qreal boxPoints = 0;
    const qreal appPoints = QApplication::font().pointSizeF();
    const auto aboutSize = [](QSize* size) {
        ActOnNextDialog(QStringLiteral("关于 Vocamint"), [size](QDialog* d) { *size = d->size(); });
    };
    CVocabDlg dlg;
    RunModal(dlg, [&](QDialog* w) {
        aboutSize(&aboutPlain);
        dlg.SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        for (int i = 0; i < 5; ++i) // 100 -> 200
            MenuItem(w, ID_VIEW_ZOOM_IN)->trigger();
        aboutSize(&aboutZoomed);
        dlg.SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        QTimer::singleShot(50, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxPoints = box->font().pointSizeF();
                box->accept();
            }
        });
        dlg.MessageBox("Zoomed", "Info", MB_OK);
    });
    ASSERT_TRUE(aboutPlain.isValid() && aboutZoomed.isValid());
    EXPECT_NEAR(aboutZoomed.width(), aboutPlain.width() * 2, aboutPlain.width() * 0.3);
    EXPECT_NEAR(aboutZoomed.height(), aboutPlain.height() * 2, aboutPlain.height() * 0.3);
    EXPECT_DOUBLE_EQ(boxPoints, appPoints * 2);
}

TEST_F(ViewWindowTest, F1ListsTheViewKeysAndFitsThemIn) {
    WriteWords(3);
    QString keys;
    bool fits = false;
    Run([&](QDialog* w) {
        ActOnNextDialog("Keyboard", [&](QDialog* d) {
            const QList<QLabel*> labels = d->findChildren<QLabel*>();
            fits = !labels.isEmpty();
            for (QLabel* label : labels) {
                keys += label->text() + "\n";
                fits &= label->heightForWidth(label->width()) <= label->height();
            }
            QTest::keyClick(d, Qt::Key_Return);
        });
        QTest::keyClick(w, Qt::Key_F1);
    });
    for (const char* key : {"Ctrl+Plus", "Ctrl+=", "Ctrl+Minus", "Ctrl+0", "Ctrl+Space"})
        EXPECT_TRUE(keys.contains(key)) << key;
    EXPECT_TRUE(fits);
}

// ---- Screen readers -----------------------------------------------------------------------

QString Said(QWidget* widget, QAccessible::Text kind = QAccessible::Name) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(kind) : QStringLiteral("<none>");
}

TEST_F(ViewWindowTest, ScreenReaderHearsRowsTogglesAndPage) {
    QAccessible::setActive(true);
    WriteWords(125);
    WriteFile("env.ini", "[Setting]\r\nIndex=1\r\nGoto=\r\n");
    QString page, labelName, labelRole, meanRole, hide, show, meanToggle, hiddenName;
    QAccessible::Role toggleRole = QAccessible::NoRole;
    bool hiddenInvisible = false, hiddenAmongChildren = true, shownAmongChildren = false;
    Run([&](QDialog* w) {
        page = Said(Control<QWidget>(w, IDC_PAGE));
        QLabel* word = Control<QLabel>(w, kRows[2].wordLabel);
        labelName = Said(word);
        labelRole = Said(word, QAccessible::Description);
        meanRole = Said(Control<QWidget>(w, kRows[2].meanLabel), QAccessible::Description);
        QWidget* toggle = Control<QWidget>(w, kRows[2].wordToggle);
        hide = Said(toggle);
        toggleRole = QAccessible::queryAccessibleInterface(toggle)->role();
        meanToggle = Said(Control<QWidget>(w, kRows[2].meanToggle));
        Perform(w, Step{Step::Click, kRows[2].wordToggle});
        show = Said(toggle);
        hiddenName = Said(word);
        hiddenInvisible = QAccessible::queryAccessibleInterface(word)->state().invisible;
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(w);
        hiddenAmongChildren = false;
        for (int i = 0; i < window->childCount(); ++i) {
            QObject* child = window->child(i)->object();
            hiddenAmongChildren |= child == word;
            shownAmongChildren |= child == Control<QWidget>(w, kRows[2].meanLabel);
        }
    });
    EXPECT_EQ(page, "Page 2 of 13");
    EXPECT_EQ(labelName.section(' ', 0, 0), "w13");
    EXPECT_EQ(labelRole, "Row 3 word and pronunciation");
    EXPECT_EQ(meanRole, "Row 3 meaning");
    EXPECT_EQ(hide, "Hide word 3");
    EXPECT_EQ(toggleRole, QAccessible::Button);
    EXPECT_EQ(meanToggle, "Hide meaning 3");
    EXPECT_EQ(show, "Show word 3");
    EXPECT_TRUE(hiddenInvisible);
    // The toolkit keeps a hidden label among the window's children, marked invisible; its
    // name no longer gives the word away to a reader that lists them all.
    EXPECT_TRUE(hiddenAmongChildren);
    EXPECT_TRUE(shownAmongChildren);
    EXPECT_FALSE(hiddenName.contains("w13")) << hiddenName.toStdString();
}

// ---- Speech -------------------------------------------------------------------------------

// The speech plugins and the audio stack they pull in stay out of a start that does not speak,
// and the image readers out of every start.
TEST_F(ViewWindowTest, StartUpLoadsNoSpeechEngine) {
    WriteWords(12);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    const auto readMaps = [] {
        QFile file(QStringLiteral("/proc/self/maps"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    // Modules stay mapped for the life of the process: when a test before this one in the same
    // process loaded them, a start-up cannot be judged here (ctest runs each test alone).
    const QByteArray before = readMaps();
    for (const char* module :
         {"plugins/texttospeech", "libQt6Multimedia", "plugins/imageformats"}) {
        if (before.contains(module))
            GTEST_SKIP() << module << " was loaded by an earlier test in this process";
    }
    QByteArray maps;
    Run([&](QDialog*) { maps = readMaps(); });
    if (maps.isEmpty())
        GTEST_SKIP() << "no /proc/self/maps";
    EXPECT_FALSE(maps.contains("plugins/texttospeech"));
    EXPECT_FALSE(maps.contains("libQt6Multimedia"));
    // The window's pictures are drawn; the menu bar's overflow arrow is read only if shown.
    EXPECT_FALSE(maps.contains("plugins/imageformats"));
}

class SpeakingDlg : public CVocabDlg {
public:
    using CVocabDlg::m_speaker;
};

// With an engine in the test's environment the real module speaks; without one the item is
// greyed out and says why. Neither way shows a box.
TEST_F(ViewWindowTest, SpeakReadsTheCurrentWordEvenHiddenOrSaysWhyItCannot) {
    WriteWords(12);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    SpeakingDlg dlg;
    const bool engine = dlg.m_speaker.Unavailable().isEmpty();
    if (qEnvironmentVariableIsSet("VOCAMINT_TEST_NO_PLUGINS")) {
        EXPECT_FALSE(engine) << "the ctest entry without plugins must find no engine";
    }
    SeenMessageBox box;
    AnswerNextMessageBox(&box);
    bool enabled = false;
    QString tip, byKey, byRowMenu;
    RunModal(dlg, [&](QDialog* w) {
        Perform(w, Step{Step::Click, IDC_HIDE_WORD});
        Control<QWidget>(w, kRows[2].check)->setFocus();
        QAction* item = MenuItem(w, ID_VIEW_SPEAK);
        ASSERT_NE(item, nullptr);
        for (QObject* owner : item->associatedObjects())
            if (auto* menu = qobject_cast<QMenu*>(owner))
                Q_EMIT menu->aboutToShow();
        enabled = item->isEnabled();
        tip = item->toolTip();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space, Qt::ControlModifier);
        byKey = dlg.m_speaker.LastSaid();
        QWidget* label = Control<QWidget>(w, kRows[4].meanLabel);
        ChooseFromNextPopupMenu("Speak");
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                                label->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(label, &event);
        byRowMenu = dlg.m_speaker.LastSaid();
    });
    EXPECT_FALSE(box.shown) << box.text.toStdString();
    EXPECT_EQ(enabled, engine);
    if (engine) {
        EXPECT_EQ(byKey, "w3");
        EXPECT_EQ(byRowMenu, "w5");
    } else {
        EXPECT_TRUE(tip.contains("No speech engine")) << tip.toStdString();
        EXPECT_EQ(byKey, "");
        EXPECT_EQ(byRowMenu, "");
    }
}

} // namespace
