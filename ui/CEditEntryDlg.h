// The entry editor: the entry's number, and its word, spell, type and meaning to change.
#pragma once

#include "framework/CDialog.h"
#include "framework/CString.h"
#include "framework/Controls.h"
#include "words/WordEntry.h"
#include "words/WordList.h"
#include "words/WordPos.h"

class CEditEntryDlg : public CDialog {
public:
    // `self` is the entry's place in `words`; the list is only read.
    CEditEntryDlg(const WordList& words, WordPos self, CWnd* pParent = nullptr);

    // After IDOK: the entry with its new texts and its old number.
    const WordEntry& GetEntry() const { return m_entry; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    DECLARE_MESSAGE_MAP()

private:
    const WordList& m_words;
    WordPos m_self;
    WordEntry m_entry;

    CString m_strNumber;
    CString m_strWord;
    CString m_strSpell;
    CString m_strType;
    CString m_strMean;
    CEdit m_editWord;
    CEdit m_editSpell;
    CEdit m_editType;
    CEdit m_editMean;
};
