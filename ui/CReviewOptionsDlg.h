// The review options: desired retention, the day's limits, the direction and the answer modes.
#pragma once

#include "framework/CDialog.h"
#include "framework/CString.h"
#include "settings/Settings.h"

class CReviewOptionsDlg : public CDialog {
public:
    explicit CReviewOptionsDlg(const ReviewSettings& settings, CWnd* pParent = nullptr);
    // The choices after OK; the settings given before otherwise.
    const ReviewSettings& GetSettings() const { return m_settings; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    DECLARE_MESSAGE_MAP()

private:
    ReviewSettings m_settings;
    CString m_strRetention;
    CString m_strNewPerDay;
    CString m_strPerDay;
    int m_bMeaningShown = 0;
    int m_bTwoAnswers = 0;
    int m_bTyped = 0;
};
