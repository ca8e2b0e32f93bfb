// The version record of the executable.
#include "res/AppResources.h"

const VersionRecord& GetVersionRecord() {
    static constexpr VersionRecord kRecord{
        .fileVersion = "1, 0, 0, 1",
        .productVersion = "1, 0, 0, 1",
        .fileDescription = "Vocamint Microsoft 基础类应用程序",
        .internalName = "Vocamint",
        .productName = "Vocamint 应用程序",
        .companyName = "",
        .legalTrademarks = "",
        .translation = "080404B0",
    };
    return kRecord;
}
