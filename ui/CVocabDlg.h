// The study window: pages of ten words, the hide-and-reveal drill, the add form and the exit.
// What each action does to the list and the page is the study session's answer; the window
// turns it into texts, states and focus (its file and view work is in CVocabDlgExchange.cpp
// and CVocabDlgView.cpp).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/Appearance.h"
#include "framework/CDialog.h"
#include "framework/CString.h"
#include "framework/Controls.h"
#include "study/RevealState.h"
#include "study/StudySession.h"
#include "ui/CFindDlg.h"
#include "ui/ProgressNote.h"
#include "ui/RowControls.h"
#include "ui/Speaker.h"
#include "words/WordList.h"

class ReviewMenu;
class WordListLoad;

class CVocabDlg : public CDialog {
public:
    static constexpr int kRowCount = 10;

    explicit CVocabDlg(CWnd* pParent = nullptr);
    ~CVocabDlg() override;

    // The program is asked to end (a signal, the desktop session ending): saves as "&Exit"
    // does, without message boxes, and ends the window whatever the save did.
    void EndSession();

    // Where Import and Export get their file: `save` true for a file to write. True with
    // `path` set when one was chosen. The toolkit's file chooser unless set (tests set it).
    using FileChooser = std::function<bool(bool save, std::string& path)>;
    void SetFileChooser(FileChooser choose) { m_chooseFile = std::move(choose); }
    // Where Open List and New List (`create` true) get their folder: true with `path` set
    // when one was chosen. The toolkit's folder chooser unless set (tests set it).
    using FolderChooser = std::function<bool(bool create, std::string& path)>;
    void SetFolderChooser(FolderChooser choose) { m_chooseFolder = std::move(choose); }
    // How long a save may run before a note says how far it has come (tests shorten it).
    void SetSaveNoteDelay(std::chrono::milliseconds delay) { m_saveNoteDelay = delay; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    // Escape: leaves without saving, keeping the run's changes aside in backups/.
    void OnCancel() override;

    // Window frame.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HICON OnQueryDragIcon();
    void OnClose();

    // Paging. Show brings the page, its rows, the menu and the focus in line with an answer.
    void Show(const StudySession::Answer& answer);
    void ShowPage(bool bNewPage = true); // false: the rows keep their revealed states
    void OnFirstPage();
    void OnPrevPage();
    void OnNextPage();
    void OnLastPage();
    void OnGoto();
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);

    // Hiding and revealing.
    void ShowRowState(int row);
    void ToggleRow(int row, bool word);
    void OnRowToggle(UINT nID);
    void OnHideWord();
    void OnHideMean();
    void HideColumn(bool word); // the Hide box of that column was clicked

    // Adding.
    void OnAddWord();

    // Managing the list: menu bar, row menu, editor, find window, history.
    void OnContextMenu(UINT nID, LPARAM pos);
    void OnRowDoubleClick(UINT nID);
    void OnEditEntry();
    void OnDeleteEntry();
    void OnCopyWord();
    void OnUndo();
    void OnRedo();
    void OnFind();
    void OnFindNext();
    void OnFindPrevious();
    void OnHelpKeys();
    void OnAppAbout();
    void OnAppExit();
    void OnFileImport();
    void OnFileExport();
    // Other lists (CVocabDlgLists.cpp): switching leaves this folder as Exit does and opens
    // the other as start-up does; a folder that cannot be opened leaves everything as it was.
    void OnFileOpenList();
    void OnFileNewList();
    void OnFileRecent(UINT nID);
    void OnFileRecover();
    bool SwitchList(const std::string& folder);
    void UpdateListsMenu();
    // The list index of the entry the current row shows: the row with the keyboard focus, or
    // the one under the mouse for the row menu, else (`firstWhenNone`) the page's first;
    // nothing on an empty row.
    std::optional<std::uint32_t> CurrentEntry(bool firstWhenNone = true) const;
    void ShowEntry(std::uint32_t index);
    void UpdateMenu();

    // Settings file.
    void ReadSettings();
    void WriteSettings();

    // View: colours and size, from the learner's own settings at start-up and stored there
    // when the learner changes them.
    void OnViewDark();
    void OnViewLight();
    void OnViewSystem();
    void ChooseTheme(Theme theme);
    void OnZoomIn();
    void OnZoomOut();
    void OnZoomReset();
    void SetZoom(int percent);
    void ReadView();
    void UpdateViewMenu();
    // Speech: the current row's word aloud, greyed out with the reason when no engine exists.
    void OnSpeak();
    void UpdateSpeakItem();
    Speaker m_speaker;
    // Names the row's labels and toggles for a screen reader after their state changed.
    void NameRow(int row);

    // The run with the list; the members below it show what it answered.
    std::unique_ptr<StudySession> m_session = std::make_unique<StudySession>();
    const WordList& m_words = m_session->words();
    std::vector<RowControls> m_rows;
    RevealState m_reveal;
    CFindDlg m_findDlg;
    int m_nContextRow = -1; // the row under the mouse while the row menu is open
    WordPos m_itCursor;
    std::int32_t m_nPageStart = 0;
    std::string m_strWordFile;
    bool m_bModified = false;
    HICON m_hIcon = nullptr;

    CString m_strWord;
    CString m_strMean;
    CString m_strType;
    CString m_strSpell;
    CString m_strGoto;
    CString m_strPage;
    CString m_strWordRow[kRowCount]; // bound to the word labels
    CString m_strMeanRow[kRowCount]; // bound to the meaning labels
    int m_bHideWord = 0;
    int m_bHideMean = 0;
    int m_bRowCheck[kRowCount] = {};

    CEdit m_editWord;
    CEdit m_editMean;
    CEdit m_editType;
    CButton m_btnHideWord;
    CButton m_btnHideMean;
    CButton m_btnRowCheck[kRowCount];
    CStatic m_staticWord[kRowCount];
    CButton m_btnWordToggle[kRowCount];
    CStatic m_staticMean[kRowCount];
    CButton m_btnMeanToggle[kRowCount];

    DECLARE_MESSAGE_MAP()

private:
    bool m_bExitRefused = false; // set by OnOK when the word file could not be saved
    bool m_bQuiet = false;       // ending for the session: no message boxes
    LRESULT OnShown(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT nIDEvent);
    std::vector<std::string> m_startNotices; // for the learner once the window is on screen
    std::unique_ptr<WordListLoad> m_load;    // the list being read until OnInitDialog takes it
    FileChooser m_chooseFile;
    FolderChooser m_chooseFolder;
    std::chrono::milliseconds m_saveNoteDelay = ProgressNote::kDefaultDelay;
    // The list saved as Exit saves it, with a note when that takes long.
    StudySession::Leaving SaveList();
    std::vector<std::string> m_recentShown;  // the folders of the File menu's list items
    std::vector<std::string> m_recentStored; // as the learner's settings keep them

    // The Review menu and its windows.
    void OnReview();
    void OnReviewOptions();
    void OnReviewStatistics();
    void OnReviewFit();
    std::unique_ptr<ReviewMenu> m_review;
};
