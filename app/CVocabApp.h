// The application object: runs the study window modally once, then lets the program end.
#pragma once

#include "framework/CWinApp.h"

class CVocabApp : public CWinApp {
public:
    CVocabApp(); // registers the program's resources
    BOOL InitInstance() override;
};
