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
#include "exchange/HtmlText.h"
#include "exchange/Import.h"
#include "exchange/ImportPlan.h"
#include "exchange/ImportSource.h"
#include "study/ListHistory.h"
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

// Peak memory of a forked child that does `work`, before the parent grows large. `x_file` is
// the child's peak over the file's size; `x_file_own` leaves out what the child had at the
// start (the program and its libraries), which for small files would be most of it.
template <typename Work>
void PeakMemory(benchmark::State& state, const std::string& file, Work work) {
    for (auto _ : state) {
        rusage usage{};
        int status = 0;
        const pid_t idle = ::fork();
        if (idle == 0) {
            ::_exit(0);
        }
        ::wait4(idle, &status, 0, &usage);
        const double start = usage.ru_maxrss * 1024.0;
        const pid_t child = ::fork();
        if (child == 0) {
            ::_exit(work() ? 0 : 1);
        }
        ::wait4(child, &status, 0, &usage);
        const double peak = usage.ru_maxrss * 1024.0;
        const double bytes = static_cast<double>(fs::file_size(file));
        state.counters["peak_MB"] = peak / 1e6;
        state.counters["file_MB"] = bytes / 1e6;
        state.counters["x_file"] = peak / bytes;
        state.counters["x_file_own"] = (peak - start) / bytes;
        if (status != 0) {
            state.SkipWithError("the child failed");
        }
    }
}

// Files made to cost a reader memory, each written once by a child, so that the parent stays
// small for the forks that measure.
struct HostileFile {
    const char* name;
    std::string (*make)();
};

std::string Repeat(std::string_view piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

const HostileFile kHostile[] = {
    {"field.csv", [] { return "word,meaning\nx," + std::string(50'000'000, 'a') + "\n"; }},
    {"field.kvtml",
     [] {
         return "<kvtml><entries><entry><translation id=\"0\"><text>" +
                std::string(50'000'000, 'a') + "</text></translation></entry></entries></kvtml>\n";
     }},
    {"nested.kvtml",
     [] {
         return "<kvtml><entries>" + Repeat("<u>", 1'000'000) + Repeat("</u>", 1'000'000) +
                "</entries></kvtml>\n";
     }},
    {"siblings.kvtml",
     [] {
         return "<kvtml><entries><entry><translation id=\"0\"><text>x</text></translation>"
                "</entry>" +
                Repeat("<unknown>y</unknown>", 350'000) + "</entries></kvtml>\n";
     }},
    {"cdata.kvtml",
     [] {
         return "<kvtml><entries><entry><translation id=\"0\"><text><![CDATA[" +
                std::string(50'000'000, 'a') +
                "]]></text></translation></entry></entries></kvtml>\n";
     }},
    {"comment.kvtml",
     [] {
         return "<kvtml><entries><entry><translation id=\"0\"><text>x</text></translation>"
                "</entry><!--" +
                std::string(50'000'000, 'a') + "--></entries></kvtml>\n";
     }},
    {"prolog.kvtml",
     [] {
         return "<?xml version=\"1.0\"?>" + std::string(50'000'000, ' ') +
                "<kvtml><entries><entry><translation id=\"0\"><text>x</text></translation>"
                "</entry></entries></kvtml>\n";
     }},
    {"attribute.kvtml",
     [] {
         return "<kvtml><entries><entry id=\"" + std::string(50'000'000, 'a') +
                "\"><translation id=\"0\"><text>x</text></translation></entry></entries>"
                "</kvtml>\n";
     }},
    {"bad-lines.csv", [] { return "word,meaning\nok,1\n" + Repeat("\"x\"y\n", 1'000'000); }},
    {"columns.csv", [] { return "a" + Repeat(",b", 999'999) + "\n"; }},
};

std::string HostilePath(const char* name) {
    return (ScratchFolder() / name).string();
}

// The whole import into an empty list: read, plan, apply. True also when the file is refused
// with a message, as some of these files are meant to be.
bool ImportWhole(const std::string& path) {
    ImportedWords read;
    std::string error;
    if (ImportFile(path, {}, read, error)) {
        WordList list;
        ApplyImport(list, PlanImport(read, list, DuplicatePolicy::Skip));
        benchmark::DoNotOptimize(list.GetCount());
    }
    return read.entries.GetCount() > 0 || !error.empty();
}

// The files every peak-memory case reads, written once by a child, so that the parent stays
// small; whichever case a filter lets run first writes them.
void WriteMeasuredFiles() {
    static bool written = false;
    if (written) {
        return;
    }
    written = true;
    ScratchFolder();
    const pid_t child = ::fork();
    if (child == 0) {
        WriteFiles();
        for (const HostileFile& file : kHostile) {
            std::FILE* out = std::fopen(HostilePath(file.name).c_str(), "wb");
            const std::string bytes = file.make();
            if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() ||
                std::fclose(out) != 0) {
                ::_exit(1);
            }
        }
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
}

// Registered first, while this process is still small: a forked child inherits its pages.
void BM_PeakMemoryOfImport(benchmark::State& state) {
    WriteMeasuredFiles();
    PeakMemory(state, TsvFile(), [] {
        WordList list;
        return Import(list);
    });
}
BENCHMARK(BM_PeakMemoryOfImport)->Iterations(1)->Unit(benchmark::kMillisecond);

// The import dialog: the file read and planned for showing, then, with `again`, read again with
// the header switched off and planned again, as a choice in the dialog does, and at last
// confirmed; with `applied`, then made one step of the list's history, as the study window
// does while the dialog still holds its plan. The words and plan of one reading go before the
// next is made.
bool DialogImport(const std::string& path, bool again, bool applied = false) {
    WordList list;
    ImportSource source(path);
    ImportedWords read;
    std::string error;
    if (!source.Read({}, read, error)) {
        return false;
    }
    ImportPlan plan = PlanImportPreview(read, list, DuplicatePolicy::Skip);
    if (again) {
        ImportOptions options;
        options.delimited.header = false;
        read = ImportedWords{};
        plan = ImportPlan{};
        if (!source.ReadAgain(options, read, error)) {
            return false;
        }
        plan = PlanImportPreview(read, list, DuplicatePolicy::Skip);
    }
    TakeAdded(plan, std::move(read.entries));
    if (applied) {
        ListHistory history(list);
        history.Apply(ListStep::Import(std::move(plan)));
        return list.GetCount() > 0;
    }
    return plan.added.GetCount() > 0;
}

struct DialogCase {
    const char* label;
    const char* hostile; // a hostile file's name, else the benchmark's TSV
    bool again;
    bool applied = false;
};

const DialogCase kDialogCases[] = {
    {"read once", nullptr, false},         {"read once, applied as one step", nullptr, false, true},
    {"read again", nullptr, true},         {"field.csv read again", "field.csv", true},
    {"field.kvtml", "field.kvtml", false}, {"bad-lines.csv read again", "bad-lines.csv", true},
};

void BM_PeakMemoryOfDialogImport(benchmark::State& state) {
    const DialogCase& c = kDialogCases[state.range(0)];
    state.SetLabel(c.label);
    const std::string path = c.hostile != nullptr ? HostilePath(c.hostile) : TsvFile();
    WriteMeasuredFiles();
    PeakMemory(state, path, [&] { return DialogImport(path, c.again, c.applied); });
}
BENCHMARK(BM_PeakMemoryOfDialogImport)
    ->DenseRange(0, static_cast<int>(std::size(kDialogCases)) - 1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_PeakMemoryOfHostileImport(benchmark::State& state) {
    WriteMeasuredFiles();
    const HostileFile& file = kHostile[state.range(0)];
    state.SetLabel(file.name);
    const std::string path = HostilePath(file.name);
    PeakMemory(state, path, [&] { return ImportWhole(path); });
}
BENCHMARK(BM_PeakMemoryOfHostileImport)
    ->DenseRange(0, static_cast<int>(std::size(kHostile)) - 1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The reading alone, as the import dialog does before its preview.
void BM_PeakMemoryOfHostileRead(benchmark::State& state) {
    WriteMeasuredFiles();
    const HostileFile& file = kHostile[state.range(0)];
    state.SetLabel(file.name);
    const std::string path = HostilePath(file.name);
    PeakMemory(state, path, [&] {
        ImportedWords read;
        std::string error;
        return ImportFile(path, {}, read, error) || !error.empty();
    });
}
BENCHMARK(BM_PeakMemoryOfHostileRead)
    ->DenseRange(0, 1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_PeakMemoryOfLoad(benchmark::State& state) {
    PeakMemory(state, WordFile(), [] {
        WordList list;
        return LoadWordFile(list, WordFile()) && list.GetCount() == kEntries;
    });
}
BENCHMARK(BM_PeakMemoryOfLoad)->Iterations(1)->Unit(benchmark::kMillisecond);

// HTML text of a field of one opener repeated, with no closer: `x_per_mb` stays flat when the
// time is linear in the size (it grew with the size when each opener searched to the end).
void BM_HtmlToText(benchmark::State& state) {
    static constexpr std::string_view kOpeners[] = {"&", "<a", "[sound:"};
    const std::string_view opener = kOpeners[state.range(0)];
    const auto megabytes = static_cast<std::size_t>(state.range(1));
    const std::string html = Repeat(opener, (megabytes << 20) / opener.size());
    state.SetLabel(std::string(opener));
    Timing best;
    for (auto _ : state) {
        const Timing time = Measure([&] { benchmark::DoNotOptimize(HtmlToText(html).size()); });
        state.SetIterationTime(time.wall);
        best = Min(best, time);
    }
    state.counters["best_ms"] = best.wall * 1e3;
    state.counters["ms_per_MB"] = best.wall * 1e3 / static_cast<double>(megabytes);
}
BENCHMARK(BM_HtmlToText)
    ->ArgsProduct({{0, 1, 2}, {1, 4}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

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

// Times `work` (false: it failed) as often as the benchmark asks, and sets its best time and
// that time over loading the word file.
template <typename Work> void TimeAgainstLoad(benchmark::State& state, Work work) {
    Timing best;
    for (auto _ : state) {
        bool ok = false;
        const Timing time = Measure([&] { ok = work(); });
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

// Reading the file into entries, as the import dialog does before its preview.
void BM_ImportTsv(benchmark::State& state) {
    TimeAgainstLoad(state, [] {
        WordList list;
        return Import(list);
    });
}
BENCHMARK(BM_ImportTsv)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

// Reading the file again with another header choice, as the import dialog does when a choice
// changes (a file this large is read again, not kept as text): `x_import` is its time over
// the first reading.
void BM_ImportReadAgain(benchmark::State& state) {
    ImportSource source(TsvFile());
    Timing fromFile;
    for (int i = 0; i < 3; ++i) {
        fromFile = Min(fromFile, Measure([&] {
                           ImportedWords read;
                           std::string error;
                           source.Read({}, read, error);
                       }));
    }
    ImportOptions options;
    options.delimited.header = false;
    Timing best;
    for (auto _ : state) {
        bool ok = false;
        const Timing time = Measure([&] {
            ImportedWords read;
            std::string error;
            ok = source.ReadAgain(options, read, error) &&
                 read.entries.GetCount() >= static_cast<std::size_t>(kEntries);
        });
        if (!ok) {
            state.SkipWithError("reading again failed");
            break;
        }
        state.SetIterationTime(time.wall);
        best = Min(best, time);
    }
    state.counters["best_ms"] = best.wall * 1e3;
    state.counters["x_import"] = best.wall / fromFile.wall;
    state.counters["x_import_cpu"] = best.cpu / fromFile.cpu;
}
BENCHMARK(BM_ImportReadAgain)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

// The whole import as the import dialog makes it: read, planned for showing, confirmed.
void BM_ImportTsvDialog(benchmark::State& state) {
    TimeAgainstLoad(state, [] { return DialogImport(TsvFile(), false); });
}
BENCHMARK(BM_ImportTsvDialog)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

// Reading, planning against an empty list and applying: the whole import.
void BM_ImportTsvPlanApply(benchmark::State& state) {
    TimeAgainstLoad(state, [] {
        ImportedWords read;
        std::string error;
        ImportFile(TsvFile(), {}, read, error);
        WordList list;
        ApplyImport(list, PlanImport(read, list, DuplicatePolicy::Skip));
        return list.GetCount() > 0;
    });
}
BENCHMARK(BM_ImportTsvPlanApply)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

// The same as the study window makes it: applied as one step that can be undone.
void BM_ImportTsvPlanApplyUndoable(benchmark::State& state) {
    TimeAgainstLoad(state, [] {
        ImportedWords read;
        std::string error;
        ImportFile(TsvFile(), {}, read, error);
        WordList list;
        ListHistory history(list);
        history.Apply(ListStep::Import(PlanImport(read, list, DuplicatePolicy::Skip)));
        return list.GetCount() > 0;
    });
}
BENCHMARK(BM_ImportTsvPlanApplyUndoable)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);

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
