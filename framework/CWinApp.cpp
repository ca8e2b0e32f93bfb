#include "framework/CWinApp.h"

#include <clocale>
#include <map>
#include <memory>

#include <QApplication>

#include "framework/CIcon.h"

namespace {

CWinApp* g_app = nullptr;

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
    std::setlocale(LC_ALL, "");
    // The program reads no arguments; the toolkit gets only the program's name.
    char fallbackName[] = "vocamint";
    char* toolkitArgv[] = {argc > 0 && argv[0] ? argv[0] : fallbackName, nullptr};
    int toolkitArgc = 1;
    QApplication application(toolkitArgc, toolkitArgv);
    std::setlocale(LC_ALL, "");

    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 1;
    // Every window of the program runs modally inside InitInstance, so there is no
    // application message loop to run afterwards whatever it returns.
    app->InitInstance();
    return app->ExitInstance();
}
