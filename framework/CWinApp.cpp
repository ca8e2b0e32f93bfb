#include "framework/CWinApp.h"
#include "framework/ProgramStyle.h"

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <unistd.h>

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include "framework/CIcon.h"
#include "framework/CWnd.h"

namespace {

CWinApp* g_app = nullptr;
int g_signalPipe[2] = {-1, -1};

// Only writes a byte: the work is done by the event loop that reads it.
void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    (void)!::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

// Most programs today treat the C and POSIX locales as UTF-8; so do we, so that words in any
// script can be typed and stored.
void UseDesktopLocale() {
    std::setlocale(LC_ALL, "");
    const char* ctype = std::setlocale(LC_CTYPE, nullptr);
    if (ctype == nullptr || std::strcmp(ctype, "C") == 0 || std::strcmp(ctype, "POSIX") == 0)
        std::setlocale(LC_CTYPE, "C.UTF-8");
}

namespace {

void EndSession() {
    static bool ending = false;
    if (ending)
        return;
    ending = true;
    // A box waiting for an answer would hold the program; the work it waits on is done.
    for (int i = 0; i < 16; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        CWnd* main = AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr;
        if (modal == nullptr || (main != nullptr && modal == main->GetSafeHwnd()))
            break;
        modal->close();
    }
    if (CWinApp* app = AfxGetApp())
        app->OnEndSession();
}

// Signals become a byte on a pipe that the event loop watches.
std::unique_ptr<QSocketNotifier> WatchSignals() {
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return nullptr;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
    auto notifier = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [] {
        char bytes[16];
        while (::read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        EndSession();
    });
    return notifier;
}

} // namespace

CWinApp::CWinApp() {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = nullptr;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    // Handles stay valid for the whole process, as icon handles of resources do.
    static std::map<UINT, std::unique_ptr<CIcon>> cache;
    std::unique_ptr<CIcon>& icon = cache[nIDResource];
    if (!icon)
        icon = std::make_unique<CIcon>(nIDResource);
    return icon->isNull() ? nullptr : icon.get();
}

CWinApp* AfxGetApp() {
    return g_app;
}

int AfxWinMain(int argc, char** argv) {
    UseDesktopLocale();
    // The program reads no arguments; the toolkit gets only the program's name.
    char fallbackName[] = "vocamint";
    char* toolkitArgv[] = {argc > 0 && argv[0] ? argv[0] : fallbackName, nullptr};
    int toolkitArgc = 1;
    QApplication application(toolkitArgc, toolkitArgv);
    UseDesktopLocale();
    UseProgramStyle();
    const std::unique_ptr<QSocketNotifier> signals = WatchSignals();
    QObject::connect(&application, &QGuiApplication::commitDataRequest,
                     [](QSessionManager&) { EndSession(); });

    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 1;
    // Every window of the program runs modally inside InitInstance, so there is no
    // application message loop to run afterwards whatever it returns.
    app->InitInstance();
    return app->ExitInstance();
}
