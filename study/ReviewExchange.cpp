#include "study/ReviewExchange.h"

#include <memory>

#include "review/HistoryLoad.h"
#include "review/ReviewSession.h"

review::LeitnerGrade FromKvtml(const KvtmlGrade& grade, review::TimeMs now) {
    review::LeitnerGrade out;
    out.level = grade.currentGrade;
    out.count = grade.count;
    out.errors = grade.errorCount;
    if (!review::ParseLeitnerDate(grade.date, out.date))
        out.date = now;
    return out;
}

bool ImportGrades(const std::string& historyPath, const std::vector<KvtmlGrade>& grades,
                  const review::ScheduleSettings& settings, std::size_t& added,
                  std::string& message) {
    const review::TimeMs now = review::SystemNow();
    std::vector<std::pair<std::string, review::LeitnerGrade>> list;
    list.reserve(grades.size());
    for (const KvtmlGrade& grade : grades)
        list.emplace_back(grade.word, FromKvtml(grade, now));
    return review::AppendStartingHistory(historyPath, list, review::Scheduler(settings), added,
                                         message);
}

GradeLookup GradesForExport(const std::string& historyPath,
                            const review::ScheduleSettings& settings) {
    auto loaded = std::make_shared<review::HistoryLoad::Result>(
        review::LoadHistory(historyPath, review::Scheduler(settings), review::SystemNow()));
    if (loaded->status != review::ReadStatus::Ok || loaded->states.Size() == 0)
        return {};
    return [loaded](std::string_view word) -> std::optional<KvtmlGrade> {
        const review::CardState* state = loaded->states.Find(word);
        if (state == nullptr)
            return std::nullopt;
        const review::LeitnerGrade grade = review::GradeOf(*state);
        if (grade.level == 0)
            return std::nullopt;
        return KvtmlGrade{std::string(word), grade.level, grade.count, grade.errors,
                          review::FormatLeitnerDate(grade.date)};
    };
}
