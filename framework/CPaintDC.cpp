#include "framework/CPaintDC.h"

#include <QWidget>

#include "framework/CIcon.h"
#include "framework/CWnd.h"

CPaintDC::CPaintDC(CWnd* pWnd) {
    QWidget* widget = pWnd ? pWnd->GetSafeHwnd() : nullptr;
    // A widget can only be painted on while it handles its paint event.
    if (widget != nullptr && widget->testAttribute(Qt::WA_WState_InPaintEvent))
        m_painter.begin(widget);
}

BOOL CPaintDC::DrawIcon(int x, int y, HICON hIcon) {
    if (!m_painter.isActive() || hIcon == nullptr || hIcon->isNull())
        return FALSE;
    m_painter.drawPixmap(x, y, hIcon->pixmap(GetSystemMetrics(SM_CXICON)));
    return TRUE;
}
