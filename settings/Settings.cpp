#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "base/AsciiText.h"
#include "settings/IniFile.h"
#include "settings/IniText.h"

namespace {

const char* const kListSection = "Setting";
const char* const kReviewSection = "Review";
const char* const kViewSection = "View";
const char* const kListsSection = "Lists";
constexpr int kRecentKeys = 9; // read; fewer are written
constexpr std::size_t kPathBytes = 4096;
constexpr std::size_t kGotoBytes = 259; // what the jump text was always cut to

std::optional<double> ParseNumber(std::string_view text) {
    text = ascii::Trim(text);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> ParseCount(std::string_view text) {
    text = ascii::Trim(text);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0)
        return std::nullopt;
    return value;
}

std::string FormatNumber(double value) {
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc() ? std::string(text, end) : std::string("0");
}

} // namespace

Settings::Settings(const Folder* folder, std::string userFile)
    : m_folder(folder), m_userFile(std::move(userFile)) {}

std::string Settings::UserFilePath() {
    std::string base;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/')
            return {};
        base = std::string(home) + "/.config";
    }
    return base + "/vocamint/vocamint.ini";
}

IniFile Settings::SettingsFile() const {
    return m_folder ? IniFile(*m_folder, kFileName) : IniFile(kFileName);
}

void Settings::Read() {
    const IniFile file = SettingsFile();
    index = file.ReadInt(kListSection, "Index", 0);
    jumpText = file.ReadString(kListSection, "Goto", "", kGotoBytes);
    review = ReadReview(file);
    m_reviewRead = review;

    MoveViewToUserFile();
    m_view = {};
    if (m_userFile.empty())
        return;
    const IniFile user(m_userFile);
    m_view.theme = user.ReadString(kViewSection, "Theme", "");
    const std::string zoom = user.ReadString(kViewSection, "Zoom", "");
    if (!zoom.empty())
        m_view.zoom = user.ReadInt(kViewSection, "Zoom", 0);
}

void Settings::MoveViewToUserFile() {
    if (m_userFile.empty())
        return;
    IniFile settings = SettingsFile();
    std::optional<IniText> old = settings.Load();
    if (!old)
        return;
    const auto entries = old->Entries(kViewSection);
    if (entries.empty())
        return;
    IniFile user(m_userFile);
    std::optional<IniText> mine = user.Load();
    // Once only: preferences already in the user's file are newer than the old section.
    if (!mine || !mine->Entries(kViewSection).empty())
        return;
    for (const auto& [key, value] : entries)
        mine->Set(kViewSection, key, value);
    if (!QDir().mkpath(QFileInfo(QString::fromStdString(m_userFile)).absolutePath()) ||
        !user.Store(*mine))
        return;
    old->RemoveSection(kViewSection);
    settings.Store(*old);
}

bool Settings::SetTheme(std::string_view name) {
    m_view.theme = std::string(name);
    if (m_userFile.empty())
        return false;
    IniFile user(m_userFile);
    QDir().mkpath(QFileInfo(QString::fromStdString(m_userFile)).absolutePath());
    return user.WriteString(kViewSection, "Theme", name);
}

bool Settings::SetZoom(std::int32_t percent) {
    m_view.zoom = percent;
    if (m_userFile.empty())
        return false;
    IniFile user(m_userFile);
    QDir().mkpath(QFileInfo(QString::fromStdString(m_userFile)).absolutePath());
    return user.WriteString(kViewSection, "Zoom", std::to_string(percent));
}

std::vector<std::string> Settings::RecentLists() const {
    std::vector<std::string> folders;
    if (m_userFile.empty())
        return folders;
    const IniFile user(m_userFile);
    const std::optional<IniText> text = user.Load();
    if (!text)
        return folders;
    // One read of the file for all keys: this is asked at start-up.
    for (int n = 1; n <= kRecentKeys; ++n) {
        std::optional<std::string> folder = text->Find(kListsSection, "Recent" + std::to_string(n));
        if (folder && !folder->empty() && folder->size() <= kPathBytes)
            folders.push_back(std::move(*folder));
    }
    return folders;
}

bool Settings::KeepRecentLists(const std::vector<std::string>& folders) {
    if (m_userFile.empty())
        return false;
    IniFile user(m_userFile);
    std::optional<IniText> text = user.Load();
    if (!text)
        return false;
    text->RemoveSection(kListsSection);
    for (std::size_t n = 0; n < folders.size(); ++n)
        text->Set(kListsSection, "Recent" + std::to_string(n + 1), folders[n]);
    QDir().mkpath(QFileInfo(QString::fromStdString(m_userFile)).absolutePath());
    return user.Store(*text);
}

bool Settings::WriteAtExit(std::int32_t storedIndex, std::string_view goTo) {
    IniFile file = SettingsFile();
    bool written = file.WriteString(kListSection, "Index", std::to_string(storedIndex));
    written = file.WriteString(kListSection, "Goto", goTo) && written;
    if (review != m_reviewRead && WriteReview(file, m_reviewRead, review)) {
        m_reviewRead = review;
    }
    return written;
}

// A fit the learner chose to keep is written at once, alone: the rest of [Review] waits for the
// exit as always.
bool Settings::KeepParameters(const std::vector<double>& parameters) {
    if (!parameters.empty() && parameters.size() != ReviewSettings::kParameterCount)
        return false;
    IniFile file = SettingsFile();
    std::optional<IniText> text = file.Load();
    if (!text)
        return false;
    std::string joined;
    for (const double value : parameters) {
        if (!joined.empty())
            joined += ',';
        joined += FormatNumber(value);
    }
    text->Set(kReviewSection, "Parameters", joined);
    if (!file.Store(*text))
        return false;
    review.parameters = parameters;
    m_reviewRead.parameters = parameters;
    return true;
}

std::string Settings::Where() const {
    return SettingsFile().path();
}

ReviewSettings Settings::ReadReview(const IniFile& file) {
    ReviewSettings review;
    const std::optional<IniText> text = file.Load();
    if (!text)
        return review;
    if (const auto value = text->Find(kReviewSection, "DesiredRetention")) {
        const std::optional<double> retention = ParseNumber(*value);
        // Compared with a margin, so that "0.7" and "0.99" as written are inside.
        if (retention && *retention >= ReviewSettings::kMinRetention - 1e-9 &&
            *retention <= ReviewSettings::kMaxRetention + 1e-9)
            review.desiredRetention = *retention;
    }
    if (const auto value = text->Find(kReviewSection, "NewPerDay"))
        review.newPerDay = ParseCount(*value).value_or(review.newPerDay);
    if (const auto value = text->Find(kReviewSection, "ReviewsPerDay")) {
        review.reviewsPerDay = ParseCount(*value); // empty, "none" or 0: no limit
        if (review.reviewsPerDay == 0)
            review.reviewsPerDay.reset();
    }
    if (const auto value = text->Find(kReviewSection, "Direction")) {
        const std::string_view direction = ascii::Trim(*value);
        if (ascii::EqualsNoCase(direction, "MeaningToWord") ||
            ascii::EqualsNoCase(direction, "meaning"))
            review.direction = ReviewSettings::Direction::MeaningToWord;
    }
    if (const auto value = text->Find(kReviewSection, "Answers"))
        review.twoAnswers = ParseCount(*value) == 2;
    if (const auto value = text->Find(kReviewSection, "Typed"))
        review.typed = ParseCount(*value) == 1;
    if (const auto value = text->Find(kReviewSection, "Parameters")) {
        std::vector<double> parameters;
        std::string_view rest = *value;
        bool valid = true;
        while (valid && !rest.empty() && parameters.size() <= ReviewSettings::kParameterCount) {
            const std::size_t comma = rest.find(',');
            const std::optional<double> number = ParseNumber(rest.substr(0, comma));
            valid = number.has_value();
            if (valid)
                parameters.push_back(*number);
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        }
        if (valid && parameters.size() == ReviewSettings::kParameterCount)
            review.parameters = std::move(parameters);
    }
    return review;
}

bool Settings::WriteReview(IniFile& file, const ReviewSettings& before,
                           const ReviewSettings& after) {
    std::optional<IniText> text = file.Load();
    if (!text)
        return false;
    const auto set = [&](bool changed, const char* key, const std::string& value) {
        if (changed)
            text->Set(kReviewSection, key, value);
    };
    set(before.desiredRetention != after.desiredRetention, "DesiredRetention",
        FormatNumber(after.desiredRetention));
    set(before.newPerDay != after.newPerDay, "NewPerDay", std::to_string(after.newPerDay));
    set(before.reviewsPerDay != after.reviewsPerDay, "ReviewsPerDay",
        after.reviewsPerDay ? std::to_string(*after.reviewsPerDay) : "none");
    set(before.direction != after.direction, "Direction",
        after.direction == ReviewSettings::Direction::MeaningToWord ? "MeaningToWord"
                                                                    : "WordToMeaning");
    set(before.twoAnswers != after.twoAnswers, "Answers", after.twoAnswers ? "2" : "4");
    set(before.typed != after.typed, "Typed", after.typed ? "1" : "0");
    std::string parameters;
    for (const double value : after.parameters) {
        if (!parameters.empty())
            parameters += ',';
        parameters += FormatNumber(value);
    }
    set(before.parameters != after.parameters, "Parameters", parameters);
    return file.Store(*text);
}
