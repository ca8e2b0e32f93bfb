// Time from process start to the first painted window, and peak memory, for the study window
// on a 20,000-word list against a bare dialog of the same size with one button; two more kinds
// of start (no list, the bare dialog in the study window's font) show where the difference lies.
//
// The program re-runs itself as the probe: with "--probe vocab" it starts the study window the
// way the program's main does, with "--probe bare W H" a plain dialog; either prints the
// monotonic clock at its first paint and closes its window right after.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QFont>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "framework/CWinApp.h"
#include "framework/ResourceModule.h"
#include "res/AppResources.h"
#include "ui/CVocabDlg.h"

namespace {

long long NowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

// Reports the first paint of a top-level dialog, then closes it through its cancel path.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_seen && event->type() == QEvent::Paint) {
            auto* dialog = qobject_cast<QDialog*>(watched);
            if (dialog != nullptr && dialog->isWindow()) {
                m_seen = true;
                // Children paint in the same pass; the timer runs once that pass is over.
                QTimer::singleShot(0, dialog, [dialog] {
                    std::printf("painted %lld size %d %d\n", NowNs(), dialog->width(),
                                dialog->height());
                    std::fflush(stdout);
                    dialog->reject();
                });
            }
        }
        return false;
    }

private:
    bool m_seen = false;
};

class ProbeApp : public CWinApp {
public:
    BOOL InitInstance() override {
        FirstPaint watcher;
        qApp->installEventFilter(&watcher);
        CVocabDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
        return FALSE;
    }
};

int RunBareProbe(int argc, char** argv, int width, int height, const char* font) {
    QApplication application(argc, argv);
    FirstPaint watcher;
    application.installEventFilter(&watcher);
    QDialog dialog;
    if (font != nullptr)
        dialog.setFont(QFont(QString::fromUtf8(font), 9));
    dialog.setFixedSize(width, height);
    QPushButton button("&Exit", &dialog);
    button.setGeometry(width - 100, height - 40, 80, 26);
    QObject::connect(&button, &QPushButton::clicked, &dialog, &QDialog::accept);
    return dialog.exec() >= 0 ? 0 : 1;
}

struct ProbeResult {
    double seconds = 0;
    long maxRssKb = 0;
    int width = 0, height = 0;
    bool ok = false;
};

std::string g_self;
std::filesystem::path g_dir;        // the 20,000-word list
std::filesystem::path g_emptyDir;   // no files at all
std::filesystem::path g_historyDir; // the list with a review history beside it

// Starts the probe in `dir` and waits for it.
ProbeResult Spawn(const std::vector<std::string>& args, const std::filesystem::path& dir = g_dir) {
    int out[2];
    if (pipe(out) != 0)
        return {};
    const long long start = NowNs();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        if (chdir(dir.c_str()) != 0)
            _exit(127);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(g_self.c_str()));
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(g_self.c_str(), argv.data());
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    ProbeResult result;
    long long painted = 0;
    if (std::sscanf(text.c_str(), "painted %lld size %d %d", &painted, &result.width,
                    &result.height) == 3) {
        result.ok = true;
        result.seconds = static_cast<double>(painted - start) / 1e9;
    }
    result.maxRssKb = usage.ru_maxrss;
    return result;
}

int g_width = 0, g_height = 0;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// One start of each kind per iteration, taken in turn, so that the load of a shared machine
// falls on all of them alike. The time is the study window's; the counters give each kind's
// median time to first paint (ms) and peak memory (KiB), and the study window's ratio to the
// bare dialog.
void BM_FirstPaint(benchmark::State& state) {
    const std::string w = std::to_string(g_width), h = std::to_string(g_height);
    struct Kind {
        const char* name;
        std::vector<std::string> args;
        std::filesystem::path dir;
        std::vector<double> ms;
        long maxRssKb = 0;
    };
    std::vector<Kind> kinds = {
        {"study", {"--probe", "vocab"}, g_dir, {}},
        // Without the word list: what the list costs.
        {"study_no_list", {"--probe", "vocab"}, g_emptyDir, {}},
        // With a review history of a million lines beside the list: read after the paint.
        {"study_history", {"--probe", "vocab"}, g_historyDir, {}},
        {"bare", {"--probe", "bare", w, h}, g_dir, {}},
        // The bare dialog in the study window's fallback font: what the font costs.
        {"bare_study_font", {"--probe", "bare", w, h, "AR PL UMing CN"}, g_dir, {}},
    };
    for (auto _ : state) {
        for (Kind& kind : kinds) {
            const ProbeResult r = Spawn(kind.args, kind.dir);
            if (!r.ok) {
                state.SkipWithError("a probe did not paint");
                return;
            }
            kind.ms.push_back(r.seconds * 1e3);
            kind.maxRssKb = std::max(kind.maxRssKb, r.maxRssKb);
        }
        state.SetIterationTime(kinds[0].ms.back() / 1e3);
    }
    for (const Kind& kind : kinds) {
        state.counters[std::string(kind.name) + "_ms"] = Median(kind.ms);
        state.counters[std::string(kind.name) + "_rss_kb"] = static_cast<double>(kind.maxRssKb);
    }
    state.counters["study_to_bare"] = Median(kinds[0].ms) / Median(kinds[3].ms);
    state.counters["history_to_study"] = Median(kinds[2].ms) / Median(kinds[0].ms);
}

BENCHMARK(BM_FirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);

void WriteWordList(const std::filesystem::path& file, int count) {
    std::ofstream out(file, std::ios::binary);
    for (int n = 1; n <= count; ++n)
        out << n << " word" << n << " /spell" << n << "/ n. meaning" << n << "\r\n";
}

// `lines` grades of the list's words, a minute apart, ending a day ago.
void WriteHistory(const std::filesystem::path& file, int lines, int words) {
    std::ofstream out(file, std::ios::binary);
    out << "# review history\n";
    const std::time_t end = std::time(nullptr) - 86400;
    for (int i = 0; i < lines; ++i) {
        const std::time_t at = end - static_cast<std::time_t>(lines - i) * 60;
        std::tm utc{};
        gmtime_r(&at, &utc);
        char stamp[40];
        std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S.000Z", &utc);
        out << stamp << "\tword" << (i % words + 1) << "\t" << (i % 7 == 0 ? 1 : 3)
            << "\t2000\tw2m\n";
    }
}

} // namespace

int main(int argc, char** argv) {
    AfxSetResourceModule(VocamintResources());
    if (argc >= 3 && std::strcmp(argv[1], "--probe") == 0) {
        if (std::strcmp(argv[2], "bare") == 0 && argc >= 5)
            return RunBareProbe(1, argv, std::atoi(argv[3]), std::atoi(argv[4]),
                                argc >= 6 ? argv[5] : nullptr);
        ProbeApp app;
        return AfxWinMain(1, argv);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    g_self = std::filesystem::read_symlink("/proc/self/exe").string();
    char dirTemplate[] = "/tmp/vocamint-startup-XXXXXX";
    if (mkdtemp(dirTemplate) == nullptr)
        return 1;
    g_dir = dirTemplate;
    g_emptyDir = g_dir / "empty";
    std::filesystem::create_directory(g_emptyDir);
    WriteWordList(g_dir / "WL.txt", 20000);
    g_historyDir = g_dir / "history";
    std::filesystem::create_directory(g_historyDir);
    WriteWordList(g_historyDir / "WL.txt", 20000);
    WriteHistory(g_historyDir / "reviews.tsv", 1'000'000, 20000);
    std::ofstream(g_historyDir / "env.ini", std::ios::binary)
        << "[Setting]\r\nIndex=19981\r\nGoto=\r\n";
    {
        std::ofstream(g_dir / "env.ini", std::ios::binary)
            << "[Setting]\r\nIndex=19981\r\nGoto=\r\n";
    }
    // The bare dialog takes the study window's size, as measured by one run of it.
    const ProbeResult first = Spawn({"--probe", "vocab"});
    if (!first.ok)
        return 1;
    g_width = first.width;
    g_height = first.height;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(g_dir);
    return 0;
}
