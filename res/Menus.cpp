// The study window's menu bar and a row's context menu. The bar's titles take letters that no
// control of the window uses, so every Alt key of the window acts as before.
#include "res/ResourceIds.h"
#include "res/ResourceTables.h"

namespace {

using M = MenuItemTemplate;

// clang-format off
constexpr MenuItemTemplate kStudyMenu[] = {
    {M::Title,     0,                "&File",              nullptr},
    {M::Item,      ID_FILE_OPEN_LIST, "&Open List...",     nullptr},
    {M::Item,      ID_FILE_NEW_LIST, "&New List...",       nullptr},
    {M::Separator, 0,                nullptr,              nullptr},
    {M::Item,      ID_FILE_IMPORT,   "&Import...",         nullptr},
    {M::Item,      ID_FILE_EXPORT,   "&Export...",         nullptr},
    {M::Separator, 0,                nullptr,              nullptr},
    {M::Item,      ID_FILE_RECOVER,  "&Recover Last Discarded...", nullptr},
    {M::Separator, 0,                nullptr,              nullptr},
    // The lists opened last: texts and visibility are set while the program runs.
    {M::Item,      ID_FILE_RECENT_FIRST + 0, "&1",         nullptr},
    {M::Item,      ID_FILE_RECENT_FIRST + 1, "&2",         nullptr},
    {M::Item,      ID_FILE_RECENT_FIRST + 2, "&3",         nullptr},
    {M::Item,      ID_FILE_RECENT_FIRST + 3, "&4",         nullptr},
    {M::Item,      ID_FILE_RECENT_FIRST + 4, "&5",         nullptr},
    {M::Item,      ID_FILE_RECENT_FIRST + 5, "&6",         nullptr},
    {M::Separator, 0,                nullptr,              nullptr},
    {M::Item,      ID_APP_EXIT,      "E&xit",              nullptr},
    {M::Title,     0,                "E&dit",              nullptr},
    {M::Item,      ID_EDIT_UNDO,     "&Undo",              "Ctrl+Z"},
    {M::Item,      ID_EDIT_REDO,     "&Redo",              "Ctrl+Shift+Z", "Ctrl+Y"},
    {M::Separator, 0,                nullptr,              nullptr},
    {M::Item,      ID_EDIT_ENTRY,    "&Edit Entry...",     "F2"},
    {M::Item,      ID_DELETE_ENTRY,  "&Delete Entry",      "Del"},
    {M::Item,      ID_COPY_WORD,     "&Copy Word",         nullptr},
    {M::Separator, 0,                nullptr,              nullptr},
    {M::Item,      ID_FIND,          "&Find...",           "Ctrl+F"},
    {M::Item,      ID_FIND_NEXT,     "Find &Next",         "F3"},
    {M::Item,      ID_FIND_PREVIOUS, "Find &Previous",     "Shift+F3"},
    {M::Title,     0,                "&View",              nullptr},
    {M::Item,      ID_VIEW_DARK,     "&Dark",              nullptr},
    {M::Item,      ID_VIEW_LIGHT,    "&Light",             nullptr},
    {M::Item,      ID_VIEW_SYSTEM,   "&Follow the Desktop", nullptr},
    {M::Separator, 0,                nullptr,              nullptr},
    {M::Item,      ID_VIEW_ZOOM_IN,  "Zoom &In",           "Ctrl++", "Ctrl+="},
    {M::Item,      ID_VIEW_ZOOM_OUT, "Zoom &Out",          "Ctrl+-"},
    {M::Item,      ID_VIEW_ZOOM_RESET, "&Actual Size",     "Ctrl+0"},
    {M::Separator, 0,                nullptr,              nullptr},
    {M::Item,      ID_VIEW_SPEAK,    "S&peak Word",        "Ctrl+Space"},
    {M::Title,     0,                "&Review",            nullptr},
    {M::Item,      ID_REVIEW_START,  "&Review",            "Ctrl+R"},
    {M::Item,      ID_REVIEW_STATISTICS, "&Statistics...", nullptr},
    {M::Item,      ID_REVIEW_FIT,    "&Fit to My History...", nullptr},
    {M::Item,      ID_REVIEW_OPTIONS, "&Options...",       nullptr},
    {M::Title,     0,                "&Help",              nullptr},
    {M::Item,      ID_HELP_KEYS,     "&Keyboard",          "F1"},
    {M::Item,      ID_APP_ABOUT,     "&About Vocamint...", nullptr},
};

constexpr MenuItemTemplate kRowMenu[] = {
    {M::Item,      ID_EDIT_ENTRY,    "&Edit...",           nullptr},
    {M::Item,      ID_DELETE_ENTRY,  "&Delete",            nullptr},
    {M::Item,      ID_COPY_WORD,     "&Copy Word",         nullptr},
    {M::Item,      ID_VIEW_SPEAK,    "&Speak Word",        nullptr},
};
// clang-format on

constexpr MenuTemplate kMenus[] = {
    {IDR_STUDY_MENU, kStudyMenu},
    {IDR_ROW_MENU, kRowMenu},
};

} // namespace

std::span<const MenuTemplate> MenuTable() {
    return kMenus;
}
