#include "settings/ReviewSettings.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/AsciiText.h"
#include "settings/IniFile.h"

namespace {

constexpr const char* kSection = "Review";

} // namespace

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
    if (value < kLowestRetention || value > kHighestRetention)
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

ReviewSettings ReadReviewSettings(const IniFile& ini) {
    ReviewSettings settings;
    ParseRetention(ini.ReadString(kSection, "Retention", ""), settings.retention);
    ParsePerDay(ini.ReadString(kSection, "NewPerDay", ""), settings.newPerDay);
    ParsePerDay(ini.ReadString(kSection, "ReviewsPerDay", ""), settings.reviewsPerDay);
    const std::string direction = ini.ReadString(kSection, "Direction", "");
    if (ascii::EqualsNoCase(ascii::Trim(direction), "meaning"))
        settings.meaningShown = true;
    settings.twoAnswers = ini.ReadInt(kSection, "Answers", 4) == 2;
    settings.typed = ini.ReadInt(kSection, "Typed", 0) == 1;
    return settings;
}

bool WriteReviewSettings(IniFile& ini, const ReviewSettings& before, const ReviewSettings& after) {
    bool ok = true;
    const auto write = [&](bool changed, const char* key, const std::string& value) {
        if (changed)
            ok = ini.WriteString(kSection, key, value) && ok;
    };
    write(FormatRetention(before.retention) != FormatRetention(after.retention), "Retention",
          FormatRetention(after.retention));
    write(before.newPerDay != after.newPerDay, "NewPerDay", std::to_string(after.newPerDay));
    write(before.reviewsPerDay != after.reviewsPerDay, "ReviewsPerDay",
          std::to_string(after.reviewsPerDay));
    write(before.meaningShown != after.meaningShown, "Direction",
          after.meaningShown ? "meaning" : "word");
    write(before.twoAnswers != after.twoAnswers, "Answers", after.twoAnswers ? "2" : "4");
    write(before.typed != after.typed, "Typed", after.typed ? "1" : "0");
    return ok;
}
