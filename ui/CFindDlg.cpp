#include "ui/CFindDlg.h"

#include <string>

#include "base/Counted.h"
#include "framework/CDataExchange.h"
#include "res/ResourceIds.h"

BEGIN_MESSAGE_MAP(CFindDlg, CDialog)
ON_EN_CHANGE(IDC_FIND_TEXT, &CFindDlg::OnTextChange)
ON_LBN_DBLCLK(IDC_FIND_RESULTS, &CFindDlg::OnResultDoubleClick)
ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {

constexpr UINT kSearchTimer = 1;
// Entries looked at in one turn of the event loop: a few milliseconds on a large list.
constexpr std::uint32_t kEntriesPerStep = 100000;

} // namespace

CFindDlg::CFindDlg(const WordList& words, std::function<void(std::uint32_t index)> show)
    : CDialog(IDD_FIND), m_words(words), m_show(std::move(show)) {}

BOOL CFindDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The page the match is shown on stays in sight; a later opening keeps where it was put.
    PlaceBesideOwner();
    return TRUE;
}

void CFindDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FIND_TEXT, m_editText);
    DDX_Control(pDX, IDC_FIND_COUNT, m_staticCount);
    DDX_Control(pDX, IDC_FIND_RESULTS, m_listResults);
    DDX_Text(pDX, IDC_FIND_TEXT, m_strText);
}

void CFindDlg::OnTextChange() {
    UpdateData(TRUE);
    Restart();
}

void CFindDlg::Restart() {
    KillTimer(kSearchTimer);
    m_matches.clear();
    m_nCurrent = -1;
    m_listResults.ResetContent();
    m_search.reset();
    if (!m_strText.IsEmpty()) {
        m_search = std::make_unique<WordSearch>(m_words, m_strText.str());
        SetTimer(kSearchTimer, 0);
    }
    ShowCount();
}

// One slice of the search a turn, so that typing never waits for a large list.
void CFindDlg::OnTimer(UINT nIDEvent) {
    if (nIDEvent != kSearchTimer || !m_search)
        return;
    const std::size_t before = m_matches.size();
    m_search->Step(kEntriesPerStep, m_matches);
    for (std::size_t i = before; i < m_matches.size() && i < kMaxListed; ++i) {
        const WordEntry entry = m_words.At(m_matches[i]);
        CString line;
        line.Format("%d  %s - %s", entry.number, entry.word.c_str(), entry.mean.c_str());
        const int row = m_listResults.AddString(line.c_str());
        m_listResults.SetItemData(row, static_cast<std::intptr_t>(i));
    }
    if (m_search->Done()) {
        KillTimer(kSearchTimer);
        if (m_listResults.GetCount() > 0 && m_listResults.GetCurSel() < 0)
            m_listResults.SetCurSel(0);
    }
    ShowCount();
}

void CFindDlg::ShowCount() {
    m_strCount = CountText(m_strText.IsEmpty() ? std::nullopt : std::optional(m_matches.size()),
                           m_search && !m_search->Done());
    m_staticCount.SetWindowText(m_strCount);
}

std::string CFindDlg::CountText(std::optional<std::size_t> matches, bool searching) {
    if (!matches)
        return {};
    std::string text = Counted(*matches, "match", "matches");
    if (*matches > static_cast<std::size_t>(kMaxListed))
        text += ", " + std::to_string(kMaxListed) + " listed";
    if (searching)
        text += " so far";
    return text;
}

// Enter shows the selected match.
void CFindDlg::OnOK() {
    const int row = m_listResults.GetCurSel();
    if (row != CListBox::LB_ERR)
        ShowMatch(static_cast<int>(m_listResults.GetItemData(row)));
}

void CFindDlg::OnResultDoubleClick() {
    OnOK();
}

bool CFindDlg::ShowNeighbour(int direction) {
    if (m_matches.empty())
        return false;
    const int count = static_cast<int>(m_matches.size());
    const int next =
        m_nCurrent < 0 ? (direction > 0 ? 0 : count - 1) : (m_nCurrent + direction + count) % count;
    if (next < m_listResults.GetCount())
        m_listResults.SetCurSel(next);
    ShowMatch(next);
    return true;
}

void CFindDlg::ShowMatch(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_matches.size())
        return;
    m_nCurrent = index;
    m_show(m_words.IndexOf(m_matches[static_cast<std::size_t>(index)]));
}
