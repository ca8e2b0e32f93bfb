// Saving a list of a million entries whose file another program rewrote behind the window, with
// every tenth entry changed, against a plain save of the same changes in the same run: the
// processor time of each, and the memory each takes beyond the loaded list, in copies of the
// file. This run edits a thousand entries, deletes twenty and adds a thousand, none of them
// among the entries the other program changed, so the save merges without a conflict.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "words/WordFileFormat.h"
#include "words/WordList.h"
#include "words/WordStore.h"

using namespace bench;

namespace {

// The benchmark list as the other program leaves it: every tenth entry's meaning changed.
const fs::path& RewrittenFile() {
    static const fs::path path = WriteBenchList("WL.rewritten.txt", [](WordEntry& entry) {
        if (entry.number % 10 == 0)
            entry.mean += "x";
    });
    return path;
}

void Change(WordList& words) {
    for (std::uint32_t i = 4; i < words.GetCount(); i += 1000) {
        WordEntry entry = words.At(words.PosAt(i));
        entry.mean += "y";
        words.Replace(words.PosAt(i), entry);
    }
    // From the back, so that each index still names the entry it was chosen for.
    for (std::uint32_t i = 20; i-- > 0;)
        words.Remove(words.PosAt(2 + i * 50000), true);
    for (int i = 0; i < 1000; ++i) {
        const auto number = static_cast<std::int32_t>(words.GetCount() + 1);
        words.Append({number, "added" + std::to_string(i), "", "n.", "new"});
    }
}

double PeakBytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

struct SaveRun {
    double startPeak = 0; // the process's peak memory before the load
    double loadPeak = 0;  // once the list was loaded and changed
    double savePeak = 0;  // and once it was saved
    double cpu = 0;       // the save's processor time
    bool ok = false;
};

// Loads the list in a child of its own (so that its peak memory is the save's alone), changes
// it, lets the other program rewrite the file when asked, and saves.
SaveRun RunSave(bool rewritten) {
    const fs::path folder = ScratchFolder() / "save";
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file(BenchWordFile(), folder / "WL.txt");
    if (rewritten)
        fs::copy_file(RewrittenFile(), folder / "WL.new");
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        SaveRun run;
        run.startPeak = PeakBytes();
        WordStore store(folder.string());
        WordList words;
        std::string message;
        const bool loaded = store.Load(words, message);
        // What the run's own changes cost the list is not the save's.
        Change(words);
        run.loadPeak = PeakBytes();
        if (rewritten)
            fs::rename(folder / "WL.new", folder / "WL.txt");
        WordStore::SaveResult saved;
        run.cpu = Measure([&] { saved = store.Save(words); }).cpu;
        run.savePeak = PeakBytes();
        const bool merged = saved.message.find("changed by another program") != std::string::npos;
        run.ok = loaded && saved.done && saved.written && merged == rewritten;
        const bool sent = ::write(pipeFds[1], &run, sizeof run) == sizeof run;
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeFds[1]);
    SaveRun run;
    if (::read(pipeFds[0], &run, sizeof run) != sizeof run)
        run = {};
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    return run;
}

void BM_MergingSaveOfARewrittenFile(benchmark::State& state) {
    RewrittenFile();
    const double fileBytes = static_cast<double>(fs::file_size(BenchWordFile()));
    SaveRun merge{0, 0, 0, 1e9, true};
    SaveRun plain{0, 0, 0, 1e9, true};
    double list = 1e18;
    double mergeExtra = 1e18;
    double plainExtra = 1e18;
    for (auto _ : state) {
        for (const bool rewritten : {true, false}) {
            const SaveRun run = RunSave(rewritten);
            if (!run.ok) {
                state.SkipWithError("the save did not do what it should");
                return;
            }
            SaveRun& best = rewritten ? merge : plain;
            best.cpu = std::min(best.cpu, run.cpu);
            double& extra = rewritten ? mergeExtra : plainExtra;
            extra = std::min(extra, std::max(0.0, run.savePeak - run.loadPeak));
            list = std::min(list, run.loadPeak - run.startPeak);
        }
        state.SetIterationTime(merge.cpu);
    }
    state.counters["file_MB"] = fileBytes / 1e6;
    state.counters["merge_ms"] = merge.cpu * 1e3;
    state.counters["plain_ms"] = plain.cpu * 1e3;
    state.counters["x_plain"] = merge.cpu / plain.cpu;
    // What the loaded and changed list takes, and what the save takes beyond that, in copies
    // of the file.
    state.counters["list_x_file"] = list / fileBytes;
    state.counters["merge_x_file"] = mergeExtra / fileBytes;
    state.counters["plain_x_file"] = plainExtra / fileBytes;
}
BENCHMARK(BM_MergingSaveOfARewrittenFile)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}
