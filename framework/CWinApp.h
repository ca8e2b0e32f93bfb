// The application object: the one instance that main runs.
#pragma once

#include "framework/WinDef.h"

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }
    // The program is asked to end: SIGTERM, SIGHUP or SIGINT, or the desktop session's
    // request to save. Runs on the user-interface thread; nothing to do by default.
    virtual void OnEndSession() {}

    // The icon resource as a handle that lives as long as the process.
    HICON LoadIcon(UINT nIDResource) const;

    CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();

// Takes the desktop's locale, reading the C and POSIX locales as UTF-8: the word list's text
// is in its code set.
void UseDesktopLocale();

// Sets the C runtime's multibyte code set to the locale's (UTF-8 under the C or POSIX locale),
// opens the toolkit (ignoring the arguments), runs InitInstance of the application object and
// returns the exit status. SIGTERM, SIGHUP, SIGINT and the session's request to save reach
// OnEndSession once open modal boxes are closed.
int AfxWinMain(int argc, char** argv);
