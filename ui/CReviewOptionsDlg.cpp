#include "ui/CReviewOptionsDlg.h"

#include <optional>

#include "settings/ReviewChoiceText.h"

#include <string>

#include "framework/CDataExchange.h"
#include "res/ResourceIds.h"

BEGIN_MESSAGE_MAP(CReviewOptionsDlg, CDialog)
END_MESSAGE_MAP()

CReviewOptionsDlg::CReviewOptionsDlg(const ReviewSettings& settings, CWnd* pParent)
    : CDialog(IDD_REVIEW_OPTIONS, pParent), m_settings(settings) {
    m_strRetention = CString(FormatRetention(settings.desiredRetention));
    m_strNewPerDay = CString(std::to_string(settings.newPerDay));
    m_strPerDay = CString(std::to_string(settings.reviewsPerDay.value_or(0)));
    m_bMeaningShown = settings.direction == ReviewSettings::Direction::MeaningToWord;
    m_bTwoAnswers = settings.twoAnswers;
    m_bTyped = settings.typed;
}

BOOL CReviewOptionsDlg::OnInitDialog() {
    return CDialog::OnInitDialog();
}

void CReviewOptionsDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_REVIEW_RETENTION, m_strRetention);
    DDX_Text(pDX, IDC_REVIEW_NEW_PER_DAY, m_strNewPerDay);
    DDX_Text(pDX, IDC_REVIEW_PER_DAY, m_strPerDay);
    DDX_Check(pDX, IDC_REVIEW_MEANING_SHOWN, m_bMeaningShown);
    DDX_Check(pDX, IDC_REVIEW_TWO_ANSWERS, m_bTwoAnswers);
    DDX_Check(pDX, IDC_REVIEW_TYPE_ANSWER, m_bTyped);
}

// A value out of range keeps the dialog open with a word on what is allowed.
void CReviewOptionsDlg::OnOK() {
    UpdateData(TRUE);
    ReviewSettings chosen = m_settings;
    if (!ParseRetention(m_strRetention.str(), chosen.desiredRetention)) {
        MessageBox("The desired retention is a number from 0.70 to 0.99.", "Error",
                   MB_OK | MB_ICONINFORMATION);
        return;
    }
    std::uint32_t newPerDay = 0;
    std::uint32_t perDay = 0;
    if (!ParsePerDay(m_strNewPerDay.str(), newPerDay) || !ParsePerDay(m_strPerDay.str(), perDay)) {
        MessageBox("The words and reviews a day are whole numbers from 0 to 100000.", "Error",
                   MB_OK | MB_ICONINFORMATION);
        return;
    }
    chosen.newPerDay = static_cast<std::int32_t>(newPerDay);
    chosen.reviewsPerDay = perDay == 0 ? std::nullopt : std::optional<std::int32_t>(perDay);
    chosen.direction = m_bMeaningShown != 0 ? ReviewSettings::Direction::MeaningToWord
                                            : ReviewSettings::Direction::WordToMeaning;
    chosen.twoAnswers = m_bTwoAnswers != 0;
    chosen.typed = m_bTyped != 0;
    m_settings = chosen;
    EndDialog(IDOK);
}
