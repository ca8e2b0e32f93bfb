// Fitting the schedule to a learner against loading the list in the same run: a hundred
// thousand reviews of ten thousand words, fitted and checked on the most recent reviews as the
// learner's "Fit to My History" does, and the heap it takes beyond the reviews themselves.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

#include "review/FitJob.h"
#include "review/Simulate.h"
#include "words/WordFile.h"
#include "words/WordList.h"

using namespace bench;

namespace {

// Bytes on the heap now and at most since the last reset, counted by the operators below.
std::atomic<long long> g_heap{0};
std::atomic<long long> g_peak{0};

void Count(long long bytes) {
    const long long now = g_heap.fetch_add(bytes) + bytes;
    long long peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}

const review::ReviewLog& Reviews() {
    static const review::ReviewLog log = [] {
        review::LearnerOptions learner;
        learner.truth[20] = 0.3; // forgets a little faster than the defaults say
        learner.truth[8] = 1.6;
        learner.words = 10'000;
        learner.newPerDay = 100;
        learner.days = 260;
        return review::SimulateLearner(learner);
    }();
    return log;
}

double LoadTime() {
    static const double best = [] {
        double time = 1e9;
        for (int i = 0; i < 5; ++i) {
            WordList list;
            const auto start = Clock::now();
            LoadWordFile(list, BenchWordFile().string());
            time = std::min(time, Seconds(start));
        }
        return time;
    }();
    return best;
}

void BM_FitHundredThousandReviews(benchmark::State& state) {
    const review::ReviewLog& log = Reviews();
    double best = 1e9;
    long long extra = 0;
    review::FitComparison result;
    for (auto _ : state) {
        const long long before = g_heap.load();
        g_peak.store(before);
        const auto start = Clock::now();
        review::FitJob job(log, memory::kDefaultParameters); // holds its own copy of the log
        result = job.Run();
        const double time = Seconds(start);
        extra = g_peak.load() - before;
        state.SetIterationTime(time);
        best = std::min(best, time);
    }
    const double reviews = static_cast<double>(log.grades.size());
    state.counters["reviews"] = reviews;
    state.counters["best_ms"] = best * 1e3;
    state.counters["load_ms"] = LoadTime() * 1e3;
    state.counters["x_load"] = best / LoadTime();
    // The fit's own copy of the grades (16 bytes each) is counted as the fit's.
    state.counters["heap_bytes_per_review"] = static_cast<double>(extra) / reviews;
    state.counters["held_out_default_loss"] = result.currentLoss;
    state.counters["held_out_fitted_loss"] = result.fittedLoss;
}
BENCHMARK(BM_FitHundredThousandReviews)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

// Every allocation of the program goes through these, so the fit's peak heap can be read.
void* operator new(std::size_t size) {
    void* p = std::malloc(size + 16);
    if (!p)
        throw std::bad_alloc();
    *static_cast<std::size_t*>(p) = size;
    Count(static_cast<long long>(size));
    return static_cast<char*>(p) + 16;
}
void operator delete(void* p) noexcept {
    if (!p)
        return;
    void* block = static_cast<char*>(p) - 16;
    Count(-static_cast<long long>(*static_cast<std::size_t*>(block)));
    std::free(block);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}
