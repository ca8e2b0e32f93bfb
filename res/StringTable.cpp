// The program's string table.
#include "res/ResourceIds.h"
#include "res/ResourceTables.h"

namespace {

constexpr StringResource kStrings[] = {
    {IDS_ABOUTBOX, "关于 Vocamint(&A)..."},
};

} // namespace

std::span<const StringResource> StringTable() {
    return kStrings;
}
