// The study window's lists: another folder's list, a new one, the lists opened last, and the
// changes an Escape kept aside.
#include <QAction>
#include <cstdio>
#include <sys/stat.h>

#include "framework/CMenu.h"
#include "framework/FileDialog.h"
#include "res/ResourceIds.h"
#include "study/RecentLists.h"
#include "ui/CVocabDlg.h"
#include "ui/ReviewMenu.h"
#include "words/WordStore.h"

namespace {

constexpr int kRecentItems = ID_FILE_RECENT_LAST - ID_FILE_RECENT_FIRST + 1;

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

} // namespace

void CVocabDlg::OnCancel() {
    bool failed = false;
    m_session->KeepDiscarded(&failed);
    if (failed)
        std::fprintf(stderr, "vocamint: the changes of this run could not be kept in %s/\n",
                     m_session->FolderPath().c_str());
    CDialog::OnCancel();
}

void CVocabDlg::OnFileOpenList() {
    std::string folder;
    const bool chosen = m_chooseFolder ? m_chooseFolder(false, folder)
                                       : AfxGetFolderName(this, "Open List", folder);
    if (chosen)
        SwitchList(folder);
}

// A folder that holds a list already is never emptied: Open List opens it.
void CVocabDlg::OnFileNewList() {
    std::string folder;
    const bool chosen =
        m_chooseFolder ? m_chooseFolder(true, folder) : AfxGetFolderName(this, "New List", folder);
    if (!chosen)
        return;
    if (Exists(folder + "/" + WordStore::kFileName)) {
        const std::string text =
            "The folder '" + folder + "' holds a word list already; File > Open List... opens it.";
        MessageBox(text.c_str(), "Info", MB_OK);
        return;
    }
    SwitchList(folder);
}

void CVocabDlg::OnFileRecent(UINT nID) {
    const std::size_t place = nID - static_cast<UINT>(ID_FILE_RECENT_FIRST);
    if (place < m_recentShown.size() && place > 0)
        SwitchList(m_recentShown[place]);
    UpdateListsMenu(); // a click flips the tick of the open one
}

void CVocabDlg::OnFileRecover() {
    std::string message;
    const StudySession::Answer answer = m_session->RecoverDiscarded(message);
    if (!message.empty())
        MessageBox(message.c_str(), "Info", MB_OK);
    Show(answer);
    UpdateMenu();
}

bool CVocabDlg::SwitchList(const std::string& folder) {
    // The other list is opened while this one stays, so a refusal loses nothing.
    if (const std::string reason = m_session->PrepareSwitch(folder); !reason.empty()) {
        MessageBox(reason.c_str(), "Info", MB_OK);
        return false;
    }
    // This folder is left as Exit leaves it.
    const std::string left = m_session->FolderPath();
    WriteSettings();
    m_review->Exit(false);
    // Saved when changed; an edit undone before it still leaves its history's renames.
    const StudySession::Leaving saved = SaveList();
    if (!saved.message.empty())
        MessageBox(saved.message.c_str(), "Info", MB_OK);
    if (!saved.end) {
        m_session->CancelSwitch();
        m_review->Start();
        return false;
    }
    m_session->FinishSwitch();

    // The other is opened as start-up opens one.
    m_strWordFile = m_session->WordFilePath();
    m_findDlg.Restart();
    ReadSettings();
    const StudySession::Answer moved = m_session->NextPage();
    m_nPageStart = m_session->PageStart();
    m_itCursor = moved.pageMoved ? m_session->Cursor() : m_words.End();
    m_bModified = false;
    ShowPage(true);
    RecentLists recent(m_session->settings().RecentLists());
    recent.Opened(left);
    recent.Opened(m_session->FolderPath());
    m_session->settings().KeepRecentLists(recent.Folders());
    m_recentStored = recent.Folders();
    UpdateMenu();
    std::vector<std::string> notices;
    if (std::string notice = m_session->TakenLockNotice(); !notice.empty())
        notices.push_back(std::move(notice));
    if (!m_session->MergedCopiesNotice().empty())
        notices.push_back(m_session->MergedCopiesNotice());
    if (std::string notice = m_session->DiscardedNotice(); !notice.empty())
        notices.push_back(std::move(notice));
    for (const std::string& notice : notices)
        MessageBox(notice.c_str(), "Info", MB_OK);
    m_review->Start();
    return true;
}

// The open list first, ticked, then the others opened last; a folder that is gone is greyed.
void CVocabDlg::UpdateListsMenu() {
    CMenu* menu = GetMenu();
    if (menu == nullptr)
        return;
    menu->EnableMenuItem(ID_FILE_RECOVER,
                         m_session->CanRecoverDiscarded() ? MF_ENABLED : MF_GRAYED);
    const std::string open = m_session->FolderPath();
    m_recentShown = {open};
    const RecentLists stored(m_recentStored);
    for (const std::string& folder : stored.Folders()) {
        if (folder != open && m_recentShown.size() < static_cast<std::size_t>(kRecentItems))
            m_recentShown.push_back(folder);
    }
    for (int k = 0; k < kRecentItems; ++k) {
        const UINT id = static_cast<UINT>(ID_FILE_RECENT_FIRST + k);
        QAction* item = menu->FindItem(id);
        if (item == nullptr)
            continue;
        const std::size_t place = static_cast<std::size_t>(k);
        item->setVisible(place < m_recentShown.size());
        if (place >= m_recentShown.size())
            continue;
        menu->ModifyMenu(id, RecentLists::MenuText(place, m_recentShown[place]).c_str());
        item->setCheckable(true);
        menu->CheckMenuItem(id, k == 0 ? MF_CHECKED : 0u);
        menu->EnableMenuItem(id, k == 0 || IsFolder(m_recentShown[place]) ? MF_ENABLED : MF_GRAYED);
        item->setStatusTip(QString::fromLocal8Bit(m_recentShown[place].c_str()));
        item->setToolTip(item->statusTip());
    }
}
