// The program's string table.
#include "res/Resources.h"
#include "res/resource.h"

namespace {

struct StringResource {
    unsigned id;
    const char* text; // UTF-8
};

constexpr StringResource kStrings[] = {
    {IDS_ABOUTBOX, "关于 Vocamint(&A)..."},
};

} // namespace

const char* FindStringResource(unsigned id) {
    for (const StringResource& s : kStrings) {
        if (s.id == id)
            return s.text;
    }
    return nullptr;
}
