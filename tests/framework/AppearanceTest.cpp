// What a learner sees of the controls: indicators in the palette's contrast and at the zoom,
// underlined mnemonics, a marked row, where a window opens and how far the zoom may go.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGlyphRun>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <QRawFont>
#include <QSet>
#include <QStyleOptionButton>
#include <QTextLayout>

#include "framework/Appearance.h"
#include "framework/CDialog.h"
#include "framework/ControlMark.h"
#include "framework/Controls.h"
#include "framework/Placement.h"
#include "res/ResourceIds.h"
#include "tests/framework/RecordingDialog.h"
#include "tests/support/DialogDriver.h"

namespace {

// Theme and zoom belong to the whole program: each test puts them back.
class AppearanceTest : public ::testing::Test {
protected:
    void TearDown() override {
        Zoom::SetPercent(Zoom::kDefault);
        ApplyTheme(Theme::System);
    }
};

TEST(Contrast, RatioFollowsRelativeLuminance) {
    struct Case {
        QColor a, b;
        double ratio;
    };
    const Case cases[] = {
        {Qt::black, Qt::white, 21.0},
        {Qt::white, Qt::black, 21.0},
        {QColor(53, 53, 53), QColor(53, 53, 53), 1.0},
        {QColor(118, 118, 118), Qt::white, 4.54},       // the grey that just passes for text
        {QColor(38, 38, 38), QColor(53, 53, 53), 1.23}, // a shade darker than the window
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(ContrastRatio(c.a, c.b), c.ratio, 0.02) << c.a.name().toStdString();
    }
}

TEST(Contrast, IndicatorEdgeStandsOutFromWindowAndField) {
    QPalette lowText(QColor(200, 200, 200), QColor(210, 210, 210));
    lowText.setColor(QPalette::WindowText, QColor(150, 150, 150)); // too pale to soften
    const QPalette palettes[] = {LightPalette(), DarkPalette(), lowText};
    for (const QPalette& palette : palettes) {
        const QColor edge = IndicatorEdge(palette);
        SCOPED_TRACE(edge.name().toStdString());
        const bool reachable = ContrastRatio(palette.color(QPalette::WindowText),
                                             palette.color(QPalette::Window)) >= 3.5;
        if (!reachable) {
            EXPECT_EQ(edge, palette.color(QPalette::WindowText));
            continue;
        }
        EXPECT_GE(ContrastRatio(edge, palette.color(QPalette::Window)), 3.5);
        EXPECT_GE(ContrastRatio(edge, palette.color(QPalette::Base)), 3.5);
    }
}

TEST(Zoom, LargestStepThatFitsButNeverBelowActualSize) {
    struct Case {
        QSize atDefault, available;
        int largest;
    };
    const Case cases[] = {
        {{822, 548}, {1600, 1000}, 175}, // 200% would be 1644 x 1096
        {{822, 548}, {1644, 1096}, 200}, // exactly the screen
        {{822, 548}, {1643, 1096}, 175}, {{822, 548}, {3840, 2160}, 300},
        {{822, 548}, {800, 600}, 100}, // actual size stays, even too large
        {{822, 548}, {0, 0}, 300},     // nothing known of the screen
        {{0, 0}, {1600, 1000}, 300},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Zoom::Largest(c.atDefault, c.available), c.largest)
            << c.available.width() << "x" << c.available.height();
    }
}

TEST(Placement, BesideTheOwnerWhereTheScreenHasRoom) {
    const QRect screen(0, 0, 1600, 1000);
    struct Case {
        QRect owner;
        QSize size;
        std::optional<QPoint> at;
    };
    const Case cases[] = {
        {{100, 50, 830, 600}, {400, 400}, QPoint(930, 50)},   // right
        {{700, 50, 830, 600}, {400, 400}, QPoint(300, 50)},   // no room right: left
        {{300, 50, 1000, 600}, {400, 400}, std::nullopt},     // room on neither side
        {{100, 800, 830, 600}, {400, 400}, QPoint(930, 600)}, // held on the screen
        {{0, 0, 800, 600}, {800, 1001}, std::nullopt},        // taller than the screen
        {{-900, 0, 830, 600}, {400, 400}, QPoint(-70, 0)},    // owner half off: still right
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.owner.x() << "," << c.owner.y());
        const std::optional<QPoint> at = PlaceBeside(c.owner, c.size, screen);
        ASSERT_EQ(at.has_value(), c.at.has_value());
        if (at) {
            EXPECT_EQ(*at, *c.at);
        }
    }
}

// The largest contrast of any pixel in `area` with `against`.
double MostContrast(const QImage& image, const QRect& area, const QColor& against) {
    double most = 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.rect().contains(x, y))
                most = std::max(most, ContrastRatio(image.pixelColor(x, y), against));
    return most;
}

struct Indicator {
    double edge; // the box edge against the window around it
    double tick; // the tick or dot against the field inside
    int side;    // pixels
};

Indicator Measure(QAbstractButton* button) {
    const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect box = button->style()->subElementRect(
        radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, button);
    button->setChecked(false);
    const QImage off = button->grab().toImage();
    button->setChecked(true);
    const QImage on = button->grab().toImage();
    const QColor window = button->palette().color(QPalette::Window);
    const QColor field = off.pixelColor(box.center());
    // The left band of the box on its middle row, and everything within the box.
    const QRect band(box.left(), box.center().y(), std::max(1, box.width() / 4), 1);
    return {MostContrast(off, band, window), MostContrast(on, box, field), box.height()};
}

TEST_F(AppearanceTest, IndicatorsStandOutInEveryPaletteAndGrowWithTheZoom) {
    struct Case {
        UINT dialog;
        int id;
    };
    const Case controls[] = {
        {IDD_MAIN, IDC_HIDE_WORD}, {IDD_MAIN, IDC_ROW_CHECK_3}, {IDD_IMPORT, IDC_IMPORT_SKIP}};
    for (const Theme theme : {Theme::Light, Theme::Dark}) {
        for (const Case& c : controls) {
            SCOPED_TRACE(testing::Message() << ThemeName(theme) << " " << c.id);
            ApplyTheme(theme);
            int sides[2] = {0, 0};
            for (const int zoom : {100, 200}) {
                Zoom::SetPercent(zoom);
                RecordingDialog dlg(c.dialog);
                Indicator seen{};
                RunModal(dlg,
                         [&](QDialog* w) { seen = Measure(Control<QAbstractButton>(w, c.id)); });
                EXPECT_GE(seen.edge, 3.0) << zoom;
                EXPECT_GE(seen.tick, 3.0) << zoom;
                sides[zoom == 200] = seen.side;
            }
            EXPECT_NEAR(sides[1], sides[0] * 2, 2);
        }
    }
}

// The caption drawn with its '&' and without: they differ only in an underline below the
// letter that follows the '&'.
TEST_F(AppearanceTest, CheckBoxMnemonicsAreUnderlinedInEveryPaletteAndZoom) {
    for (const Theme theme : {Theme::System, Theme::Light, Theme::Dark}) {
        for (const int zoom : {80, 100, 150, 200}) {
            for (const int id : {IDC_HIDE_WORD, IDC_HIDE_MEAN}) {
                SCOPED_TRACE(testing::Message() << ThemeName(theme) << " " << zoom << " " << id);
                ApplyTheme(theme);
                Zoom::SetPercent(zoom);
                RecordingDialog dlg(IDD_MAIN);
                QImage with, without;
                QRect letter;
                int baseline = 0;
                RunModal(dlg, [&](QDialog* w) {
                    auto* box = Control<QCheckBox>(w, id);
                    const QString caption = box->text();
                    with = box->grab().toImage();
                    box->setText(QString(caption).remove('&'));
                    without = box->grab().toImage();
                    // Where the letter is: the caption's ink that the letter adds.
                    const QFontMetrics metrics(box->font());
                    const int at = static_cast<int>(caption.indexOf('&'));
                    const QString plain = QString(caption).remove('&');
                    QStyleOptionButton option;
                    option.initFrom(box);
                    option.text = plain;
                    const QRect text =
                        box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
                    const int left = text.left() + metrics.horizontalAdvance(plain.left(at));
                    letter =
                        QRect(left, 0, metrics.horizontalAdvance(plain.mid(at, 1)), box->height());
                    baseline = text.top() + (text.height() - metrics.height()) / 2;
                });
                ASSERT_EQ(with.size(), without.size());
                int changed = 0, outside = 0;
                for (int y = 0; y < with.height(); ++y)
                    for (int x = 0; x < with.width(); ++x)
                        if (with.pixel(x, y) != without.pixel(x, y)) {
                            ++changed;
                            if (x < letter.left() - 3 || x > letter.right() + 3 || y < baseline)
                                ++outside;
                        }
                EXPECT_GT(changed, 0) << "no underline drawn";
                EXPECT_EQ(outside, 0);
            }
        }
    }
}

// What a word label draws a pronunciation with: the symbols its face lacks all come from the
// phonetic face, never from a font the system picks.
TEST_F(AppearanceTest, PhoneticSymbolsComeFromOneChosenFace) {
    struct Case {
        const char* text;
        bool onlyPhonetic; // every glyph from the phonetic face
    };
    const Case cases[] = {
        {"ʌəɒʒ", true},
        {"ˌɜːʌ", true},
        {"/həˈləʊ/", false},
        {"but /bʌt/ 但是", false},
        {"vision /ˈvɪʒən/ 视觉", false},
    };
    RecordingDialog dlg(IDD_MAIN);
    QFont font;
    RunModal(dlg, [&](QDialog* w) { font = Control<QLabel>(w, IDC_WORD_LABEL_0)->font(); });
    ASSERT_EQ(font.families().size(), 2);
    const QString face = font.families().at(0);
    const QString phonetic = font.families().at(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        QTextLayout layout(QString::fromUtf8(c.text), font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        QSet<QString> drawnFrom;
        for (const QGlyphRun& run : layout.glyphRuns())
            drawnFrom.insert(run.rawFont().familyName());
        if (c.onlyPhonetic) {
            EXPECT_EQ(drawnFrom, QSet<QString>{phonetic});
        } else {
            drawnFrom.remove(face);
            drawnFrom.remove(phonetic);
            EXPECT_TRUE(drawnFrom.isEmpty()) << drawnFrom.values().join(", ").toStdString();
        }
    }
}

TEST_F(AppearanceTest, AMarkLastsUntilTheTextOfAMarkedControlChanges) {
    struct Case {
        const char* name;
        int changedId; // the control given a text afterwards, 0 for none
        const char* text;
        bool marked;
    };
    const Case cases[] = {
        {"untouched", 0, nullptr, true},
        {"same_text_again", IDC_WORD_LABEL_2, "apple", true},
        {"word_changes", IDC_WORD_LABEL_2, "pear", false},
        {"meaning_changes", IDC_MEAN_LABEL_2, "梨", false},
        {"other_row_changes", IDC_WORD_LABEL_3, "fig", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingDialog dlg(IDD_MAIN);
        bool wordMarked = false, meanMarked = false, highlighted = false, restored = false;
        RunModal(dlg, [&](QDialog* w) {
            CStatic word, mean, other;
            word.Attach(Control<QWidget>(w, IDC_WORD_LABEL_2), IDC_WORD_LABEL_2);
            mean.Attach(Control<QWidget>(w, IDC_MEAN_LABEL_2), IDC_MEAN_LABEL_2);
            other.Attach(Control<QWidget>(w, IDC_WORD_LABEL_3), IDC_WORD_LABEL_3);
            word.SetWindowText("apple");
            mean.SetWindowText("苹果");
            const QColor plain = word.GetSafeHwnd()->grab().toImage().pixelColor(1, 1);
            MarkControls({word.GetSafeHwnd(), mean.GetSafeHwnd()});
            const QImage marked = word.GetSafeHwnd()->grab().toImage();
            highlighted = marked.pixelColor(1, 1) == w->palette().color(QPalette::Highlight);
            if (c.changedId != 0) {
                CStatic& target = c.changedId == IDC_WORD_LABEL_2   ? word
                                  : c.changedId == IDC_MEAN_LABEL_2 ? mean
                                                                    : other;
                target.SetWindowText(c.text);
            }
            wordMarked = IsMarked(word.GetSafeHwnd());
            meanMarked = IsMarked(mean.GetSafeHwnd());
            restored = word.GetSafeHwnd()->grab().toImage().pixelColor(1, 1) == plain;
        });
        EXPECT_TRUE(highlighted);
        EXPECT_EQ(wordMarked, c.marked);
        EXPECT_EQ(meanMarked, c.marked);
        EXPECT_EQ(restored, !c.marked);
    }
}

} // namespace
