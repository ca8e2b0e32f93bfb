#include "ui/CVocabDlg.h"

#include <QAction>
#include <QMenu>
#include <cstddef>
#include <cstdio>

#include "framework/CDataExchange.h"
#include "framework/CPaintDC.h"
#include "framework/CWinApp.h"
#include "framework/Clipboard.h"
#include "framework/FileDialog.h"
#include "framework/TextCodec.h"
#include "res/ResourceIds.h"
#include "res/RowIds.h"
#include "review/History.h"
#include "settings/IniFile.h"
#include "study/NewWordCheck.h"
#include "study/PageRules.h"
#include "ui/CAboutDlg.h"
#include "ui/CEditEntryDlg.h"
#include "ui/CImportDlg.h"
#include "ui/EntryChecks.h"
#include "ui/ListCodeSet.h"
#include "ui/ReviewExchange.h"
#include "ui/ReviewMenu.h"
#include "ui/RowText.h"
#include "words/WordFile.h"
#include "words/WordListLoad.h"
#include "words/WordStore.h"

// Posted by OnInitDialog; comes once the window is on screen.
constexpr UINT WM_APP_SHOWN = WM_APP;

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
ON_WM_CONTEXTMENU()
ON_MESSAGE(WM_APP_SHOWN, &CVocabDlg::OnShown)
ON_CONTROL_RANGE(STN_DBLCLK, IDC_MEAN_LABEL_0, IDC_WORD_LABEL_9, &CVocabDlg::OnRowDoubleClick)
ON_COMMAND(ID_EDIT_ENTRY, &CVocabDlg::OnEditEntry)
ON_COMMAND(ID_DELETE_ENTRY, &CVocabDlg::OnDeleteEntry)
ON_COMMAND(ID_COPY_WORD, &CVocabDlg::OnCopyWord)
ON_COMMAND(ID_EDIT_UNDO, &CVocabDlg::OnUndo)
ON_COMMAND(ID_EDIT_REDO, &CVocabDlg::OnRedo)
ON_COMMAND(ID_FIND, &CVocabDlg::OnFind)
ON_COMMAND(ID_FIND_NEXT, &CVocabDlg::OnFindNext)
ON_COMMAND(ID_FIND_PREVIOUS, &CVocabDlg::OnFindPrevious)
ON_COMMAND(ID_HELP_KEYS, &CVocabDlg::OnHelpKeys)
ON_COMMAND(ID_APP_ABOUT, &CVocabDlg::OnAppAbout)
ON_COMMAND(ID_APP_EXIT, &CVocabDlg::OnAppExit)
ON_COMMAND(ID_FILE_IMPORT, &CVocabDlg::OnFileImport)
ON_COMMAND(ID_FILE_EXPORT, &CVocabDlg::OnFileExport)
ON_COMMAND(ID_VIEW_DARK, &CVocabDlg::OnViewDark)
ON_COMMAND(ID_VIEW_LIGHT, &CVocabDlg::OnViewLight)
ON_COMMAND(ID_VIEW_SYSTEM, &CVocabDlg::OnViewSystem)
ON_COMMAND(ID_VIEW_ZOOM_IN, &CVocabDlg::OnZoomIn)
ON_COMMAND(ID_VIEW_ZOOM_OUT, &CVocabDlg::OnZoomOut)
ON_COMMAND(ID_VIEW_ZOOM_RESET, &CVocabDlg::OnZoomReset)
ON_COMMAND(ID_VIEW_SPEAK, &CVocabDlg::OnSpeak)
ON_COMMAND(ID_REVIEW_START, &CVocabDlg::OnReview)
ON_COMMAND(ID_REVIEW_OPTIONS, &CVocabDlg::OnReviewOptions)
ON_COMMAND(ID_REVIEW_STATISTICS, &CVocabDlg::OnReviewStatistics)
END_MESSAGE_MAP()

static_assert(CVocabDlg::kRowCount == kRowIdCount && RevealState::kRows == kRowIdCount);

namespace {

const char* const kSettingsFile = "env.ini"; // relative: the current directory of each call
const char* const kSection = "Setting";
const char* const kViewSection = "View"; // theme and zoom, apart from the window's own settings

Column ColumnOf(bool word) {
    return word ? Column::Word : Column::Mean;
}

} // namespace

CVocabDlg::CVocabDlg(CWnd* pParent)
    : CDialog(IDD_MAIN, pParent),
      m_findDlg(m_words, [this](std::uint32_t index) { ShowEntry(index); }),
      m_load(std::make_unique<WordListLoad>(std::make_unique<WordStore>())) {
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
    m_review = std::make_unique<ReviewMenu>(*this, m_words, m_speaker);
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
    SetMenu(IDR_STUDY_MENU);

    m_rows.resize(kRowCount);
    for (int k = 0; k < kRowCount; ++k) {
        m_rows[k] = RowControls{&m_btnRowCheck[k],  &m_strMeanRow[k], &m_staticMean[k],
                                &m_strWordRow[k],   &m_staticWord[k], &m_btnWordToggle[k],
                                &m_btnMeanToggle[k]};
    }

    // Read while the window was being built; a window run a second time reads afresh.
    if (m_load == nullptr)
        m_load = std::make_unique<WordListLoad>(std::make_unique<WordStore>());
    WordListLoad::Result load = m_load->Finish(m_words);
    m_load.reset();
    m_store = std::move(load.store);
    if (!load.loaded)
        m_startNotices.push_back(std::move(load.message));
    m_strWordFile = m_store->path();
    m_itCursor = m_words.Begin();
    ReadSettings();
    ReadView();
    // Whether speech works is asked when the View menu opens, never at start-up.
    if (CMenu* menu = GetMenu(); menu && menu->FindItem(ID_VIEW_SPEAK)) {
        for (QObject* owner : menu->FindItem(ID_VIEW_SPEAK)->associatedObjects()) {
            if (auto* view = qobject_cast<QMenu*>(owner)) {
                view->setToolTipsVisible(true);
                QObject::connect(view, &QMenu::aboutToShow, view, [this] { UpdateSpeakItem(); });
            }
        }
    }
    OnNextPage();
    UpdateMenu();
    PostMessageWhenShown(WM_APP_SHOWN);
    return TRUE;
}

// Taking the lock syncs its file to disk, which the first look at the window need not wait
// for. Notices come once the window is on screen, so the learner sees which window they are
// about, and a box shown before would take the keys from another window.
LRESULT CVocabDlg::OnShown(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    std::vector<std::string> notices = std::move(m_startNotices);
    m_startNotices.clear();
    if (m_store && !m_store->Lock())
        notices.push_back("Another Vocamint has this word list open. Words added in both are "
                          "merged when each one exits.");
    for (const std::string& notice : notices)
        MessageBox(notice.c_str(), "Info", MB_OK);
    // The history is read after the first look at the window, on a thread of its own.
    if (m_store)
        m_review->Start(IniFile(m_store->folder(), kSettingsFile),
                        review::HistoryPathFor(m_strWordFile));
    return 0;
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

// Moves to the start a page rule gave, if it gave one.
void CVocabDlg::MoveTo(std::optional<std::int32_t> start) {
    if (!start)
        return;
    MoveToNumber(*start);
    ShowPage();
}

void CVocabDlg::ShowPage(bool bNewPage) {
    UpdateData(TRUE);
    if (bNewPage)
        m_reveal.NewPage(m_bHideWord != 0, m_bHideMean != 0);
    const std::vector<WordEntry> entries = PageRules::Entries(m_words, m_itCursor);
    for (std::size_t k = 0; k < m_rows.size(); ++k) {
        ShowRowState(static_cast<int>(k));
        if (k < entries.size()) {
            *m_rows[k].wordText = FormatRowText(entries[k].word, entries[k].spell);
            *m_rows[k].meanText = entries[k].mean;
        } else {
            m_rows[k].wordText->Empty();
            m_rows[k].meanText->Empty();
        }
    }
    const PageRules::Label label = PageRules::LabelFor(m_nPageStart, m_words.GetCount());
    m_strPage.Format("Page: %-3d/%-3u ", label.page, label.total);
    UpdateData(FALSE);
    if (QWidget* page = GetDlgItem(IDC_PAGE))
        page->setAccessibleName(QStringLiteral("Page %1 of %2").arg(label.page).arg(label.total));
}

void CVocabDlg::OnFirstPage() {
    MoveTo(PageRules::First(m_nPageStart));
}

void CVocabDlg::OnPrevPage() {
    MoveTo(PageRules::Previous(m_nPageStart));
}

void CVocabDlg::OnNextPage() {
    MoveTo(PageRules::Next(m_nPageStart, m_words.GetCount()));
}

void CVocabDlg::OnLastPage() {
    MoveTo(PageRules::Last(m_nPageStart, m_words.GetCount()));
}

void CVocabDlg::OnGoto() {
    UpdateData(TRUE);
    const std::optional<std::int32_t> start = PageRules::Jump(m_strGoto.str(), m_words.GetCount());
    if (!start)
        return;
    MoveTo(start);
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

// Gives the row's toggles and labels the state the reveal rules hold for it.
void CVocabDlg::ShowRowState(int row) {
    const RowControls& controls = m_rows[static_cast<std::size_t>(row)];
    for (const bool word : {true, false}) {
        const bool shown = m_reveal.IsShown(row, ColumnOf(word));
        (word ? controls.wordToggle : controls.meanToggle)->SetWindowText(shown ? "+" : "-");
        (word ? controls.wordLabel : controls.meanLabel)->ShowWindow(shown ? SW_SHOW : SW_HIDE);
    }
    NameRow(row);
}

void CVocabDlg::ToggleRow(int row, bool word) {
    UpdateData(TRUE);
    m_reveal.Toggle(row, ColumnOf(word));
    ShowRowState(row);
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

void CVocabDlg::HideColumn(bool word) {
    UpdateData(TRUE);
    m_reveal.SetColumnHidden(ColumnOf(word), (word ? m_bHideWord : m_bHideMean) == 1);
    for (int k = 0; k < kRowCount; ++k)
        ShowRowState(k);
    UpdateData(FALSE);
}

// ---- Adding -------------------------------------------------------------------------------

void CVocabDlg::OnAddWord() {
    if (RefuseUnstorableText(*this,
                             {{&m_editWord, "Word"}, {&m_editMean, "Mean"}, {&m_editType, "Type"}}))
        return;
    UpdateData(TRUE);
    const NewWordCheck check =
        CheckNewWord(m_words, m_strWord.str(), m_strMean.str(), m_strType.str());
    if (check.verdict == NewWordCheck::Verdict::Duplicate)
        m_strWord = check.word;
    if (ReportRefusal(*this, check, m_editWord, m_editMean, m_editType))
        return;
    m_strWord = check.word;

    WordEntry entry;
    entry.number = check.number;
    entry.word = check.word;
    entry.type = m_strType.str();
    entry.mean = m_strMean.str();
    m_history.Apply(ListStep::Add(entry));

    m_nPageStart = PageRules::BeforeLast(m_nPageStart);
    OnLastPage();
    m_bModified = m_history.IsModified();
    UpdateMenu();
    m_findDlg.Restart();
    UpdateData(FALSE);
}

// ---- Managing the list --------------------------------------------------------------------

std::optional<std::uint32_t> CVocabDlg::CurrentEntry() const {
    int row = m_nContextRow;
    for (int k = 0; k < kRowCount && row < 0; ++k) {
        if (m_btnRowCheck[k].HasFocus() || m_btnWordToggle[k].HasFocus() ||
            m_btnMeanToggle[k].HasFocus())
            row = k;
    }
    if (row < 0)
        row = 0;
    const std::uint32_t first = m_words.IndexOf(m_itCursor);
    const std::uint64_t index = std::uint64_t{first} + static_cast<std::uint32_t>(row);
    if (m_itCursor == m_words.End() || index >= m_words.GetCount())
        return std::nullopt;
    return static_cast<std::uint32_t>(index);
}

// Fills the rows again for the page shown, leaving each row shown or hidden as it was.
void CVocabDlg::RefreshPage() {
    MoveToNumber(m_nPageStart);
    ShowPage(false);
}

void CVocabDlg::ShowChange(WordPos changed) {
    m_bModified = m_history.IsModified();
    UpdateMenu();
    m_findDlg.Restart();
    if (changed == m_words.End()) {
        // Nothing left to show where the change was: the page stays, or the last one.
        MoveToNumber(m_nPageStart);
        if (m_itCursor == m_words.End() && m_words.GetCount() > 0)
            changed = m_words.PosAt(m_words.GetCount() - 1);
        else {
            RefreshPage();
            return;
        }
    }
    const std::int32_t start = PageRules::StartOfPageHolding(m_words.At(changed).number);
    if (start == m_nPageStart) {
        RefreshPage();
        return;
    }
    MoveToNumber(start);
    ShowPage();
}

void CVocabDlg::ShowEntry(std::uint32_t index) {
    const WordPos pos = m_words.PosAt(index);
    if (pos == m_words.End())
        return;
    // The page is reached as the jump field reaches it.
    const std::int32_t number = m_words.At(pos).number;
    const std::int32_t page = PageRules::StartOfPageHolding(number) / PageRules::kPageSize + 1;
    if (const auto start = PageRules::Jump(std::to_string(page), m_words.GetCount()))
        MoveTo(start);
    const std::uint32_t first = m_words.IndexOf(m_itCursor);
    if (m_itCursor == m_words.End() || index < first || index - first >= kRowCount)
        return;
    m_btnRowCheck[index - first].SetFocus();
}

void CVocabDlg::OnContextMenu(UINT nID, LPARAM pos) {
    for (int k = 0; k < kRowCount; ++k) {
        const bool onRow = static_cast<int>(nID) == kRowIds[k].wordLabel ||
                           static_cast<int>(nID) == kRowIds[k].meanLabel;
        if (!onRow || m_itCursor == m_words.End() ||
            m_words.IndexOf(m_itCursor) + static_cast<std::uint64_t>(k) >= m_words.GetCount())
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
    const WordPos pos = m_words.PosAt(*index);
    const int focusRow = m_nContextRow;
    CEditEntryDlg dlg(m_words, pos, this);
    if (dlg.DoModal() != IDOK)
        return;
    const WordEntry before = m_words.At(pos);
    const WordEntry& after = dlg.GetEntry();
    if (before.word == after.word && before.spell == after.spell && before.type == after.type &&
        before.mean == after.mean)
        return;
    ShowChange(m_history.Apply(ListStep::Edit(*index, after)));
    if (focusRow >= 0)
        m_btnRowCheck[focusRow].SetFocus();
}

void CVocabDlg::OnDeleteEntry() {
    if (const std::optional<std::uint32_t> index = CurrentEntry())
        ShowChange(m_history.Apply(ListStep::Delete(*index)));
}

void CVocabDlg::OnCopyWord() {
    if (const std::optional<std::uint32_t> index = CurrentEntry())
        SetClipboardText(m_words.At(m_words.PosAt(*index)).word.c_str());
}

void CVocabDlg::OnUndo() {
    if (m_history.CanUndo())
        ShowChange(m_history.Undo());
}

void CVocabDlg::OnRedo() {
    if (m_history.CanRedo())
        ShowChange(m_history.Redo());
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

// ---- Import and export --------------------------------------------------------------------

namespace {

const char* const kImportFilter = "Word lists (*.csv *.tsv *.txt *.kvtml *.xml);;All files (*)";
const char* const kExportFilter = "CSV (*.csv);;Tab-separated (*.tsv *.txt);;KVTML (*.kvtml)";

} // namespace

void CVocabDlg::OnFileImport() {
    std::string path;
    const bool chosen =
        m_chooseFile ? m_chooseFile(false, path) : AfxGetOpenFileName(this, kImportFilter, path);
    if (!chosen)
        return;
    CImportDlg dlg(m_words, path, this);
    std::string message;
    if (!dlg.Load(message)) {
        MessageBox(message.c_str(), "Error", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (dlg.DoModal() != IDOK)
        return;
    m_review->ImportGrades(dlg.GetGrades());
    const ImportPlan& plan = dlg.GetPlan();
    std::vector<std::pair<std::uint32_t, WordEntry>> replaced;
    replaced.reserve(plan.replaced.size());
    for (const Replacement& r : plan.replaced)
        replaced.emplace_back(static_cast<std::uint32_t>(r.index), r.after);
    std::vector<WordEntry> appended;
    appended.reserve(plan.added.GetCount());
    for (WordPos pos = plan.added.Begin(); pos != plan.added.End(); pos = plan.added.Next(pos))
        appended.push_back(plan.added.At(pos));
    if (replaced.empty() && appended.empty())
        return;
    m_history.Apply(ListStep::Import(std::move(replaced), std::move(appended)));
    // The last page, as after an added word.
    m_nPageStart = PageRules::BeforeLast(m_nPageStart);
    OnLastPage();
    m_bModified = m_history.IsModified();
    UpdateMenu();
    m_findDlg.Restart();
}

void CVocabDlg::OnFileExport() {
    std::string path;
    const bool chosen =
        m_chooseFile ? m_chooseFile(true, path) : AfxGetSaveFileName(this, kExportFilter, path);
    if (!chosen)
        return;
    const std::optional<ExchangeFormat> format = FormatFromPath(path);
    if (!format) {
        MessageBox("Please give the file a name ending in .csv, .tsv, .txt or .kvtml.", "Error",
                   MB_OK | MB_ICONINFORMATION);
        return;
    }
    std::string message;
    WordList converted;
    const GradeLookup grades = *format == ExchangeFormat::Kvtml && !m_review->HistoryPath().empty()
                                   ? GradesForExport(m_review->HistoryPath(), m_review->Schedule())
                                   : GradeLookup();
    if (!ExportWords(ListInUtf8(m_words, converted), path, *format, message, grades)) {
        MessageBox(message.c_str(), "Error", MB_OK | MB_ICONINFORMATION);
        return;
    }
    const std::uint32_t count = m_words.GetCount();
    const std::string done =
        "Exported " + std::to_string(count) + (count == 1 ? " word." : " words.");
    MessageBox(done.c_str(), "Info", MB_OK);
}

// Menu texts name the step that Undo and Redo would take; '&' in a word is shown as written.
void CVocabDlg::UpdateMenu() {
    CMenu* menu = GetMenu();
    if (menu == nullptr)
        return;
    const auto label = [](std::string name) {
        std::string text = "&";
        for (const char c : name) {
            text += c;
            if (c == '&')
                text += '&';
        }
        return text;
    };
    menu->ModifyMenu(ID_EDIT_UNDO, label(m_history.UndoName()).c_str());
    menu->ModifyMenu(ID_EDIT_REDO, label(m_history.RedoName()).c_str());
    menu->EnableMenuItem(ID_EDIT_UNDO, m_history.CanUndo() ? MF_ENABLED : MF_GRAYED);
    menu->EnableMenuItem(ID_EDIT_REDO, m_history.CanRedo() ? MF_ENABLED : MF_GRAYED);
}

// ---- Closing and saving -------------------------------------------------------------------

void CVocabDlg::OnOK() {
    WriteSettings();
    if (m_store) {
        IniFile ini(m_store->folder(), kSettingsFile);
        m_review->Exit(ini, m_bQuiet);
    }
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

// Nobody may be there to answer a refused save, and the program ends anyway: this run's list
// is then kept beside the word file, as a conflict is.
void CVocabDlg::EndSession() {
    m_bQuiet = true;
    OnOK();
    if (!m_bExitRefused)
        return;
    if (m_store) {
        const std::string kept = m_store->KeepAside(m_words);
        if (kept.empty())
            std::fprintf(stderr, "vocamint: the list could not be saved, nor kept aside\n");
        else
            std::fprintf(stderr, "vocamint: the list could not be saved; it is kept as '%s'\n",
                         kept.c_str());
    }
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
    index.Format("%d", PageRules::StoredIndex(m_nPageStart));
    ini.WriteString(kSection, "Index", index.str());
    ini.WriteString(kSection, "Goto", m_strGoto.str());
}

// ---- View ---------------------------------------------------------------------------------

void CVocabDlg::NameRow(int row) {
    const RowControls& controls = m_rows[static_cast<std::size_t>(row)];
    const int n = row + 1;
    for (const bool word : {true, false}) {
        const bool shown = m_reveal.IsShown(row, ColumnOf(word));
        const QString what = word ? QStringLiteral("word") : QStringLiteral("meaning");
        if (QWidget* toggle = (word ? controls.wordToggle : controls.meanToggle)->GetSafeHwnd())
            toggle->setAccessibleName(
                QStringLiteral("%1 %2 %3").arg(shown ? "Hide" : "Show", what).arg(n));
        QWidget* label = (word ? controls.wordLabel : controls.meanLabel)->GetSafeHwnd();
        if (label == nullptr)
            continue;
        const QString role = word ? QStringLiteral("Row %1 word and pronunciation").arg(n)
                                  : QStringLiteral("Row %1 meaning").arg(n);
        label->setAccessibleDescription(role);
        // A shown label is read as its text; a hidden one must not give the answer away.
        label->setAccessibleName(shown ? QString() : role + QStringLiteral(", hidden"));
    }
}

void CVocabDlg::OnViewDark() {
    ChooseTheme(Theme::Dark);
}

void CVocabDlg::OnViewLight() {
    ChooseTheme(Theme::Light);
}

void CVocabDlg::OnViewSystem() {
    ChooseTheme(Theme::System);
}

void CVocabDlg::ChooseTheme(Theme theme) {
    ApplyTheme(theme);
    WriteView("Theme", ThemeName(theme));
    UpdateViewMenu();
}

void CVocabDlg::OnZoomIn() {
    SetZoom(Zoom::Step(Zoom::Percent(), +1));
}

void CVocabDlg::OnZoomOut() {
    SetZoom(Zoom::Step(Zoom::Percent(), -1));
}

void CVocabDlg::OnZoomReset() {
    SetZoom(Zoom::kDefault);
}

void CVocabDlg::SetZoom(int percent) {
    if (percent == Zoom::Percent())
        return;
    Zoom::SetPercent(percent);
    ApplyZoom();
    WriteView("Zoom", std::to_string(Zoom::Percent()));
}

// Only a choice the learner made is written, so env.ini stays as it was until then.
void CVocabDlg::ReadView() {
    const IniFile ini =
        m_store ? IniFile(m_store->folder(), kSettingsFile) : IniFile(kSettingsFile);
    const std::optional<Theme> theme = ThemeFromName(ini.ReadString(kViewSection, "Theme", ""));
    ApplyTheme(theme.value_or(Theme::System));
    const int zoom = Zoom::Valid(ini.ReadInt(kViewSection, "Zoom", Zoom::kDefault));
    if (zoom != Zoom::Percent()) {
        Zoom::SetPercent(zoom);
        ApplyZoom();
    }
    UpdateViewMenu();
}

void CVocabDlg::WriteView(const char* key, const std::string& value) {
    IniFile ini = m_store ? IniFile(m_store->folder(), kSettingsFile) : IniFile(kSettingsFile);
    ini.WriteString(kViewSection, key, value);
}

void CVocabDlg::UpdateViewMenu() {
    CMenu* menu = GetMenu();
    if (menu == nullptr)
        return;
    const Theme theme = CurrentTheme();
    menu->CheckMenuItem(ID_VIEW_DARK, theme == Theme::Dark ? MF_CHECKED : 0);
    menu->CheckMenuItem(ID_VIEW_LIGHT, theme == Theme::Light ? MF_CHECKED : 0);
    menu->CheckMenuItem(ID_VIEW_SYSTEM, theme == Theme::System ? MF_CHECKED : 0);
}

// A hidden word is spoken too: hearing it is part of the drill.
void CVocabDlg::OnSpeak() {
    UpdateSpeakItem();
    if (const std::optional<std::uint32_t> index = CurrentEntry())
        m_speaker.Say(ToQString(m_words.At(m_words.PosAt(*index)).word));
}

void CVocabDlg::UpdateSpeakItem() {
    CMenu* menu = GetMenu();
    QAction* item = menu ? menu->FindItem(ID_VIEW_SPEAK) : nullptr;
    if (item == nullptr)
        return;
    const QString reason = m_speaker.Unavailable();
    item->setEnabled(reason.isEmpty());
    item->setToolTip(reason.isEmpty() ? QStringLiteral("Read the word of the current row aloud")
                                      : reason);
}
