// The seven items of one on-screen row of the study window; it refers to the window's members and
// owns nothing.
#pragma once

#include "framework/CString.h"
#include "framework/Controls.h"

struct RowControls {
    CButton* check = nullptr;    // the learner's own mark; no operation reads it
    CString* meanText = nullptr; // text bound to meanLabel
    CStatic* meanLabel = nullptr;
    CString* wordText = nullptr; // text bound to wordLabel
    CStatic* wordLabel = nullptr;
    CButton* wordToggle = nullptr; // "+" while wordLabel is shown, "-" while hidden
    CButton* meanToggle = nullptr; // the same for meanLabel
};
