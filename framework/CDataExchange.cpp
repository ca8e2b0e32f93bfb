#include "framework/CDataExchange.h"

#include <QCheckBox>

#include "framework/CWnd.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.GetSafeHwnd() != nullptr)
        return;
    if (HWND control = pDX->Control(nIDC))
        rControl.Attach(control, nIDC);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    auto* box = qobject_cast<QCheckBox*>(pDX->Control(nIDC));
    if (box == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = box->isChecked() ? 1 : 0;
    else
        box->setChecked(value != 0);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    HWND control = pDX->Control(nIDC);
    if (control == nullptr)
        return;
    // The remembered bytes live on the widget, so a temporary object sees them too.
    CWnd wnd;
    wnd.Attach(control, nIDC);
    if (pDX->m_bSaveAndValidate)
        wnd.GetWindowText(value);
    else
        wnd.SetWindowText(value);
}
