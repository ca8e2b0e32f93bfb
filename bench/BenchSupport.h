// What the benchmarks share: the million entries they measure, a scratch folder, and timing.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "words/WordEntry.h"

namespace bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kEntries = 1'000'000;

// Entry `number` of the benchmark list: a word unique by its first five letters, then random
// spell, type and meaning. Entries drawn in order from one generator seeded with 7 are the
// same list in every benchmark.
WordEntry BenchEntry(std::mt19937& random, int number);

// A fresh folder under the system's temporary folder, removed by RunBenchmarks.
const fs::path& ScratchFolder();
// The word file of the kEntries benchmark entries in the scratch folder, written once.
const fs::path& BenchWordFile();
// The benchmark list under another name in the scratch folder, each entry first given to
// `change` (when there is one), written a piece at a time as the list itself is.
fs::path WriteBenchList(const char* name, const std::function<void(WordEntry&)>& change);

// Wall-clock and CPU time: the CPU time keeps the comparison fair on a busy machine.
struct Timing {
    double wall = 1e9;
    double cpu = 1e9;
};
double CpuNow();
double Seconds(Clock::time_point start);
Timing Min(Timing a, Timing b);
template <typename Work> Timing Measure(Work work) {
    const double cpu = CpuNow();
    const auto start = Clock::now();
    work();
    return {Seconds(start), CpuNow() - cpu};
}

// The body of a benchmark program's main: runs the benchmarks, then removes the scratch folder.
int RunBenchmarks(int argc, char** argv);

} // namespace bench
