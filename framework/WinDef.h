// The scalar types, messages and constants that our dialog layer speaks.
#pragma once

#include <cstdint>

class QWidget;
class QPainter;
class CIcon;

using BOOL = int;
constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;
using UINT = unsigned int;
using UINT_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using HWND = QWidget*;
using HDC = QPainter*;
using HICON = const CIcon*;

// Window messages.
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_ICONERASEBKGND = 0x0027;
constexpr UINT WM_QUERYDRAGICON = 0x0037;
constexpr UINT WM_SETICON = 0x0080;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;

constexpr UINT WM_CONTEXTMENU = 0x007B; // wParam: id of the control under the pointer, or 0
constexpr UINT WM_TIMER = 0x0113;       // wParam: the timer id
constexpr UINT WM_APP = 0x8000;         // the first of the program's own messages

// WM_COMMAND carries the control id in the low word of wParam, the notification in the high.
// Menu items and accelerators send code 0, as a button click does.
constexpr UINT BN_CLICKED = 0;
constexpr UINT STN_DBLCLK = 1; // a label was double-clicked
constexpr UINT LBN_DBLCLK = 2; // a list item was double-clicked
constexpr UINT LBN_SELCHANGE = 1;
constexpr UINT CBN_SELCHANGE = 1;  // the learner chose another item of a drop-down list
constexpr UINT EN_CHANGE = 0x0300; // the learner changed an edit's text
constexpr UINT TBLN_COLCHANGE = 1; // the learner moved to another column of a table
constexpr WPARAM MAKEWPARAM(UINT low, UINT high) {
    return static_cast<WPARAM>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr UINT LOWORD(WPARAM w) {
    return static_cast<UINT>(w & 0xFFFFu);
}
constexpr UINT HIWORD(WPARAM w) {
    return static_cast<UINT>((w >> 16) & 0xFFFFu);
}

// Dialog end codes and command ids.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDC_STATIC = -1;

// System commands.
constexpr UINT SC_MINIMIZE = 0xF020;
constexpr UINT SC_CLOSE = 0xF060;
constexpr UINT SC_RESTORE = 0xF120;

// MessageBox flags.
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_ICONINFORMATION = 0x0040;

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;

// AppendMenu and EnableMenuItem flags.
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_SEPARATOR = 0x0800;

constexpr LPARAM MAKELPARAM(int x, int y) {
    return static_cast<LPARAM>(static_cast<std::uint32_t>((x & 0xFFFF) | ((y & 0xFFFF) << 16)));
}
constexpr int GET_X_LPARAM(LPARAM l) {
    return static_cast<std::int16_t>(l & 0xFFFF);
}
constexpr int GET_Y_LPARAM(LPARAM l) {
    return static_cast<std::int16_t>((l >> 16) & 0xFFFF);
}

// WM_SETICON kinds.
constexpr WPARAM ICON_SMALL = 0;
constexpr WPARAM ICON_BIG = 1;

// GetSystemMetrics indices.
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
int GetSystemMetrics(int nIndex);

// Virtual-key codes (letters and digits are their ASCII upper-case codes).
constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SHIFT = 0x10;
constexpr UINT VK_CONTROL = 0x11;
constexpr UINT VK_MENU = 0x12;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_INSERT = 0x2D;
constexpr UINT VK_DELETE = 0x2E;
constexpr UINT VK_APPS = 0x5D;
constexpr UINT VK_F1 = 0x70;

struct CRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};
