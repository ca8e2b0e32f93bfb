#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <optional>
#include <string>

#include "settings/IniFile.h"
#include "settings/IniText.h"
#include "tests/support/FileBytes.h"

namespace {

using Direction = ReviewSettings::Direction;

ReviewSettings With(double retention, std::int32_t newPerDay, std::optional<std::int32_t> reviews,
                    Direction direction, std::vector<double> parameters = {}) {
    ReviewSettings review;
    review.desiredRetention = retention;
    review.newPerDay = newPerDay;
    review.reviewsPerDay = reviews;
    review.direction = direction;
    review.parameters = std::move(parameters);
    return review;
}

struct ReviewCase {
    const char* name;
    const char* section; // the [Review] lines
    ReviewSettings expected;
};

const std::vector<double> kTwentyOne(21, 0.5);

const ReviewCase kReviewCases[] = {
    {"missing_gives_defaults", "", ReviewSettings{}},
    {"all_set",
     "DesiredRetention=0.85\nNewPerDay=5\nReviewsPerDay=100\nDirection=MeaningToWord\n"
     "Parameters=0.5,0.5,0.5,0.5,0.5,0.5,0.5,0.5,0.5,0.5,0.5,0.5,0.5,0.5,0.5,0.5,0.5,0.5,0.5,"
     "0.5,0.5\n",
     With(0.85, 5, 100, Direction::MeaningToWord, kTwentyOne)},
    {"limits_are_inside", "DesiredRetention=0.7\n", With(0.7, 20, {}, Direction::WordToMeaning)},
    {"upper_limit", "DesiredRetention=0.99\n", With(0.99, 20, {}, Direction::WordToMeaning)},
    {"retention_out_of_range", "DesiredRetention=0.5\n", ReviewSettings{}},
    {"retention_not_a_number", "DesiredRetention=high\n", ReviewSettings{}},
    {"retention_with_trailing_text", "DesiredRetention=0.8x\n", ReviewSettings{}},
    {"negative_new_per_day", "NewPerDay=-3\n", ReviewSettings{}},
    {"no_review_limit", "ReviewsPerDay=none\n", ReviewSettings{}},
    {"direction_in_any_case", "Direction=meaningtoword\n",
     With(0.9, 20, {}, Direction::MeaningToWord)},
    {"unknown_direction", "Direction=sideways\n", ReviewSettings{}},
    {"too_few_parameters", "Parameters=1,2,3\n", ReviewSettings{}},
    {"a_bad_parameter", "Parameters=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,x\n",
     ReviewSettings{}},
    {"too_many_parameters", "Parameters=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22\n",
     ReviewSettings{}},
};

class ReviewTest : public ::testing::TestWithParam<ReviewCase> {};

TEST_P(ReviewTest, ReadsValidValuesAndDefaultsTheRest) {
    const ReviewCase& c = GetParam();
    QTemporaryDir dir;
    const std::string path = dir.filePath("env.ini").toStdString();
    WriteBytes(path, std::string("[Review]\n") + c.section);
    IniFile file(path);
    EXPECT_EQ(Settings::ReadReview(file), c.expected);
    // What is written reads back as it was.
    ASSERT_TRUE(Settings::WriteReview(file, ReviewSettings{}, c.expected));
    EXPECT_EQ(Settings::ReadReview(file), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Settings, ReviewTest, ::testing::ValuesIn(kReviewCases),
                         [](const auto& info) { return std::string(info.param.name); });

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_oldDir = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    }
    void TearDown() override { QDir::setCurrent(m_oldDir); }

    QTemporaryDir m_dir;
    QString m_oldDir;
};

TEST_F(SettingsFileTest, ReviewIsWrittenAtExitOnlyWhenChanged) {
    const std::string start = "[Setting]\r\nIndex=11\r\nGoto=2\r\n[Review]\r\nNewPerDay=7\r\n";
    WriteBytes("env.ini", start);
    Settings settings(nullptr, "");
    settings.Read();
    EXPECT_EQ(settings.index, 11);
    EXPECT_EQ(settings.jumpText, "2");
    EXPECT_EQ(settings.review.newPerDay, 7);
    ASSERT_TRUE(settings.WriteAtExit(1, "3"));
    EXPECT_EQ(ReadBytes("env.ini"),
              "[Setting]\r\nIndex=1\r\nGoto=3\r\n[Review]\r\nNewPerDay=7\r\n");
    settings.review.newPerDay = 9;
    ASSERT_TRUE(settings.WriteAtExit(1, "3"));
    EXPECT_EQ(IniFile("env.ini").ReadInt("Review", "NewPerDay", 0), 9);
    // Only the key that changed: the others keep their defaults by being absent.
    EXPECT_EQ(IniFile("env.ini").ReadString("Review", "DesiredRetention", "absent"), "absent");
}

// The lists opened last live in the learner's file beside the view; a shorter list leaves no
// key of the longer one behind, and a path longer than a jump text is kept whole.
TEST_F(SettingsFileTest, RecentListsAreKeptInTheUsersFile) {
    const std::string user = (m_dir.path() + "/config/vocamint/vocamint.ini").toStdString();
    Settings settings(nullptr, user);
    EXPECT_TRUE(settings.RecentLists().empty());
    ASSERT_TRUE(settings.SetTheme("dark"));
    const std::string deep = "/" + std::string(300, 'd') + "/list";
    ASSERT_TRUE(settings.KeepRecentLists({"/a", deep, "/c"}));
    EXPECT_EQ(settings.RecentLists(), (std::vector<std::string>{"/a", deep, "/c"}));
    ASSERT_TRUE(settings.KeepRecentLists({"/c"}));
    EXPECT_EQ(settings.RecentLists(), std::vector<std::string>{"/c"});
    EXPECT_EQ(ReadBytes(user), "[View]\r\nTheme=dark\r\n[Lists]\r\nRecent1=/c\r\n");
    EXPECT_FALSE(Settings(nullptr, "").KeepRecentLists({"/a"}));
}

struct UserFileCase {
    const char* name;
    const char* config; // XDG_CONFIG_HOME
    const char* home;
    const char* expected;
};

const UserFileCase kUserFileCases[] = {
    {"config_home", "/c", "/h", "/c/vocamint/vocamint.ini"},
    {"relative_config_home_is_ignored", "c", "/h", "/h/.config/vocamint/vocamint.ini"},
    {"no_config_home", nullptr, "/h", "/h/.config/vocamint/vocamint.ini"},
    {"nowhere", nullptr, nullptr, ""},
};

class UserFileTest : public ::testing::TestWithParam<UserFileCase> {};

TEST_P(UserFileTest, FollowsTheDesktopsConfigurationFolder) {
    const UserFileCase& c = GetParam();
    const std::string oldConfig =
        std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    const auto set = [](const char* name, const char* value) {
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    };
    set("XDG_CONFIG_HOME", c.config);
    set("HOME", c.home);
    EXPECT_EQ(Settings::UserFilePath(), c.expected);
    set("XDG_CONFIG_HOME", oldConfig.empty() ? nullptr : oldConfig.c_str());
    set("HOME", oldHome.empty() ? nullptr : oldHome.c_str());
}

INSTANTIATE_TEST_SUITE_P(Settings, UserFileTest, ::testing::ValuesIn(kUserFileCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct RemoveCase {
    const char* name;
    const char* before;
    const char* after;
    bool removed;
};

const RemoveCase kRemoveCases[] = {
    {"middle", "[A]\r\nx=1\r\n[View]\r\nZoom=1\r\n; note\r\n[B]\r\ny=2\r\n",
     "[A]\r\nx=1\r\n[B]\r\ny=2\r\n", true},
    {"last_without_line_end", "[A]\nx=1\n[view]\nZoom=1", "[A]\nx=1\n", true},
    {"first", "[View]\nZoom=1\n[A]\n", "[A]\n", true},
    {"missing", "[A]\nx=1\n", "[A]\nx=1\n", false},
};

class RemoveSectionTest : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(RemoveSectionTest, TakesOutTheSectionAndNothingElse) {
    const RemoveCase& c = GetParam();
    IniText text(c.before);
    EXPECT_EQ(text.RemoveSection("View"), c.removed);
    EXPECT_EQ(text.bytes(), c.after);
}

INSTANTIATE_TEST_SUITE_P(Settings, RemoveSectionTest, ::testing::ValuesIn(kRemoveCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
