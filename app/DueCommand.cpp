#include "app/DueCommand.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "review/DueQueue.h"
#include "review/HistoryLoad.h"
#include "review/ReviewChoices.h"
#include "review/ReviewSession.h"
#include "settings/Settings.h"
#include "words/WordFile.h"
#include "words/WordList.h"

namespace {

// The review choices of the current folder's settings file.
ReviewSettings ChoicesOfCurrentFolder() {
    Settings settings(nullptr, std::string());
    settings.Read();
    return settings.review;
}

} // namespace

review::ScheduleSettings ScheduleOfCurrentFolder() {
    return review::ScheduleOf(ChoicesOfCurrentFolder());
}

int PrintDueCounts() {
    const std::string listPath = WordFilePath();
    WordList words;
    struct stat info {};
    if (!LoadWordFile(words, listPath) && ::stat(listPath.c_str(), &info) == 0) {
        std::fprintf(stderr, "vocamint: cannot read the word list '%s'\n", listPath.c_str());
        return 1;
    }
    const review::SessionSettings settings = review::SessionSettingsOf(ChoicesOfCurrentFolder());
    const review::Scheduler scheduler(settings.schedule);
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
    const review::DueQueue queue = review::BuildDueQueue(words, history.states, scheduler, now,
                                                         settings.limits, history.today);
    std::printf("%s\n", review::DueSummary(queue).c_str());
    return 0;
}
