// How much a fit helps, split by time: the reviews before the median review time are fitted,
// and the defaults, the raw fit and what the learner keeps (the fit only if it beat the
// defaults on the latest fifth of the fitted part) are scored on the reviews after it.
//
//   fit_eval LOG.csv ...   logs with the header card_id,review_rating,review_time,review_duration
//                          (time ISO 8601 with an offset, or milliseconds since 1970)
//   fit_eval --simulate    learners whose recall follows known parameters
// Last line: "default log loss X fitted log loss Y", Y for the parameters kept.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/DecimalNumber.h"
#include "review/FitJob.h"
#include "review/Simulate.h"

namespace {

using review::TimeMs;

std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

int Digits(std::string_view s, std::size_t at, std::size_t n, bool& ok) {
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (i >= s.size() || s[i] < '0' || s[i] > '9') {
            ok = false;
            return 0;
        }
        v = v * 10 + (s[i] - '0');
    }
    return v;
}

// "2023-11-05T09:15:02.5+01:00", "...Z", or a count of milliseconds.
bool ParseReviewTime(std::string_view s, TimeMs& time) {
    if (s.find('-') == std::string_view::npos || s.find('T') == std::string_view::npos) {
        if (s.empty() || s.find_first_not_of("0123456789") != std::string_view::npos)
            return false;
        time = ParseLeadingInt64(s);
        return true;
    }
    bool ok = s.size() >= 19 && s[4] == '-' && s[7] == '-' && (s[10] == 'T' || s[10] == ' ') &&
              s[13] == ':' && s[16] == ':';
    const int year = Digits(s, 0, 4, ok), month = Digits(s, 5, 2, ok), day = Digits(s, 8, 2, ok);
    const int hour = Digits(s, 11, 2, ok), minute = Digits(s, 14, 2, ok),
              second = Digits(s, 17, 2, ok);
    if (!ok || month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    std::size_t at = 19;
    double fraction = 0;
    if (at < s.size() && s[at] == '.') {
        double scale = 0.1;
        for (++at; at < s.size() && s[at] >= '0' && s[at] <= '9'; ++at, scale /= 10)
            fraction += (s[at] - '0') * scale;
    }
    std::int64_t offsetMinutes = 0;
    if (at < s.size() && (s[at] == '+' || s[at] == '-')) {
        const int sign = s[at] == '-' ? -1 : 1;
        const int oh = Digits(s, at + 1, 2, ok);
        const std::size_t mAt = at + 3 < s.size() && s[at + 3] == ':' ? at + 4 : at + 3;
        const int om = Digits(s, mAt, 2, ok);
        offsetMinutes = sign * (oh * 60 + om);
        at = mAt + 2;
    } else if (at < s.size() && s[at] == 'Z') {
        ++at;
    }
    if (!ok || at != s.size())
        return false;
    const std::int64_t seconds =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 +
        hour * 3600 + minute * 60 + second - offsetMinutes * 60;
    time = seconds * 1000 + static_cast<TimeMs>(fraction * 1000);
    return true;
}

// Reads the log; `bad` counts lines that are not a card's grade 1-4 at a readable time.
bool ReadLog(const char* path, review::ReviewLog& log, std::size_t& bad) {
    std::ifstream in(path);
    if (!in)
        return false;
    std::map<std::string, std::vector<review::GradeAt>> cards;
    std::string line;
    bool header = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (header) {
            header = false;
            if (line.rfind("card_id", 0) == 0)
                continue;
        }
        std::string_view fields[4];
        std::string_view rest = line;
        int n = 0;
        for (; n < 4 && !rest.empty(); ++n) {
            const std::size_t comma = rest.find(',');
            fields[n] = rest.substr(0, comma);
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        }
        TimeMs time = 0;
        if (n < 3 || fields[1].size() != 1 || fields[1][0] < '1' || fields[1][0] > '4' ||
            !ParseReviewTime(fields[2], time)) {
            ++bad;
            continue;
        }
        cards[std::string(fields[0])].push_back(
            {time, static_cast<memory::Grade>(fields[1][0] - '0')});
    }
    for (auto& [id, grades] : cards)
        log.AddWord(std::move(grades));
    return true;
}

struct Scores {
    double defaults = 0, fitted = 0, kept = 0;
    std::size_t scored = 0;
};

Scores Evaluate(const review::ReviewLog& log) {
    Scores s;
    const TimeMs half = review::RecentStart(log, 0.5);
    s.defaults = review::LogLoss(log, memory::kDefaultParameters, half, INT64_MAX, &s.scored);
    review::FitOptions options;
    options.until = half;
    s.fitted =
        review::LogLoss(log, review::FitParameters(log, options).parameters, half, INT64_MAX);
    s.kept = review::LogLoss(log, review::KeptParameters(log, memory::kDefaultParameters, half),
                             half, INT64_MAX);
    return s;
}

void Print(const char* name, const Scores& s) {
    std::printf("%s: later half %zu scored; default %.4f raw fit %.4f (%.2f%%) kept %.4f "
                "(%.2f%%)\n",
                name, s.scored, s.defaults, s.fitted, 100 * (s.fitted / s.defaults - 1), s.kept,
                100 * (s.kept / s.defaults - 1));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: fit_eval LOG.csv ... | fit_eval --simulate\n");
        return 2;
    }
    Scores total;
    int logs = 0;
    const auto add = [&](const char* name, const review::ReviewLog& log) {
        const Scores s = Evaluate(log);
        Print(name, s);
        total.defaults += s.defaults;
        total.fitted += s.fitted;
        total.kept += s.kept;
        ++logs;
    };
    if (std::strcmp(argv[1], "--simulate") == 0) {
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
                const std::string name = std::string(l.name) + " (" +
                                         std::to_string(log.grades.size()) + " reviews" +
                                         (l.changes.empty() ? "" : truthText) + ")";
                add(name.c_str(), log);
            }
    } else {
        for (int i = 1; i < argc; ++i) {
            review::ReviewLog log;
            std::size_t bad = 0;
            if (!ReadLog(argv[i], log, bad)) {
                std::fprintf(stderr, "%s: cannot read\n", argv[i]);
                return 1;
            }
            if (bad)
                std::printf("%s: %zu lines skipped\n", argv[i], bad);
            add(argv[i], log);
        }
    }
    std::printf("mean of %d logs: raw fit log loss %.4f\n", logs, total.fitted / logs);
    std::printf("default log loss %.4f fitted log loss %.4f\n", total.defaults / logs,
                total.kept / logs);
    return 0;
}
