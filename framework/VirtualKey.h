// Translation of the toolkit's key events into the virtual-key codes of key messages.
#pragma once

#include <Qt>

#include "framework/WinDef.h"

// The virtual-key code of a key as a US keyboard names it (the unshifted key for shifted
// symbols, the keypad keys when the keypad modifier is set); 0 for keys without one.
UINT VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers);

// lParam of WM_KEYDOWN or WM_KEYUP: repeat count 1, bit 30 for a key that was already down
// (auto-repeat, and always for key-up), bit 31 for key-up.
LPARAM KeyMessageLParam(UINT message, bool autoRepeat);
