// Message maps: one table per dialog from a message, or a control id and notification,
// to a member handler. Messages a table does not list go to the base class, then to
// default processing.
#pragma once

#include <span>
#include <variant>

#include "framework/WinDef.h"

template <class T> struct MessageMapEntry {
    UINT message = 0; // 0 ends the table
    UINT code = 0;    // WM_COMMAND: the notification code
    UINT idFirst = 0; // WM_COMMAND: the control id range
    UINT idLast = 0;
    std::variant<void (T::*)(),                  // WM_PAINT, WM_CLOSE, one BN_CLICKED
                 void (T::*)(UINT),              // a BN_CLICKED range: the control id
                 void (T::*)(UINT, LPARAM),      // WM_SYSCOMMAND
                 void (T::*)(UINT, UINT, UINT),  // WM_KEYDOWN, WM_KEYUP
                 HICON (T::*)(),                 // WM_QUERYDRAGICON
                 LRESULT (T::*)(WPARAM, LPARAM)> // the program's own messages
        handler;
};

template <class... F> struct MessageHandlerVisitor : F... { using F::operator()...; };
template <class... F>
MessageHandlerVisitor(F...) -> MessageHandlerVisitor<F...>; // clang 14 deduces no aggregates

template <class T>
bool DispatchMessageMap(T& wnd, const MessageMapEntry<T>* map, UINT message, WPARAM wParam,
                        LPARAM lParam, LRESULT* pResult) {
    for (const MessageMapEntry<T>* e = map; e->message != 0; ++e) {
        if (e->message != message)
            continue;
        if (message == WM_COMMAND && (HIWORD(wParam) != e->code || LOWORD(wParam) < e->idFirst ||
                                      LOWORD(wParam) > e->idLast))
            continue;
        *pResult = 0;
        std::visit(
            MessageHandlerVisitor{
                [&](void (T::*f)()) { (wnd.*f)(); },
                [&](void (T::*f)(UINT)) { (wnd.*f)(LOWORD(wParam)); },
                [&](void (T::*f)(UINT, LPARAM)) { (wnd.*f)(static_cast<UINT>(wParam), lParam); },
                [&](void (T::*f)(UINT, UINT, UINT)) {
                    (wnd.*f)(static_cast<UINT>(wParam), LOWORD(static_cast<WPARAM>(lParam)),
                             HIWORD(static_cast<WPARAM>(lParam)));
                },
                [&](HICON (T::*f)()) { *pResult = reinterpret_cast<LRESULT>((wnd.*f)()); },
                [&](LRESULT (T::*f)(WPARAM, LPARAM)) { *pResult = (wnd.*f)(wParam, lParam); },
            },
            e->handler);
        return true;
    }
    return false;
}

// clang-format off
#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    bool theClass::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {        \
        using ThisClass = theClass;                                                                \
        using TheBaseClass = baseClass;                                                            \
        static const MessageMapEntry<ThisClass> messageMap[] = {

// The empty entry ends the table.
#define END_MESSAGE_MAP()                                                                          \
            MessageMapEntry<ThisClass>{}};                                                         \
        return DispatchMessageMap<ThisClass>(*this, messageMap, message, wParam, lParam, pResult) \
               || TheBaseClass::OnWndMsg(message, wParam, lParam, pResult);                        \
    }
// clang-format on

#define ON_WM_PAINT() MessageMapEntry<ThisClass>{WM_PAINT, 0, 0, 0, &ThisClass::OnPaint},
#define ON_WM_CLOSE() MessageMapEntry<ThisClass>{WM_CLOSE, 0, 0, 0, &ThisClass::OnClose},
#define ON_WM_SYSCOMMAND()                                                                         \
    MessageMapEntry<ThisClass>{WM_SYSCOMMAND, 0, 0, 0, &ThisClass::OnSysCommand},
#define ON_WM_QUERYDRAGICON()                                                                      \
    MessageMapEntry<ThisClass>{WM_QUERYDRAGICON, 0, 0, 0, &ThisClass::OnQueryDragIcon},
#define ON_WM_KEYDOWN() MessageMapEntry<ThisClass>{WM_KEYDOWN, 0, 0, 0, &ThisClass::OnKeyDown},
#define ON_WM_KEYUP() MessageMapEntry<ThisClass>{WM_KEYUP, 0, 0, 0, &ThisClass::OnKeyUp},
#define ON_BN_CLICKED(id, memberFxn)                                                               \
    MessageMapEntry<ThisClass>{WM_COMMAND, BN_CLICKED, static_cast<UINT>(id),                      \
                               static_cast<UINT>(id),                                              \
                               static_cast<void (ThisClass::*)()>(memberFxn)},
#define ON_COMMAND(id, memberFxn) ON_BN_CLICKED(id, memberFxn)
#define ON_CONTROL(wNotifyCode, id, memberFxn)                                                     \
    MessageMapEntry<ThisClass>{WM_COMMAND, wNotifyCode, static_cast<UINT>(id),                     \
                               static_cast<UINT>(id),                                              \
                               static_cast<void (ThisClass::*)()>(memberFxn)},
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_TBLN_COLCHANGE(id, memberFxn) ON_CONTROL(TBLN_COLCHANGE, id, memberFxn)
// OnContextMenu(UINT id of the control under the pointer or 0, LPARAM screen position)
#define ON_WM_CONTEXTMENU()                                                                        \
    MessageMapEntry<ThisClass>{                                                                    \
        WM_CONTEXTMENU, 0, 0, 0,                                                                   \
        static_cast<void (ThisClass::*)(UINT, LPARAM)>(&ThisClass::OnContextMenu)},
#define ON_WM_TIMER()                                                                              \
    MessageMapEntry<ThisClass>{WM_TIMER, 0, 0, 0,                                                  \
                               static_cast<void (ThisClass::*)(UINT)>(&ThisClass::OnTimer)},
#define ON_CONTROL_RANGE(wNotifyCode, idFirst, idLast, memberFxn)                                  \
    MessageMapEntry<ThisClass>{WM_COMMAND, wNotifyCode, static_cast<UINT>(idFirst),                \
                               static_cast<UINT>(idLast),                                          \
                               static_cast<void (ThisClass::*)(UINT)>(memberFxn)},
// A message of the program's own (WM_APP and above).
#define ON_MESSAGE(message, memberFxn)                                                             \
    MessageMapEntry<ThisClass>{message, 0, 0, 0,                                                   \
                               static_cast<LRESULT (ThisClass::*)(WPARAM, LPARAM)>(memberFxn)},
