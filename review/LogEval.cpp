#include "review/LogEval.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>
#include <unordered_map>

#include "base/AsciiText.h"
#include "review/History.h"

namespace review {

namespace {

bool Number(std::string_view text, std::size_t at, std::size_t count, int& value) {
    if (at + count > text.size())
        return false;
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

std::vector<std::string_view> SplitComma(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t comma = line.find(',');
        fields.push_back(ascii::Trim(line.substr(0, comma)));
        if (comma == std::string_view::npos)
            return fields;
        line.remove_prefix(comma + 1);
    }
}

} // namespace

bool ParseIsoTime(std::string_view t, TimeMs& time) {
    // The date and time to the second go through the history's own parser.
    if (t.size() < 20 || t[10] != 'T')
        return false;
    std::string utc(t.substr(0, 19));
    utc += ".000Z";
    TimeMs base;
    if (!ParseTime(utc, base))
        return false;
    std::size_t at = 19;
    TimeMs ms = 0;
    if (t[at] == '.') {
        ++at;
        int digits = 0;
        while (at < t.size() && t[at] >= '0' && t[at] <= '9') {
            if (digits < 3)
                ms = ms * 10 + (t[at] - '0');
            ++digits;
            ++at;
        }
        if (digits == 0)
            return false;
        for (; digits < 3; ++digits)
            ms *= 10;
    }
    if (at == t.size())
        return false;
    TimeMs offset = 0;
    if (t[at] == 'Z') {
        ++at;
    } else if (t[at] == '+' || t[at] == '-') {
        int hours, minutes;
        if (!Number(t, at + 1, 2, hours) || at + 3 >= t.size() || t[at + 3] != ':' ||
            !Number(t, at + 4, 2, minutes) || hours > 23 || minutes > 59)
            return false;
        offset = (hours * 60 + minutes) * kMinuteMs * (t[at] == '-' ? -1 : 1);
        at += 6;
    } else {
        return false;
    }
    if (at != t.size())
        return false;
    time = base + ms - offset;
    return true;
}

bool ReadReviewLog(std::string_view text, LogReadResult& result, std::string& message) {
    std::uint64_t lineNumber = 0;
    int cardColumn = -1, ratingColumn = -1, timeColumn = -1;
    std::size_t columns = 0;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (ascii::Trim(line).empty())
            continue;
        const std::vector<std::string_view> fields = SplitComma(line);
        if (columns == 0) {
            for (std::size_t i = 0; i < fields.size(); ++i) {
                if (fields[i] == "card_id")
                    cardColumn = static_cast<int>(i);
                else if (fields[i] == "review_rating")
                    ratingColumn = static_cast<int>(i);
                else if (fields[i] == "review_time")
                    timeColumn = static_cast<int>(i);
            }
            if (cardColumn < 0 || ratingColumn < 0 || timeColumn < 0) {
                message = "The review log has no header naming card_id, review_rating and "
                          "review_time.";
                return false;
            }
            columns = fields.size();
            continue;
        }
        LogReview review;
        const auto bad = [&] {
            if (result.badLines++ == 0)
                result.firstBadLine = lineNumber;
        };
        if (fields.size() != columns) {
            bad();
            continue;
        }
        const std::string_view rating = fields[static_cast<std::size_t>(ratingColumn)];
        const std::string_view card = fields[static_cast<std::size_t>(cardColumn)];
        if (rating.size() != 1 || rating[0] < '1' || rating[0] > '4' || card.empty() ||
            !ParseIsoTime(fields[static_cast<std::size_t>(timeColumn)], review.time)) {
            bad();
            continue;
        }
        review.card = card;
        review.grade = static_cast<memory::Grade>(rating[0] - '0');
        result.reviews.push_back(std::move(review));
    }
    if (columns == 0) {
        message = "The review log is empty.";
        return false;
    }
    return true;
}

LogScore ScoreReviewLog(std::vector<LogReview> reviews, const Scheduler& scheduler) {
    std::stable_sort(reviews.begin(), reviews.end(), [](const LogReview& a, const LogReview& b) {
        return a.card != b.card ? a.card < b.card : a.time < b.time;
    });
    struct Bin {
        double predicted = 0, actual = 0;
        std::uint64_t count = 0;
    };
    Bin bins[21];
    LogScore score;
    double loss = 0;
    CardState card;
    for (std::size_t i = 0; i < reviews.size(); ++i) {
        if (i == 0 || reviews[i].card != reviews[i - 1].card)
            card = CardState{};
        const LogReview& r = reviews[i];
        if (card.phase != Phase::New && r.time - card.lastReview >= kDayMs) {
            const double p = std::clamp(scheduler.Recall(card, r.time), 1e-6, 1 - 1e-6);
            const double y = r.grade == memory::Grade::Again ? 0.0 : 1.0;
            loss -= y * std::log(p) + (1 - y) * std::log(1 - p);
            Bin& bin = bins[static_cast<int>(std::lround(p * 20))];
            bin.predicted += p;
            bin.actual += y;
            ++bin.count;
            ++score.scored;
        }
        card = scheduler.Next(card, r.grade, r.time, 0);
    }
    if (score.scored == 0)
        return score;
    score.logLoss = loss / static_cast<double>(score.scored);
    double squares = 0;
    for (const Bin& bin : bins) {
        if (bin.count == 0)
            continue;
        const double gap = (bin.predicted - bin.actual) / static_cast<double>(bin.count);
        squares += gap * gap * static_cast<double>(bin.count);
    }
    score.rmseBins = std::sqrt(squares / static_cast<double>(score.scored));
    return score;
}

std::string SimulateReviewLog(int cards, int days, std::uint32_t seed, double recallPower) {
    ScheduleSettings settings;
    settings.fuzz = true;
    const Scheduler scheduler(settings);
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::string csv = "card_id,review_rating,review_time,review_duration\n";
    const TimeMs start = 1'700'000'000'000; // 2023-11-14
    const TimeMs end = start + days * kDayMs;
    char line[128];
    for (int c = 0; c < cards; ++c) {
        CardState card;
        TimeMs now = start + static_cast<TimeMs>(unit(random) * days / 2 * kDayMs);
        while (now < end) {
            memory::Grade grade = memory::Grade::Again;
            const double p = card.phase == Phase::New ? 0.0 : scheduler.Recall(card, now);
            if (card.phase == Phase::New) {
                grade = unit(random) < 0.7 ? memory::Grade::Good : memory::Grade::Again;
            } else if (unit(random) < std::pow(p, recallPower)) {
                const double kind = unit(random);
                grade = kind < 0.15  ? memory::Grade::Hard
                        : kind < 0.9 ? memory::Grade::Good
                                     : memory::Grade::Easy;
            }
            // Written in a zone an hour ahead of UTC, as a log from another machine would be.
            const std::string utc = FormatTime(now + 3'600'000);
            std::snprintf(line, sizeof line, "%d,%d,%.23s+01:00,%d\n", c, static_cast<int>(grade),
                          utc.c_str(), 2000 + static_cast<int>(unit(random) * 8000));
            csv += line;
            card = scheduler.Next(card, grade, now, FuzzSeed(std::to_string(c), card.reps));
            // The learner comes back some hours after the card falls due.
            now = card.due + static_cast<TimeMs>(unit(random) * 8 * 3'600'000);
        }
    }
    return csv;
}

} // namespace review
