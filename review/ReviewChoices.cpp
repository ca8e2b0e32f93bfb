#include "review/ReviewChoices.h"

#include <algorithm>
#include <vector>

namespace review {

memory::Parameters<double> ParametersOf(const ReviewSettings& review) {
    if (review.parameters.size() != memory::kParameterCount)
        return memory::kDefaultParameters;
    memory::Parameters<double> w{};
    for (std::size_t i = 0; i < memory::kParameterCount; ++i) {
        const double value = review.parameters[i];
        if (!(value >= memory::kLowerBounds[i] && value <= memory::kUpperBounds[i]))
            return memory::kDefaultParameters;
        w[i] = value;
    }
    return w;
}

bool KeepParameters(Settings& settings, const memory::Parameters<double>& w, std::string& message) {
    const memory::Parameters<double> clamped = memory::ClampToBounds(w);
    std::vector<double> kept;
    if (clamped != memory::kDefaultParameters)
        kept.assign(clamped.begin(), clamped.end());
    if (settings.KeepParameters(kept))
        return true;
    message = "The parameters could not be kept: " + settings.Where() + " could not be written.";
    return false;
}

ScheduleSettings ScheduleOf(const ReviewSettings& review) {
    ScheduleSettings schedule;
    schedule.desiredRetention = review.desiredRetention;
    schedule.parameters = ParametersOf(review);
    return schedule;
}

SessionSettings SessionSettingsOf(const ReviewSettings& review) {
    SessionSettings settings;
    settings.schedule = ScheduleOf(review);
    settings.limits.newWords = static_cast<std::uint32_t>(std::max(0, review.newPerDay));
    settings.limits.reviews =
        static_cast<std::uint32_t>(std::max(0, review.reviewsPerDay.value_or(0)));
    settings.direction = review.direction == ReviewSettings::Direction::MeaningToWord
                             ? Direction::MeaningToWord
                             : Direction::WordToMeaning;
    return settings;
}

} // namespace review
