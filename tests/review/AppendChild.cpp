// Appends grades to a review history and reports each one on stdout once Append has returned,
// for the test that kills it at random moments: usage `review_append_child PATH FIRSTTIME N`.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "review/History.h"
#include "review/HistoryWriter.h"

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    const review::TimeMs first = std::atoll(argv[2]);
    const int count = std::atoi(argv[3]);
    review::HistoryWriter writer(argv[1]);
    for (int i = 0; i < count; ++i) {
        review::HistoryEvent event;
        event.time = first + i;
        event.word = "word " + std::to_string(i % 7);
        event.grade = static_cast<memory::Grade>(1 + i % 4);
        event.tookMs = i;
        std::string message;
        if (!writer.Append(event, message)) {
            std::fprintf(stderr, "%s\n", message.c_str());
            return 1;
        }
        std::printf("given %lld\n", static_cast<long long>(event.time));
        std::fflush(stdout);
    }
    return 0;
}
