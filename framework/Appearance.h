// The colours and the size every window of the program is drawn with: a palette theme and a
// zoom that scales the dialog font, and with it every dialog-unit position and size.
#pragma once

#include <QFont>
#include <QPalette>
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
};
