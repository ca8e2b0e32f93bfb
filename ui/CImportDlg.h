// The import dialog: how a file was read, its first rows in a table whose column headings say
// which field each column gives, the counts, the lines that could not be read, and the
// learner's choices over all of them.
#pragma once

#include <string>

#include "exchange/Import.h"
#include "exchange/ImportPlan.h"
#include "exchange/ImportSource.h"
#include "framework/CDialog.h"
#include "framework/CString.h"
#include "framework/Controls.h"
#include "words/WordList.h"

class CImportDlg : public CDialog {
public:
    // The list is only read; `path` is the file to import.
    CImportDlg(const WordList& words, std::string path, CWnd* pParent = nullptr);

    // Reads the file as it was found to be. False, with `message` set for the learner, when it
    // cannot be read, is empty or gives no word: the dialog is then not to be shown.
    bool Load(std::string& message);
    // After IDOK: what the import changes. Until then its added entries are only named.
    const ImportPlan& GetPlan() const { return m_plan; }
    // The confirmed plan, taken out of the dialog for the list to apply.
    ImportPlan TakePlan() { return std::move(m_plan); }
    // The progress a KVTML file carried, for the review history.
    const std::vector<KvtmlGrade>& GetGrades() const { return m_read.grades; }

    // "12 new words, 3 already in the list, 2 lines could not be read".
    static std::string CountsText(const ImportPlan& plan);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnFormatChange();
    void OnEncodingChange();
    void OnSkip();
    void OnReplace();
    void OnAdd();
    void OnColumnChange();
    void OnTableColumnChange();
    void OnRoleChange();
    void OnHeaderChange();

    DECLARE_MESSAGE_MAP()

private:
    // Reads the file again with the learner's choices, then plans.
    void Reread();
    // Reads the delimited text again with the learner's header and column choices, decoded
    // as it was, then plans.
    void Remap();
    void Took(bool ok, ImportedWords read, std::string error);
    void ShowTable();
    void ShowColumnChoice();
    bool CanChooseColumns() const;
    void SetPolicy(DuplicatePolicy policy);
    void Replan();
    void Show();
    void FillChoices();

    const WordList& m_words;
    std::string m_path;
    ImportOptions m_options;
    ImportedWords m_read;
    std::string m_error; // why the last reading failed; empty when it gave words
    // The file, read again when a choice changes.
    ImportSource m_source;
    DuplicatePolicy m_policy = DuplicatePolicy::Skip;
    ImportPlan m_plan;
    bool m_bFilling = false; // choices being set by the code, not by the learner

    CString m_strFile;
    CString m_strReadAs;
    CString m_strCounts;
    int m_nDuplicates = 0; // the radio button checked, in DuplicatePolicy order
    int m_nHeader = 0;     // "First line holds column names"
    CComboBox m_comboFormat;
    CComboBox m_comboEncoding;
    CComboBox m_comboColumn;
    CComboBox m_comboRole;
    CButton m_btnHeader;
    CTableCtrl m_tablePreview;
    CListBox m_listProblems;
    CButton m_btnImport;
};
