#include "review/FitSettings.h"

#include "review/FitJob.h"

namespace review {

namespace {
constexpr const char* kSection = "Review";
constexpr const char* kKey = "Parameters";
// 21 numbers of at most 24 characters and their separators, with room to spare.
constexpr std::size_t kMaxText = 1024;
} // namespace

memory::Parameters<double> ReadReviewParameters(const IniFile& ini) {
    const std::string text = ini.ReadString(kSection, kKey, "", kMaxText);
    return ParseParameters(text).value_or(memory::kDefaultParameters);
}

bool WriteReviewParameters(IniFile& ini, const memory::Parameters<double>& w,
                           std::string& message) {
    if (ini.WriteString(kSection, kKey, FormatParameters(memory::ClampToBounds(w))))
        return true;
    message = "The parameters could not be kept: " + ini.path() + " could not be written.";
    return false;
}

} // namespace review
