// Data exchange between a dialog's members and its controls, one helper per control kind.
#pragma once

#include <functional>

#include "framework/CString.h"
#include "framework/WinDef.h"

class CDialog;
class CWnd;

class CDataExchange {
public:
    // `control` finds the dialog's child control by id, so that the helpers need not know
    // the dialog class.
    CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate, std::function<HWND(int nIDC)> control)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_control(std::move(control)) {}

    HWND Control(int nIDC) const { return m_control(nIDC); }

    BOOL m_bSaveAndValidate; // TRUE: controls to members; FALSE: members to controls
    CDialog* m_pDlgWnd;

private:
    std::function<HWND(int)> m_control;
};

// Attaches a control object to the dialog's child control with that id (once).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// Tick state of a check box to and from an int: 0 unticked, 1 ticked.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// The checked button of a radio group to and from an int: its index in the group that starts
// at nIDC, or -1 for none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// Text of a label or an edit to and from a text member.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
