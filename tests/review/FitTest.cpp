#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include <unistd.h>

#include "review/Dual.h"
#include "review/Fit.h"
#include "review/FitJob.h"
#include "review/ReviewChoices.h"
#include "review/Replay.h"
#include "review/Simulate.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "storage/Folder.h"

namespace {

using memory::Grade;
using memory::Parameters;
using review::GradeAt;
using review::kDayMs;
using review::ReviewLog;
using review::TimeMs;

const TimeMs kT0 = 1'700'000'000'000;
const Parameters<double>& kDefaults = memory::kDefaultParameters;

bool Finite(const Parameters<double>& w) {
    for (const double x : w)
        if (!std::isfinite(x))
            return false;
    return true;
}

bool InBounds(const Parameters<double>& w) {
    for (std::size_t i = 0; i < w.size(); ++i)
        if (!(w[i] >= memory::kLowerBounds[i] && w[i] <= memory::kUpperBounds[i]))
            return false;
    return true;
}

// One word's grades given as (day, minutes into the day, grade).
struct At {
    double day;
    Grade grade;
};
ReviewLog LogOf(const std::vector<std::vector<At>>& words) {
    ReviewLog log;
    for (const auto& word : words) {
        std::vector<GradeAt> grades;
        for (const At& at : word)
            grades.push_back({kT0 + static_cast<TimeMs>(at.day * kDayMs), at.grade});
        log.AddWord(std::move(grades));
    }
    return log;
}

// The loss of one word's replay as a function of the parameters, differentiated both ways: the
// dual numbers must agree with central differences wherever the model is smooth.
TEST(Fit, DualDerivativesMatchDifferences) {
    using D = memory::Dual<memory::kParameterCount>;
    struct Case {
        const char* name;
        std::vector<At> grades;
    };
    const Case cases[] = {
        {"recalls", {{0, Grade::Good}, {2, Grade::Good}, {9, Grade::Easy}, {30, Grade::Hard}}},
        {"lapse", {{0, Grade::Hard}, {3, Grade::Again}, {3.01, Grade::Good}, {5, Grade::Good}}},
        {"same day",
         {{0, Grade::Again}, {0.01, Grade::Hard}, {0.02, Grade::Good}, {4, Grade::Good}}},
    };
    const auto loss = [](const auto& w, const std::vector<At>& grades) {
        using T = std::decay_t<decltype(w[0])>;
        T s = memory::InitialStability(w, grades[0].grade);
        T d = memory::InitialDifficulty(w, grades[0].grade);
        T total(0.0);
        for (std::size_t i = 1; i < grades.size(); ++i) {
            const double days = std::floor(grades[i].day) - std::floor(grades[i - 1].day);
            if (days == 0) {
                s = memory::ShortTermStability(w, s, grades[i].grade);
            } else {
                const T r = memory::Retrievability(w, T(days), s);
                total = total + (grades[i].grade == Grade::Again ? T(1.0) - r : r) * T(0.5);
                s = memory::NextStability(w, d, s, r, grades[i].grade);
            }
            d = memory::NextDifficulty(w, d, grades[i].grade);
        }
        return total + s * T(0.01);
    };
    // Away from the bounds, where the model has kinks.
    Parameters<double> w = kDefaults;
    w[7] = 0.05;
    w[17] = 0.6;
    w[18] = 0.6;
    w[19] = 0.2;
    for (const Case& c : cases) {
        Parameters<D> wd;
        for (std::size_t i = 0; i < w.size(); ++i)
            wd[i] = D::Variable(w[i], i);
        const D exact = loss(wd, c.grades);
        EXPECT_NEAR(exact.value, loss(w, c.grades), 1e-12) << c.name;
        for (std::size_t i = 0; i < w.size(); ++i) {
            const double h = 1e-6 * std::max(1.0, std::abs(w[i]));
            Parameters<double> up = w, down = w;
            up[i] += h;
            down[i] -= h;
            const double numeric = (loss(up, c.grades) - loss(down, c.grades)) / (2 * h);
            EXPECT_NEAR(exact.d[i], numeric, 1e-5 * std::max(1.0, std::abs(numeric)))
                << c.name << " w" << i;
        }
    }
}

TEST(Fit, LogLossScoresOnlyReviewsADayOrMoreApart) {
    Parameters<double> w = kDefaults;
    w[2] = 1.0; // a first Good leaves stability 1: recall after one day is exactly 0.9
    struct Case {
        const char* name;
        std::vector<std::vector<At>> words;
        TimeMs from;
        double loss;
        std::size_t scored;
    };
    const Case cases[] = {
        {"recalled", {{{0, Grade::Good}, {1, Grade::Good}}}, 0, -std::log(0.9), 1},
        {"forgotten", {{{0, Grade::Good}, {1, Grade::Again}}}, 0, -std::log(0.1), 1},
        {"same day only", {{{0, Grade::Good}, {0.5, Grade::Again}}}, 0, 0, 0},
        {"first review", {{{0, Grade::Good}}}, 0, 0, 0},
        {"two words",
         {{{0, Grade::Good}, {1, Grade::Good}}, {{0, Grade::Good}, {1.5, Grade::Again}}},
         0,
         (-std::log(0.9) - std::log(0.1)) / 2,
         2},
        {"before the window", {{{0, Grade::Good}, {1, Grade::Again}}}, kT0 + 2 * kDayMs, 0, 0},
    };
    for (const Case& c : cases) {
        std::size_t scored = 99;
        const double loss = review::LogLoss(LogOf(c.words), w, c.from, INT64_MAX, &scored);
        EXPECT_NEAR(loss, c.loss, 1e-12) << c.name;
        EXPECT_EQ(scored, c.scored) << c.name;
    }
}

TEST(Fit, RecentStartHoldsBackTheLatestShare) {
    // Ten scored reviews, on days 1 to 10.
    std::vector<At> word{{0, Grade::Good}};
    for (int day = 1; day <= 10; ++day)
        word.push_back({static_cast<double>(day), Grade::Good});
    const ReviewLog log = LogOf({word});
    struct Case {
        double fraction;
        TimeMs start;
    };
    const Case cases[] = {
        {0.2, kT0 + 9 * kDayMs}, {0.5, kT0 + 6 * kDayMs}, {1.0, kT0 + 1 * kDayMs},
        {0.0, INT64_MAX},        {0.05, INT64_MAX},       {7.0, kT0 + 1 * kDayMs},
    };
    for (const Case& c : cases)
        EXPECT_EQ(review::RecentStart(log, c.fraction), c.start) << c.fraction;
    EXPECT_EQ(review::RecentStart(ReviewLog{}, 0.5), INT64_MAX);
}

// Learners whose memory differs from the defaults: a fit of their first half must predict
// their second half better than the defaults do.
TEST(Fit, RecoversSimulatedLearners) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::size_t, double>> changes;
    };
    const Case cases[] = {
        {"forgets faster", {{20, 0.5}, {8, 1.2}}},
        {"strong first impressions", {{0, 2.0}, {1, 5.0}, {2, 12.0}, {3, 30.0}}},
        {"slow growth", {{8, 1.0}, {10, 0.6}}},
        {"keeps lapsed words", {{11, 2.5}, {13, 0.5}, {17, 0.2}}},
    };
    for (const Case& c : cases) {
        review::LearnerOptions learner;
        for (const auto& [index, value] : c.changes)
            learner.truth[index] = value;
        learner.words = 400;
        learner.days = 150;
        learner.seed = 7;
        const ReviewLog log = review::SimulateLearner(learner);
        const TimeMs half = review::RecentStart(log, 0.5);
        const review::FitComparison result = review::CompareFit(log, kDefaults, half);
        ASSERT_EQ(result.status, review::FitStatus::Fitted) << c.name;
        EXPECT_LT(result.fittedLoss, result.currentLoss) << c.name;
        const double truthLoss = review::LogLoss(log, learner.truth, half, INT64_MAX);
        EXPECT_LT(truthLoss, result.currentLoss) << c.name; // the case is worth fitting
        EXPECT_TRUE(InBounds(result.fitted)) << c.name;
    }
}

// A learner who recalls as the defaults say: the fit has nothing to find, and what the learner
// keeps after the held-out check must not predict the later reviews worse than the defaults.
TEST(Fit, DefaultLearnerKeepsNothingWorse) {
    for (const std::uint64_t seed : {1u, 2u, 3u, 4u}) {
        review::LearnerOptions learner;
        learner.seed = seed;
        learner.words = 300;
        learner.days = 120;
        const ReviewLog log = review::SimulateLearner(learner);
        const TimeMs half = review::RecentStart(log, 0.5);
        const Parameters<double> kept = review::KeptParameters(log, kDefaults, half);
        EXPECT_LE(review::LogLoss(log, kept, half, INT64_MAX),
                  review::LogLoss(log, kDefaults, half, INT64_MAX) + 0.002)
            << seed;
    }
}

// Histories that give the fit little or strange material: it must end with finite parameters
// within their bounds, and keep the defaults when there is nothing to fit.
TEST(Fit, EdgeHistoriesStayFiniteAndInBounds) {
    std::vector<std::vector<At>> onlyAgain, oneWord, oneDay, farApart, sameMoment;
    for (int w = 0; w < 60; ++w) {
        std::vector<At> again, day, apart, moment;
        for (int r = 0; r < 6; ++r) {
            again.push_back({w * 0.1 + r * 3.0, Grade::Again});
            day.push_back({w * 0.001 + r * 0.01, static_cast<Grade>(1 + r % 4)});
            apart.push_back({w + r * 20000.0, static_cast<Grade>(1 + (w + r) % 4)});
            moment.push_back({1.0 * (r / 3) * 5, static_cast<Grade>(1 + (w * r) % 4)});
        }
        onlyAgain.push_back(again);
        oneDay.push_back(day);
        farApart.push_back(apart);
        sameMoment.push_back(moment);
    }
    std::vector<At> single{{0, Grade::Good}};
    for (int r = 1; r < 200; ++r)
        single.push_back({r * 2.0, static_cast<Grade>(1 + r % 4)});
    oneWord.push_back(single);
    struct Case {
        const char* name;
        std::vector<std::vector<At>> words;
        review::FitStatus status;
    };
    const Case cases[] = {
        {"only Again", onlyAgain, review::FitStatus::Fitted},
        {"one word", oneWord, review::FitStatus::Fitted},
        {"all on one day", oneDay, review::FitStatus::TooFewReviews},
        {"decades apart", farApart, review::FitStatus::Fitted},
        {"same moments", sameMoment, review::FitStatus::Fitted},
        {"empty", {}, review::FitStatus::TooFewReviews},
    };
    for (const Case& c : cases) {
        const review::FitResult fit = review::FitParameters(LogOf(c.words), {});
        EXPECT_EQ(fit.status, c.status) << c.name;
        EXPECT_TRUE(Finite(fit.parameters)) << c.name;
        EXPECT_TRUE(InBounds(fit.parameters)) << c.name;
        if (c.status == review::FitStatus::TooFewReviews) {
            EXPECT_EQ(fit.parameters, kDefaults) << c.name;
        }
        EXPECT_LE(fit.parameters[0], fit.parameters[1]) << c.name;
        EXPECT_LE(fit.parameters[1], fit.parameters[2]) << c.name;
        EXPECT_LE(fit.parameters[2], fit.parameters[3]) << c.name;
    }
}

// A learning rate that throws the parameters far out each step, and one that is not a number:
// the bounds and the finite check hold whatever the step.
TEST(Fit, WildStepsNeverLeaveBoundsOrFiniteValues) {
    review::LearnerOptions learner;
    learner.words = 150;
    learner.days = 60;
    const ReviewLog log = review::SimulateLearner(learner);
    for (const double rate :
         {1e6, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        review::FitOptions options;
        options.learningRate = rate;
        options.epochs = 2;
        const review::FitResult fit = review::FitParameters(log, options);
        EXPECT_TRUE(Finite(fit.parameters)) << rate;
        EXPECT_TRUE(InBounds(fit.parameters)) << rate;
    }
}

TEST(Fit, InitialStabilityFollowsFirstRecall) {
    review::LearnerOptions learner;
    learner.truth[0] = 1.5;
    learner.truth[1] = 4.0;
    learner.truth[2] = 10.0;
    learner.truth[3] = 30.0;
    learner.words = 600;
    learner.days = 60;
    const ReviewLog log = review::SimulateLearner(learner);
    const Parameters<double> w = review::FitInitialStability(log, INT64_MAX);
    // Closer to the truth than the defaults, in ratio, for the grades often given first.
    for (const std::size_t g : {0u, 2u})
        EXPECT_LT(std::abs(std::log(w[g] / learner.truth[g])),
                  std::abs(std::log(kDefaults[g] / learner.truth[g])))
            << g;
    for (std::size_t i = 4; i < w.size(); ++i)
        EXPECT_EQ(w[i], kDefaults[i]);
}

TEST(Fit, ProgressRisesToOneAndCancelKeepsNothing) {
    review::LearnerOptions learner;
    learner.words = 200;
    learner.days = 80;
    const ReviewLog log = review::SimulateLearner(learner);

    std::vector<double> seen;
    review::FitJob job(log, kDefaults);
    const review::FitComparison done = job.Run([&](double f) { seen.push_back(f); });
    EXPECT_EQ(done.status, review::FitStatus::Fitted);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 1.0);
    EXPECT_GT(done.heldOutReviews, 0u);

    struct Case {
        const char* name;
        double cancelAt; // fraction of progress at which Cancel is pressed; < 0: before Run
    };
    const Case cases[] = {{"before", -1}, {"early", 0.0}, {"midway", 0.5}, {"late", 0.8}};
    for (const Case& c : cases) {
        review::FitJob cancelled(log, kDefaults);
        if (c.cancelAt < 0)
            cancelled.Cancel();
        const review::FitComparison result = cancelled.Run([&](double f) {
            if (f >= c.cancelAt && c.cancelAt >= 0)
                cancelled.Cancel();
        });
        EXPECT_EQ(result.status, review::FitStatus::Cancelled) << c.name;
        EXPECT_FALSE(result.Better()) << c.name;
    }
}

TEST(Fit, OfferedFromAThousandScoredReviews) {
    struct Case {
        int words;
        bool offered;
    };
    // Each word: a first review and one the same day, then four a day or more apart.
    for (const Case c : {Case{249, false}, Case{250, true}, Case{0, false}}) {
        std::vector<std::vector<At>> words;
        for (int w = 0; w < c.words; ++w)
            words.push_back({{0, Grade::Good},
                             {0.25, Grade::Good},
                             {1.25, Grade::Good},
                             {3, Grade::Good},
                             {6, Grade::Again},
                             {10, Grade::Good}});
        const review::FitJob job(LogOf(words), kDefaults);
        EXPECT_EQ(job.ScoredReviews(), static_cast<std::size_t>(c.words) * 4);
        EXPECT_EQ(job.Offered(), c.offered) << c.words;
    }
}

TEST(Fit, TextsSayWhatHappened) {
    review::FitComparison c;
    c.status = review::FitStatus::Fitted;
    c.heldOutReviews = 250;
    c.currentLoss = 0.35;
    c.fittedLoss = 0.3;
    struct Case {
        review::FitStatus status;
        double fitted;
        const char* text;
    };
    const Case cases[] = {
        {review::FitStatus::Fitted, 0.3,
         "Log loss on your latest 250 reviews (lower is better): current 0.3500, fitted 0.3000. "
         "The fitted parameters predict your recall better."},
        {review::FitStatus::Fitted, 0.35,
         "Log loss on your latest 250 reviews (lower is better): current 0.3500, fitted 0.3500. "
         "The fitted parameters do not predict your recall better: the current ones stay."},
        {review::FitStatus::Cancelled, 0.3, "The fit was cancelled. Nothing was changed."},
        {review::FitStatus::TooFewReviews, 0.3, "Too few reviews to fit. Nothing was changed."},
    };
    for (const Case& k : cases) {
        c.status = k.status;
        c.fittedLoss = k.fitted;
        EXPECT_EQ(review::OutcomeText(c), k.text);
        EXPECT_EQ(c.Better(), k.status == review::FitStatus::Fitted && k.fitted < 0.35);
    }
    EXPECT_EQ(review::OfferText(1),
              "Your history holds 1 review made a day or more after the word's previous review. "
              "Fitting needs 1000: until then the default parameters predict as well.");
    EXPECT_EQ(review::OfferText(1000), "Your history holds 1000 reviews made a day or more after "
                                       "the word's previous review.");
}

TEST(Fit, ParametersTextRoundTripsAndRefusesBadValues) {
    const std::string text = review::FormatParameters(kDefaults);
    EXPECT_EQ(text.substr(0, 14), "0.212, 1.2931,");
    EXPECT_EQ(review::ParseParameters(text), kDefaults);
    Parameters<double> odd = kDefaults;
    odd[9] = 0.1 + 0.2; // needs all 17 digits to read back the same
    EXPECT_EQ(review::ParseParameters(review::FormatParameters(odd)), odd);

    std::string twenty = text.substr(0, text.rfind(','));
    struct Case {
        const char* name;
        std::string text;
        bool ok;
    };
    const Case cases[] = {
        {"spaces", "  " + text + "  ", true},
        {"twenty", twenty, false},
        {"twenty-two", text + ", 0.1", false},
        {"empty field", twenty + ",, 0.1", false},
        {"trailing comma", text + ",", false},
        {"nan", twenty + ", nan", false},
        {"inf", twenty + ", inf", false},
        {"above bound", twenty + ", 0.81", false},
        {"below bound", twenty + ", 0.09", false},
        {"junk after", twenty + ", 0.2x", false},
        {"empty", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(review::ParseParameters(c.text).has_value(), c.ok) << c.name;
}

TEST(Fit, GradesByWordFollowsRetractionsAndRenames) {
    review::History history;
    review::HistoryParser parser(history);
    const auto grade = [](TimeMs t, const char* word, Grade g) {
        review::HistoryEvent e;
        e.time = t;
        e.word = word;
        e.grade = g;
        return review::FormatEvent(e) + "\n";
    };
    review::HistoryEvent rename;
    rename.time = kT0 + 3 * kDayMs;
    rename.kind = review::EventKind::Rename;
    rename.word = "colour";
    rename.newWord = "color";
    review::HistoryEvent undo;
    undo.time = kT0 + 2 * kDayMs + 1;
    undo.kind = review::EventKind::Retract;
    undo.word = "colour";
    undo.retractedAt = kT0 + 2 * kDayMs;
    // Out of order, one line twice.
    parser.Feed(grade(kT0 + 5 * kDayMs, "color", Grade::Easy));
    parser.Feed(grade(kT0, "colour", Grade::Good));
    parser.Feed(grade(kT0 + 2 * kDayMs, "colour", Grade::Again));
    parser.Feed(review::FormatEvent(undo) + "\n" + review::FormatEvent(rename) + "\n");
    parser.Feed(grade(kT0, "colour", Grade::Good));
    parser.Feed(grade(kT0 + kDayMs, "tree", Grade::Hard));
    parser.Finish();
    const ReviewLog log = review::GradesByWord(history);
    ASSERT_EQ(log.WordCount(), 2u);
    ASSERT_EQ(log.grades.size(), 3u);
    EXPECT_EQ(log.grades[0].time, kT0);
    EXPECT_EQ(log.grades[1].grade, Grade::Easy);
    EXPECT_EQ(log.grades[2].grade, Grade::Hard);
    // The schedule counts the same grades.
    const review::CardStates states = review::Replay(history, review::Scheduler());
    ASSERT_TRUE(states.Find("color"));
    EXPECT_EQ(states.Find("color")->reps, 2);
}

TEST(Fit, ReviewLoadGrowsWithRetention) {
    review::LearnerOptions learner;
    learner.words = 300;
    learner.days = 60;
    const ReviewLog log = review::SimulateLearner(learner);
    const TimeMs now = learner.start + learner.days * kDayMs;
    const auto loads = review::ReviewLoad(log, kDefaults, now, review::kAdvisedRetentions);
    ASSERT_EQ(loads.size(), 4u);
    for (std::size_t i = 1; i < loads.size(); ++i)
        EXPECT_LT(loads[i - 1].reviewsPerDay, loads[i].reviewsPerDay) << loads[i].retention;
    // 300 words at 0.9 take somewhere between a review a day and one each a day.
    EXPECT_GT(loads[2].reviewsPerDay, 1.0);
    EXPECT_LT(loads[2].reviewsPerDay, 300.0);

    struct Case {
        const char* name;
        std::vector<std::vector<At>> words;
        double perDay;
    };
    const Case cases[] = {
        {"no words", {}, 0.0},
        // Stability capped at a century: nothing comes due within the year.
        {"learnt for good", {{{0, Grade::Easy}, {100, Grade::Easy}, {1000, Grade::Easy}}}, 0.0},
    };
    for (const Case& c : cases) {
        Parameters<double> w = kDefaults;
        w[16] = 6.0;
        w[8] = 4.5;
        const auto result =
            review::ReviewLoad(LogOf(c.words), w, kT0 + 1000 * kDayMs, review::kAdvisedRetentions);
        for (const auto& load : result)
            EXPECT_EQ(load.reviewsPerDay, c.perDay) << c.name << " " << load.retention;
    }
}

// The history file of a simulated learner who forgets faster than the defaults say.
std::string WriteHistory(const std::filesystem::path& folder) {
    review::LearnerOptions learner;
    learner.truth[20] = 0.5;
    learner.truth[8] = 1.2;
    learner.words = 400;
    learner.days = 100;
    const ReviewLog log = review::SimulateLearner(learner);
    const std::string path = (folder / "reviews.tsv").string();
    std::ofstream out(path);
    for (std::size_t c = 0; c < log.WordCount(); ++c)
        for (std::uint32_t i = log.starts[c]; i < log.starts[c + 1]; ++i) {
            review::HistoryEvent e;
            e.time = log.grades[i].time;
            e.word = "w" + std::to_string(c);
            e.grade = log.grades[i].grade;
            out << review::FormatEvent(e) << "\n";
        }
    return path;
}

std::string Output(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += static_cast<char>(c);
    return text;
}

TEST(Fit, CommandKeepsOnlyABetterFit) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vocamint-fit-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string history = WriteHistory(folder);
    struct Case {
        const char* name;
        std::string path;
        bool storeWorks;
        int status;
        const char* says;
        bool stored;
    };
    const Case cases[] = {
        {"fits", history, true, 0, "The fitted parameters are now in use.", true},
        {"store fails", history, false, 1, "disk full", true},
        {"no history", (folder / "none.tsv").string(), true, 1, "Fitting needs 1000", false},
        {"a folder", folder.string(), true, 1, "", false},
    };
    for (const Case& c : cases) {
        std::FILE* out = std::tmpfile();
        ASSERT_TRUE(out);
        bool stored = false;
        const int status = review::FitCommand(
            c.path, kDefaults,
            [&](const Parameters<double>& w, std::string& message) {
                stored = true;
                EXPECT_TRUE(InBounds(w));
                EXPECT_NE(w, kDefaults);
                message = "disk full";
                return c.storeWorks;
            },
            out);
        const std::string text = Output(out);
        std::fclose(out);
        EXPECT_EQ(status, c.status) << c.name << "\n" << text;
        EXPECT_NE(text.find(c.says), std::string::npos) << c.name << "\n" << text;
        EXPECT_EQ(stored, c.stored) << c.name;
    }
    std::filesystem::remove_all(folder);
}

TEST(Fit, SettingsKeepParametersAndIgnoreBadOnes) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vocamint-fitini-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "env.ini").string();
    const Folder dir = Folder::Open(folder.string());
    Parameters<double> fitted = kDefaults;
    fitted[20] = 0.5;
    fitted[0] = 1.25;
    const std::string text = review::FormatParameters(fitted);
    struct Case {
        const char* name;
        std::string file;
        Parameters<double> read;
    };
    const Case cases[] = {
        {"no file", "", kDefaults},
        {"kept", "[Paging]\nStart=10\n[Review]\nParameters=" + text + "\n", fitted},
        {"other section", "[Paging]\nParameters=" + text + "\n", kDefaults},
        {"twenty", "[Review]\nParameters=" + text.substr(0, text.rfind(',')) + "\n", kDefaults},
        {"out of bounds", "[Review]\nParameters=" + text + "e9\n", kDefaults},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(path);
        if (!c.file.empty())
            std::ofstream(path) << c.file;
        Settings settings(&dir, std::string());
        settings.Read();
        EXPECT_EQ(review::ParametersOf(settings.review), c.read) << c.name;
    }
    // Kept at once, read back exactly, the rest of the file kept; the defaults keep none.
    std::ofstream(path) << "[Paging]\nStart=10\n";
    Settings settings(&dir, std::string());
    settings.Read();
    std::string message;
    ASSERT_TRUE(review::KeepParameters(settings, fitted, message)) << message;
    Settings reread(&dir, std::string());
    reread.Read();
    EXPECT_EQ(review::ParametersOf(reread.review), fitted);
    EXPECT_EQ(IniFile(path).ReadInt("Paging", "Start", 0), 10);
    ASSERT_TRUE(review::KeepParameters(settings, kDefaults, message)) << message;
    EXPECT_TRUE(settings.review.parameters.empty());
    // A file that cannot be written says so.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path); // env.ini as a folder
    EXPECT_FALSE(review::KeepParameters(settings, fitted, message));
    EXPECT_NE(message.find("could not be kept"), std::string::npos);
    std::filesystem::remove_all(folder);
}

// Logs in the open CSV form, from learners whose recall is the model's raised to a power (1:
// the defaults are right): grouped by card, and judged by time as review_eval --fit does.
TEST(Fit, CsvLogsAreJudgedByTime) {
    struct Case {
        double recallPower;
        bool differs;
    };
    for (const Case c : {Case{1.0, false}, Case{2.0, true}, Case{0.5, true}}) {
        review::LogReadResult read;
        std::string message;
        ASSERT_TRUE(review::ReadReviewLog(review::SimulateReviewLog(600, 120, 5, c.recallPower),
                                          read, message))
            << message;
        const ReviewLog log = review::GroupByCard(read.reviews);
        EXPECT_EQ(log.grades.size(), read.reviews.size());
        EXPECT_LE(log.WordCount(), 600u);
        for (std::size_t w = 0; w < log.WordCount(); ++w)
            for (std::uint32_t i = log.starts[w] + 1; i < log.starts[w + 1]; ++i)
                ASSERT_LE(log.grades[i - 1].time, log.grades[i].time);
        const review::TimeSplitScores s = review::ScoreFitByTime(log);
        EXPECT_GT(s.scored, 0u);
        EXPECT_LE(s.kept, s.defaults + 0.002) << c.recallPower;
        if (c.differs) {
            EXPECT_LT(s.fitted, s.defaults) << c.recallPower;
            EXPECT_LT(s.kept, s.defaults) << c.recallPower;
        }
    }
}

} // namespace
