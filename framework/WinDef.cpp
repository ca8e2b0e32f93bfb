#include "framework/WinDef.h"

int GetSystemMetrics(int nIndex) {
    // Icons are drawn at the classic large-icon size.
    switch (nIndex) {
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    default:
        return 0;
    }
}
