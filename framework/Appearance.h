// The colours and the size every window of the program is drawn with: a palette theme and a
// zoom that scales the dialog font, and with it every dialog-unit position and size.
#pragma once

#include <QFont>
#include <QPalette>
#include <QSize>
#include <optional>
#include <string_view>

enum class Theme { System, Light, Dark };

// "system", "light" or "dark"; nothing for anything else.
std::optional<Theme> ThemeFromName(std::string_view name);
const char* ThemeName(Theme theme);

// The toolkit's own light palette, and a dark one built the same way from dark greys.
QPalette LightPalette();
QPalette DarkPalette();
// Gives the application that palette; System puts back the palette it started with.
void ApplyTheme(Theme theme);
Theme CurrentTheme();

// The contrast ratio of two colours as readability guidelines define it: 1 for the same
// luminance up to 21 for black on white.
double ContrastRatio(const QColor& a, const QColor& b);
// The edge of a check box or radio button: the window text softened toward the window as far
// as it stays at 3.5:1 or more from both the window and the field inside the box.
QColor IndicatorEdge(const QPalette& palette);

class Zoom {
public:
    static constexpr int kMin = 80;
    static constexpr int kMax = 300;
    static constexpr int kDefault = 100;

    // The next step up (+1) or down (-1) from `percent`, held within kMin..kMax.
    static int Step(int percent, int direction);
    // A stored value within the limits, else kDefault.
    static int Valid(int percent);

    static int Percent();
    static void SetPercent(int percent); // held within the limits
    // `font` with its point size scaled by the zoom.
    static QFont Scaled(const QFont& font);
    // A length in pixels scaled by the zoom, rounded.
    static int Scaled(int pixels);
    // The largest step at which a window `atDefault` large at 100% fits into `available`, but
    // never less than kDefault, so that actual size is always there; kMax when nothing is
    // known of the space.
    static int Largest(QSize atDefault, QSize available);
};
