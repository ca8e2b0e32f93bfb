// How well the memory model with its default parameters predicts recall on a review log:
//   review_eval LOG.csv                      scores the log; last line:
//                                            "scored N log loss X RMSE(bins) Y"
//   review_eval --simulate CARDS DAYS SEED   writes a log of a simulated learner to stdout
//   review_eval --fit LOG.csv                fits the reviews before the median review time and
//                                            scores the rest; last line:
//                                            "default log loss X fitted log loss Y", Y for the
//                                            parameters kept after the held-out check
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "review/FitJob.h"
#include "review/LogEval.h"

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--simulate") {
        const std::string csv = review::SimulateReviewLog(
            std::atoi(argv[2]), std::atoi(argv[3]), static_cast<std::uint32_t>(std::atoi(argv[4])));
        std::fwrite(csv.data(), 1, csv.size(), stdout);
        return 0;
    }
    const bool fit = argc == 3 && std::string(argv[1]) == "--fit";
    if (argc != 2 && !fit) {
        std::fprintf(
            stderr,
            "usage: review_eval [--fit] LOG.csv | review_eval --simulate CARDS DAYS SEED\n");
        return 2;
    }
    const char* path = argv[argc - 1];
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "Cannot read '%s'.\n", path);
        return 1;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    review::LogReadResult log;
    std::string message;
    if (!review::ReadReviewLog(text, log, message)) {
        std::fprintf(stderr, "%s\n", message.c_str());
        return 1;
    }
    if (log.badLines)
        std::printf("%llu lines could not be read (the first is line %llu)\n",
                    static_cast<unsigned long long>(log.badLines),
                    static_cast<unsigned long long>(log.firstBadLine));
    if (fit) {
        const review::TimeSplitScores s = review::ScoreFitByTime(review::GroupByCard(log.reviews));
        std::printf("later half: %llu scored; raw fit log loss %.4f\n",
                    static_cast<unsigned long long>(s.scored), s.fitted);
        std::printf("default log loss %.4f fitted log loss %.4f\n", s.defaults, s.kept);
        return 0;
    }
    review::ScheduleSettings settings;
    settings.fuzz = false;
    const review::LogScore score =
        review::ScoreReviewLog(std::move(log.reviews), review::Scheduler(settings));
    std::printf("scored %llu log loss %.4f RMSE(bins) %.4f\n",
                static_cast<unsigned long long>(score.scored), score.logLoss, score.rmseBins);
    return 0;
}
