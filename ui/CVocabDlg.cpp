#include "ui/CVocabDlg.h"

#include <QApplication>
#include <QMenu>
#include <cstddef>
#include <cstdio>

#include "framework/CDataExchange.h"
#include "framework/CPaintDC.h"
#include "framework/CWinApp.h"
#include "res/ResourceIds.h"
#include "res/RowIds.h"
#include "study/NewWordCheck.h"
#include "study/PageRules.h"
#include "study/StudySession.h"
#include "ui/CAboutDlg.h"
#include "ui/EntryChecks.h"
#include "ui/ReviewMenu.h"
#include "ui/RowText.h"
#include "words/WordListLoad.h"
#include "words/WordStore.h"

// Posted by OnInitDialog; comes once the window is on screen.
constexpr UINT WM_APP_SHOWN = WM_APP;
// How often the folder is looked at for copies a folder synchroniser left.
constexpr UINT kFollowFolderTimer = 1;
constexpr UINT kFollowFolderMs = 5000;

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
ON_WM_TIMER()
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
ON_COMMAND(ID_FILE_OPEN_LIST, &CVocabDlg::OnFileOpenList)
ON_COMMAND(ID_FILE_NEW_LIST, &CVocabDlg::OnFileNewList)
ON_COMMAND(ID_FILE_RECOVER, &CVocabDlg::OnFileRecover)
ON_CONTROL_RANGE(BN_CLICKED, ID_FILE_RECENT_FIRST, ID_FILE_RECENT_LAST, &CVocabDlg::OnFileRecent)
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
ON_COMMAND(ID_REVIEW_FIT, &CVocabDlg::OnReviewFit)
END_MESSAGE_MAP()

static_assert(CVocabDlg::kRowCount == kRowIdCount && RevealState::kRows == kRowIdCount);

namespace {

Column ColumnOf(bool word) {
    return word ? Column::Word : Column::Mean;
}

} // namespace

CVocabDlg::CVocabDlg(CWnd* pParent)
    : CDialog(IDD_MAIN, pParent),
      m_findDlg(m_words, [this](std::uint32_t index) { ShowEntry(index); }),
      m_load(std::make_unique<WordListLoad>(std::make_unique<WordStore>())) {
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
    m_review = std::make_unique<ReviewMenu>(*this, m_session->review(),
                                            m_session->settings().review, m_speaker);
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
    if (std::string notice = m_session->Open(*m_load); !notice.empty())
        m_startNotices.push_back(std::move(notice));
    if (!m_session->MergedCopiesNotice().empty())
        m_startNotices.push_back(m_session->MergedCopiesNotice());
    m_load.reset();
    m_strWordFile = m_session->WordFilePath();
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
    m_recentStored = m_session->settings().RecentLists();
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
    if (std::string notice = m_session->LockNotice(); !notice.empty())
        notices.push_back(std::move(notice));
    if (std::string notice = m_session->DiscardedNotice(); !notice.empty())
        notices.push_back(std::move(notice));
    for (const std::string& notice : notices)
        MessageBox(notice.c_str(), "Info", MB_OK);
    // The history is read after the first look at the window, on a thread of its own.
    m_review->Start();
    SetTimer(kFollowFolderTimer, kFollowFolderMs);
    return 0;
}

// Another machine's copies are merged while the list stays open, not only at start and save,
// and the Review menu counts again when the history changed on disk; never under a dialog of
// ours, whose work may hold on to the list as it is, or whose grades change the history.
void CVocabDlg::OnTimer(UINT nIDEvent) {
    if (nIDEvent != kFollowFolderTimer)
        return;
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != GetSafeHwnd())
        return;
    m_review->Follow();
    std::string notice;
    const StudySession::Answer answer = m_session->FollowSyncedCopies(notice);
    if (notice.empty())
        return;
    Show(answer);
    m_review->Recount();
    if (!m_bQuiet)
        MessageBox(notice.c_str(), "Info", MB_OK);
}

void CVocabDlg::OnSysCommand(UINT nID, LPARAM /*lParam*/) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.SetListFolder(m_session->FolderPath());
        dlgAbout.DoModal();
    } else {
        Default();
    }
}

// Minimised, the window draws the program's icon itself, and gives it for dragging; Qt's
// desktops never ask, but the handlers are the window's answer to messages it is sent.
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

// Shows what the session answered: the page, its rows and the menu, and the row in question.
void CVocabDlg::Show(const StudySession::Answer& answer) {
    m_nPageStart = m_session->PageStart();
    m_itCursor = m_session->Cursor();
    m_bModified = m_session->IsModified();
    if (answer.listChanged) {
        UpdateMenu();
        m_findDlg.Restart();
    }
    if (answer.pageMoved || answer.rowsChanged)
        ShowPage(answer.pageMoved);
    if (answer.focusRow)
        m_btnRowCheck[*answer.focusRow].SetFocus();
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
    Show(m_session->FirstPage());
}

void CVocabDlg::OnPrevPage() {
    Show(m_session->PreviousPage());
}

void CVocabDlg::OnNextPage() {
    Show(m_session->NextPage());
}

void CVocabDlg::OnLastPage() {
    Show(m_session->LastPage());
}

void CVocabDlg::OnGoto() {
    UpdateData(TRUE);
    const StudySession::Answer answer = m_session->Jump(m_strGoto.str());
    if (!answer.pageMoved)
        return;
    Show(answer);
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
    Show(m_session->Add(entry));
    UpdateData(FALSE);
}

// ---- Closing and saving -------------------------------------------------------------------

void CVocabDlg::OnOK() {
    WriteSettings();
    m_review->Exit(m_bQuiet);
    m_bExitRefused = false;
    if (m_bModified) {
        const StudySession::Leaving saved = SaveList();
        if (!saved.message.empty() && !m_bQuiet)
            MessageBox(saved.message.c_str(), "Info", MB_OK);
        if (!saved.end) {
            m_bExitRefused = true;
            return;
        }
    }
    CDialog::OnOK();
}

StudySession::Leaving CVocabDlg::SaveList() {
    ProgressNote note(GetSafeHwnd(), m_saveNoteDelay);
    return m_session->Save(&note);
}

// Nobody may be there to answer a refused save, and the program ends anyway: this run's list
// is then kept beside the word file, as a conflict is.
void CVocabDlg::EndSession() {
    m_bQuiet = true;
    OnOK();
    if (!m_bExitRefused)
        return;
    std::fprintf(stderr, "vocamint: %s\n", m_session->KeepAside().c_str());
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
    m_session->ReadSettings();
    m_nPageStart = m_session->PageStart();
    m_strGoto = m_session->settings().jumpText;
    UpdateData(FALSE);
}

void CVocabDlg::WriteSettings() {
    m_session->WriteSettings(m_strGoto.str());
}
