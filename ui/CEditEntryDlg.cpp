#include "ui/CEditEntryDlg.h"

#include "framework/CDataExchange.h"
#include "res/ResourceIds.h"
#include "study/NewWordCheck.h"
#include "ui/EntryChecks.h"

BEGIN_MESSAGE_MAP(CEditEntryDlg, CDialog)
END_MESSAGE_MAP()

CEditEntryDlg::CEditEntryDlg(const WordList& words, WordPos self, CWnd* pParent)
    : CDialog(IDD_EDIT_ENTRY, pParent), m_words(words), m_self(self), m_entry(words.At(self)) {
    m_strNumber.Format("%d", m_entry.number);
    m_strWord = m_entry.word;
    m_strSpell = m_entry.spell;
    m_strType = m_entry.type;
    m_strMean = m_entry.mean;
}

// The number cannot change, so the typing goes to the word, ready to be replaced.
BOOL CEditEntryDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_editWord.SetFocus();
    m_editWord.SetSel(0, -1);
    return FALSE;
}

void CEditEntryDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ENTRY_WORD, m_editWord);
    DDX_Control(pDX, IDC_ENTRY_SPELL, m_editSpell);
    DDX_Control(pDX, IDC_ENTRY_TYPE, m_editType);
    DDX_Control(pDX, IDC_ENTRY_MEAN, m_editMean);
    DDX_Text(pDX, IDC_ENTRY_NUMBER, m_strNumber);
    DDX_Text(pDX, IDC_ENTRY_WORD, m_strWord);
    DDX_Text(pDX, IDC_ENTRY_SPELL, m_strSpell);
    DDX_Text(pDX, IDC_ENTRY_TYPE, m_strType);
    DDX_Text(pDX, IDC_ENTRY_MEAN, m_strMean);
}

// The add form's checks and messages, except that the entry's own word is no duplicate.
void CEditEntryDlg::OnOK() {
    if (RefuseUnstorableText(*this, {{&m_editWord, "Word"},
                                     {&m_editSpell, "Spell"},
                                     {&m_editType, "Type"},
                                     {&m_editMean, "Meaning"}}))
        return;
    UpdateData(TRUE);
    const NewWordCheck check =
        CheckEditedEntry(m_words, m_self, m_strWord.str(), m_strMean.str(), m_strType.str());
    if (ReportRefusal(*this, check, m_editWord, m_editMean, m_editType)) {
        if (check.verdict == NewWordCheck::Verdict::Duplicate)
            m_editWord.SetFocus();
        return;
    }
    m_entry.word = check.word;
    m_entry.spell = m_strSpell.str();
    m_entry.type = m_strType.str();
    m_entry.mean = m_strMean.str();
    EndDialog(IDOK);
}
