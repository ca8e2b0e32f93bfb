// The study window's commands on its entries and beside them: edit, delete, copy, undo and
// redo, find, the keys sheet and About, and the review's menu items.
#include <cstddef>

#include "framework/Clipboard.h"
#include "res/ResourceIds.h"
#include "res/RowIds.h"
#include "review/ReviewChoices.h"
#include "study/StudySession.h"
#include "ui/CAboutDlg.h"
#include "ui/CEditEntryDlg.h"
#include "ui/CFitDlg.h"
#include "ui/CVocabDlg.h"
#include "ui/FoundRow.h"
#include "ui/ReviewMenu.h"

// ---- Managing the list --------------------------------------------------------------------

std::optional<std::uint32_t> CVocabDlg::CurrentEntry(bool firstWhenNone) const {
    int row = m_nContextRow;
    for (int k = 0; k < kRowCount && row < 0; ++k) {
        if (m_btnRowCheck[k].HasFocus() || m_btnWordToggle[k].HasFocus() ||
            m_btnMeanToggle[k].HasFocus())
            row = k;
    }
    if (row < 0 && !firstWhenNone)
        return std::nullopt;
    return m_session->EntryAtRow(row < 0 ? 0 : row);
}

// The found row keeps a mark until the page moves on.
void CVocabDlg::ShowEntry(std::uint32_t index) {
    const StudySession::Answer answer = m_session->ShowEntry(index);
    Show(answer);
    if (answer.focusRow)
        MarkFoundRow(m_rows[static_cast<std::size_t>(*answer.focusRow)]);
}

void CVocabDlg::OnContextMenu(UINT nID, LPARAM pos) {
    for (int k = 0; k < kRowCount; ++k) {
        const bool onRow = static_cast<int>(nID) == kRowIds[k].wordLabel ||
                           static_cast<int>(nID) == kRowIds[k].meanLabel;
        if (!onRow || !m_session->EntryAtRow(k))
            continue;
        m_nContextRow = k;
        TrackPopupMenu(IDR_ROW_MENU, pos);
        m_nContextRow = -1;
        return;
    }
    Default();
}

void CVocabDlg::OnRowDoubleClick(UINT nID) {
    for (int k = 0; k < kRowCount; ++k) {
        if (static_cast<int>(nID) == kRowIds[k].wordLabel ||
            static_cast<int>(nID) == kRowIds[k].meanLabel) {
            m_nContextRow = k;
            OnEditEntry();
            m_nContextRow = -1;
            return;
        }
    }
}

void CVocabDlg::OnEditEntry() {
    const std::optional<std::uint32_t> index = CurrentEntry();
    if (!index)
        return;
    const int focusRow = m_nContextRow;
    CEditEntryDlg dlg(m_words, m_words.PosAt(*index), this);
    if (dlg.DoModal() != IDOK)
        return;
    const StudySession::Answer answer = m_session->Edit(*index, dlg.GetEntry());
    if (!answer.listChanged)
        return;
    Show(answer);
    if (focusRow >= 0)
        m_btnRowCheck[focusRow].SetFocus();
}

// Only a row the learner points at: the focus on a page button or an edit field deletes nothing.
void CVocabDlg::OnDeleteEntry() {
    if (const std::optional<std::uint32_t> index = CurrentEntry(false))
        Show(m_session->Delete(*index));
}

void CVocabDlg::OnCopyWord() {
    if (const std::optional<std::uint32_t> index = CurrentEntry())
        SetClipboardText(m_words.At(m_words.PosAt(*index)).word.c_str());
}

void CVocabDlg::OnUndo() {
    Show(m_session->Undo());
}

void CVocabDlg::OnRedo() {
    Show(m_session->Redo());
}

void CVocabDlg::OnFind() {
    m_findDlg.Create(this);
}

void CVocabDlg::OnFindNext() {
    if (!m_findDlg.ShowNeighbour(+1))
        OnFind();
}

void CVocabDlg::OnFindPrevious() {
    if (!m_findDlg.ShowNeighbour(-1))
        OnFind();
}

void CVocabDlg::OnHelpKeys() {
    CDialog keys(IDD_KEYS, this);
    keys.DoModal();
}

void CVocabDlg::OnAppAbout() {
    CAboutDlg dlgAbout;
    dlgAbout.SetListFolder(m_session->FolderPath());
    dlgAbout.DoModal();
}

void CVocabDlg::OnAppExit() {
    OnOK();
}

void CVocabDlg::OnReview() {
    m_review->OpenReview();
}

void CVocabDlg::OnReviewOptions() {
    m_review->OpenOptions();
}

void CVocabDlg::OnReviewStatistics() {
    m_review->OpenStatistics();
}

// A fit the learner keeps goes to env.ini at once and schedules the reviews from then on.
void CVocabDlg::OnReviewFit() {
    Settings& settings = m_session->settings();
    ShowFitDialog(GetSafeHwnd(), m_strWordFile, review::ParametersOf(settings.review),
                  [&settings](const memory::Parameters<double>& w, std::string& message) {
                      return review::KeepParameters(settings, w, message);
                  });
}
