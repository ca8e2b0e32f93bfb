#include "framework/EdgeButton.h"

#include <QPainter>
#include <QStyle>

void EdgeButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QPalette& pal = palette();
    painter.fillRect(rect(), isDown() ? pal.mid() : pal.button());
    // Dark above and left, light below and right, inside a frame one unit short of the right
    // and bottom; darker still while it has the focus. Each edge is a band one unit wide, not
    // a line on the frame: under a fractional screen scale a line centred on a unit boundary
    // can fall between pixels and vanish.
    const QRectF frame(0, 0, width() - 1, height() - 1);
    const QColor dark = hasFocus() ? pal.shadow().color() : pal.dark().color();
    painter.fillRect(QRectF(0, 0, frame.width(), 1), dark);
    painter.fillRect(QRectF(0, 0, 1, frame.height()), dark);
    painter.fillRect(QRectF(0, frame.height() - 1, frame.width(), 1), pal.light().color());
    painter.fillRect(QRectF(frame.width() - 1, 0, 1, frame.height()), pal.light().color());
    style()->drawItemText(&painter, rect(), Qt::AlignCenter | Qt::TextShowMnemonic, pal,
                          isEnabled(), text(), QPalette::ButtonText);
}
