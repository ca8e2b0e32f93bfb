// Importing and exporting a million entries, measured against loading and saving the same
// entries as the word file in the same run.
#include <benchmark/benchmark.h>

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

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kEntries = 1'000'000;

fs::path g_folder;

struct Timing {
    double wall = 1e9;
    double cpu = 1e9;
};

double CpuNow() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <typename Work> Timing Measure(Work work) {
    const double cpu = CpuNow();
    const auto start = Clock::now();
    work();
    return {std::chrono::duration<double>(Clock::now() - start).count(), CpuNow() - cpu};
}

Timing Min(Timing a, Timing b) {
    return {std::min(a.wall, b.wall), std::min(a.cpu, b.cpu)};
}

std::string RandomLetters(std::mt19937& random, int from, int to) {
    std::string text(from + random() % (to - from + 1), 'a');
    for (char& c : text) {
        c = static_cast<char>('a' + random() % 26);
    }
    return text;
}

// The entries of word_file_bench, with a Chinese meaning on every fourth entry.
const WordList& Words() {
    static const WordList words = [] {
        WordList list;
        std::mt19937 random(7);
        const char* types[] = {"n.", "v.", "adj.", "adv.", "prep."};
        for (int i = 1; i <= kEntries; ++i) {
            WordEntry entry{i, "", "/" + RandomLetters(random, 4, 8) + "/", types[random() % 5],
                            RandomLetters(random, 10, 22)};
            if (i % 4 == 0) {
                entry.mean = "苹果和书";
            }
            for (int n = i, k = 0; k < 5; ++k, n /= 26) {
                entry.word += static_cast<char>('a' + n % 26);
            }
            entry.word += RandomLetters(random, 0, 3);
            list.Append(entry);
        }
        return list;
    }();
    return words;
}

const fs::path& Folder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "vocamint-exchange-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        g_folder = pattern;
        return g_folder;
    }();
    return folder;
}

// Writes the word file and the TSV of the same entries once.
void WriteFiles() {
    if (fs::exists(Folder() / "words.tsv")) {
        return;
    }
    std::string message;
    if (!SaveWordFile(Words(), (Folder() / "WL.txt").string(), message) ||
        !ExportWords(Words(), (Folder() / "words.tsv").string(), ExchangeFormat::Tsv, message)) {
        std::fprintf(stderr, "%s\n", message.c_str());
        std::exit(1);
    }
}

std::string WordFile() {
    WriteFiles();
    return (Folder() / "WL.txt").string();
}
std::string TsvFile() {
    WriteFiles();
    return (Folder() / "words.tsv").string();
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
        const std::string path = (Folder() / "saved.txt").string();
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
    Folder();
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
    const std::string path = (Folder() / "saved.txt").string();
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
    const std::string path = (Folder() / (std::string("export.") + FormatName(Format))).string();
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
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!g_folder.empty()) {
        std::error_code error;
        fs::remove_all(g_folder, error);
    }
    return 0;
}
