#include "ui/CAboutDlg.h"

#include <QString>
#include <QWidget>

#include "res/ResourceIds.h"
#include "study/RecentLists.h"

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

// The box shows fixed text only: nothing to bind.
void CAboutDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (QWidget* box = GetSafeHwnd(); box && !m_listFolder.empty()) {
        const QString details = QStringLiteral("Word list: %1 (%2)")
                                    .arg(QString::fromLocal8Bit(RecentLists::Name(m_listFolder)),
                                         QString::fromLocal8Bit(m_listFolder));
        box->setToolTip(details);
        box->setAccessibleDescription(details);
    }
    return TRUE;
}
