#include "tests/framework/RecordingDialog.h"

#include "framework/CPaintDC.h"
#include "framework/CWinApp.h"
#include "res/ResourceIds.h"

// clang-format off
BEGIN_MESSAGE_MAP(RecordingDialog, CDialog)
    ON_CONTROL_RANGE(BN_CLICKED, 1000, 1099, &RecordingDialog::OnClicked)
    ON_WM_KEYDOWN()
    ON_WM_KEYUP()
    ON_WM_CLOSE()
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_MESSAGE(WM_APP, &RecordingDialog::OnApp)
END_MESSAGE_MAP()
// clang-format on

RecordingDialog::RecordingDialog(UINT nIDTemplate) : CDialog(nIDTemplate) {}

BOOL RecordingDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    if (appendAboutItem) {
        CMenu* menu = GetSystemMenu(FALSE);
        menu->AppendMenu(MF_SEPARATOR);
        CString about;
        about.LoadString(IDS_ABOUTBOX);
        menu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about.c_str());
    }
    initVisibility = QStringLiteral("%1 %2")
                         .arg(m_spellLabel.IsWindowVisible())
                         .arg(m_editWord.IsWindowVisible());
    if (postWhenShown)
        PostMessageWhenShown(WM_APP, 1);
    if (endInInit != 0)
        EndDialog(endInInit);
    return TRUE;
}

void RecordingDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_WORD, m_editWord);
    DDX_Control(pDX, IDC_HIDE_WORD, m_btnHideWord);
    DDX_Control(pDX, IDC_SPELL_LABEL, m_spellLabel);
    DDX_Check(pDX, IDC_HIDE_WORD, m_bHideWord);
    DDX_Text(pDX, IDC_WORD, m_strWord);
    DDX_Text(pDX, IDC_PAGE, m_strPage);
}

void RecordingDialog::OnOK() {
    log << "OnOK";
    CDialog::OnOK();
}

void RecordingDialog::OnCancel() {
    log << "OnCancel";
    CDialog::OnCancel();
}

void RecordingDialog::OnClicked(UINT nID) {
    log << QStringLiteral("click %1").arg(nID);
}

void RecordingDialog::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    log << QStringLiteral("keydown %1 %2 %3").arg(nChar).arg(nRepCnt).arg(nFlags);
    Default();
}

void RecordingDialog::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) {
    log << QStringLiteral("keyup %1 %2 %3").arg(nChar).arg(nRepCnt).arg(nFlags);
    Default();
}

void RecordingDialog::OnClose() {
    log << "OnClose";
    if (okOnClose)
        OnOK();
    Default();
}

void RecordingDialog::OnSysCommand(UINT nID, LPARAM /*lParam*/) {
    log << QStringLiteral("syscommand %1").arg(nID);
    if ((nID & 0xFFF0) != IDM_ABOUTBOX)
        Default();
}

void RecordingDialog::OnPaint() {
    if (!recordPaint) {
        Default();
        return;
    }
    CPaintDC dc(this);
    const BOOL drawn = dc.DrawIcon(0, 0, AfxGetApp()->LoadIcon(IDR_MAINFRAME));
    log << QStringLiteral("paint %1").arg(drawn);
}

LRESULT RecordingDialog::OnApp(WPARAM wParam, LPARAM /*lParam*/) {
    log << QStringLiteral("app %1").arg(wParam);
    return 0;
}
