// A window or child control: the handle that dialogs and control objects share.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "framework/CString.h"
#include "framework/WinDef.h"

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd() = default;

    // Caption of a button, text of a label or an edit, title of a dialog. The text
    // crosses into the toolkit only here: bytes set are returned unchanged by
    // GetWindowText as long as the learner has not edited the control.
    void SetWindowText(const CString& text);
    void GetWindowText(CString& text) const;
    // Whether the control's text survives GetWindowText whole: the locale's code set can
    // hold every character the learner typed.
    BOOL CanHoldText() const;

    BOOL ShowWindow(int nCmdShow); // SW_SHOW or SW_HIDE; returns whether it was visible
    BOOL IsWindowVisible() const;  // its own visible flag, whether or not the dialog is shown
    CWnd* SetFocus();
    BOOL HasFocus() const; // the keyboard focus is on this control
    BOOL EnableWindow(BOOL bEnable = TRUE);
    int GetDlgCtrlID() const { return m_nID; }

    HWND GetSafeHwnd() const { return m_hWnd; }
    // Binds this object to a toolkit widget; done by DDX_Control and by CDialog.
    void Attach(HWND hWnd, int nID);
    void Detach();

private:
    // The bytes last set and the toolkit text they became are kept on the widget itself,
    // so that every object attached to one control sees the same remembered bytes.
    QPointer<QWidget> m_hWnd;
    int m_nID = 0;
};
