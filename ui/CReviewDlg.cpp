#include "ui/CReviewDlg.h"

#include <QAction>
#include <QFont>
#include <QKeySequence>
#include <QWidget>

#include "framework/CDataExchange.h"
#include "framework/TextCodec.h"
#include "res/ResourceIds.h"
#include "review/ReviewText.h"
#include "ui/Speaker.h"

BEGIN_MESSAGE_MAP(CReviewDlg, CDialog)
ON_CONTROL_RANGE(BN_CLICKED, IDC_REVIEW_AGAIN, IDC_REVIEW_EASY, &CReviewDlg::OnGradeButton)
ON_WM_KEYDOWN()
END_MESSAGE_MAP()

namespace {

constexpr memory::Grade kGrades[] = {memory::Grade::Again, memory::Grade::Hard, memory::Grade::Good,
                                     memory::Grade::Easy};
constexpr int kGradeIds[] = {IDC_REVIEW_AGAIN, IDC_REVIEW_HARD, IDC_REVIEW_GOOD, IDC_REVIEW_EASY};

int SlotOf(memory::Grade grade) {
    return static_cast<int>(grade) - 1;
}

void Name(CWnd& control, const QString& name) {
    if (QWidget* widget = control.GetSafeHwnd())
        widget->setAccessibleName(name);
}

} // namespace

CReviewDlg::CReviewDlg(review::ReviewSession& session, const ReviewSettings& settings,
                       Speaker& speaker, CWnd* pParent)
    : CDialog(IDD_REVIEW, pParent), m_session(session), m_settings(settings), m_speaker(speaker) {}

void CReviewDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_REVIEW_STATUS, m_staticStatus);
    DDX_Control(pDX, IDC_REVIEW_PROMPT, m_staticPrompt);
    DDX_Control(pDX, IDC_REVIEW_SPELL, m_staticSpell);
    DDX_Control(pDX, IDC_REVIEW_ANSWER, m_staticAnswer);
    DDX_Control(pDX, IDC_REVIEW_CHECK, m_staticCheck);
    DDX_Control(pDX, IDC_REVIEW_TYPED, m_editTyped);
    DDX_Control(pDX, IDOK, m_btnShow);
    for (int k = 0; k < 4; ++k)
        DDX_Control(pDX, kGradeIds[k], m_btnGrade[k]);
    DDX_Control(pDX, IDCANCEL, m_btnClose);
}

BOOL CReviewDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Ctrl+Z and Ctrl+Space act wherever the focus is, the typed answer included.
    if (QWidget* window = GetSafeHwnd()) {
        const auto add = [&](QKeySequence keys, auto handler) {
            auto* action = new QAction(window);
            action->setShortcut(keys);
            action->setShortcutContext(Qt::WindowShortcut);
            QObject::connect(action, &QAction::triggered, window,
                             [this, handler] { (this->*handler)(); });
            window->addAction(action);
        };
        add(QKeySequence(Qt::CTRL | Qt::Key_Z), &CReviewDlg::OnUndoGrade);
        add(QKeySequence(Qt::CTRL | Qt::Key_Space), &CReviewDlg::OnSpeakWord);
    }
    // The card is what the learner looks at: larger than the rest, at every zoom.
    if (QWidget* prompt = m_staticPrompt.GetSafeHwnd()) {
        QFont font = prompt->font();
        font.setPointSizeF(font.pointSizeF() * 1.6);
        prompt->setFont(font);
    }
    Name(m_staticPrompt, m_settings.direction == ReviewSettings::Direction::MeaningToWord
                             ? "Meaning asked about"
                             : "Word");
    Name(m_staticSpell, "Pronunciation");
    Name(m_staticAnswer, "Answer");
    Name(m_editTyped, "Your answer");
    Name(m_staticCheck, "Your answer compared");
    Name(m_staticStatus, "Review counts");
    m_editTyped.ShowWindow(m_settings.typed ? SW_SHOW : SW_HIDE);
    m_staticCheck.ShowWindow(m_settings.typed ? SW_SHOW : SW_HIDE);
    ShowCard();
    return FALSE; // ShowCard put the focus where the first key belongs
}

void CReviewDlg::ShowCard() {
    if (!m_session.HasCard()) {
        ShowSummary();
        return;
    }
    const review::ReviewCard& card = m_session.Current();
    const bool revealed = m_session.Revealed();
    const review::SessionSummary done = m_session.Summary();
    m_staticStatus.SetWindowText(CString(review::DueSummary(m_session.Queue()) + " today; " +
                                         std::to_string(done.reviewed) + " reviewed"));
    const bool wordShown = card.direction == review::Direction::WordToMeaning;
    m_staticPrompt.SetWindowText(CString(card.Prompt()));
    // The spell gives the word away when the word is asked.
    m_staticSpell.SetWindowText(CString(wordShown || revealed ? card.spell : std::string()));
    std::string answer;
    if (revealed) {
        answer = card.Expected();
        if (!card.type.empty())
            answer = card.type + "  " + answer;
    }
    m_staticAnswer.SetWindowText(CString(answer));
    m_btnShow.ShowWindow(revealed ? SW_HIDE : SW_SHOW);
    for (int k = 0; k < 4; ++k) {
        const memory::Grade grade = kGrades[k];
        const std::string name = review::GradeName(grade, m_settings.twoAnswers);
        CButton& button = m_btnGrade[k];
        button.ShowWindow(revealed && !name.empty() ? SW_SHOW : SW_HIDE);
        if (!revealed || name.empty())
            continue;
        const std::string interval = m_session.ButtonLabel(grade);
        button.SetWindowText(CString(name + "\n" + interval));
        Name(button, QString::fromStdString(name.substr(2) + ", " + interval));
    }
    if (!revealed) {
        m_staticCheck.SetWindowText(CString());
        if (m_settings.typed) {
            m_editTyped.SetWindowText(CString());
            m_editTyped.EnableWindow(TRUE);
            m_editTyped.SetFocus();
        } else {
            m_btnShow.SetFocus();
        }
    } else {
        m_btnGrade[SlotOf(m_suggested)].SetFocus();
    }
}

void CReviewDlg::ShowSummary() {
    const review::SessionSummary summary = m_session.Summary();
    m_staticStatus.SetWindowText(CString("Review done"));
    m_staticPrompt.SetWindowText(CString(review::SummaryText(summary, review::SystemNow())));
    m_staticSpell.SetWindowText(CString());
    m_staticAnswer.SetWindowText(CString());
    m_staticCheck.SetWindowText(CString());
    m_editTyped.ShowWindow(SW_HIDE);
    m_btnShow.ShowWindow(SW_HIDE);
    for (CButton& button : m_btnGrade)
        button.ShowWindow(SW_HIDE);
    Name(m_staticPrompt, "Summary");
    m_btnClose.SetFocus();
}

void CReviewDlg::OnOK() {
    if (!m_session.HasCard()) {
        OnCancel();
        return;
    }
    if (m_session.Revealed())
        return;
    m_suggested = memory::Grade::Good;
    if (m_settings.typed) {
        CString typed;
        m_editTyped.GetWindowText(typed);
        const review::AnswerCheck check = m_session.CheckTyped(typed.str());
        m_staticCheck.SetWindowText(CString(review::AnswerDiffText(check)));
        m_editTyped.EnableWindow(FALSE);
        m_suggested = check.suggested;
        // Two answers: a suggested Hard is Knew, a suggested Easy too.
        if (m_settings.twoAnswers && m_suggested != memory::Grade::Again)
            m_suggested = memory::Grade::Good;
    }
    m_session.Reveal();
    ShowCard();
}

void CReviewDlg::OnCancel() {
    EndDialog(IDCANCEL);
}

void CReviewDlg::OnGradeButton(UINT nID) {
    for (int k = 0; k < 4; ++k) {
        if (kGradeIds[k] == static_cast<int>(nID))
            GiveGrade(kGrades[k]);
    }
}

void CReviewDlg::OnKeyDown(UINT nChar, UINT /*nRepCnt*/, UINT /*nFlags*/) {
    if (!m_session.HasCard() || !m_session.Revealed())
        return;
    if (m_settings.twoAnswers) {
        if (nChar == '1')
            GiveGrade(memory::Grade::Again);
        else if (nChar == '2')
            GiveGrade(memory::Grade::Good);
        return;
    }
    if (nChar >= '1' && nChar <= '4')
        GiveGrade(static_cast<memory::Grade>(nChar - '0'));
}

void CReviewDlg::GiveGrade(memory::Grade grade) {
    if (!m_session.HasCard() || !m_session.Revealed())
        return;
    std::string message;
    if (!m_session.Grade(grade, message))
        Report(message);
    ShowCard();
}

void CReviewDlg::OnUndoGrade() {
    if (!m_session.CanUndo())
        return;
    std::string message;
    if (!m_session.Undo(message) && !message.empty())
        Report(message);
    if (m_settings.typed)
        m_editTyped.ShowWindow(SW_SHOW);
    ShowCard();
}

void CReviewDlg::OnSpeakWord() {
    if (m_session.HasCard())
        m_speaker.Say(ToQString(m_session.Current().word));
}

void CReviewDlg::Report(const std::string& message) {
    if (m_toldFailure)
        return;
    m_toldFailure = true;
    const std::string text = message +
                             "\n\nYour grades are kept and written when you exit Vocamint; the "
                             "review goes on.";
    MessageBox(text.c_str(), "Info", MB_OK | MB_ICONINFORMATION);
}
