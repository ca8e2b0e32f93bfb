// Adding a word to a 100,000-word list, from the click on "&Add" to the repainted last page,
// against loading that list from its file.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "framework/CWinApp.h"
#include "framework/ResourceModule.h"
#include "res/AppResources.h"
#include "res/ResourceIds.h"
#include "ui/CVocabDlg.h"
#include "words/WordFile.h"
#include "words/WordList.h"

namespace {

constexpr int kWords = 100000;
std::filesystem::path g_dir;

void BM_LoadList(benchmark::State& state) {
    const std::string path = (g_dir / "WL.txt").string();
    for (auto _ : state) {
        WordList words;
        LoadWordFile(words, path);
        benchmark::DoNotOptimize(words.GetCount());
    }
}

void BM_AddWord(benchmark::State& state) {
    CVocabDlg dlg;
    QTimer::singleShot(0, [&] {
        auto* window = static_cast<QDialog*>(dlg.GetSafeHwnd());
        auto* word = window->findChild<QLineEdit*>(QString::number(IDC_WORD));
        auto* add = window->findChild<QAbstractButton*>(QString::number(IDC_ADD));
        window->findChild<QLineEdit*>(QString::number(IDC_MEAN))->setText("meaning");
        window->findChild<QLineEdit*>(QString::number(IDC_TYPE))->setText("n.");
        int next = 0;
        for (auto _ : state) {
            word->setText(QString("new%1").arg(next++));
            const auto start = std::chrono::steady_clock::now();
            add->click();
            window->repaint();
            const auto end = std::chrono::steady_clock::now();
            state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        }
        window->reject(); // leaves without writing anything
    });
    dlg.DoModal();
}

BENCHMARK(BM_LoadList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddWord)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    AfxSetResourceModule(VocamintResources());
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    char dirTemplate[] = "/tmp/vocamint-addword-XXXXXX";
    if (mkdtemp(dirTemplate) == nullptr)
        return 1;
    g_dir = dirTemplate;
    {
        std::ofstream out(g_dir / "WL.txt", std::ios::binary);
        for (int n = 1; n <= kWords; ++n)
            out << n << " word" << n << " /spell" << n << "/ n. meaning" << n << "\r\n";
        std::ofstream(g_dir / "env.ini", std::ios::binary) << "[Setting]\r\nIndex=99981\r\n";
    }
    if (chdir(g_dir.c_str()) != 0)
        return 1;
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    std::setlocale(LC_ALL, "");
    CWinApp app;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(g_dir);
    return 0;
}
