// The folders of the lists the learner opened last: most recent first, five at most, each
// once.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class RecentLists {
public:
    static constexpr std::size_t kMost = 5;

    // As kept in the learner's settings: what cannot be a list's folder is left out.
    explicit RecentLists(const std::vector<std::string>& folders = {});

    // `folder` was opened: it goes first. A folder that the settings file could not keep
    // as it is (not absolute, control characters, blanks at either end) is not remembered.
    void Opened(const std::string& folder);
    const std::vector<std::string>& Folders() const { return m_folders; }

    // What the File menu shows for `folder`: its name, "&1 spanish" for the first.
    static std::string MenuText(std::size_t place, const std::string& folder);
    // The last part of a folder's path ("/home/a/spanish/" gives "spanish").
    static std::string Name(const std::string& folder);

private:
    static bool Keepable(const std::string& folder);
    // "/a//b/" and "/a/b" are one folder.
    static std::string Tidy(const std::string& folder);
    std::vector<std::string> m_folders;
};
