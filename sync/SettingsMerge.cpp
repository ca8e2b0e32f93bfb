#include "sync/SettingsMerge.h"

#include "base/AsciiText.h"
#include "settings/IniText.h"

namespace {

bool IsViewPosition(std::string_view section, std::string_view key) {
    return ascii::EqualsNoCase(section, "Setting") &&
           (ascii::EqualsNoCase(key, "Index") || ascii::EqualsNoCase(key, "Goto"));
}

} // namespace

SettingsMerge MergeSettings(std::string ours, std::string_view theirs, bool theirsNewer) {
    SettingsMerge result;
    IniText mine(std::move(ours));
    const IniText other{std::string(theirs)};
    for (const auto& [section, key] : other.Keys()) {
        if (IsViewPosition(section, key))
            continue;
        const std::optional<std::string> value = other.Find(section, key);
        const std::optional<std::string> have = mine.Find(section, key);
        if (!value || (have && (*have == *value || !theirsNewer)))
            continue;
        if (mine.Set(section, key, *value))
            ++result.taken;
    }
    result.merged = mine.bytes();
    return result;
}
