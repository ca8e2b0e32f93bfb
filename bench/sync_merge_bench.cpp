// Merging a conflict copy of a list of a million entries, against loading the list from its
// file in the same run, in processor time: the copy has a thousand entries edited and a thousand
// added, and the version both started from is a backup, so the merge reads three files and writes
// two.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <algorithm>
#include <fstream>
#include <string>

#include "storage/Folder.h"
#include "sync/ConflictCopies.h"
#include "sync/ListMerge.h"
#include "words/WordFile.h"
#include "words/WordFileFormat.h"
#include "words/WordList.h"

using namespace bench;

namespace {

constexpr int kChanged = 1000;
constexpr const char* kCopy = "WL.sync-conflict-20261208-101500-LAPTOP1.txt";

double LoadTime() {
    static const double best = [] {
        double time = 1e9;
        for (int i = 0; i < 5; ++i) {
            WordList list;
            time =
                std::min(time, Measure([&] { LoadWordFile(list, BenchWordFile().string()); }).cpu);
        }
        return time;
    }();
    return best;
}

// The folder as it is before each merge: the list, the other machine's copy and the backup.
const fs::path& MergeFolder() {
    static const fs::path folder = [] {
        const fs::path dir = ScratchFolder() / "merge";
        fs::create_directories(dir / "sources");
        WordList list;
        LoadWordFile(list, BenchWordFile().string());
        const std::string base = FormatWordFile(list);
        WordList theirs;
        std::uint32_t index = 0;
        for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos), ++index) {
            WordEntry entry = list.At(pos);
            if (index % (kEntries / kChanged) == 0)
                entry.mean += " (edited)";
            theirs.Append(entry);
        }
        for (int i = 0; i < kChanged; ++i)
            theirs.Append({kEntries + i + 1, "added" + std::to_string(i), "", "n.", "new"});
        fs::copy_file(BenchWordFile(), dir / "sources" / "WL.txt");
        std::ofstream(dir / "sources" / kCopy, std::ios::binary) << FormatWordFile(theirs);
        std::ofstream(dir / "sources" / "WL-20261208-090000-000.txt", std::ios::binary) << base;
        return dir;
    }();
    return folder;
}

void Reset() {
    const fs::path& dir = MergeFolder();
    fs::remove_all(dir / "work");
    fs::create_directories(dir / "work" / "backups");
    fs::copy_file(dir / "sources" / "WL.txt", dir / "work" / "WL.txt");
    fs::copy_file(dir / "sources" / kCopy, dir / "work" / kCopy);
    fs::copy_file(dir / "sources" / "WL-20261208-090000-000.txt",
                  dir / "work" / "backups" / "WL-20261208-090000-000.txt");
}

void BM_MergeConflictCopy(benchmark::State& state) {
    double best = 1e9;
    for (auto _ : state) {
        Reset();
        const Folder folder = Folder::Open((MergeFolder() / "work").string());
        CopyMergeReport report;
        // Processor time: the machine may be busy with other work, and the waits for the disk
        // to sync the two files written are not the merge's own cost.
        const double time = Measure([&] { report = MergeConflictCopies(folder); }).cpu;
        if (report.words != 2 * kChanged) // an edit and an addition each
            state.SkipWithError("the merge did not take the copy's changes");
        state.SetIterationTime(time);
        best = std::min(best, time);
    }
    state.counters["best_ms"] = best * 1e3;
    state.counters["load_ms"] = LoadTime() * 1e3;
    state.counters["x_load_pct"] = best / LoadTime() * 100;
}
BENCHMARK(BM_MergeConflictCopy)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// The merge of the three lists alone, in memory: what the merge adds to reading and writing.
void BM_MergeLists(benchmark::State& state) {
    static WordList ours, theirs, base;
    if (ours.GetCount() == 0) {
        const fs::path& dir = MergeFolder();
        LoadWordFile(ours, (dir / "sources" / "WL.txt").string());
        LoadWordFile(theirs, (dir / "sources" / kCopy).string());
        LoadWordFile(base, (dir / "sources" / "WL-20261208-090000-000.txt").string());
    }
    double best = 1e9;
    for (auto _ : state) {
        ListMergeResult result;
        const double time = Measure([&] { result = MergeListCopies(ours, theirs, &base); }).cpu;
        if (result.taken != 2 * kChanged)
            state.SkipWithError("the merge did not take the copy's changes");
        state.SetIterationTime(time);
        best = std::min(best, time);
    }
    state.counters["best_ms"] = best * 1e3;
    state.counters["load_ms"] = LoadTime() * 1e3;
    state.counters["x_load_pct"] = best / LoadTime() * 100;
}
BENCHMARK(BM_MergeLists)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}
