// Loading, saving (alone, with its backup, and merging) and searching a word file of a million
// entries, measured against `wc -w` reading the same file, so the figures carry over between
// machines.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "words/WordFile.h"
#include "words/WordFileFormat.h"
#include "words/WordList.h"
#include "words/WordStore.h"

extern char** environ;

using namespace bench;

namespace {

double FileBytes() {
    return static_cast<double>(fs::file_size(BenchWordFile()));
}

Timing RunWc() {
    char* argv[] = {const_cast<char*>("wc"), const_cast<char*>("-w"),
                    const_cast<char*>(BenchWordFile().c_str()), nullptr};
    static std::string locale = "LC_ALL=C.UTF-8";
    char* env[] = {locale.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, "wc", &actions, nullptr, argv, env) != 0) {
        std::perror("wc");
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    const double wall = Seconds(start);
    posix_spawn_file_actions_destroy(&actions);
    const auto cpu = [](const timeval& t) { return t.tv_sec + t.tv_usec * 1e-6; };
    return {wall, cpu(usage.ru_utime) + cpu(usage.ru_stime)};
}

Timing LoadOnce() {
    WordList list;
    const double cpu = CpuNow();
    const auto start = Clock::now();
    LoadWordFile(list, BenchWordFile().string());
    return {Seconds(start), CpuNow() - cpu};
}

// The best of a few runs, measured once per process.
Timing WcTime() {
    static const Timing best = [] {
        Timing time = RunWc();
        for (int i = 0; i < 4; ++i) {
            time = Min(time, RunWc());
        }
        return time;
    }();
    return best;
}

Timing LoadTime() {
    static const Timing best = [] {
        Timing time = LoadOnce();
        for (int i = 0; i < 4; ++i) {
            time = Min(time, LoadOnce());
        }
        return time;
    }();
    return best;
}

const WordList& Loaded() {
    static const WordList list = [] {
        WordList words;
        LoadWordFile(words, BenchWordFile().string());
        return words;
    }();
    return list;
}

// Registered first, while this process is still small: a forked child inherits its pages.
void BM_PeakMemoryOfLoad(benchmark::State& state) {
    const std::string path = BenchWordFile().string();
    for (auto _ : state) {
        const pid_t child = ::fork();
        if (child == 0) {
            WordList list;
            ::_exit(LoadWordFile(list, path) && list.GetCount() == kEntries ? 0 : 1);
        }
        int status = 0;
        rusage usage{};
        ::wait4(child, &status, 0, &usage);
        const double peak = usage.ru_maxrss * 1024.0;
        state.counters["peak_MB"] = peak / 1e6;
        state.counters["file_MB"] = FileBytes() / 1e6;
        state.counters["x_file"] = peak / FileBytes();
        if (status != 0) {
            state.SkipWithError("the child could not load the file");
        }
    }
}
BENCHMARK(BM_PeakMemoryOfLoad)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_WcWords(benchmark::State& state) {
    for (auto _ : state) {
        state.SetIterationTime(RunWc().wall);
    }
    state.counters["best_ms"] = WcTime().wall * 1e3;
    state.counters["best_cpu_ms"] = WcTime().cpu * 1e3;
}
BENCHMARK(BM_WcWords)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_LoadWordFile(benchmark::State& state) {
    Timing best{1e9, 1e9};
    for (auto _ : state) {
        const Timing time = LoadOnce();
        state.SetIterationTime(time.wall);
        best = Min(best, time);
    }
    state.counters["best_ms"] = best.wall * 1e3;
    state.counters["best_cpu_ms"] = best.cpu * 1e3;
    state.counters["x_wc"] = best.wall / WcTime().wall;
    state.counters["x_wc_cpu"] = best.cpu / WcTime().cpu;
    state.counters["MB/s"] = FileBytes() / best.wall / 1e6;
}
BENCHMARK(BM_LoadWordFile)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

Timing g_plainSave{1e9, 1e9}; // the best plain save, which the store's saves are compared with

void BM_SaveWordFile(benchmark::State& state) {
    const WordList& words = Loaded();
    const std::string path = (ScratchFolder() / "saved.txt").string();
    Timing best{1e9, 1e9};
    for (auto _ : state) {
        std::string message;
        const double cpu = CpuNow();
        const auto start = Clock::now();
        if (!SaveWordFile(words, path, message)) {
            state.SkipWithError(message.c_str());
            break;
        }
        const Timing time{Seconds(start), CpuNow() - cpu};
        state.SetIterationTime(time.wall);
        best = Min(best, time);
    }
    state.counters["best_ms"] = best.wall * 1e3;
    state.counters["x_wc"] = best.wall / WcTime().wall;
    state.counters["x_wc_cpu"] = best.cpu / WcTime().cpu;
    g_plainSave = best;
}
BENCHMARK(BM_SaveWordFile)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

// A session's save as the window makes it: the file re-read and compared, its old version
// kept in backups/, the new one written and synced. `merge`: another writer appended an entry
// since the load, so the save parses that appended text and merges 100 additions after it.
Timing StoreSaveOnce(bool merge, benchmark::State& state) {
    const fs::path& source = BenchWordFile(); // writes the list on the first call
    const fs::path folder = ScratchFolder() / (merge ? "merge" : "plain");
    fs::remove_all(folder);
    fs::create_directory(folder);
    fs::copy_file(source, folder / "WL.txt");
    WordStore store(folder.string());
    WordList words;
    std::string message;
    store.Load(words, message);
    for (int i = 0; i < 100; ++i) {
        const std::string word = "added" + std::to_string(i);
        words.AppendFields(static_cast<std::int32_t>(words.GetCount() + 1), word, "", "n.", "m");
    }
    if (merge) {
        std::FILE* out = std::fopen((folder / "WL.txt").c_str(), "ab");
        std::fputs("1000001 appended s n. m\r\n", out);
        std::fclose(out);
    }
    const double cpu = CpuNow();
    const auto start = Clock::now();
    const WordStore::SaveResult saved = store.Save(words);
    const Timing time{Seconds(start), CpuNow() - cpu};
    if (!saved.done || saved.message.empty() != !merge)
        state.SkipWithError("the save did not do what was asked");
    return time;
}

template <bool Merge> void BM_StoreSave(benchmark::State& state) {
    Timing best{1e9, 1e9};
    for (auto _ : state) {
        const Timing time = StoreSaveOnce(Merge, state);
        state.SetIterationTime(time.wall);
        best = Min(best, time);
    }
    state.counters["best_ms"] = best.wall * 1e3;
    state.counters["x_wc"] = best.wall / WcTime().wall;
    state.counters["x_wc_cpu"] = best.cpu / WcTime().cpu;
    state.counters["x_plain_save"] = best.wall / g_plainSave.wall;
    state.counters["x_plain_save_cpu"] = best.cpu / g_plainSave.cpu;
}
BENCHMARK(BM_StoreSave<false>)
    ->Name("BM_SaveWithBackup")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);
BENCHMARK(BM_StoreSave<true>)
    ->Name("BM_SaveMerging100Additions")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);

// Finds the last entry, the slowest case of a walk from the first.
template <bool ByWord> void BM_FindLast(benchmark::State& state) {
    const WordList& words = Loaded();
    WordPos last = words.Begin();
    for (WordPos pos = last; pos != words.End(); pos = words.Next(pos)) {
        last = pos;
    }
    const WordEntry target = words.At(last);
    Timing best{1e9, 1e9};
    for (auto _ : state) {
        const double cpu = CpuNow();
        const auto start = Clock::now();
        const WordPos found =
            ByWord ? words.FindWord(target.word) : words.FindNumber(target.number);
        benchmark::DoNotOptimize(found);
        const Timing time{Seconds(start), CpuNow() - cpu};
        state.SetIterationTime(time.wall);
        best = Min(best, time);
        if (found != last) {
            state.SkipWithError("found the wrong entry");
            break;
        }
    }
    state.counters["best_ms"] = best.wall * 1e3;
    state.counters["x_load"] = best.wall / LoadTime().wall;
    state.counters["x_load_cpu"] = best.cpu / LoadTime().cpu;
}
BENCHMARK(BM_FindLast<false>)
    ->Name("BM_FindNumberLast")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindLast<true>)
    ->Name("BM_FindWordLast")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}
