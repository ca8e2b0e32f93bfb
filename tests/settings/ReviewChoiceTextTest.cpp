#include "settings/ReviewChoiceText.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "settings/IniFile.h"
#include "settings/Settings.h"

namespace {

struct RetentionCase {
    const char* text;
    bool accepted;
    double value;
};

TEST(ReviewChoiceText, RetentionIsTakenOnlyWithinItsRange) {
    const RetentionCase cases[] = {
        {"0.9", true, 0.90},  {" 0.85 ", true, 0.85}, {"90%", true, 0.90}, {"0.70", true, 0.70},
        {"0.99", true, 0.99}, {"0.6999", true, 0.70}, {"0.69", false, 0},  {"0.995", false, 0},
        {"1", false, 0},      {"", false, 0},         {"0.9x", false, 0},  {"nan", false, 0},
        {"inf", false, 0},    {"-0.9", false, 0},     {"%", false, 0},
    };
    for (const RetentionCase& c : cases) {
        double value = -1;
        EXPECT_EQ(ParseRetention(c.text, value), c.accepted) << c.text;
        if (c.accepted)
            EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        else
            EXPECT_EQ(value, -1) << c.text << " changed the value on refusal";
    }
}

TEST(ReviewChoiceText, PerDayCountsAreWholeNumbersWithinTheLimit) {
    const struct {
        const char* text;
        bool accepted;
        std::uint32_t value;
    } cases[] = {{"0", true, 0},       {" 20 ", true, 20}, {"100000", true, 100000},
                 {"100001", false, 0}, {"-1", false, 0},   {"4294967296", false, 0},
                 {"1.5", false, 0},    {"", false, 0},     {"ten", false, 0}};
    for (const auto& c : cases) {
        std::uint32_t value = 7;
        EXPECT_EQ(ParsePerDay(c.text, value), c.accepted) << c.text;
        EXPECT_EQ(value, c.accepted ? c.value : 7u) << c.text;
    }
}

class ReviewSettingsFileTest : public ::testing::Test {
protected:
    std::string Path() const { return m_dir.path().toStdString() + "/env.ini"; }
    void Put(const std::string& bytes) const { std::ofstream(Path(), std::ios::binary) << bytes; }
    std::string Get() const {
        std::ifstream in(Path(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    QTemporaryDir m_dir;
};

ReviewSettings Chosen(double retention, std::int32_t newPerDay, std::optional<std::int32_t> perDay,
                      bool meaning, bool two, bool typed) {
    ReviewSettings review;
    review.desiredRetention = retention;
    review.newPerDay = newPerDay;
    review.reviewsPerDay = perDay;
    review.direction = meaning ? ReviewSettings::Direction::MeaningToWord
                               : ReviewSettings::Direction::WordToMeaning;
    review.twoAnswers = two;
    review.typed = typed;
    return review;
}

// The review window's own choices, in the [Review] section beside the schedule's.
TEST_F(ReviewSettingsFileTest, BadValuesReadAsTheirDefaults) {
    const struct {
        const char* name;
        const char* section;
        ReviewSettings expected;
    } cases[] = {
        {"no section", "", ReviewSettings{}},
        {"every key",
         "DesiredRetention=0.85\r\nNewPerDay=5\r\nReviewsPerDay=100\r\nDirection=Meaning\r\n"
         "Answers=2\r\nTyped=1\r\n",
         Chosen(0.85, 5, 100, true, true, true)},
        {"zero reviews a day is no limit", "ReviewsPerDay=0\r\n", ReviewSettings{}},
        {"out of range", "DesiredRetention=0.5\r\nNewPerDay=-3\r\nAnswers=3\r\nTyped=yes\r\n",
         ReviewSettings{}},
        {"unknown direction", "Direction=sideways\r\n", ReviewSettings{}},
    };
    for (const auto& c : cases) {
        Put(std::string("[Setting]\r\nIndex=11\r\n[Review]\r\n") + c.section);
        EXPECT_EQ(Settings::ReadReview(IniFile(Path())), c.expected) << c.name;
    }
}

TEST_F(ReviewSettingsFileTest, OnlyChangedKeysAreWrittenAndTheRestOfTheFileIsKept) {
    const std::string before = "[Setting]\r\nIndex=11\r\nGoto=3\r\n";
    Put(before);
    IniFile ini(Path());
    const ReviewSettings read = Settings::ReadReview(ini);
    ASSERT_TRUE(Settings::WriteReview(ini, read, read));
    EXPECT_EQ(Get(), before) << "unchanged settings wrote to the file";

    ReviewSettings changed = read;
    changed.newPerDay = 7;
    changed.direction = ReviewSettings::Direction::MeaningToWord;
    ASSERT_TRUE(Settings::WriteReview(ini, read, changed));
    const std::string after = Get();
    EXPECT_EQ(after.find("Retention"), std::string::npos) << after;
    EXPECT_NE(after.find("NewPerDay=7"), std::string::npos) << after;
    EXPECT_NE(after.find("Direction=MeaningToWord"), std::string::npos) << after;
    EXPECT_EQ(after.rfind(before, 0), 0u) << "the study window's settings moved: " << after;
    EXPECT_EQ(Settings::ReadReview(ini), changed);
}

} // namespace
