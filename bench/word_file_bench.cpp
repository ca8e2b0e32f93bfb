// Loading, saving (alone, with its backup, and merging) and searching a word file of a million
// entries, measured against `wc -w` reading the same file, so the figures carry over between
// machines.
#include <benchmark/benchmark.h>

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

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kEntries = 1'000'000;

fs::path g_folder;

// Wall-clock and CPU time: the CPU time keeps the comparison fair on a busy machine.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

double CpuNow() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
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

// A canonical file: number, a word unique by its first five letters, spell, type, meaning.
const fs::path& BenchFile() {
    static const fs::path path = [] {
        std::string pattern = (fs::temp_directory_path() / "vocamint-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        g_folder = pattern;
        const fs::path file = g_folder / "WL.txt";
        std::FILE* out = std::fopen(file.c_str(), "wb");
        std::mt19937 random(7);
        const char* types[] = {"n.", "v.", "adj.", "adv.", "prep."};
        std::string text;
        for (int i = 1; i <= kEntries; ++i) {
            WordEntry entry{i, "", "/" + RandomLetters(random, 4, 8) + "/", types[random() % 5],
                            RandomLetters(random, 10, 22)};
            for (int n = i, k = 0; k < 5; ++k, n /= 26) {
                entry.word += static_cast<char>('a' + n % 26);
            }
            entry.word += RandomLetters(random, 0, 3);
            AppendWordLine(text, entry);
            if (text.size() > (1 << 20) || i == kEntries) {
                std::fwrite(text.data(), 1, text.size(), out);
                text.clear();
            }
        }
        std::fclose(out);
        return file;
    }();
    return path;
}

double FileBytes() {
    return static_cast<double>(fs::file_size(BenchFile()));
}

Timing RunWc() {
    char* argv[] = {const_cast<char*>("wc"), const_cast<char*>("-w"),
                    const_cast<char*>(BenchFile().c_str()), nullptr};
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
    LoadWordFile(list, BenchFile().string());
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
        LoadWordFile(words, BenchFile().string());
        return words;
    }();
    return list;
}

// Registered first, while this process is still small: a forked child inherits its pages.
void BM_PeakMemoryOfLoad(benchmark::State& state) {
    const std::string path = BenchFile().string();
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

void BM_SaveWordFile(benchmark::State& state) {
    const WordList& words = Loaded();
    const std::string path = (g_folder / "saved.txt").string();
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
}
BENCHMARK(BM_SaveWordFile)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

// A session's save as the window makes it: the file re-read and compared, its old version
// kept in backups/, the new one written and synced. `merge`: another writer appended an entry
// since the load, so the save parses that appended text and merges 100 additions after it.
Timing StoreSaveOnce(bool merge, benchmark::State& state) {
    const fs::path& source = BenchFile(); // makes g_folder on the first call
    const fs::path folder = g_folder / (merge ? "merge" : "plain");
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

Timing g_plainSave{1e9, 1e9}; // the best plain save, which the merging save is compared with

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
    if (!Merge) {
        g_plainSave = best;
    } else {
        state.counters["x_plain_save"] = best.wall / g_plainSave.wall;
        state.counters["x_plain_save_cpu"] = best.cpu / g_plainSave.cpu;
    }
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
