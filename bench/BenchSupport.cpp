#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

#include "words/WordFileFormat.h"

namespace bench {

namespace {

fs::path g_folder;

std::string RandomLetters(std::mt19937& random, int from, int to) {
    std::string text(from + random() % (to - from + 1), 'a');
    for (char& c : text)
        c = static_cast<char>('a' + random() % 26);
    return text;
}

} // namespace

WordEntry BenchEntry(std::mt19937& random, int number) {
    static const char* const kTypes[] = {"n.", "v.", "adj.", "adv.", "prep."};
    WordEntry entry{number, "", "/" + RandomLetters(random, 4, 8) + "/", kTypes[random() % 5],
                    RandomLetters(random, 10, 22)};
    for (int n = number, k = 0; k < 5; ++k, n /= 26)
        entry.word += static_cast<char>('a' + n % 26);
    entry.word += RandomLetters(random, 0, 3);
    return entry;
}

const fs::path& ScratchFolder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "vocamint-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        g_folder = pattern;
        return g_folder;
    }();
    return folder;
}

fs::path WriteBenchList(const char* name, const std::function<void(WordEntry&)>& change) {
    const fs::path file = ScratchFolder() / name;
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr) {
        std::perror("fopen");
        std::exit(1);
    }
    std::mt19937 random(7);
    std::string text;
    for (int i = 1; i <= kEntries; ++i) {
        WordEntry entry = BenchEntry(random, i);
        if (change)
            change(entry);
        AppendWordLine(text, entry);
        if (text.size() > (1 << 20) || i == kEntries) {
            std::fwrite(text.data(), 1, text.size(), out);
            text.clear();
        }
    }
    std::fclose(out);
    return file;
}

const fs::path& BenchWordFile() {
    static const fs::path path = WriteBenchList("WL.txt", nullptr);
    return path;
}

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

int RunBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!g_folder.empty()) {
        std::error_code error;
        fs::remove_all(g_folder, error);
    }
    return 0;
}

} // namespace bench
