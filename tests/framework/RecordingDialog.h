// A dialog on the study window's template that records every message its map receives.
#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

#include "framework/CDataExchange.h"
#include "framework/CDialog.h"
#include "framework/Controls.h"

// Readable test output for texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

class RecordingDialog : public CDialog {
public:
    explicit RecordingDialog(UINT nIDTemplate);

    QStringList log;        // "click 1016", "OnOK", "keydown 36 1 0", "syscommand 16", ...
    bool okOnClose = false; // OnClose runs OnOK before default processing
    bool appendAboutItem = false;
    bool recordPaint = false;   // OnPaint draws the icon and records whether it could
    int endInInit = 0;          // OnInitDialog ends the dialog with this code when not 0
    bool postWhenShown = false; // OnInitDialog posts WM_APP 1 for when the window is shown
    QString initVisibility;     // visible flags of the Spell label and Word edit at start-up

    // Bound members.
    CString m_strWord;
    CString m_strPage;
    int m_bHideWord = 0;
    CEdit m_editWord;
    CButton m_btnHideWord;
    CStatic m_spellLabel;

    using CDialog::OnInitDialog;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

    void OnClicked(UINT nID);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnClose();
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    LRESULT OnApp(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
