// A painting context for a dialog, valid while the dialog handles WM_PAINT.
#pragma once

#include <QPainter>

#include "framework/WinDef.h"

class CWnd;

class CPaintDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    HDC GetSafeHdc() { return &m_painter; }
    BOOL DrawIcon(int x, int y, HICON hIcon);

private:
    QPainter m_painter;
};
