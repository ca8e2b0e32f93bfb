#include "app/DueCommand.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "review/DueQueue.h"
#include "review/HistoryLoad.h"
#include "review/ReviewSession.h"
#include "settings/IniFile.h"
#include "settings/ReviewSettings.h"
#include "words/WordFile.h"
#include "words/WordList.h"

review::ScheduleSettings ScheduleOfCurrentFolder() {
    review::ScheduleSettings schedule;
    schedule.desiredRetention = ReadReviewSettings(IniFile("env.ini")).retention;
    return schedule;
}

int PrintDueCounts() {
    const std::string listPath = WordFilePath();
    WordList words;
    struct stat info {};
    if (!LoadWordFile(words, listPath) && ::stat(listPath.c_str(), &info) == 0) {
        std::fprintf(stderr, "vocamint: cannot read the word list '%s'\n", listPath.c_str());
        return 1;
    }
    const ReviewSettings settings = ReadReviewSettings(IniFile("env.ini"));
    review::ScheduleSettings schedule;
    schedule.desiredRetention = settings.retention;
    const review::Scheduler scheduler(schedule);
    const review::TimeMs now = review::SystemNow();
    const review::HistoryLoad::Result history =
        review::LoadHistory(review::HistoryPathFor(listPath), scheduler, now);
    if (history.status == review::ReadStatus::Refused ||
        history.status == review::ReadStatus::Failed) {
        std::fprintf(stderr, "vocamint: %s\n", history.message.c_str());
        return 1;
    }
    if (!history.message.empty())
        std::fprintf(stderr, "vocamint: %s\n", history.message.c_str());
    const review::DayLimits limits{settings.newPerDay, settings.reviewsPerDay};
    const review::DueQueue queue =
        review::BuildDueQueue(words, history.states, scheduler, now, limits, history.today);
    std::printf("%s\n", review::DueSummary(queue).c_str());
    return 0;
}
