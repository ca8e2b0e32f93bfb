#include "settings/ReviewChoiceText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/AsciiText.h"
#include "settings/Settings.h"

std::string FormatRetention(double retention) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", retention);
    return text;
}

bool ParseRetention(std::string_view text, double& retention) {
    text = ascii::Trim(text);
    bool percent = false;
    if (!text.empty() && text.back() == '%') {
        percent = true;
        text = ascii::Trim(text.substr(0, text.size() - 1));
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value))
        return false;
    if (percent)
        value /= 100.0;
    // Two decimals are all the file keeps; rounding first lets "0.699999" not fail at 0.70.
    value = std::round(value * 100.0) / 100.0;
    if (value < ReviewSettings::kMinRetention - 1e-9 ||
        value > ReviewSettings::kMaxRetention + 1e-9)
        return false;
    retention = value;
    return true;
}

bool ParsePerDay(std::string_view text, std::uint32_t& count) {
    text = ascii::Trim(text);
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        value > kMaxReviewsPerDay)
        return false;
    count = value;
    return true;
}
