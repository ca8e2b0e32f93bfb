// The program's dialog templates: the study window, the About box and the windows it opens.
#include <array>
#include <cstddef>

#include "framework/WinDef.h"
#include "res/ResourceIds.h"
#include "res/ResourceTables.h"

namespace {

// The separator lines are labels of exactly this many underscores.
constexpr std::size_t kSeparatorLength = 127;

template <std::size_t N> constexpr std::array<char, N + 1> RepeatedChar(char c) {
    std::array<char, N + 1> text{};
    for (std::size_t i = 0; i < N; ++i)
        text[i] = c;
    text[N] = '\0';
    return text;
}

constexpr auto kSeparator = RepeatedChar<kSeparatorLength>('_');

constexpr const char* kFontFace = "宋体";
// A CJK face that Linux desktops commonly ship, for systems without the one above.
constexpr const char* kFallbackFontFace = "AR PL UMing CN";
constexpr int kPointSize = 9;
// Pronunciations hold symbols the faces above lack (ʌ ə ɒ ʒ). Left to the system they come from
// a heavy sans or serif; this light serif made for phonetics sits with the Ming serif.
constexpr const char* kPhoneticFontFace = "Gentium Plus";

// Style of each control kind as the study window uses it.
constexpr unsigned kButton = CS_TABSTOP;
constexpr unsigned kEdgeButton = CS_TABSTOP | CS_STATICEDGE;
constexpr unsigned kCheck = CS_TABSTOP;
constexpr unsigned kLabel = CS_GROUP;
constexpr unsigned kEdit = CS_TABSTOP;

using K = ControlKind;

// clang-format off

// Template order is tab order. The row controls stand by column (check boxes, word toggles,
// meaning labels, meaning toggles), each column from row 0 to row 9; the word labels follow
// the page label. Row y positions drift by a unit or two from row to row, as laid out.
constexpr ControlTemplate kMainControls[] = {
    // id                 kind              caption          x    y    cx   cy  style
    {IDOK,                K::DefPushButton, "&Exit",         443, 285, 50,  16, kButton},
    {IDC_FIRST_PAGE,      K::PushButton,    "|<",            160, 14,  30,  15, kEdgeButton},
    {IDC_PREV_PAGE,       K::PushButton,    "<<",            217, 14,  30,  15, kEdgeButton},
    {IDC_NEXT_PAGE,       K::PushButton,    ">>",            274, 14,  30,  15, kEdgeButton},
    {IDC_LAST_PAGE,       K::PushButton,    ">|",            331, 14,  30,  15, kEdgeButton},
    {IDC_HIDE_WORD,       K::CheckBox,      " Hide &Word ",  119, 46,  60,  10, kCheck},
    {IDC_HIDE_MEAN,       K::CheckBox,      " Hide &Mean ",  363, 46,  60,  10, kCheck},

    {IDC_ROW_CHECK_0,     K::CheckBox,      "",              18,  84,  10,  10, kCheck},
    {IDC_ROW_CHECK_1,     K::CheckBox,      "",              18,  101, 10,  11, kCheck},
    {IDC_ROW_CHECK_2,     K::CheckBox,      "",              18,  119, 10,  11, kCheck},
    {IDC_ROW_CHECK_3,     K::CheckBox,      "",              18,  137, 10,  11, kCheck},
    {IDC_ROW_CHECK_4,     K::CheckBox,      "",              18,  155, 10,  11, kCheck},
    {IDC_ROW_CHECK_5,     K::CheckBox,      "",              18,  173, 10,  11, kCheck},
    {IDC_ROW_CHECK_6,     K::CheckBox,      "",              18,  191, 10,  11, kCheck},
    {IDC_ROW_CHECK_7,     K::CheckBox,      "",              18,  209, 10,  11, kCheck},
    {IDC_ROW_CHECK_8,     K::CheckBox,      "",              18,  227, 10,  11, kCheck},
    {IDC_ROW_CHECK_9,     K::CheckBox,      "",              18,  244, 10,  11, kCheck},

    {IDC_WORD_TOGGLE_0,   K::PushButton,    "+",             282, 84,  12,  10, kEdgeButton},
    {IDC_WORD_TOGGLE_1,   K::PushButton,    "+",             282, 101, 12,  10, kEdgeButton},
    {IDC_WORD_TOGGLE_2,   K::PushButton,    "+",             282, 119, 12,  10, kEdgeButton},
    {IDC_WORD_TOGGLE_3,   K::PushButton,    "+",             282, 137, 12,  10, kEdgeButton},
    {IDC_WORD_TOGGLE_4,   K::PushButton,    "+",             282, 155, 12,  10, kEdgeButton},
    {IDC_WORD_TOGGLE_5,   K::PushButton,    "+",             282, 173, 12,  10, kEdgeButton},
    {IDC_WORD_TOGGLE_6,   K::PushButton,    "+",             282, 191, 12,  10, kEdgeButton},
    {IDC_WORD_TOGGLE_7,   K::PushButton,    "+",             282, 209, 12,  10, kEdgeButton},
    {IDC_WORD_TOGGLE_8,   K::PushButton,    "+",             282, 227, 12,  10, kEdgeButton},
    {IDC_WORD_TOGGLE_9,   K::PushButton,    "+",             282, 246, 12,  10, kEdgeButton},

    {IDC_MEAN_LABEL_0,    K::Label,         "Static",        305, 84,  200, 8,  kLabel},
    {IDC_MEAN_LABEL_1,    K::Label,         "Static",        305, 102, 200, 8,  kLabel},
    {IDC_MEAN_LABEL_2,    K::Label,         "Static",        305, 121, 200, 8,  kLabel},
    {IDC_MEAN_LABEL_3,    K::Label,         "Static",        305, 139, 200, 8,  kLabel},
    {IDC_MEAN_LABEL_4,    K::Label,         "Static",        305, 157, 200, 8,  kLabel},
    {IDC_MEAN_LABEL_5,    K::Label,         "Static",        305, 175, 200, 8,  kLabel},
    {IDC_MEAN_LABEL_6,    K::Label,         "Static",        305, 193, 200, 8,  kLabel},
    {IDC_MEAN_LABEL_7,    K::Label,         "Static",        305, 211, 200, 8,  kLabel},
    {IDC_MEAN_LABEL_8,    K::Label,         "Static",        305, 229, 200, 8,  kLabel},
    {IDC_MEAN_LABEL_9,    K::Label,         "Static",        305, 246, 200, 8,  kLabel},

    {IDC_MEAN_TOGGLE_0,   K::PushButton,    "+",             507, 84,  12,  10, kEdgeButton},
    {IDC_MEAN_TOGGLE_1,   K::PushButton,    "+",             507, 101, 12,  10, kEdgeButton},
    {IDC_MEAN_TOGGLE_2,   K::PushButton,    "+",             507, 119, 12,  10, kEdgeButton},
    {IDC_MEAN_TOGGLE_3,   K::PushButton,    "+",             507, 137, 12,  10, kEdgeButton},
    {IDC_MEAN_TOGGLE_4,   K::PushButton,    "+",             507, 155, 12,  10, kEdgeButton},
    {IDC_MEAN_TOGGLE_5,   K::PushButton,    "+",             507, 173, 12,  10, kEdgeButton},
    {IDC_MEAN_TOGGLE_6,   K::PushButton,    "+",             507, 191, 12,  10, kEdgeButton},
    {IDC_MEAN_TOGGLE_7,   K::PushButton,    "+",             507, 209, 12,  10, kEdgeButton},
    {IDC_MEAN_TOGGLE_8,   K::PushButton,    "+",             507, 227, 12,  10, kEdgeButton},
    {IDC_MEAN_TOGGLE_9,   K::PushButton,    "+",             507, 246, 12,  10, kEdgeButton},

    {IDC_STATIC,          K::Label,         "W&ord",         38,  288, 17,  10, kLabel},
    {IDC_WORD,            K::Edit,          "",              61,  285, 64,  16, kEdit},
    {IDC_STATIC,          K::Label,         "M&ean",         135, 288, 17,  10, kLabel},
    {IDC_MEAN,            K::Edit,          "",              156, 285, 92,  16, kEdit},
    {IDC_ADD,             K::PushButton,    "&Add",          333, 285, 50,  16, kButton},
    {IDC_STATIC,          K::Label,         kSeparator.data(), 16, 60, 509, 8,  kLabel},
    {IDC_PAGE,            K::Label,         "Page: /",       393, 18,  53,  11, kLabel},

    {IDC_WORD_LABEL_0,    K::Label,         "Static",        32,  84,  246, 8,  kLabel},
    {IDC_WORD_LABEL_1,    K::Label,         "Static",        32,  102, 246, 8,  kLabel},
    {IDC_WORD_LABEL_2,    K::Label,         "Static",        32,  121, 246, 8,  kLabel},
    {IDC_WORD_LABEL_3,    K::Label,         "Static",        32,  139, 246, 8,  kLabel},
    {IDC_WORD_LABEL_4,    K::Label,         "Static",        32,  157, 246, 8,  kLabel},
    {IDC_WORD_LABEL_5,    K::Label,         "Static",        32,  175, 246, 8,  kLabel},
    {IDC_WORD_LABEL_6,    K::Label,         "Static",        32,  193, 246, 8,  kLabel},
    {IDC_WORD_LABEL_7,    K::Label,         "Static",        32,  211, 246, 8,  kLabel},
    {IDC_WORD_LABEL_8,    K::Label,         "Static",        32,  229, 246, 8,  kLabel},
    {IDC_WORD_LABEL_9,    K::Label,         "Static",        32,  246, 246, 8,  kLabel},

    {IDC_STATIC,          K::Label,         kSeparator.data(), 16, 261, 509, 8, kLabel},
    {IDC_GOTO,            K::Edit,          "",              457, 15,  35,  14, kEdit},
    {IDC_GOTO_BUTTON,     K::PushButton,    "GoTo",          498, 15,  20,  13, kEdgeButton},
    // The Spell pair stays in the template but is never shown.
    {IDC_SPELL_LABEL,     K::Label,         "&Spell",        36,  308, 21,  10, kLabel | CS_HIDDEN},
    {IDC_SPELL,           K::Edit,          "",              63,  305, 64,  16, kEdit | CS_HIDDEN},
    {IDC_TYPE_LABEL,      K::Label,         "&Type",         257, 288, 17,  10, kLabel},
    {IDC_TYPE,            K::Edit,          "",              278, 285, 48,  16, kEdit},
};

constexpr ControlTemplate kAboutControls[] = {
    // id        kind              caption             x    y   cx   cy  style                 icon
    {IDC_STATIC, K::Icon,          "",                 11,  17, 20,  20, CS_NONE,              IDR_MAINFRAME},
    {IDC_STATIC, K::Label,         "Vocamint 1.0 版",  40,  10, 119, 8,  CS_NOPREFIX | CS_GROUP},
    {IDOK,       K::DefPushButton, "确定",             178, 7,  50,  14, CS_GROUP | CS_TABSTOP},
};

constexpr ControlTemplate kEditEntryControls[] = {
    // id                kind              caption       x    y   cx   cy  style
    {IDC_STATIC,         K::Label,         "Number",     7,   9,  40,  8,  kLabel},
    {IDC_ENTRY_NUMBER,   K::Edit,          "",           50,  7,  60,  12, kEdit | CS_READONLY},
    {IDC_STATIC,         K::Label,         "&Word",      7,   27, 40,  8,  kLabel},
    {IDC_ENTRY_WORD,     K::Edit,          "",           50,  25, 203, 12, kEdit},
    {IDC_STATIC,         K::Label,         "&Spell",     7,   45, 40,  8,  kLabel},
    {IDC_ENTRY_SPELL,    K::Edit,          "",           50,  43, 203, 12, kEdit},
    {IDC_STATIC,         K::Label,         "&Type",      7,   63, 40,  8,  kLabel},
    {IDC_ENTRY_TYPE,     K::Edit,          "",           50,  61, 203, 12, kEdit},
    {IDC_STATIC,         K::Label,         "M&eaning",   7,   81, 40,  8,  kLabel},
    {IDC_ENTRY_MEAN,     K::Edit,          "",           50,  79, 203, 12, kEdit},
    {IDOK,               K::DefPushButton, "OK",         149, 100, 50, 14, kButton},
    {IDCANCEL,           K::PushButton,    "Cancel",     203, 100, 50, 14, kButton},
};

// Narrow enough to stand beside the study window; the count has a line of its own, wide enough
// for "1234567 matches, 10000 listed".
constexpr ControlTemplate kFindControls[] = {
    // id                kind              caption       x    y    cx   cy   style
    {IDC_STATIC,         K::Label,         "&Find",      7,   9,   24,  8,   kLabel},
    {IDC_FIND_TEXT,      K::Edit,          "",           34,  7,   159, 12,  kEdit},
    {IDC_FIND_COUNT,     K::Label,         "",           7,   24,  186, 8,   kLabel | CS_NOPREFIX},
    {IDC_FIND_RESULTS,   K::ListBox,       "",           7,   36,  186, 138, kEdit},
    {IDOK,               K::DefPushButton, "&Show",      89,  180, 50,  14,  kButton},
    {IDCANCEL,           K::PushButton,    "Close",      143, 180, 50,  14,  kButton},
};

// The keyboard sheet: keys in one column, what they do in the next.
constexpr ControlTemplate kKeysControls[] = {
    // id        kind              caption  x    y   cx   cy   style
    {IDC_STATIC, K::Label,
     "Right\nLeft\nHome\nEnd\nTab, Shift+Tab\nSpace\nAlt+W, Alt+M\nAlt+O, Alt+E, Alt+T\nAlt+A\n"
     "Other Alt+letters\nEnter\nEscape\nAlt+F4\n\nF2, double-click\nDelete\nCtrl+Z\nCtrl+Shift+Z, Ctrl+Y\n"
      "Ctrl+F\nF3, Shift+F3\nF1\n\nCtrl+Plus, Ctrl+=\nCtrl+Minus, Ctrl+0\nCtrl+Space\nCtrl+R\n"
      "Alt+F, O / N\nAlt+F, R\n\nAlt+O, Alt+G\nAlt+N",
      7, 7, 80, 272, CS_NOPREFIX | kLabel},
    {IDC_STATIC, K::Label,
     "Next page\nPrevious page\nFirst page\nLast page\nMove between controls\n"
     "Click the focused button or box\nHide Word, Hide Mean\nWord, Mean, Type fields (Alt+E: Exit, Mean)\n"
     "Add the word\nNothing: Alt never types into a field\nExit and save (Add, when it has the focus)\n"
     "Leave without saving (changes kept aside)\n"
     "Close the window, saving\n\nEdit the entry of the current row\nDelete the entry of the current row\n"
     "Undo the last change\nRedo\nFind words\nNext, previous match\nThis sheet\n\n"
     "Zoom in\nZoom out, actual size\nSpeak the word of the current row\n"
      "Review the day's words\n"
      "Open another list, or a new one\n"
      "Recover what the last Escape left\n\n"
      "Import: choose a column, where it goes\nImport: first line holds column names",
      92, 7, 200, 272, CS_NOPREFIX | kLabel},
    {IDOK,       K::DefPushButton, "OK",    242, 282, 50, 14, kButton},
};

// How the file was read and the choices that change it above; what the import gives below.
constexpr ControlTemplate kImportControls[] = {
    // id                  kind              caption              x    y    cx   cy   style
    {IDC_STATIC,           K::Label,         "File",              7,   7,   40,  8,   kLabel},
    {IDC_IMPORT_FILE,      K::Label,         "",                  50,  7,   303, 8,   kLabel | CS_NOPREFIX},
    {IDC_STATIC,           K::Label,         "Read as",           7,   19,  40,  8,   kLabel},
    {IDC_IMPORT_READ_AS,   K::Label,         "",                  50,  19,  303, 8,   kLabel | CS_NOPREFIX},
    {IDC_STATIC,           K::Label,         "&Format",           7,   33,  80,  8,   kLabel},
    {IDC_IMPORT_FORMAT,    K::DropDownList,  "",                  7,   43,  80,  14,  kEdit},
    {IDC_STATIC,           K::Label,         "&Encoding",         95,  33,  80,  8,   kLabel},
    {IDC_IMPORT_ENCODING,  K::DropDownList,  "",                  95,  43,  80,  14,  kEdit},
    {IDC_STATIC,           K::Label,         "Words already in the list", 185, 33, 168, 8, kLabel},
    {IDC_IMPORT_SKIP,      K::RadioButton,   "&Skip them",        185, 45,  168, 10,  kCheck | CS_GROUP},
    {IDC_IMPORT_REPLACE,   K::RadioButton,   "&Replace their spell, type and meaning", 185, 59, 168, 10, kCheck},
    {IDC_IMPORT_ADD,       K::RadioButton,   "A&dd them anyway",  185, 73,  168, 10,  kCheck},
    {IDC_STATIC,           K::Label,         "C&olumn",           7,   95,  80,  8,   kLabel},
    {IDC_IMPORT_COLUMN,    K::DropDownList,  "",                  7,   105, 80,  14,  kEdit},
    {IDC_STATIC,           K::Label,         "&Goes to",          95,  95,  80,  8,   kLabel},
    {IDC_IMPORT_ROLE,      K::DropDownList,  "",                  95,  105, 80,  14,  kEdit},
    {IDC_IMPORT_HEADER,    K::CheckBox,      "First line holds column &names", 185, 107, 168, 10, kCheck},
    {IDC_STATIC,           K::Label,         "&Preview: each column heading says where the column goes", 7, 125, 346, 8, kLabel},
    {IDC_IMPORT_PREVIEW,   K::Table,         "",                  7,   135, 346, 100, kEdit},
    {IDC_IMPORT_COUNTS,    K::Label,         "",                  7,   240, 346, 8,   kLabel | CS_NOPREFIX},
    {IDC_STATIC,           K::Label,         "&Lines not read",   7,   254, 100, 8,   kLabel},
    {IDC_IMPORT_PROBLEMS,  K::ListBox,       "",                  7,   264, 346, 40,  kEdit},
    {IDOK,                 K::DefPushButton, "&Import",           249, 310, 50,  14,  kButton},
    {IDCANCEL,             K::PushButton,    "Cancel",            303, 310, 50,  14,  kButton},
};

// The card above, the answer below it once shown, the grade buttons at the foot. The buttons'
// texts come from the window: they carry the interval each grade would give.
constexpr ControlTemplate kReviewControls[] = {
    // id                 kind              caption          x    y    cx   cy  style
    {IDC_REVIEW_STATUS,   K::Label,         "",              7,   7,   286, 8,  kLabel | CS_NOPREFIX},
    {IDC_REVIEW_PROMPT,   K::Label,         "",              7,   24,  286, 16, kLabel | CS_NOPREFIX},
    {IDC_REVIEW_SPELL,    K::Label,         "",              7,   43,  286, 8,  kLabel | CS_NOPREFIX},
    {IDC_REVIEW_TYPED,    K::Edit,          "",              7,   58,  286, 12, kEdit},
    {IDC_REVIEW_CHECK,    K::Label,         "",              7,   74,  286, 8,  kLabel | CS_NOPREFIX},
    {IDC_REVIEW_ANSWER,   K::Label,         "",              7,   88,  286, 24, kLabel | CS_NOPREFIX},
    {IDOK,                K::DefPushButton, "Show answer",   7,   120, 286, 14, kButton},
    {IDC_REVIEW_AGAIN,    K::PushButton,    "",              7,   140, 68,  20, kButton},
    {IDC_REVIEW_HARD,     K::PushButton,    "",              79,  140, 68,  20, kButton},
    {IDC_REVIEW_GOOD,     K::PushButton,    "",              151, 140, 68,  20, kButton},
    {IDC_REVIEW_EASY,     K::PushButton,    "",              223, 140, 68,  20, kButton},
    {IDCANCEL,            K::PushButton,    "Close",         243, 166, 50,  14, kButton},
};

constexpr ControlTemplate kReviewOptionsControls[] = {
    // id                      kind              caption                       x    y    cx   cy  style
    {IDC_STATIC,               K::Label,         "Desired &retention (0.70-0.99)", 7, 9, 130, 8, kLabel},
    {IDC_REVIEW_RETENTION,     K::Edit,          "",                           140, 7,  50,  12, kEdit},
    {IDC_STATIC,               K::Label,         "&New words a day",           7,   27,  130, 8,  kLabel},
    {IDC_REVIEW_NEW_PER_DAY,   K::Edit,          "",                           140, 25,  50,  12, kEdit},
    {IDC_STATIC,               K::Label,         "Reviews a &day (0: no limit)", 7, 45,  130, 8,  kLabel},
    {IDC_REVIEW_PER_DAY,       K::Edit,          "",                           140, 43,  50,  12, kEdit},
    {IDC_REVIEW_MEANING_SHOWN, K::CheckBox,      "Show the &meaning, ask the word", 7, 62, 183, 10, kCheck},
    {IDC_REVIEW_TWO_ANSWERS,   K::CheckBox,      "&Two answers: Forgot and Knew", 7, 76, 183, 10, kCheck},
    {IDC_REVIEW_TYPE_ANSWER,   K::CheckBox,      "T&ype the answer",           7,   90,  183, 10, kCheck},
    {IDOK,                     K::DefPushButton, "OK",                         86,  108, 50,  14, kButton},
    {IDCANCEL,                 K::PushButton,    "Cancel",                     140, 108, 50,  14, kButton},
};

constexpr DialogTemplate kTemplates[] = {
    {IDD_MAIN, "Vocamint", 548, 328, DS_VISIBLE | DS_MINIMIZEBOX | DS_APPWINDOW, kFontFace,
     kFallbackFontFace, kPointSize, kMainControls, kPhoneticFontFace},
    {IDD_ABOUTBOX, "关于 Vocamint", 235, 55, DS_NONE, kFontFace, kFallbackFontFace, kPointSize,
     kAboutControls, kPhoneticFontFace},
    {IDD_EDIT_ENTRY, "Edit Entry", 260, 121, DS_NONE, kFontFace, kFallbackFontFace, kPointSize,
     kEditEntryControls, kPhoneticFontFace},
    {IDD_FIND, "Find", 200, 201, DS_NONE, kFontFace, kFallbackFontFace, kPointSize,
     kFindControls, kPhoneticFontFace},
    {IDD_KEYS, "Keyboard", 299, 303, DS_NONE, kFontFace, kFallbackFontFace, kPointSize,
     kKeysControls, kPhoneticFontFace},
    {IDD_IMPORT, "Import", 360, 331, DS_NONE, kFontFace, kFallbackFontFace, kPointSize,
     kImportControls, kPhoneticFontFace},
    {IDD_REVIEW, "Review", 300, 187, DS_NONE, kFontFace, kFallbackFontFace, kPointSize,
     kReviewControls, kPhoneticFontFace},
    {IDD_REVIEW_OPTIONS, "Review Options", 197, 129, DS_NONE, kFontFace, kFallbackFontFace,
     kPointSize, kReviewOptionsControls, kPhoneticFontFace},
};

// clang-format on

} // namespace

std::span<const DialogTemplate> DialogTable() {
    return kTemplates;
}
