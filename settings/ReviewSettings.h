// The learner's review choices, kept in the [Review] section of env.ini: read once at start,
// written at Exit, and only the keys the learner changed.
//
//   [Review]
//   Retention=0.90      desired retention, 0.70 to 0.99
//   NewPerDay=20        new words introduced a day
//   ReviewsPerDay=0     reviews a day; 0 for no limit
//   Direction=word      word: the word is shown; meaning: the meaning is shown
//   Answers=4           4: Again, Hard, Good, Easy; 2: Forgot and Knew
//   Typed=0             1: the answer is typed before it is shown
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class IniFile;

struct ReviewSettings {
    double retention = 0.90;
    std::uint32_t newPerDay = 20;
    std::uint32_t reviewsPerDay = 0;
    bool meaningShown = false; // the meaning is shown and the word asked
    bool twoAnswers = false;
    bool typed = false;

    friend bool operator==(const ReviewSettings&, const ReviewSettings&) = default;
};

inline constexpr std::uint32_t kMaxReviewsPerDay = 100000;
inline constexpr double kLowestRetention = 0.70;
inline constexpr double kHighestRetention = 0.99;

// A value the file cannot hold sensibly (out of range, not a number) reads as its default.
ReviewSettings ReadReviewSettings(const IniFile& ini);
// Writes the keys whose value differs from `before`; true when nothing failed.
bool WriteReviewSettings(IniFile& ini, const ReviewSettings& before, const ReviewSettings& after);

// "0.90" as the file and the options dialog show a retention; ParseRetention takes what a
// learner types ("0.9", " 0.85 ", "90%") and refuses anything outside 0.70-0.99.
std::string FormatRetention(double retention);
bool ParseRetention(std::string_view text, double& retention);
// A whole number 0..kMaxReviewsPerDay, blanks around it allowed.
bool ParsePerDay(std::string_view text, std::uint32_t& count);
