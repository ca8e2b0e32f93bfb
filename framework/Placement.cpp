#include "framework/Placement.h"

#include <algorithm>

std::optional<QPoint> PlaceBeside(const QRect& owner, const QSize& size, const QRect& available) {
    if (size.width() > available.width() || size.height() > available.height())
        return std::nullopt;
    const int top =
        std::clamp(owner.top(), available.top(), available.bottom() + 1 - size.height());
    const int right = owner.right() + 1;
    if (right + size.width() <= available.right() + 1)
        return QPoint(right, top);
    const int left = owner.left() - size.width();
    if (left >= available.left())
        return QPoint(left, top);
    return std::nullopt;
}
