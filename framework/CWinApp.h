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

    // The icon resource as a handle that lives as long as the process.
    HICON LoadIcon(UINT nIDResource) const;

    CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();

// Sets the C runtime's multibyte code set to the locale's, opens the toolkit (ignoring the
// arguments), runs InitInstance of the application object and returns the exit status.
int AfxWinMain(int argc, char** argv);
