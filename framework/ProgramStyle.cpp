#include "framework/ProgramStyle.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QStyleOptionButton>
#include <algorithm>
#include <cmath>

#include "framework/Appearance.h"

namespace {

// An icon that asks the base style for the real one the first time it is needed.
class DeferredIconEngine : public QIconEngine {
public:
    DeferredIconEngine(QPointer<QStyle> style, QStyle::StandardPixmap which)
        : m_style(std::move(style)), m_which(which) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    // `size` is in device pixels here; the icon takes it in logical ones.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return icon().pixmap(scale > 0 ? size / scale : size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("DeferredIconEngine"); }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    const QIcon& icon() {
        if (!m_made) {
            m_made = true;
            if (m_style)
                m_icon = m_style->standardIcon(m_which);
        }
        return m_icon;
    }

    QPointer<QStyle> m_style;
    QStyle::StandardPixmap m_which;
    bool m_made = false;
    QIcon m_icon;
};

} // namespace

ProgramStyle::ProgramStyle(const QString& baseName) : QProxyStyle(baseName) {}

QIcon ProgramStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                 const QWidget* widget) const {
    if (which == SP_ToolBarHorizontalExtensionButton && option == nullptr)
        return QIcon(new DeferredIconEngine(baseStyle(), which));
    return QProxyStyle::standardIcon(which, option, widget);
}

void ProgramStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    const bool check = element == PE_IndicatorCheckBox;
    if ((!check && element != PE_IndicatorRadioButton) || option == nullptr || painter == nullptr) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const QPalette& pal = option->palette;
    const bool enabled = option->state.testFlag(State_Enabled);
    const QColor field = enabled ? pal.color(QPalette::Base) : pal.color(QPalette::Window);
    const QColor edge = IndicatorEdge(pal);
    const QColor mark = pal.color(QPalette::Text);
    // A square at least one pixel of edge wide, more as the zoom grows the box.
    const int side = std::min(option->rect.width(), option->rect.height());
    const QRectF box(option->rect.x() + (option->rect.width() - side) / 2,
                     option->rect.y() + (option->rect.height() - side) / 2, side, side);
    const qreal line = std::max<qreal>(1, std::round(side / 13.0));

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, !check);
    if (check) {
        painter->fillRect(box, edge);
        painter->fillRect(box.adjusted(line, line, -line, -line),
                          option->state.testFlag(State_Sunken) ? pal.color(QPalette::Button)
                                                               : field);
    } else {
        painter->setPen(Qt::NoPen);
        painter->setBrush(edge);
        painter->drawEllipse(box);
        painter->setBrush(option->state.testFlag(State_Sunken) ? pal.color(QPalette::Button)
                                                               : field);
        painter->drawEllipse(box.adjusted(line, line, -line, -line));
    }
    const QRectF inner = box.adjusted(side * 0.22, side * 0.22, -side * 0.22, -side * 0.22);
    if (check && option->state.testFlag(State_On)) {
        painter->setRenderHint(QPainter::Antialiasing, true);
        QPainterPath tick;
        tick.moveTo(inner.left(), inner.top() + inner.height() * 0.55);
        tick.lineTo(inner.left() + inner.width() * 0.38, inner.bottom());
        tick.lineTo(inner.right(), inner.top());
        painter->setPen(QPen(mark, std::max<qreal>(1.5, side / 7.0), Qt::SolidLine, Qt::SquareCap,
                             Qt::MiterJoin));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(tick);
    } else if (check && option->state.testFlag(State_NoChange)) {
        painter->fillRect(QRectF(inner.left(), inner.center().y() - line, inner.width(), 2 * line),
                          mark);
    } else if (!check && option->state.testFlag(State_On)) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(mark);
        painter->drawEllipse(inner.adjusted(side * 0.04, side * 0.04, -side * 0.04, -side * 0.04));
    }
    painter->restore();
}

void ProgramStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if ((element != CE_CheckBoxLabel && element != CE_RadioButtonLabel) || button == nullptr ||
        !button->icon.isNull() || painter == nullptr) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const QFontMetrics& metrics = button->fontMetrics;
    const QRect& area = button->rect;
    // The underline of this font can fall below its line, out of a box one line high.
    const int underlineBottom = metrics.ascent() + metrics.underlinePos() + metrics.lineWidth();
    const int needed = std::max(metrics.height(), underlineBottom + 1);
    int top = area.top() + (area.height() - metrics.height()) / 2;
    top = std::max(area.top(), std::min(top, area.bottom() + 1 - needed));
    const QRect line(area.left(), top, area.width(), metrics.height());
    const int alignment =
        static_cast<int>(visualAlignment(button->direction, Qt::AlignLeft | Qt::AlignTop)) |
        Qt::TextShowMnemonic;
    drawItemText(painter, line, alignment, button->palette, button->state.testFlag(State_Enabled),
                 button->text, QPalette::WindowText);
}

int ProgramStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                              const QWidget* widget) const {
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
        return Zoom::Scaled(base);
    default:
        return base;
    }
}

void UseProgramStyle() {
    if (dynamic_cast<ProgramStyle*>(QApplication::style()) == nullptr)
        QApplication::setStyle(new ProgramStyle(QApplication::style()->name()));
}
