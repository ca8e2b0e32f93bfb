// The desktop's clipboard, for text in the locale's code set.
#pragma once

#include "framework/WinDef.h"

BOOL SetClipboardText(const char* text);
