// Under a fractional screen scale the study window is drawn for the screen's own pixels: its
// text is rasterised at that size, not drawn at 100% and stretched, and no painted edge falls
// between pixels. Runs in the ctest entries that set QT_SCALE_FACTOR (100% among them, for
// the edges and the picture), since the scale is fixed when the toolkit starts.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QtTest/QTest>
#include <cmath>

#include "StudyWindowFixture.h"
#include "framework/EdgeButton.h"
#include "tests/support/DialogDriver.h"
#include "ui/CVocabDlg.h"

namespace {

// Counts the ink of dark text on a light ground: every inked pixel, and those nearly full
// ink. Text stretched after drawing smears each edge into greys and keeps few of the latter.
struct Ink {
    long inked = 0;
    long full = 0;
    double Crispness() const { return inked == 0 ? 0 : static_cast<double>(full) / inked; }
};

void CountInk(const QImage& image, Ink& ink) {
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    const int ground = qGray(image.pixel(image.width() - 1, image.height() - 1));
    for (int y = 0; y < gray.height(); ++y) {
        const uchar* line = gray.constScanLine(y);
        for (int x = 0; x < gray.width(); ++x) {
            const int depth = ground - line[x];
            ink.inked += depth > 40;
            ink.full += depth > ground * 3 / 4;
        }
    }
}

// Whether the band along one edge of `button`, in the window's picture `shot`, holds a line
// of `color` over most of its length.
bool HasEdgeLine(const QImage& shot, const QWidget* button, Qt::Edge edge, const QColor& color) {
    const qreal ratio = shot.devicePixelRatio();
    const QRectF area(QPointF(button->mapTo(button->window(), QPoint(0, 0))) * ratio,
                      QSizeF(button->size()) * ratio);
    const bool across = edge == Qt::TopEdge || edge == Qt::BottomEdge;
    // The edge's band lies within two units of the border, inside the button.
    const int reach = static_cast<int>(std::ceil(2 * ratio));
    const int first = static_cast<int>(std::floor(edge == Qt::TopEdge      ? area.top()
                                                  : edge == Qt::LeftEdge   ? area.left()
                                                  : edge == Qt::BottomEdge ? area.bottom() - reach
                                                                           : area.right() - reach));
    const int from = static_cast<int>(std::ceil(across ? area.left() : area.top())) + reach;
    const int to = static_cast<int>(std::floor(across ? area.right() : area.bottom())) - reach;
    for (int line = first; line <= first + reach; ++line) {
        int matching = 0;
        for (int along = from; along < to; ++along) {
            const QColor seen = shot.pixelColor(across ? along : line, across ? line : along);
            matching += std::abs(seen.red() - color.red()) +
                            std::abs(seen.green() - color.green()) +
                            std::abs(seen.blue() - color.blue()) <
                        30;
        }
        if (to > from && matching >= (to - from) * 4 / 5)
            return true;
    }
    return false;
}

// The label drawn at 100% and stretched to `size`: what a blurred window would show.
QImage Stretched(QWidget* widget, const QSize& size) {
    QImage plain(widget->size(), QImage::Format_ARGB32);
    plain.setDevicePixelRatio(1.0);
    plain.fill(widget->palette().color(widget->backgroundRole()));
    widget->render(&plain, QPoint(), QRegion(), QWidget::DrawChildren);
    return plain.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

TEST_F(StudyWindowTest, IsDrawnForTheScreensPixelsAtFractionalScales) {
    const double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble();
    if (factor <= 0)
        GTEST_SKIP() << "runs under QT_SCALE_FACTOR, in the ctest entries that set it";
    QFile examples(QDir(QStringLiteral(VOCAMINT_SOURCE_DIR)).filePath("examples/WL.txt"));
    ASSERT_TRUE(examples.open(QIODevice::ReadOnly));
    WriteFile("WL.txt", examples.readAll().toStdString());
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\nGoto=1\r\n");
    Run([&](QDialog* w) {
        QTest::qWait(50);
        const QImage shot = w->grab().toImage();
        EXPECT_DOUBLE_EQ(shot.devicePixelRatio(), factor);
        EXPECT_NEAR(shot.width(), w->width() * factor, 1.0);
        EXPECT_NEAR(shot.height(), w->height() * factor, 1.0);
        const QString name = QStringLiteral("study-window-%1.png").arg(std::lround(factor * 100));
        const QString dir = qEnvironmentVariableIsSet("VOCAMINT_SCREENSHOT_DIR")
                                ? qEnvironmentVariable("VOCAMINT_SCREENSHOT_DIR")
                                : QCoreApplication::applicationDirPath();
        EXPECT_TRUE(shot.save(QDir(dir).filePath(name)));
        Ink drawn, stretched;
        for (const RowIds& row : kRows) {
            for (const int id : {row.wordLabel, row.meanLabel}) {
                auto* label = Control<QLabel>(w, id);
                const QImage image = label->grab().toImage();
                CountInk(image, drawn);
                CountInk(Stretched(label, image.size()), stretched);
            }
        }
        ASSERT_GT(drawn.inked, 1000);
        if (factor > 1.0) {
            EXPECT_GT(drawn.Crispness(), 3 * stretched.Crispness() + 0.05);
        }
        // The small buttons keep all four edges wherever their border falls between pixels.
        int checked = 0;
        for (const QPushButton* button : w->findChildren<QPushButton*>()) {
            // EdgeButton has no meta-object of its own for findChildren to tell it by.
            if (dynamic_cast<const EdgeButton*>(button) == nullptr || !button->isVisible() ||
                button->hasFocus())
                continue;
            ++checked;
            SCOPED_TRACE(button->text().toStdString() + " at " + std::to_string(button->x()) + "," +
                         std::to_string(button->y()));
            const QPalette& pal = button->palette();
            for (const auto& [edge, color] : {std::pair{Qt::TopEdge, pal.dark().color()},
                                              {Qt::LeftEdge, pal.dark().color()},
                                              {Qt::BottomEdge, pal.light().color()},
                                              {Qt::RightEdge, pal.light().color()}})
                EXPECT_TRUE(HasEdgeLine(shot, button, edge, color)) << "edge " << edge;
        }
        EXPECT_GE(checked, 25); // the page buttons, "GoTo" and the twenty toggles
    });
}

} // namespace
