#include "sync/ConflictCopies.h"

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

#include "base/Counted.h"
#include "storage/Backups.h"
#include "sync/HistoryUnion.h"
#include "sync/ListMerge.h"
#include "sync/SettingsMerge.h"
#include "words/WordFileFormat.h"
#include "words/WordList.h"
#include "words/WordTextReader.h"

namespace {

constexpr std::string_view kConflictMark = ".sync-conflict-";
// Backups looked at for the version both machines started from, newest first.
constexpr std::size_t kBasesTried = 20;
constexpr std::size_t kNamesShown = 8;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view StemOf(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

// "20240501-153012-ABCDEF1": the date, the time and a short device id of letters and digits.
bool IsConflictTag(std::string_view tag) {
    constexpr std::size_t kDateTime = 15;
    if (tag.size() <= kDateTime + 1 || tag[8] != '-' || tag[kDateTime] != '-')
        return false;
    for (std::size_t i = 0; i < kDateTime; ++i) {
        if (i != 8 && !IsDigit(tag[i]))
            return false;
    }
    for (const char c : tag.substr(kDateTime + 1)) {
        if (!IsDigit(c) && !(c >= 'A' && c <= 'Z') && !(c >= 'a' && c <= 'z'))
            return false;
    }
    return true;
}

std::vector<std::string> ListNames(const Folder& folder) {
    std::vector<std::string> names;
    if (!folder.IsOpen())
        return names;
    const int listFd = ::openat(folder.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (dir == nullptr) {
        if (listFd >= 0)
            ::close(listFd);
        return names;
    }
    while (const dirent* item = ::readdir(dir))
        names.emplace_back(item->d_name);
    ::closedir(dir);
    return names;
}

std::string Quoted(std::string_view name) {
    return "'" + std::string(name) + "'";
}

// "a, b and 3 more"
std::string Names(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i)
        text += (i == 0 ? "" : ", ") + names[i];
    if (names.size() > kNamesShown)
        text += " and " + std::to_string(names.size() - kNamesShown) + " more";
    return text;
}

// Replaces `name` with `text` only if it is still the version `expected` describes.
bool Replace(const Folder& folder, const std::string& name, std::string_view text,
             const FileStamp& expected) {
    FileStamp folderStamp;
    folder.Stat(".", folderStamp);
    FolderFile file(folder, name);
    return file.Open(expected.exists ? &expected : &folderStamp) && file.Write(text) &&
           file.Commit(&expected);
}

// Moves a merged copy into backups/ under its own name (another number when that is taken);
// returns where it went, or empty when it could not be moved.
std::string MoveToBackups(const Folder& folder, const std::string& name, const FileStamp& stamp) {
    const Folder backups = folder.OpenSub(kBackupFolder, stamp);
    if (!backups.IsOpen())
        return {};
    std::string target = name;
    FileStamp existing;
    for (int n = 2; n < 100 && backups.Stat(target, existing) && existing.exists; ++n)
        target = name + "." + std::to_string(n);
    if (::renameat(folder.fd(), name.c_str(), backups.fd(), target.c_str()) != 0)
        return {};
    return std::string(kBackupFolder) + "/" + target;
}

// The newest backup of the word file that both versions may descend from.
std::optional<WordList> FindBase(const Folder& folder, const std::string& listName,
                                 const WordList& ours, const WordList& theirs) {
    const Folder backups = Folder::Open(folder.HandlePath() + "/" + kBackupFolder);
    if (!backups.IsOpen())
        return std::nullopt;
    // Kept neither as the last of any number nor as a day's oldest: every backup name, in order.
    const std::vector<std::string> names = BackupsToRemove(listName, ListNames(backups), {}, 0);
    for (std::size_t tried = 0; tried < names.size() && tried < kBasesTried; ++tried) {
        std::string bytes;
        if (backups.ReadAll(names[names.size() - 1 - tried], bytes) != Folder::Read::Ok)
            continue;
        WordList candidate;
        ParseWordText(bytes, candidate);
        if (MayDescendFrom(ours, candidate) && MayDescendFrom(theirs, candidate))
            return candidate;
    }
    return std::nullopt;
}

class Merger {
public:
    Merger(const Folder& folder, const timespec& now, CopyMergeReport& report)
        : m_folder(folder), m_now(HistoryStamp(now)), m_report(report) {}

    void List(const std::string& name);
    void History(const std::string& name);
    void Settings(const std::string& name);

private:
    enum class Kind { List, History, Settings };
    void Merge(const std::string& name, Kind kind);
    void NotMerged(const std::string& copy, const char* why) {
        m_report.notMerged.push_back(Quoted(copy) + " (" + why + ")");
    }

    const Folder& m_folder;
    std::string m_now;
    CopyMergeReport& m_report;
};

void Merger::Merge(const std::string& name, Kind kind) {
    const std::vector<std::string> copies = FindConflictCopies(m_folder, name);
    if (copies.empty())
        return;
    for (const std::string& copy : copies) {
        std::string ours;
        FileStamp ourStamp;
        if (m_folder.ReadAll(name, ours, &ourStamp) == Folder::Read::Failed) {
            NotMerged(copy, (Quoted(name) + " could not be read").c_str());
            continue;
        }
        std::string theirs;
        FileStamp copyStamp;
        if (m_folder.ReadAll(copy, theirs, &copyStamp) != Folder::Read::Ok) {
            NotMerged(copy, "it could not be read");
            continue;
        }
        std::string merged;
        ListMergeResult list;
        std::size_t reviews = 0;
        std::size_t capped = 0;
        std::size_t settings = 0;
        if (kind == Kind::List) {
            WordList mine;
            WordList other;
            ParseWordText(ours, mine);
            ParseWordText(theirs, other);
            const std::optional<WordList> base = FindBase(m_folder, name, mine, other);
            list = MergeListCopies(mine, other, base ? &*base : nullptr);
            merged = FormatWordFile(list.merged);
        } else if (kind == Kind::History) {
            HistoryUnion united = UniteHistories(ours, theirs, m_now);
            merged = std::move(united.merged);
            reviews = united.added;
            capped = united.capped;
        } else {
            const bool theirsNewer = !ourStamp.exists || copyStamp.mtimeNs > ourStamp.mtimeNs;
            SettingsMerge joined = MergeSettings(ours, theirs, theirsNewer);
            merged = std::move(joined.merged);
            settings = joined.taken;
        }
        if (merged != ours) {
            // The word file keeps the version it replaces, as every save of it does.
            if (kind == Kind::List && ourStamp.exists && !BackUp(m_folder, name, ours, ourStamp)) {
                NotMerged(copy, (Quoted(name) + " could not be backed up").c_str());
                continue;
            }
            if (!Replace(m_folder, name, merged, ourStamp)) {
                NotMerged(copy, (Quoted(name) + " could not be written").c_str());
                continue;
            }
        }
        const std::string kept = MoveToBackups(m_folder, copy, copyStamp);
        if (kept.empty()) {
            // Merged already; merging it again adds nothing but second versions.
            NotMerged(copy, "merged, but it could not be moved into backups/");
        } else {
            ++m_report.copies;
            m_report.devices.insert(copy.substr(copy.rfind('-') + 1, 7));
        }
        m_report.words += list.taken;
        m_report.reviews += reviews;
        m_report.capped += capped;
        m_report.settings += settings;
        for (std::string& word : list.bothChanged)
            m_report.bothChanged.push_back(std::move(word));
        for (std::string& word : list.keptChanged)
            m_report.keptChanged.push_back(std::move(word));
        if (!list.bothChanged.empty() && !kept.empty())
            m_report.keptAside.push_back(kept);
    }
}

void Merger::List(const std::string& name) {
    Merge(name, Kind::List);
}
void Merger::History(const std::string& name) {
    Merge(name, Kind::History);
}
void Merger::Settings(const std::string& name) {
    Merge(name, Kind::Settings);
}

} // namespace

bool IsConflictCopyOf(std::string_view name, std::string_view fileName) {
    const std::string_view stem = StemOf(fileName);
    const std::string_view ext = fileName.substr(stem.size());
    if (name.size() <= stem.size() + kConflictMark.size() + ext.size() || !name.starts_with(stem) ||
        !name.ends_with(ext))
        return false;
    // One or more ".sync-conflict-<tag>" parts between the stem and the extension.
    std::string_view parts = name.substr(stem.size(), name.size() - stem.size() - ext.size());
    while (!parts.empty()) {
        if (!parts.starts_with(kConflictMark))
            return false;
        parts.remove_prefix(kConflictMark.size());
        const std::size_t next = parts.find(kConflictMark);
        if (!IsConflictTag(parts.substr(0, next)))
            return false;
        parts.remove_prefix(next == std::string_view::npos ? parts.size() : next);
    }
    return true;
}

std::vector<std::string> FindConflictCopies(const Folder& folder, std::string_view fileName,
                                            std::size_t limit) {
    std::vector<std::string> copies;
    for (std::string& name : ListNames(folder)) {
        if (IsConflictCopyOf(name, fileName))
            copies.push_back(std::move(name));
    }
    std::sort(copies.begin(), copies.end());
    if (copies.size() > limit)
        copies.resize(limit);
    return copies;
}

bool HasConflictCopies(const Folder& folder, const SyncedFiles& files) {
    for (const std::string& name : ListNames(folder)) {
        if (IsConflictCopyOf(name, files.list) || IsConflictCopyOf(name, files.history) ||
            IsConflictCopyOf(name, files.settings))
            return true;
    }
    return false;
}

CopyMergeReport MergeConflictCopies(const Folder& folder, const timespec& now,
                                    const SyncedFiles& files) {
    CopyMergeReport report;
    if (!folder.IsOpen())
        return report;
    Merger merger(folder, now, report);
    merger.List(files.list);
    merger.History(files.history);
    merger.Settings(files.settings);
    return report;
}

CopyMergeReport MergeConflictCopies(const Folder& folder, const SyncedFiles& files) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return MergeConflictCopies(folder, now, files);
}

std::string CopyMergeReport::Message() const {
    std::string text;
    if (copies > 0) {
        std::vector<std::string> parts = {Counted(words, "word", "words"),
                                          Counted(reviews, "review", "reviews")};
        if (settings > 0)
            parts.push_back(Counted(settings, "setting", "settings"));
        text = "Merged ";
        for (std::size_t i = 0; i < parts.size(); ++i)
            text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
        // A copy's name ends in the id of the machine that made it.
        if (copies == 1)
            text += " from a copy made on another machine.";
        else if (devices.size() <= 1)
            text += " from " + Counted(copies, "copy", "copies") + " made on another machine.";
        else
            text += " from " + Counted(copies, "copy", "copies") + " made on " +
                    std::to_string(devices.size()) + " other machines.";
    }
    if (capped > 0)
        text += "\n" + Counted(capped, "review was", "reviews were") +
                " stamped later than this machine's clock; they count from now.";
    if (!bothChanged.empty())
        text += "\nEdited differently on both machines, both versions kept: " + Names(bothChanged) +
                ".";
    if (!keptChanged.empty())
        text += "\nDeleted on one machine but edited on the other, kept as edited: " +
                Names(keptChanged) + ".";
    for (const std::string& kept : keptAside)
        text += "\nThe copy with the other versions is kept as " + Quoted(kept) + ".";
    for (const std::string& copy : notMerged)
        text += "\nNot merged, left as it is: " + copy + ".";
    if (!text.empty() && text.front() == '\n')
        text.erase(0, 1);
    return text;
}
