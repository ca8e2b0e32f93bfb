// The review history against loading the list in the same run: replaying a million reviews of
// a hundred thousand words (read, parse, order, schedule), and building the due queue of a
// hundred-thousand-word list.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "review/DueQueue.h"
#include "review/History.h"
#include "review/Replay.h"
#include "words/WordFile.h"
#include "words/WordList.h"

using namespace bench;

namespace {

constexpr int kWords = 100'000;
constexpr int kReviews = 1'000'000;
constexpr review::TimeMs kStart = 1'700'000'000'000;

std::string Word(int i) {
    return "word" + std::to_string(i);
}

// Each word reviewed ten times at its due date, one line per review in time order, as a year
// or two of a busy learner's history would be.
const std::string& HistoryFile() {
    static const std::string path = [] {
        const std::string file = (ScratchFolder() / "reviews.tsv").string();
        const review::Scheduler scheduler;
        std::mt19937 random(7);
        struct Pending {
            review::TimeMs time;
            int word;
            review::CardState state;
        };
        std::vector<Pending> heap;
        for (int w = 0; w < kWords; ++w)
            heap.push_back({kStart + w * 1000LL, w, {}});
        const auto later = [](const Pending& a, const Pending& b) { return a.time > b.time; };
        std::make_heap(heap.begin(), heap.end(), later);
        std::ofstream out(file, std::ios::binary);
        for (int i = 0; i < kReviews; ++i) {
            std::pop_heap(heap.begin(), heap.end(), later);
            Pending& p = heap.back();
            const int roll = static_cast<int>(random() % 10);
            const memory::Grade g = roll == 0   ? memory::Grade::Again
                                    : roll == 1 ? memory::Grade::Hard
                                    : roll == 9 ? memory::Grade::Easy
                                                : memory::Grade::Good;
            review::HistoryEvent e;
            e.time = p.time;
            e.word = Word(p.word);
            e.grade = g;
            e.tookMs = 1000 + random() % 9000;
            out << review::FormatEvent(e) << '\n';
            p.state = scheduler.Next(p.state, g, p.time, review::FuzzSeed(e.word, p.state.reps));
            p.time = p.state.due + static_cast<review::TimeMs>(random() % 3'600'000);
            std::push_heap(heap.begin(), heap.end(), later);
        }
        return file;
    }();
    return path;
}

// Wall and CPU time: the machine the figures come from is shared, and CPU time keeps the
// comparison fair when other work takes turns with ours.
Timing LoadOnce() {
    WordList list;
    return Measure([&] { LoadWordFile(list, BenchWordFile().string()); });
}

Timing LoadTime() {
    static const Timing best = [] {
        Timing time = LoadOnce();
        for (int i = 0; i < 4; ++i)
            time = Min(time, LoadOnce());
        return time;
    }();
    return best;
}

void Report(benchmark::State& state, Timing best) {
    state.counters["best_ms"] = best.wall * 1e3;
    state.counters["cpu_ms"] = best.cpu * 1e3;
    state.counters["load_ms"] = LoadTime().wall * 1e3;
    state.counters["load_cpu_ms"] = LoadTime().cpu * 1e3;
    state.counters["x_load_pct"] = best.wall / LoadTime().wall * 100;
    state.counters["x_load_cpu_pct"] = best.cpu / LoadTime().cpu * 100;
}

review::CardStates ReplayOnce() {
    review::History history;
    std::string message;
    review::ReadHistory(HistoryFile(), history, message);
    return review::Replay(history, review::Scheduler(), kStart);
}

void BM_LoadWordFile(benchmark::State& state) {
    Timing best;
    for (auto _ : state) {
        const Timing time = LoadOnce();
        state.SetIterationTime(time.wall);
        best = Min(best, time);
    }
    Report(state, best);
}

void BM_ReadHistory(benchmark::State& state) {
    HistoryFile();
    Timing best;
    for (auto _ : state) {
        review::History history;
        std::string message;
        const Timing time = Measure([&] { review::ReadHistory(HistoryFile(), history, message); });
        state.SetIterationTime(time.wall);
        best = Min(best, time);
    }
    Report(state, best);
}
BENCHMARK(BM_ReadHistory)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadWordFile)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_ReplayMillionReviews(benchmark::State& state) {
    HistoryFile();
    Timing best;
    std::size_t words = 0;
    for (auto _ : state) {
        const Timing time = Measure([&] { words = ReplayOnce().Size(); });
        state.SetIterationTime(time.wall);
        best = Min(best, time);
    }
    if (words != kWords)
        state.SkipWithError("the replay lost words");
    Report(state, best);
}
BENCHMARK(BM_ReplayMillionReviews)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_DueQueue(benchmark::State& state) {
    WordList list;
    for (int w = 0; w < kWords; ++w)
        list.Append(WordEntry{w + 1, Word(w), "spell", "n.", "meaning"});
    const review::CardStates states = ReplayOnce();
    const review::Scheduler scheduler;
    std::vector<review::TimeMs> dues;
    states.ForEach([&](std::string_view, const review::CardState& s) { dues.push_back(s.due); });
    std::nth_element(dues.begin(), dues.begin() + dues.size() / 2, dues.end());
    const review::TimeMs now = dues[dues.size() / 2]; // half the words due
    double best = 1e9;
    std::size_t due = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const review::DueQueue queue = review::BuildDueQueue(list, states, scheduler, now, {}, {});
        const double time = Seconds(start);
        state.SetIterationTime(time);
        best = std::min(best, time);
        due = queue.due.size();
    }
    state.counters["best_ms"] = best * 1e3;
    state.counters["due"] = static_cast<double>(due);
}
BENCHMARK(BM_DueQueue)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}
