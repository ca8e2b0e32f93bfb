#include "framework/DialogUnits.h"

#include <QFontMetrics>
#include <QString>
#include <cmath>
#include <cstdlib>

namespace {

// a * b / c rounded half away from zero, in 64 bits so no product overflows.
int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    const long long rounded = product >= 0 ? (product + half) / c : (product - half) / c;
    return static_cast<int>(rounded);
}

} // namespace

DialogUnits DialogUnits::FromFont(const QFont& font) {
    const QFontMetrics metrics(font);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int width = metrics.horizontalAdvance(letters);
    const int baseX = static_cast<int>(std::lround(width / 52.0));
    return DialogUnits(baseX > 0 ? baseX : 1, metrics.height() > 0 ? metrics.height() : 1);
}

int DialogUnits::toPixelsX(int units) const {
    return MulDiv(units, m_baseX, 4);
}

int DialogUnits::toPixelsY(int units) const {
    return MulDiv(units, m_baseY, 8);
}

QRect DialogUnits::toPixels(int x, int y, int cx, int cy) const {
    return QRect(toPixelsX(x), toPixelsY(y), toPixelsX(cx), toPixelsY(cy));
}
