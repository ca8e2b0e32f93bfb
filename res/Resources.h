// String table, icons and version record of the program, as data.
#pragma once

#include <cstdint>
#include <span>

// The string resource with the given id (UTF-8), or nullptr.
const char* FindStringResource(unsigned id);

// One square image of an icon: 16-colour palette indices, row by row from the top.
// Index 0 is transparent; the others index the palette of the icon.
struct IconImage {
    int size;                             // width and height in pixels
    std::span<const std::uint8_t> pixels; // size * size palette indices
};

struct IconResource {
    unsigned id;
    std::span<const std::uint32_t> palette; // 16 entries, 0xAARRGGBB
    std::span<const IconImage> images;      // 32 x 32 and 16 x 16
};

// The icon with the given resource id, or nullptr.
const IconResource* FindIconResource(unsigned id);

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
