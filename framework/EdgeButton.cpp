#include "framework/EdgeButton.h"

#include <QPainter>
#include <QStyle>

void EdgeButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(rect(), isDown() ? pal.mid() : pal.button());
    // Dark above and left, light below and right; darker still while it has the focus.
    painter.setPen(hasFocus() ? pal.shadow().color() : pal.dark().color());
    painter.drawLine(frame.topLeft(), frame.topRight());
    painter.drawLine(frame.topLeft(), frame.bottomLeft());
    painter.setPen(pal.light().color());
    painter.drawLine(frame.bottomLeft(), frame.bottomRight());
    painter.drawLine(frame.topRight(), frame.bottomRight());
    style()->drawItemText(&painter, rect(), Qt::AlignCenter | Qt::TextShowMnemonic, pal,
                          isEnabled(), text(), QPalette::ButtonText);
}
