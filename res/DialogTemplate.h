// Dialog templates as data: one row per control, in template (and tab) order.
#pragma once

#include <span>

enum class ControlKind {
    PushButton,    // BS_PUSHBUTTON
    DefPushButton, // BS_DEFPUSHBUTTON
    CheckBox,      // BS_AUTOCHECKBOX
    Label,         // static text, left aligned
    Edit,          // single line, border, ES_AUTOHSCROLL
    Icon,          // static control showing an icon (SS_ICON); caption names no text
};

// Control style bits.
enum ControlStyle : unsigned {
    CS_NONE = 0,
    CS_HIDDEN = 1u << 0,     // created without WS_VISIBLE
    CS_TABSTOP = 1u << 1,    // WS_TABSTOP
    CS_GROUP = 1u << 2,      // WS_GROUP
    CS_STATICEDGE = 1u << 3, // WS_EX_STATICEDGE
    CS_NOPREFIX = 1u << 4,   // SS_NOPREFIX: '&' shown as written
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
};

// The template with the given resource id, or nullptr.
const DialogTemplate* FindDialogTemplate(unsigned id);
