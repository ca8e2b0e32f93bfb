// The program's settings, typed: the page position kept beside the word list, the review
// choices, and the learner's view preferences kept in the desktop's configuration folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Folder;
class IniFile;

struct ReviewSettings {
    enum class Direction { WordToMeaning, MeaningToWord };
    static constexpr double kMinRetention = 0.70;
    static constexpr double kMaxRetention = 0.99;
    static constexpr std::size_t kParameterCount = 21;

    double desiredRetention = 0.90;
    std::int32_t newPerDay = 20;
    std::optional<std::int32_t> reviewsPerDay; // nothing: no limit
    Direction direction = Direction::WordToMeaning;
    bool twoAnswers = false;        // Forgot and Knew instead of Again, Hard, Good and Easy
    bool typed = false;             // the answer is typed before it is shown
    std::vector<double> parameters; // empty (the scheduler's own), or kParameterCount fitted values

    friend bool operator==(const ReviewSettings&, const ReviewSettings&) = default;
};

struct ViewSettings {
    std::string theme;                // as the window names it; empty: the desktop's
    std::optional<std::int32_t> zoom; // percent; nothing: the default size

    friend bool operator==(const ViewSettings&, const ViewSettings&) = default;
};

class Settings {
public:
    static constexpr const char* kFileName = "env.ini";

    // The settings file in `folder` (nullptr: the current directory) and the view preferences
    // in `userFile` (empty: kept for this run only).
    explicit Settings(const Folder* folder, std::string userFile = UserFilePath());

    // $XDG_CONFIG_HOME/vocamint/vocamint.ini, with ~/.config for an unset or relative
    // XDG_CONFIG_HOME; empty without a home either.
    static std::string UserFilePath();
    const std::string& UserFile() const { return m_userFile; }

    // Start-up: [Setting] and [Review] of the settings file, then the view preferences. A
    // [View] section left in the settings file by earlier versions moves to the user's file
    // the first time, the settings file's other bytes kept.
    void Read();

    std::int32_t index = 0; // [Setting] Index as read
    std::string jumpText;   // [Setting] Goto as read
    ReviewSettings review;  // [Review]; invalid values read as their defaults

    const ViewSettings& view() const { return m_view; }
    // Kept at once: the learner chose it.
    bool SetTheme(std::string_view name);
    bool SetZoom(std::int32_t percent);

    // The folders of the lists opened last, most recent first, as the user's file keeps them;
    // and kept there at once (false when it could not be written).
    std::vector<std::string> RecentLists() const;
    bool KeepRecentLists(const std::vector<std::string>& folders);

    // Exit: Index and Goto always, [Review] only when it differs from what was read.
    bool WriteAtExit(std::int32_t storedIndex, std::string_view goTo);

    // Fitted parameters the learner chose (empty: the scheduler's own), written at once and
    // only to [Review] Parameters; false when the file could not be written.
    bool KeepParameters(const std::vector<double>& parameters);
    // The settings file's path, for messages.
    std::string Where() const;
    // The [Review] section's values as stored, and back; exposed for tests and the fuzzer.
    static ReviewSettings ReadReview(const IniFile& file);
    // Writes the keys whose values differ from `before`, leaving the others as they are.
    static bool WriteReview(IniFile& file, const ReviewSettings& before,
                            const ReviewSettings& after);

private:
    IniFile SettingsFile() const;
    void MoveViewToUserFile();

    const Folder* m_folder;
    std::string m_userFile;
    ReviewSettings m_reviewRead;
    ViewSettings m_view;
};
