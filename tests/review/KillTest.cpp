#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "review/History.h"

namespace {

namespace fs = std::filesystem;

// Kills a process that appends grades at random moments, 200 times over one history: every
// grade it reported as given must be in the file, and the file must read without a bad line.
TEST(HistoryKill, EveryReportedGradeSurvivesKillNine) {
    std::string pattern = (fs::temp_directory_path() / "vocamint-kill-XXXXXX").string();
    const fs::path dir = ::mkdtemp(pattern.data());
    const std::string path = (dir / "reviews.tsv").string();
    std::mt19937 random(11);
    std::set<review::TimeMs> given;
    constexpr int kRounds = 200;
    for (int round = 0; round < kRounds; ++round) {
        int out[2];
        ASSERT_EQ(::pipe(out), 0);
        const review::TimeMs first = 1'796'721'302'123 + round * 1'000'000LL;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            ::close(out[1]);
            const std::string start = std::to_string(first);
            ::execl(REVIEW_APPEND_CHILD, REVIEW_APPEND_CHILD, path.c_str(), start.c_str(), "100000",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        // Once it is under way (its first grade given), kill it at a random moment.
        std::string said;
        char buffer[4096];
        while (said.find('\n') == std::string::npos) {
            const ssize_t got = ::read(out[0], buffer, sizeof buffer);
            if (got <= 0)
                break;
            said.append(buffer, static_cast<std::size_t>(got));
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0));
        // What it said before it died, whole lines only.
        for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;)
            said.append(buffer, static_cast<std::size_t>(got));
        ::close(out[0]);
        for (std::size_t at = 0, end; (end = said.find('\n', at)) != std::string::npos;
             at = end + 1)
            given.insert(std::stoll(said.substr(at + 6, end - at - 6)));
    }
    review::History history;
    std::string message;
    ASSERT_EQ(review::ReadHistory(path, history, message), review::ReadStatus::Ok) << message;
    std::set<review::TimeMs> stored;
    for (const review::History::Event& e : history.events)
        stored.insert(e.time);
    std::size_t missing = 0;
    for (const review::TimeMs t : given)
        missing += stored.count(t) == 0;
    EXPECT_EQ(missing, 0u);
    EXPECT_EQ(history.unreadableLines, 0u);
    EXPECT_GE(given.size(), static_cast<std::size_t>(kRounds));
    fs::remove_all(dir);
}

} // namespace
