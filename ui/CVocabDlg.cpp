#include "ui/CVocabDlg.h"

#include <QTimer>
#include <QWindow>
#include <charconv>
#include <cstddef>
#include <limits>
#include <system_error>

#include "app/CAboutDlg.h"
#include "framework/CDataExchange.h"
#include "framework/CPaintDC.h"
#include "framework/CWinApp.h"
#include "res/resource.h"
#include "settings/IniFile.h"
#include "ui/RowText.h"
#include "words/WordFile.h"
#include "words/WordStore.h"

BEGIN_MESSAGE_MAP(CVocabDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_HIDE_MEAN, &CVocabDlg::OnHideMean)
ON_BN_CLICKED(IDC_HIDE_WORD, &CVocabDlg::OnHideWord)
ON_CONTROL_RANGE(BN_CLICKED, IDC_WORD_TOGGLE_0, IDC_WORD_TOGGLE_9, &CVocabDlg::OnRowToggle)
ON_CONTROL_RANGE(BN_CLICKED, IDC_MEAN_TOGGLE_0, IDC_MEAN_TOGGLE_9, &CVocabDlg::OnRowToggle)
ON_BN_CLICKED(IDC_NEXT_PAGE, &CVocabDlg::OnNextPage)
ON_BN_CLICKED(IDC_PREV_PAGE, &CVocabDlg::OnPrevPage)
ON_BN_CLICKED(IDC_FIRST_PAGE, &CVocabDlg::OnFirstPage)
ON_BN_CLICKED(IDC_LAST_PAGE, &CVocabDlg::OnLastPage)
ON_BN_CLICKED(IDC_GOTO_BUTTON, &CVocabDlg::OnGoto)
ON_WM_KEYDOWN()
ON_WM_KEYUP()
ON_WM_CLOSE()
ON_BN_CLICKED(IDC_ADD, &CVocabDlg::OnAddWord)
END_MESSAGE_MAP()

namespace {

// The five controls of each row, row 0 at the top.
struct RowIds {
    int check;
    int wordLabel;
    int wordToggle;
    int meanLabel;
    int meanToggle;
};

constexpr RowIds kRowIds[CVocabDlg::kRowCount] = {
    {IDC_ROW_CHECK_0, IDC_WORD_LABEL_0, IDC_WORD_TOGGLE_0, IDC_MEAN_LABEL_0, IDC_MEAN_TOGGLE_0},
    {IDC_ROW_CHECK_1, IDC_WORD_LABEL_1, IDC_WORD_TOGGLE_1, IDC_MEAN_LABEL_1, IDC_MEAN_TOGGLE_1},
    {IDC_ROW_CHECK_2, IDC_WORD_LABEL_2, IDC_WORD_TOGGLE_2, IDC_MEAN_LABEL_2, IDC_MEAN_TOGGLE_2},
    {IDC_ROW_CHECK_3, IDC_WORD_LABEL_3, IDC_WORD_TOGGLE_3, IDC_MEAN_LABEL_3, IDC_MEAN_TOGGLE_3},
    {IDC_ROW_CHECK_4, IDC_WORD_LABEL_4, IDC_WORD_TOGGLE_4, IDC_MEAN_LABEL_4, IDC_MEAN_TOGGLE_4},
    {IDC_ROW_CHECK_5, IDC_WORD_LABEL_5, IDC_WORD_TOGGLE_5, IDC_MEAN_LABEL_5, IDC_MEAN_TOGGLE_5},
    {IDC_ROW_CHECK_6, IDC_WORD_LABEL_6, IDC_WORD_TOGGLE_6, IDC_MEAN_LABEL_6, IDC_MEAN_TOGGLE_6},
    {IDC_ROW_CHECK_7, IDC_WORD_LABEL_7, IDC_WORD_TOGGLE_7, IDC_MEAN_LABEL_7, IDC_MEAN_TOGGLE_7},
    {IDC_ROW_CHECK_8, IDC_WORD_LABEL_8, IDC_WORD_TOGGLE_8, IDC_MEAN_LABEL_8, IDC_MEAN_TOGGLE_8},
    {IDC_ROW_CHECK_9, IDC_WORD_LABEL_9, IDC_WORD_TOGGLE_9, IDC_MEAN_LABEL_9, IDC_MEAN_TOGGLE_9},
};

constexpr int kPageSize = 10;
const char* const kSettingsFile = "env.ini"; // relative: the current directory of each call
const char* const kSection = "Setting";

// Page numbers are 32-bit values that wrap like the machine's own arithmetic; only a
// hand-edited "Index" at the edge of the range can take them there.
std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// The entry count as the signed value the page rules compare with.
std::int64_t SignedCount(const WordList& words) {
    return static_cast<std::int32_t>(words.GetCount());
}

// Reads a page number as atoi does: blanks, a sign, then digits up to the first other byte.
// A number beyond the 64-bit range reads as the largest value of its sign.
std::int64_t ParsePageNumber(std::string_view text) {
    std::size_t i = text.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string_view::npos)
        return 0;
    const bool negative = text[i] == '-';
    if (text[i] == '+' || text[i] == '-')
        ++i;
    if (i == text.size() || text[i] < '0' || text[i] > '9')
        return 0;
    std::int64_t value = 0;
    if (std::from_chars(text.data() + i, text.data() + text.size(), value).ec ==
        std::errc::result_out_of_range)
        value = std::numeric_limits<std::int64_t>::max();
    return negative ? -value : value;
}

} // namespace

CVocabDlg::CVocabDlg(CWnd* pParent) : CDialog(IDD_MAIN, pParent) {
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

CVocabDlg::~CVocabDlg() = default;

void CVocabDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TYPE, m_editType);
    DDX_Control(pDX, IDC_MEAN, m_editMean);
    DDX_Control(pDX, IDC_WORD, m_editWord);
    DDX_Control(pDX, IDC_HIDE_MEAN, m_btnHideMean);
    DDX_Control(pDX, IDC_HIDE_WORD, m_btnHideWord);
    for (int k = 0; k < kRowCount; ++k)
        DDX_Control(pDX, kRowIds[k].meanToggle, m_btnMeanToggle[k]);
    for (int k = 0; k < kRowCount; ++k)
        DDX_Control(pDX, kRowIds[k].wordToggle, m_btnWordToggle[k]);
    for (int k = 0; k < kRowCount; ++k)
        DDX_Control(pDX, kRowIds[k].wordLabel, m_staticWord[k]);
    for (int k = 0; k < kRowCount; ++k)
        DDX_Control(pDX, kRowIds[k].meanLabel, m_staticMean[k]);
    for (int k = 0; k < kRowCount; ++k)
        DDX_Control(pDX, kRowIds[k].check, m_btnRowCheck[k]);
    for (int k = 0; k < kRowCount; ++k)
        DDX_Check(pDX, kRowIds[k].check, m_bRowCheck[k]);
    DDX_Check(pDX, IDC_HIDE_WORD, m_bHideWord);
    DDX_Text(pDX, IDC_MEAN, m_strMean);
    DDX_Text(pDX, IDC_WORD, m_strWord);
    for (int k = 0; k < kRowCount; ++k)
        DDX_Text(pDX, kRowIds[k].meanLabel, m_strMeanRow[k]);
    DDX_Check(pDX, IDC_HIDE_MEAN, m_bHideMean);
    for (int k = 0; k < kRowCount; ++k)
        DDX_Text(pDX, kRowIds[k].wordLabel, m_strWordRow[k]);
    DDX_Text(pDX, IDC_PAGE, m_strPage);
    DDX_Text(pDX, IDC_GOTO, m_strGoto);
    DDX_Text(pDX, IDC_SPELL, m_strSpell);
    DDX_Text(pDX, IDC_TYPE, m_strType);
}

BOOL CVocabDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (CMenu* pSysMenu = GetSystemMenu(FALSE)) {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu.c_str());
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_rows.resize(kRowCount);
    for (int k = 0; k < kRowCount; ++k) {
        m_rows[k] = RowControls{&m_btnRowCheck[k],  &m_strMeanRow[k], &m_staticMean[k],
                                &m_strWordRow[k],   &m_staticWord[k], &m_btnWordToggle[k],
                                &m_btnMeanToggle[k]};
    }

    m_store = std::make_unique<WordStore>();
    std::string loadMessage;
    const bool loaded = m_store->Load(m_words, loadMessage);
    const bool locked = m_store->Lock();
    m_strWordFile = m_store->path();
    m_itCursor = m_words.Begin();
    ReadSettings();
    OnNextPage();
    // Told once the window is on screen, so the learner sees which window they are about.
    std::vector<std::string> notices;
    if (!loaded)
        notices.push_back(loadMessage);
    if (!locked)
        notices.push_back("Another Vocamint has this word list open. Words added in both are "
                          "merged when each one exits.");
    if (!notices.empty())
        ShowNotices(std::move(notices), 0);
    return TRUE;
}

// A box shown before the window is on screen would take the keys from another window.
void CVocabDlg::ShowNotices(std::vector<std::string> notices, int tries) {
    QTimer::singleShot(tries == 0 ? 0 : 20, GetSafeHwnd(), [this, notices, tries] {
        const QWindow* window = GetSafeHwnd()->windowHandle();
        if (tries < 100 && (window == nullptr || !window->isExposed())) {
            ShowNotices(notices, tries + 1);
            return;
        }
        for (const std::string& notice : notices)
            MessageBox(notice.c_str(), "Info", MB_OK);
    });
}

void CVocabDlg::OnSysCommand(UINT nID, LPARAM /*lParam*/) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        Default();
    }
}

void CVocabDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    const int x = (rect.Width() - cxIcon + 1) / 2;
    const int y = (rect.Height() - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HICON CVocabDlg::OnQueryDragIcon() {
    return m_hIcon;
}

// ---- Paging -------------------------------------------------------------------------------

void CVocabDlg::MoveToNumber(std::int32_t nNumber) {
    m_nPageStart = nNumber;
    m_itCursor = m_words.FindNumber(m_nPageStart);
}

void CVocabDlg::ShowPage() {
    UpdateData(TRUE);
    for (RowControls& row : m_rows) {
        if (m_bHideMean == 0) {
            row.meanToggle->SetWindowText("+");
            row.meanLabel->ShowWindow(SW_SHOW);
        }
        if (m_bHideWord == 0) {
            row.wordToggle->SetWindowText("+");
            row.wordLabel->ShowWindow(SW_SHOW);
        }
        row.wordText->Empty();
        row.meanText->Empty();
    }
    for (std::size_t k = 0; k < m_rows.size() && !(m_itCursor == m_words.End()); ++k) {
        const WordEntry& entry = m_words.At(m_itCursor);
        *m_rows[k].wordText = FormatRowText(entry.word, entry.spell);
        *m_rows[k].meanText = entry.mean;
        m_itCursor = m_words.Next(m_itCursor);
    }
    const std::int32_t page = WrapAdd(m_nPageStart, kPageSize) / kPageSize;
    const std::uint32_t total = m_words.GetCount() / kPageSize + 1;
    m_strPage.Format("Page: %-3d/%-3u ", page, total);
    UpdateData(FALSE);
}

void CVocabDlg::OnFirstPage() {
    if (m_nPageStart == 1)
        return;
    MoveToNumber(1);
    ShowPage();
}

void CVocabDlg::OnPrevPage() {
    if (m_nPageStart == 1)
        return;
    MoveToNumber(WrapAdd(m_nPageStart, -kPageSize));
    ShowPage();
}

void CVocabDlg::OnNextPage() {
    const std::int64_t count = SignedCount(m_words);
    if (m_nPageStart > count - kPageSize)
        return;
    // Allowed only when start + 10 <= count, so the sum stays in range.
    MoveToNumber(m_nPageStart + kPageSize);
    ShowPage();
}

void CVocabDlg::OnLastPage() {
    const std::int64_t count = SignedCount(m_words);
    if (m_nPageStart > count - kPageSize)
        return;
    MoveToNumber(static_cast<std::int32_t>(count - count % kPageSize + 1));
    ShowPage();
}

void CVocabDlg::OnGoto() {
    UpdateData(TRUE);
    const std::int64_t page = ParsePageNumber(m_strGoto.str());
    if (page <= 0)
        return;
    // A page whose start would leave the 32-bit range is refused like any page too far.
    if (page > std::numeric_limits<std::int32_t>::max() / kPageSize)
        return;
    const std::int64_t count = SignedCount(m_words);
    const std::int64_t limit = count % kPageSize != 0 ? count + kPageSize : count;
    if (page * kPageSize >= limit)
        return;
    MoveToNumber(static_cast<std::int32_t>(page * kPageSize - 9));
    ShowPage();
    UpdateData(FALSE);
}

void CVocabDlg::OnKeyDown(UINT nChar, UINT /*nRepCnt*/, UINT /*nFlags*/) {
    switch (nChar) {
    case VK_END:
        OnLastPage();
        break;
    case VK_HOME:
        OnFirstPage();
        break;
    case VK_LEFT:
        OnPrevPage();
        break;
    case VK_RIGHT:
        OnNextPage();
        break;
    default:
        break;
    }
    Default();
}

void CVocabDlg::OnKeyUp(UINT /*nChar*/, UINT /*nRepCnt*/, UINT /*nFlags*/) {
    Default();
}

// ---- Hiding and revealing -----------------------------------------------------------------

void CVocabDlg::ToggleRow(int row, bool word) {
    UpdateData(TRUE);
    const RowControls& controls = m_rows[static_cast<std::size_t>(row)];
    CButton* toggle = word ? controls.wordToggle : controls.meanToggle;
    CStatic* label = word ? controls.wordLabel : controls.meanLabel;
    CString caption;
    toggle->GetWindowText(caption);
    if (caption.str() != "+") {
        toggle->SetWindowText("+");
        label->ShowWindow(SW_SHOW);
    } else {
        toggle->SetWindowText("-");
        label->ShowWindow(SW_HIDE);
    }
    UpdateData(FALSE);
}

void CVocabDlg::OnRowToggle(UINT nID) {
    for (int k = 0; k < kRowCount; ++k) {
        if (static_cast<UINT>(kRowIds[k].wordToggle) == nID) {
            ToggleRow(k, true);
            return;
        }
        if (static_cast<UINT>(kRowIds[k].meanToggle) == nID) {
            ToggleRow(k, false);
            return;
        }
    }
}

void CVocabDlg::OnHideWord() {
    HideColumn(true);
}

void CVocabDlg::OnHideMean() {
    HideColumn(false);
}

// Each toggle is first set opposite to the wanted state, so that ToggleRow lands on it
// whatever the row showed before.
void CVocabDlg::HideColumn(bool word) {
    UpdateData(TRUE);
    const int hidden = word ? m_bHideWord : m_bHideMean;
    for (int k = 0; k < kRowCount; ++k) {
        const RowControls& row = m_rows[static_cast<std::size_t>(k)];
        (word ? row.wordToggle : row.meanToggle)->SetWindowText(hidden == 1 ? "+" : "-");
        ToggleRow(k, word);
    }
    UpdateData(FALSE);
}

// ---- Adding -------------------------------------------------------------------------------

void CVocabDlg::OnAddWord() {
    // Text the code set cannot hold would be stored as '?': refused before anything changes.
    const struct {
        CEdit* edit;
        const char* name;
    } fields[] = {{&m_editWord, "Word"}, {&m_editMean, "Mean"}, {&m_editType, "Type"}};
    for (const auto& field : fields) {
        if (!field.edit->CanHoldText()) {
            const std::string message = std::string(field.name) +
                                        " holds characters that this system's language setting "
                                        "cannot store. Please change them!";
            MessageBox(message.c_str(), "Error", MB_OK | MB_ICONINFORMATION);
            field.edit->SetFocus();
            return;
        }
    }
    UpdateData(TRUE);
    // A word of blanks alone would be stored as an empty word, so it counts as missing.
    CString trimmed = m_strWord;
    trimmed.TrimLeft();
    trimmed.TrimRight();
    if (trimmed.IsEmpty()) {
        MessageBox("Please Input Word!", "Error", MB_OK | MB_ICONINFORMATION);
        m_editWord.SetFocus();
        return;
    }
    if (m_strMean.IsEmpty()) {
        MessageBox("Please Input Mean!", "Error", MB_OK | MB_ICONINFORMATION);
        m_editMean.SetFocus();
        return;
    }
    if (m_strType.IsEmpty()) {
        MessageBox("Please Input Type!", "Error", MB_OK | MB_ICONINFORMATION);
        m_editType.SetFocus();
        return;
    }
    m_strWord = trimmed;

    const WordPos found = m_words.FindWord(m_strWord.str());
    if (!(found == m_words.End())) {
        const std::string message = "Word '" + m_words.At(found).word + "' already existed!";
        MessageBox(message.c_str(), "Info", MB_OK);
        return;
    }

    WordEntry entry;
    entry.number = static_cast<std::int32_t>(m_words.GetCount() + 1u);
    entry.word = m_strWord.str();
    entry.type = m_strType.str();
    entry.mean = m_strMean.str();
    m_words.Append(entry);

    // Lowered first so that the last-page move passes from any page the moves can reach.
    m_nPageStart = WrapAdd(m_nPageStart, -kPageSize);
    OnLastPage();
    m_bModified = true;
    UpdateData(FALSE);
}

// ---- Closing and saving -------------------------------------------------------------------

void CVocabDlg::OnOK() {
    WriteSettings();
    m_bExitRefused = false;
    if (m_bModified && m_store) {
        const WordStore::SaveResult saved = m_store->Save(m_words);
        if (!saved.message.empty() && !m_bQuiet)
            MessageBox(saved.message.c_str(), "Info", MB_OK);
        if (!saved.done) {
            m_bExitRefused = true;
            return;
        }
    }
    CDialog::OnOK();
}

void CVocabDlg::EndSession() {
    m_bQuiet = true;
    OnOK();
    if (m_bExitRefused)
        EndDialog(IDCANCEL);
}

// A frame close after a failed save keeps the window open, as "&Exit" does, so that the
// learner's new words are not lost on the way out.
void CVocabDlg::OnClose() {
    OnOK();
    if (m_bExitRefused)
        return;
    Default();
}

// ---- Settings file ------------------------------------------------------------------------

// The settings file lies in the folder held since start-up, beside the word file.
void CVocabDlg::ReadSettings() {
    UpdateData(TRUE);
    const IniFile ini =
        m_store ? IniFile(m_store->folder(), kSettingsFile) : IniFile(kSettingsFile);
    m_nPageStart = ini.ReadInt(kSection, "Index", 0);
    m_strGoto = ini.ReadString(kSection, "Goto", "", 259);
    UpdateData(FALSE);
}

void CVocabDlg::WriteSettings() {
    IniFile ini = m_store ? IniFile(m_store->folder(), kSettingsFile) : IniFile(kSettingsFile);
    CString index;
    index.Format("%d", WrapAdd(m_nPageStart, -kPageSize));
    ini.WriteString(kSection, "Index", index.str());
    ini.WriteString(kSection, "Goto", m_strGoto.str());
}
