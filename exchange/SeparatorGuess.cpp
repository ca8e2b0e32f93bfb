#include "exchange/SeparatorGuess.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "base/AsciiText.h"

namespace {

constexpr std::size_t kSampleRecords = 20;

} // namespace

char DetectSeparator(std::string_view text, std::string_view candidates) {
    struct Tally {
        std::size_t min = SIZE_MAX;
        std::size_t max = 0;
    };
    std::vector<Tally> tallies(candidates.size());
    std::vector<std::size_t> counts(candidates.size(), 0);
    std::size_t records = 0;
    bool quoted = false;
    bool empty = true;
    const auto endRecord = [&] {
        if (!empty) {
            for (std::size_t k = 0; k < candidates.size(); ++k) {
                tallies[k].min = std::min(tallies[k].min, counts[k]);
                tallies[k].max = std::max(tallies[k].max, counts[k]);
            }
            ++records;
        }
        std::fill(counts.begin(), counts.end(), 0);
        empty = true;
    };
    for (std::size_t i = 0; i < text.size() && records < kSampleRecords; ++i) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '\n' || c == '\r')) {
            endRecord();
            continue;
        } else if (!quoted) {
            const std::size_t k = candidates.find(c);
            if (k != std::string_view::npos) {
                ++counts[k];
            }
        }
        empty = false;
    }
    endRecord();
    char best = 0;
    // Scores: in every record, then the same count in every record, then the count.
    std::tuple<bool, bool, std::size_t> bestScore{false, false, 0};
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        if (tallies[k].max == 0) {
            continue;
        }
        const std::tuple<bool, bool, std::size_t> score{
            tallies[k].min > 0, tallies[k].min == tallies[k].max, tallies[k].min};
        if (best == 0 || score > bestScore) {
            best = candidates[k];
            bestScore = score;
        }
    }
    return best != 0 ? best : (candidates.empty() ? ',' : candidates.front());
}

char SeparatorNamed(std::string_view value) {
    const std::string name = ascii::Lower(ascii::Trim(value));
    if (name == "tab" || value == "\t") {
        return '\t';
    }
    if (name == "comma" || name == ",") {
        return ',';
    }
    if (name == "semicolon" || name == ";") {
        return ';';
    }
    if (name == "space" || value == " ") {
        return ' ';
    }
    if (name == "pipe" || name == "|") {
        return '|';
    }
    if (name == "colon" || name == ":") {
        return ':';
    }
    return 0;
}
