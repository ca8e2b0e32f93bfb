// Importing and exporting a million entries, measured against loading and saving the same
// entries as the word file in the same run.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "exchange/Exporters.h"
#include "exchange/Import.h"
#include "exchange/ImportPlan.h"
#include "words/WordFile.h"
#include "words/WordFileFormat.h"
#include "words/WordList.h"

using namespace bench;

namespace {

// The entries of word_file_bench, with a Chinese meaning on every fourth entry.
const WordList& Words() {
    static const WordList words = [] {
        WordList list;
        std::mt19937 random(7);
        for (int i = 1; i <= kEntries; ++i) {
            WordEntry entry = BenchEntry(random, i);
            if (i % 4 == 0) {
                entry.mean = "苹果和书";
            }
            list.Append(entry);
        }
        return list;
    }();
    return words;
}

// Writes the word file and the TSV of the same entries once.
void WriteFiles() {
    if (fs::exists(ScratchFolder() / "words.tsv")) {
        return;
    }
    std::string message;
    if (!SaveWordFile(Words(), (ScratchFolder() / "WL.txt").string(), message) ||
        !ExportWords(Words(), (ScratchFolder() / "words.tsv").string(), ExchangeFormat::Tsv,
                     message)) {
        std::fprintf(stderr, "%s\n", message.c_str());
        std::exit(1);
    }
}

std::string WordFile() {
    WriteFiles();
    return (ScratchFolder() / "WL.txt").string();
}
std::string TsvFile() {
    WriteFiles();
    return (ScratchFolder() / "words.tsv").string();
}

bool Import(WordList& into) {
    ImportedWords read;
    std::string error;
    if (!ImportFile(TsvFile(), {}, read, error)) {
        return false;
    }
    into = std::move(read.entries);
    return into.GetCount() == kEntries;
}

Timing LoadTime() {
    static const Timing best = [] {
        Timing time;
        for (int i = 0; i < 5; ++i) {
            time = Min(time, Measure([] {
                           WordList list;
                           LoadWordFile(list, WordFile());
                       }));
        }
        return time;
    }();
    return best;
}

Timing SaveTime() {
    static const Timing best = [] {
        Timing time;
        const std::string path = (ScratchFolder() / "saved.txt").string();
        for (int i = 0; i < 5; ++i) {
            time = Min(time, Measure([&] {
                           std::string message;
                           SaveWordFile(Words(), path, message);
                       }));
        }
        return time;
    }();
    return best;
}

// Peak memory of a forked child that does `work`, before the parent grows large.
template <typename Work>
void PeakMemory(benchmark::State& state, const std::string& file, Work work) {
    for (auto _ : state) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::_exit(work() ? 0 : 1);
        }
        int status = 0;
        rusage usage{};
        ::wait4(child, &status, 0, &usage);
        const double peak = usage.ru_maxrss * 1024.0;
        const double bytes = static_cast<double>(fs::file_size(file));
        state.counters["peak_MB"] = peak / 1e6;
        state.counters["file_MB"] = bytes / 1e6;
        state.counters["x_file"] = peak / bytes;
        if (status != 0) {
            state.SkipWithError("the child failed");
        }
    }
}

// Registered first, while this process is still small: a forked child inherits its pages.
// The files are written by a child too, so that the parent stays small.
void BM_PeakMemoryOfImport(benchmark::State& state) {
    ScratchFolder();
    const pid_t child = ::fork();
    if (child == 0) {
        WriteFiles();
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    PeakMemory(state, TsvFile(), [] {
        WordList list;
        return Import(list);
    });
}
BENCHMARK(BM_PeakMemoryOfImport)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PeakMemoryOfLoad(benchmark::State& state) {
    PeakMemory(state, WordFile(), [] {
        WordList list;
        return LoadWordFile(list, WordFile()) && list.GetCount() == kEntries;
    });
}
BENCHMARK(BM_PeakMemoryOfLoad)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_LoadWordFile(benchmark::State& state) {
    for (auto _ : state) {
        state.SetIterationTime(Measure([] {
                                   WordList list;
                                   LoadWordFile(list, WordFile());
                               }).wall);
    }
    state.counters["best_ms"] = LoadTime().wall * 1e3;
    state.counters["best_cpu_ms"] = LoadTime().cpu * 1e3;
}
BENCHMARK(BM_LoadWordFile)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

// Reading the file into entries, as the import dialog does before its preview.
void BM_ImportTsv(benchmark::State& state) {
    Timing best;
    for (auto _ : state) {
        WordList list;
        bool ok = false;
        const Timing time = Measure([&] { ok = Import(list); });
        if (!ok) {
            state.SkipWithError("the import failed");
            break;
        }
        state.SetIterationTime(time.wall);
        best = Min(best, time);
    }
    state.counters["best_ms"] = best.wall * 1e3;
    state.counters["x_load"] = best.wall / LoadTime().wall;
    state.counters["x_load_cpu"] = best.cpu / LoadTime().cpu;
}
BENCHMARK(BM_ImportTsv)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

// Reading, planning against an empty list and applying: the whole import.
void BM_ImportTsvPlanApply(benchmark::State& state) {
    Timing best;
    for (auto _ : state) {
        const Timing time = Measure([&] {
            ImportedWords read;
            std::string error;
            ImportFile(TsvFile(), {}, read, error);
            WordList list;
            ApplyImport(list, PlanImport(read, list, DuplicatePolicy::Skip));
            benchmark::DoNotOptimize(list.GetCount());
        });
        state.SetIterationTime(time.wall);
        best = Min(best, time);
    }
    state.counters["best_ms"] = best.wall * 1e3;
    state.counters["x_load"] = best.wall / LoadTime().wall;
}
BENCHMARK(BM_ImportTsvPlanApply)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_SaveWordFile(benchmark::State& state) {
    const std::string path = (ScratchFolder() / "saved.txt").string();
    for (auto _ : state) {
        state.SetIterationTime(Measure([&] {
                                   std::string message;
                                   SaveWordFile(Words(), path, message);
                               }).wall);
    }
    state.counters["best_ms"] = SaveTime().wall * 1e3;
    state.counters["best_cpu_ms"] = SaveTime().cpu * 1e3;
}
BENCHMARK(BM_SaveWordFile)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

template <ExchangeFormat Format> void BM_Export(benchmark::State& state) {
    const std::string path =
        (ScratchFolder() / (std::string("export.") + FormatName(Format))).string();
    Timing best;
    for (auto _ : state) {
        std::string message;
        bool ok = false;
        const Timing time = Measure([&] { ok = ExportWords(Words(), path, Format, message); });
        if (!ok) {
            state.SkipWithError(message.c_str());
            break;
        }
        state.SetIterationTime(time.wall);
        best = Min(best, time);
    }
    state.counters["best_ms"] = best.wall * 1e3;
    state.counters["x_save"] = best.wall / SaveTime().wall;
    state.counters["x_save_cpu"] = best.cpu / SaveTime().cpu;
}
BENCHMARK(BM_Export<ExchangeFormat::Tsv>)
    ->Name("BM_ExportTsv")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);
BENCHMARK(BM_Export<ExchangeFormat::Csv>)
    ->Name("BM_ExportCsv")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}
