// The application object: runs the study window modally once, then lets the program end.
#pragma once

#include "framework/CWinApp.h"

class CVocabDlg;

class CVocabApp : public CWinApp {
public:
    CVocabApp(); // registers the program's resources
    BOOL InitInstance() override;
    // Saves as "&Exit" does and ends the study window.
    void OnEndSession() override;

private:
    CVocabDlg* m_pDlg = nullptr;
};
