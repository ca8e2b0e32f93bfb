// The program's style draws what the desktop's style draws; only the menu bar's overflow
// arrow is read later.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMenuBar>
#include <QStyleFactory>
#include <QToolButton>
#include <memory>

#include "framework/ProgramStyle.h"

namespace {

// The name of the desktop's style under the program's.
QString DesktopStyleName() {
    const QStyle* style = QApplication::style();
    if (const auto* program = dynamic_cast<const ProgramStyle*>(style))
        style = program->baseStyle();
    return style->name();
}

QImage Pixels(const QIcon& icon, int size, qreal ratio) {
    return icon.pixmap(QSize(size, size), ratio).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(ProgramStyle, IconsLookAsTheBaseStyleDrawsThem) {
    const QString name = DesktopStyleName();
    ASSERT_FALSE(name.isEmpty());
    const ProgramStyle program(name);
    const std::unique_ptr<QStyle> base(QStyleFactory::create(name));
    ASSERT_NE(base, nullptr);
    for (const QStyle::StandardPixmap which :
         {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_MessageBoxInformation,
          QStyle::SP_ArrowDown}) {
        for (const qreal ratio : {1.0, 1.5, 2.0}) {
            SCOPED_TRACE(testing::Message() << which << " at " << ratio);
            const QIcon ours = program.standardIcon(which);
            EXPECT_FALSE(ours.isNull());
            EXPECT_EQ(Pixels(ours, 16, ratio), Pixels(base->standardIcon(which), 16, ratio));
        }
    }
}

TEST(ProgramStyle, TheApplicationKeepsItsStyleAndTheMenuBarItsArrow) {
    const QString before = DesktopStyleName();
    const QStyle* first = QApplication::style();
    UseProgramStyle();
    UseProgramStyle();
    ASSERT_NE(dynamic_cast<ProgramStyle*>(QApplication::style()), nullptr);
    EXPECT_EQ(DesktopStyleName(), before);
    if (dynamic_cast<const ProgramStyle*>(first) != nullptr) {
        EXPECT_EQ(QApplication::style(), first) << "a second call changes nothing";
    }
    QMenuBar bar;
    const auto* arrow = bar.findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
    ASSERT_NE(arrow, nullptr);
    EXPECT_FALSE(Pixels(arrow->icon(), 16, 1.0).isNull());
}

} // namespace
