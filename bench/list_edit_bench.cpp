// Editing and searching a list of a million entries, against loading it from its file in the
// same run: one keystroke of find as you type, deleting the first entry (every number after it
// changes) and undoing that, editing one entry, and finding what a run changed when Escape
// keeps it aside.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>

#include "study/DiscardedChanges.h"
#include "study/ListHistory.h"
#include "study/WordSearch.h"
#include "words/WordFile.h"
#include "words/WordList.h"

using namespace bench;

namespace {

// Entries a search looks at between two turns of the window's event loop.
constexpr std::uint32_t kSearchSlice = 65536;

double LoadOnce() {
    WordList list;
    const auto start = Clock::now();
    LoadWordFile(list, BenchWordFile().string());
    return Seconds(start);
}

double LoadTime() {
    static const double best = [] {
        double time = LoadOnce();
        for (int i = 0; i < 4; ++i) {
            time = std::min(time, LoadOnce());
        }
        return time;
    }();
    return best;
}

WordList& Loaded() {
    static WordList list = [] {
        WordList words;
        LoadWordFile(words, BenchWordFile().string());
        return words;
    }();
    return list;
}

void Report(benchmark::State& state, double best) {
    state.counters["best_ms"] = best * 1e3;
    state.counters["load_ms"] = LoadTime() * 1e3;
    state.counters["x_load_pct"] = best / LoadTime() * 100;
}

void BM_LoadWordFile(benchmark::State& state) {
    double best = 1e9;
    for (auto _ : state) {
        const double time = LoadOnce();
        state.SetIterationTime(time);
        best = std::min(best, time);
    }
    Report(state, best);
}
BENCHMARK(BM_LoadWordFile)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

// One keystroke: a three-letter text searched over the whole list in the window's slices.
void BM_FindKeystroke(benchmark::State& state) {
    const WordList& words = Loaded();
    const char* texts[] = {"abc", "Xyz", "ing", "que"};
    double best = 1e9;
    std::size_t matches = 0;
    int turn = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        WordSearch search(words, texts[turn++ % 4]);
        std::vector<WordPos> found;
        while (!search.Done()) {
            search.Step(kSearchSlice, found);
        }
        const double time = Seconds(start);
        state.SetIterationTime(time);
        best = std::min(best, time);
        matches = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    Report(state, best);
    state.counters["matches"] = static_cast<double>(matches);
}
BENCHMARK(BM_FindKeystroke)->UseManualTime()->Unit(benchmark::kMillisecond);

// Deleting the first entry renumbers all the others; its undo numbers them back.
void BM_DeleteFirstAndUndo(benchmark::State& state) {
    WordList& words = Loaded();
    ListHistory history(words);
    double bestDelete = 1e9;
    double bestUndo = 1e9;
    for (auto _ : state) {
        auto start = Clock::now();
        history.Apply(ListStep::Delete(0));
        const double remove = Seconds(start);
        start = Clock::now();
        history.Undo();
        const double undo = Seconds(start);
        state.SetIterationTime(remove + undo);
        bestDelete = std::min(bestDelete, remove);
        bestUndo = std::min(bestUndo, undo);
    }
    if (!words.IsNumberedInOrder() || history.IsModified()) {
        state.SkipWithError("the undo did not restore the list");
    }
    Report(state, bestDelete);
    state.counters["undo_ms"] = bestUndo * 1e3;
    state.counters["undo_x_load_pct"] = bestUndo / LoadTime() * 100;
}
BENCHMARK(BM_DeleteFirstAndUndo)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_EditOne(benchmark::State& state) {
    WordList& words = Loaded();
    ListHistory history(words);
    const std::uint32_t index = words.GetCount() / 2;
    WordEntry entry = words.At(words.PosAt(index));
    double best = 1e9;
    int round = 0;
    for (auto _ : state) {
        entry.mean = "changed meaning " + std::to_string(round++);
        const auto start = Clock::now();
        history.Apply(ListStep::Edit(index, entry));
        const double time = Seconds(start);
        state.SetIterationTime(time);
        best = std::min(best, time);
    }
    Report(state, best);
}
BENCHMARK(BM_EditOne)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Escape: a run's few changes told apart from the million entries it loaded, which a list read
// again from its file gives.
void BM_FindDiscarded(benchmark::State& state) {
    WordList saved;
    LoadWordFile(saved, BenchWordFile().string());
    WordList now;
    LoadWordFile(now, BenchWordFile().string());
    saved.MarkLoaded();
    now.MarkLoaded();
    ListHistory history(now);
    history.Apply(ListStep::Delete(0));
    history.Apply(ListStep::Edit(now.GetCount() / 2, {0, "edited", "s", "n.", "m"}));
    history.Apply(ListStep::Add({kEntries + 1, "added", "s", "n.", "m"}));
    double best = 1e9;
    for (auto _ : state) {
        const auto start = Clock::now();
        const DiscardedChanges changes = FindDiscarded(saved, now);
        const double time = Seconds(start);
        state.SetIterationTime(time);
        best = std::min(best, time);
        if (changes.Count() != 3)
            state.SkipWithError("the changes were not told apart");
    }
    Report(state, best);
}
BENCHMARK(BM_FindDiscarded)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}
