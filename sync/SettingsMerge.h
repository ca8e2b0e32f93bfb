// Joins two machines' versions of the settings file.
#pragma once

#include <string>
#include <string_view>

struct SettingsMerge {
    std::string merged;    // the whole new file
    std::size_t taken = 0; // keys whose value now comes from theirs
};

// Our file with theirs' keys added where ours lacks them, and theirs' values taken where
// `theirsNewer` (the other file was written later; the file keeps no time per key). The view
// position ([Setting] Index and Goto) stays ours in every case: each machine keeps its own
// place in the list. Every other byte of ours stays as it was.
SettingsMerge MergeSettings(std::string ours, std::string_view theirs, bool theirsNewer);
