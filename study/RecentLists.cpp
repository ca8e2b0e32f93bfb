#include "study/RecentLists.h"

#include <algorithm>

#include "base/AsciiText.h"

RecentLists::RecentLists(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        const std::string tidy = Tidy(folder);
        if (m_folders.size() < kMost && Keepable(tidy) &&
            std::find(m_folders.begin(), m_folders.end(), tidy) == m_folders.end())
            m_folders.push_back(tidy);
    }
}

void RecentLists::Opened(const std::string& folder) {
    const std::string tidy = Tidy(folder);
    if (!Keepable(tidy))
        return;
    std::erase(m_folders, tidy);
    m_folders.insert(m_folders.begin(), tidy);
    if (m_folders.size() > kMost)
        m_folders.resize(kMost);
}

bool RecentLists::Keepable(const std::string& folder) {
    if (folder.empty() || folder[0] != '/' || ascii::IsSpace(folder.back()))
        return false;
    return std::none_of(folder.begin(), folder.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

std::string RecentLists::Tidy(const std::string& folder) {
    std::string tidy;
    tidy.reserve(folder.size());
    for (const char c : folder) {
        if (c != '/' || tidy.empty() || tidy.back() != '/')
            tidy += c;
    }
    while (tidy.size() > 1 && tidy.back() == '/')
        tidy.pop_back();
    return tidy;
}

std::string RecentLists::Name(const std::string& folder) {
    const std::string tidy = Tidy(folder);
    const std::size_t slash = tidy.rfind('/');
    if (slash == std::string::npos || tidy.size() == 1)
        return tidy;
    return tidy.substr(slash + 1);
}

std::string RecentLists::MenuText(std::size_t place, const std::string& folder) {
    std::string name;
    // An ampersand of the name is shown, not taken as the item's letter.
    for (const char c : Name(folder)) {
        name += c;
        if (c == '&')
            name += '&';
    }
    return "&" + std::to_string(place + 1) + " " + name;
}
