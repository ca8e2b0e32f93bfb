// The program's resources: dialog templates, string table and icon as one module, and its
// version record.
#pragma once

#include "framework/ResourceTypes.h"

// The module the application registers with AfxSetResourceModule.
const ResourceModule& VocamintResources();

struct VersionRecord {
    const char* fileVersion;     // "1, 0, 0, 1"
    const char* productVersion;  // "1, 0, 0, 1"
    const char* fileDescription; // UTF-8
    const char* internalName;
    const char* productName; // UTF-8
    const char* companyName;
    const char* legalTrademarks;
    const char* translation; // string block, "080404B0"
};

const VersionRecord& GetVersionRecord();
