#include "framework/Appearance.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace {

Theme g_theme = Theme::System;
std::optional<QPalette> g_startPalette; // the desktop's, kept when a theme first replaces it
int g_zoom = Zoom::kDefault;

constexpr std::array<int, 10> kZoomSteps = {80, 90, 100, 110, 125, 150, 175, 200, 250, 300};

} // namespace

std::optional<Theme> ThemeFromName(std::string_view name) {
    if (name == "system")
        return Theme::System;
    if (name == "light")
        return Theme::Light;
    if (name == "dark")
        return Theme::Dark;
    return std::nullopt;
}

const char* ThemeName(Theme theme) {
    switch (theme) {
    case Theme::Light:
        return "light";
    case Theme::Dark:
        return "dark";
    case Theme::System:
        break;
    }
    return "system";
}

QPalette LightPalette() {
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    return fusion ? fusion->standardPalette() : QPalette(QColor(239, 239, 239));
}

// Fusion's light palette mirrored: the same roles, derived from dark greys by the toolkit.
QPalette DarkPalette() {
    const QColor window(53, 53, 53);
    const QColor text(230, 230, 230);
    QPalette palette(window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::Base, QColor(36, 36, 36));
    palette.setColor(QPalette::AlternateBase, QColor(45, 45, 45));
    palette.setColor(QPalette::ToolTipBase, QColor(36, 36, 36));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(140, 140, 140));
    palette.setColor(QPalette::Highlight, QColor(42, 130, 218));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(90, 160, 240));
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(QPalette::Disabled, role, QColor(120, 120, 120));
    return palette;
}

void ApplyTheme(Theme theme) {
    if (theme == Theme::System && !g_startPalette)
        return; // never replaced: the desktop's palette is still in place
    if (!g_startPalette)
        g_startPalette = QApplication::palette();
    g_theme = theme;
    switch (theme) {
    case Theme::System:
        QApplication::setPalette(*g_startPalette);
        break;
    case Theme::Light:
        QApplication::setPalette(LightPalette());
        break;
    case Theme::Dark:
        QApplication::setPalette(DarkPalette());
        break;
    }
}

Theme CurrentTheme() {
    return g_theme;
}

namespace {

double Luminance(const QColor& color) {
    const auto channel = [](double value) {
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = color.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) +
           0.0722 * channel(rgb.blueF());
}

QColor Mix(const QColor& from, const QColor& to, double share) {
    const QColor a = from.toRgb();
    const QColor b = to.toRgb();
    const auto mix = [share](int x, int y) {
        return static_cast<int>(std::lround(x + (y - x) * share));
    };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

} // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor IndicatorEdge(const QPalette& palette) {
    constexpr double kWanted = 3.5;
    const QColor text = palette.color(QPalette::WindowText);
    const QColor window = palette.color(QPalette::Window);
    const QColor field = palette.color(QPalette::Base);
    // Most softened first; the text itself where nothing softer keeps the contrast.
    for (int step = 6; step > 0; --step) {
        const QColor edge = Mix(text, window, step / 10.0);
        if (ContrastRatio(edge, window) >= kWanted && ContrastRatio(edge, field) >= kWanted)
            return edge;
    }
    return text;
}

int Zoom::Step(int percent, int direction) {
    percent = std::clamp(percent, kMin, kMax);
    if (direction > 0) {
        const auto next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), percent);
        return next != kZoomSteps.end() ? *next : kMax;
    }
    if (direction < 0) {
        const auto at = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), percent);
        return at != kZoomSteps.begin() ? *(at - 1) : kMin;
    }
    return percent;
}

int Zoom::Largest(QSize atDefault, QSize available) {
    if (atDefault.isEmpty() || available.isEmpty())
        return kMax;
    const auto fits = [&](int step) {
        const auto scaled = [step](int pixels) {
            return (static_cast<long long>(pixels) * step + 99) / 100;
        };
        return scaled(atDefault.width()) <= available.width() &&
               scaled(atDefault.height()) <= available.height();
    };
    for (auto step = kZoomSteps.rbegin(); step != kZoomSteps.rend() && *step > kDefault; ++step) {
        if (fits(*step))
            return *step;
    }
    return kDefault;
}

int Zoom::Valid(int percent) {
    return percent >= kMin && percent <= kMax ? percent : kDefault;
}

int Zoom::Percent() {
    return g_zoom;
}

void Zoom::SetPercent(int percent) {
    g_zoom = std::clamp(percent, kMin, kMax);
}

int Zoom::Scaled(int pixels) {
    return static_cast<int>(std::lround(pixels * g_zoom / 100.0));
}

QFont Zoom::Scaled(const QFont& font) {
    if (g_zoom == kDefault)
        return font;
    QFont scaled(font);
    if (font.pointSizeF() > 0)
        scaled.setPointSizeF(font.pointSizeF() * g_zoom / 100.0);
    else if (font.pixelSize() > 0)
        scaled.setPixelSize(std::max(1, font.pixelSize() * g_zoom / 100));
    return scaled;
}
