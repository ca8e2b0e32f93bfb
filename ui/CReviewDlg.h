// The review window: one card at a time from a review session, the answer on Space or Enter,
// then a grade from the keys 1-4 or the buttons, each showing the interval it would give.
#pragma once

#include <string>

#include "framework/CDialog.h"
#include "framework/CString.h"
#include "framework/Controls.h"
#include "review/ReviewSession.h"
#include "settings/Settings.h"

class Speaker;

class CReviewDlg : public CDialog {
public:
    // The session must be started; grades it could not write stay pending in it.
    CReviewDlg(review::ReviewSession& session, const ReviewSettings& settings, Speaker& speaker,
               CWnd* pParent = nullptr);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;     // Space or Enter on "Show answer": the answer
    void OnCancel() override; // Escape or Close: every grade given is kept
    void OnGradeButton(UINT nID);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnUndoGrade();
    void OnSpeakWord();

    DECLARE_MESSAGE_MAP()

private:
    void GiveGrade(memory::Grade grade);
    void ShowCard();
    void ShowSummary();
    void Report(const std::string& message); // a write failure, told once

    review::ReviewSession& m_session;
    ReviewSettings m_settings;
    Speaker& m_speaker;
    bool m_toldFailure = false;
    memory::Grade m_suggested = memory::Grade::Good;

    CStatic m_staticStatus;
    CStatic m_staticPrompt;
    CStatic m_staticSpell;
    CStatic m_staticAnswer;
    CStatic m_staticCheck;
    CEdit m_editTyped;
    CButton m_btnShow;
    CButton m_btnGrade[4];
    CButton m_btnClose;
};
