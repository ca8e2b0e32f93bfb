// Feeds arbitrary bytes to what the fit reads: the kept parameters' text in env.ini, and a
// review history, which is fitted. Whatever the bytes, parameters that are read or fitted are
// finite and within the model's bounds, and read-back text gives the same numbers.
//
// Input: one byte choosing the reader (even: parameters text, odd: history), then its bytes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "review/Fit.h"
#include "review/FitJob.h"
#include "review/History.h"
#include "review/Replay.h"

namespace {

void Check(bool ok) {
    if (!ok)
        std::abort();
}

void CheckParameters(const memory::Parameters<double>& w) {
    for (std::size_t i = 0; i < w.size(); ++i)
        Check(std::isfinite(w[i]) && w[i] >= memory::kLowerBounds[i] &&
              w[i] <= memory::kUpperBounds[i]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > 16384)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] % 2 == 0) {
        const auto w = review::ParseParameters(bytes);
        if (w) {
            CheckParameters(*w);
            Check(review::ParseParameters(review::FormatParameters(*w)) == w);
        }
        return 0;
    }
    review::History history;
    review::HistoryParser parser(history);
    parser.Feed(bytes);
    parser.Finish();
    const review::ReviewLog log = review::GradesByWord(history);
    review::FitOptions options;
    options.epochs = 1;
    const review::FitResult fit = review::FitParameters(log, options);
    CheckParameters(fit.parameters);
    Check(std::isfinite(review::LogLoss(log, fit.parameters, 0, INT64_MAX)));
    return 0;
}
