// The kinds of resource a program hands the dialog layer: dialog templates (one row per
// control, in template and tab order), strings and icons.
#pragma once

#include <cstdint>
#include <span>

enum class ControlKind {
    PushButton,    // BS_PUSHBUTTON
    DefPushButton, // BS_DEFPUSHBUTTON
    CheckBox,      // BS_AUTOCHECKBOX
    Label,         // static text, left aligned
    Edit,          // single line, border, ES_AUTOHSCROLL
    Icon,          // static control showing an icon (SS_ICON); caption names no text
    ListBox,       // a single-selection list of text lines
    RadioButton,   // BS_AUTORADIOBUTTON; one of a group that CS_GROUP or a non-radio row starts
    DropDownList,  // CBS_DROPDOWNLIST: a closed list of choices that drops down
    Table,         // read-only text cells under column headings, rows headed too
};

// Control style bits.
enum ControlStyle : unsigned {
    CS_NONE = 0,
    CS_HIDDEN = 1u << 0,     // created without WS_VISIBLE
    CS_TABSTOP = 1u << 1,    // WS_TABSTOP
    CS_GROUP = 1u << 2,      // WS_GROUP
    CS_STATICEDGE = 1u << 3, // WS_EX_STATICEDGE
    CS_NOPREFIX = 1u << 4,   // SS_NOPREFIX: '&' shown as written
    CS_READONLY = 1u << 5,   // ES_READONLY
};

// Dialog style bits.
enum DialogStyle : unsigned {
    DS_NONE = 0,
    DS_MINIMIZEBOX = 1u << 0, // WS_MINIMIZEBOX
    DS_VISIBLE = 1u << 1,     // WS_VISIBLE
    DS_APPWINDOW = 1u << 2,   // WS_EX_APPWINDOW
};

struct ControlTemplate {
    int id; // IDC_STATIC (-1) for labels no code refers to
    ControlKind kind;
    const char* caption; // UTF-8; for ControlKind::Icon unused (see iconId)
    int x, y, cx, cy;    // dialog units
    unsigned style;      // ControlStyle bits
    unsigned iconId = 0; // ControlKind::Icon: the icon resource shown
};

struct DialogTemplate {
    unsigned id;
    const char* caption;          // UTF-8
    int cx, cy;                   // dialog units
    unsigned style;               // DialogStyle bits
    const char* fontFace;         // UTF-8, e.g. "宋体"
    const char* fallbackFontFace; // used where fontFace is not installed
    int pointSize;
    std::span<const ControlTemplate> controls;
    // Draws the phonetic symbols the face above lacks, instead of whatever font the system
    // would pick for them; nullptr leaves that to the system.
    const char* phoneticFontFace = nullptr;
};

struct StringResource {
    unsigned id;
    const char* text; // UTF-8
};

// One square image of an icon: 16-colour palette indices, row by row from the top.
// Index 0 is transparent; the others index the palette of the icon.
struct IconImage {
    int size;                             // width and height in pixels
    std::span<const std::uint8_t> pixels; // size * size palette indices
};

struct IconResource {
    unsigned id;
    std::span<const std::uint32_t> palette; // 16 entries, 0xAARRGGBB
    std::span<const IconImage> images;      // largest first
};

// A menu as data: a title row opens a drop-down whose items follow it, up to the next title.
struct MenuItemTemplate {
    enum Kind { Title, Item, Separator } kind;
    unsigned id;          // Item: the command it sends
    const char* text;     // UTF-8, '&' before the mnemonic
    const char* shortcut; // Item: key sequence in portable text ("Ctrl+F", "Del"), or nullptr
    const char* shortcut2 = nullptr; // a second key for the same command
};

struct MenuTemplate {
    unsigned id;
    std::span<const MenuItemTemplate> items;
};

// Everything a program registers with AfxSetResourceModule.
struct ResourceModule {
    std::span<const DialogTemplate> dialogs;
    std::span<const StringResource> strings;
    std::span<const IconResource> icons;
    std::span<const MenuTemplate> menus;
};
