// How well the memory model with its default parameters predicts recall on a review log:
//   review_eval LOG.csv                      scores the log; last line:
//                                            "scored N log loss X RMSE(bins) Y"
//   review_eval --simulate CARDS DAYS SEED   writes a log of a simulated learner to stdout
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "review/LogEval.h"

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--simulate") {
        const std::string csv = review::SimulateReviewLog(
            std::atoi(argv[2]), std::atoi(argv[3]), static_cast<std::uint32_t>(std::atoi(argv[4])));
        std::fwrite(csv.data(), 1, csv.size(), stdout);
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: review_eval LOG.csv | review_eval --simulate CARDS DAYS SEED\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "Cannot read '%s'.\n", argv[1]);
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
    review::ScheduleSettings settings;
    settings.fuzz = false;
    const review::LogScore score =
        review::ScoreReviewLog(std::move(log.reviews), review::Scheduler(settings));
    std::printf("scored %llu log loss %.4f RMSE(bins) %.4f\n",
                static_cast<unsigned long long>(score.scored), score.logLoss, score.rmseBins);
    return 0;
}
