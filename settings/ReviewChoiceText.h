// The review choices as the options dialog shows them and a learner types them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::uint32_t kMaxReviewsPerDay = 100000;

// "0.90" as the options dialog shows a retention; ParseRetention takes what a learner types
// ("0.9", " 0.85 ", "90%") and refuses anything outside 0.70-0.99, leaving `retention` alone.
std::string FormatRetention(double retention);
bool ParseRetention(std::string_view text, double& retention);
// A whole number 0..kMaxReviewsPerDay, blanks around it allowed.
bool ParsePerDay(std::string_view text, std::uint32_t& count);
