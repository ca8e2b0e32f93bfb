// Dialog units of a template's font and their conversion to pixels.
#pragma once

#include <QFont>
#include <QRect>

class DialogUnits {
public:
    // Horizontal base: the average width of the 52 Latin letters; vertical base: the height.
    static DialogUnits FromFont(const QFont& font);
    DialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}

    int baseX() const { return m_baseX; }
    int baseY() const { return m_baseY; }
    // A horizontal unit is a quarter of baseX, a vertical one an eighth of baseY.
    int toPixelsX(int units) const;
    int toPixelsY(int units) const;
    QRect toPixels(int x, int y, int cx, int cy) const;

private:
    int m_baseX;
    int m_baseY;
};
