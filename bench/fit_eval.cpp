// How much a fit helps simulated learners whose recall follows known parameters, split by
// time: the reviews before the median review time are fitted, and the defaults, the raw fit and
// what the learner keeps (the fit only if it beat the defaults on the latest fifth of the fitted
// part) are scored on the reviews after it. `review_eval --fit LOG.csv` does the same for a log.
// Last line: "default log loss X fitted log loss Y", Y for the parameters kept.
#include <cstdio>
#include <string>
#include <vector>

#include "review/FitJob.h"
#include "review/Simulate.h"

namespace {

void Print(const std::string& name, const review::TimeSplitScores& s) {
    std::printf("%s: later half %zu scored; default %.4f raw fit %.4f (%.2f%%) kept %.4f "
                "(%.2f%%)\n",
                name.c_str(), s.scored, s.defaults, s.fitted, 100 * (s.fitted / s.defaults - 1),
                s.kept, 100 * (s.kept / s.defaults - 1));
}

} // namespace

int main() {
    struct Learner {
        const char* name;
        std::vector<std::pair<std::size_t, double>> changes;
    };
    const Learner learners[] = {
        {"as the defaults", {}},
        {"forgets faster", {{20, 0.5}, {8, 1.2}}},
        {"strong first impressions", {{0, 2.0}, {1, 5.0}, {2, 12.0}, {3, 30.0}}},
        {"slow growth", {{8, 1.0}, {10, 0.6}}},
        {"keeps lapsed words", {{11, 2.5}, {13, 0.5}, {17, 0.2}}},
        {"hard words", {{4, 8.0}, {6, 2.0}}},
    };
    review::TimeSplitScores total;
    int logs = 0;
    for (const Learner& l : learners)
        for (const int words : {500, 3000}) {
            review::LearnerOptions options;
            for (const auto& [index, value] : l.changes)
                options.truth[index] = value;
            options.words = words;
            options.newPerDay = words / 25;
            options.days = 200;
            const review::ReviewLog log = review::SimulateLearner(options);
            const double truth =
                review::LogLoss(log, options.truth, review::RecentStart(log, 0.5), INT64_MAX);
            char truthText[32];
            std::snprintf(truthText, sizeof truthText, ", truth %.4f", truth);
            const review::TimeSplitScores s = review::ScoreFitByTime(log);
            Print(std::string(l.name) + " (" + std::to_string(log.grades.size()) + " reviews" +
                      (l.changes.empty() ? "" : truthText) + ")",
                  s);
            total.defaults += s.defaults;
            total.fitted += s.fitted;
            total.kept += s.kept;
            ++logs;
        }
    std::printf("mean of %d logs: raw fit log loss %.4f\n", logs, total.fitted / logs);
    std::printf("default log loss %.4f fitted log loss %.4f\n", total.defaults / logs,
                total.kept / logs);
    return 0;
}
