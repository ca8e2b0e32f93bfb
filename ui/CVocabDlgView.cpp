// The study window's view work: its menu texts, what a screen reader hears, colours, size and
// speech.
#include <QAction>
#include <QMenu>
#include <QString>
#include <QWidget>

#include "framework/Appearance.h"
#include "framework/TextCodec.h"
#include "res/ResourceIds.h"
#include "ui/CVocabDlg.h"

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
    const ListHistory& history = m_session->history();
    menu->ModifyMenu(ID_EDIT_UNDO, label(history.UndoName()).c_str());
    menu->ModifyMenu(ID_EDIT_REDO, label(history.RedoName()).c_str());
    menu->EnableMenuItem(ID_EDIT_UNDO, history.CanUndo() ? MF_ENABLED : MF_GRAYED);
    menu->EnableMenuItem(ID_EDIT_REDO, history.CanRedo() ? MF_ENABLED : MF_GRAYED);
    UpdateListsMenu();
}

// ---- View ---------------------------------------------------------------------------------

void CVocabDlg::NameRow(int row) {
    const RowControls& controls = m_rows[static_cast<std::size_t>(row)];
    const int n = row + 1;
    for (const bool word : {true, false}) {
        const bool shown = m_reveal.IsShown(row, word ? Column::Word : Column::Mean);
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
    m_session->settings().SetTheme(ThemeName(theme));
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
    UpdateViewMenu();
    m_session->settings().SetZoom(Zoom::Percent());
}

// The learner's own preferences, from the desktop's configuration folder; only a choice the
// learner makes is written there.
void CVocabDlg::ReadView() {
    const ViewSettings& view = m_session->settings().view();
    ApplyTheme(ThemeFromName(view.theme).value_or(Theme::System));
    const int zoom = Zoom::Valid(view.zoom.value_or(Zoom::kDefault));
    if (zoom != Zoom::Percent()) {
        Zoom::SetPercent(zoom);
        ApplyZoom();
    }
    UpdateViewMenu();
}

void CVocabDlg::UpdateViewMenu() {
    CMenu* menu = GetMenu();
    if (menu == nullptr)
        return;
    const Theme theme = CurrentTheme();
    menu->CheckMenuItem(ID_VIEW_DARK, theme == Theme::Dark ? MF_CHECKED : 0);
    menu->CheckMenuItem(ID_VIEW_LIGHT, theme == Theme::Light ? MF_CHECKED : 0);
    menu->CheckMenuItem(ID_VIEW_SYSTEM, theme == Theme::System ? MF_CHECKED : 0);
    // Zoom In is greyed where the next step would not fit on the screen.
    const int next = Zoom::Step(Zoom::Percent(), +1);
    menu->EnableMenuItem(ID_VIEW_ZOOM_IN,
                         next > Zoom::Percent() && next <= LargestZoom() ? MF_ENABLED : MF_GRAYED);
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
