#include "framework/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "framework/TextCodec.h"

BOOL SetClipboardText(const char* text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr || text == nullptr)
        return FALSE;
    clipboard->setText(ToQString(text));
    return TRUE;
}
