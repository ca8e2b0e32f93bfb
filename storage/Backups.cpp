#include "storage/Backups.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Stem(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

std::string Extension(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos || dot == 0 ? std::string() : fileName.substr(dot);
}

std::string Digits(const std::tm& t, const char* format) {
    char text[32];
    const std::size_t n = std::strftime(text, sizeof text, format, &t);
    return std::string(text, n);
}

// The date part of a backup name ("YYYYMMDD"), or empty when the name is not a backup's.
std::string DayOf(const std::string& name, const std::string& prefix, const std::string& ext) {
    // prefix + YYYYMMDD-HHMMSS-mmm + ext
    constexpr std::size_t kStamp = 19;
    if (name.size() != prefix.size() + kStamp + ext.size() ||
        name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - ext.size(), ext.size(), ext) != 0)
        return {};
    const std::string stamp = name.substr(prefix.size(), kStamp);
    for (std::size_t i = 0; i < kStamp; ++i) {
        const bool dash = i == 8 || i == 15;
        if (dash ? stamp[i] != '-' : (stamp[i] < '0' || stamp[i] > '9'))
            return {};
    }
    return stamp.substr(0, 8);
}

} // namespace

std::string BackupName(const std::string& fileName, const timespec& when) {
    std::tm local{};
    ::localtime_r(&when.tv_sec, &local);
    char millis[8];
    std::snprintf(millis, sizeof millis, "-%03ld", (when.tv_nsec / 1000000) % 1000);
    return Stem(fileName) + "-" + Digits(local, "%Y%m%d-%H%M%S") + millis + Extension(fileName);
}

std::vector<std::string> BackupsToRemove(const std::string& fileName,
                                         std::vector<std::string> names,
                                         const std::vector<std::string>& days,
                                         std::size_t keepLast) {
    const std::string prefix = Stem(fileName) + "-";
    const std::string ext = Extension(fileName);
    std::erase_if(names, [&](const std::string& n) { return DayOf(n, prefix, ext).empty(); });
    std::sort(names.begin(), names.end());
    std::set<std::string> keep;
    for (std::size_t i = 0; i < names.size() && i < keepLast; ++i)
        keep.insert(names[names.size() - 1 - i]);
    for (const std::string& day : days) {
        // Sorted by time, so the first of a day is its oldest.
        const auto first = std::find_if(names.begin(), names.end(), [&](const std::string& n) {
            return DayOf(n, prefix, ext) == day;
        });
        if (first != names.end())
            keep.insert(*first);
    }
    std::vector<std::string> remove;
    for (const std::string& name : names) {
        if (keep.count(name) == 0)
            remove.push_back(name);
    }
    return remove;
}

std::vector<std::string> LastSevenDays(std::time_t now) {
    std::vector<std::string> days;
    std::tm local{};
    ::localtime_r(&now, &local);
    for (int back = 0; back < 7; ++back) {
        std::tm day = local;
        day.tm_mday -= back;
        day.tm_hour = 12; // noon: a change of clocks cannot move it to another day
        day.tm_isdst = -1;
        std::mktime(&day);
        days.push_back(Digits(day, "%Y%m%d"));
    }
    return days;
}

namespace {

// A backup name not taken yet in `backups`, for now.
std::string FreeName(const Folder& backups, const std::string& fileName, timespec& now) {
    ::clock_gettime(CLOCK_REALTIME, &now);
    std::string name = BackupName(fileName, now);
    // Two saves within one millisecond: the later one takes the next free name.
    for (FileStamp existing; backups.Stat(name, existing) && existing.exists;) {
        now.tv_nsec += 1000000;
        if (now.tv_nsec >= 1000000000) {
            now.tv_nsec -= 1000000000;
            ++now.tv_sec;
        }
        name = BackupName(fileName, now);
    }
    return name;
}

void Prune(const Folder& backups, const std::string& fileName, std::time_t now) {
    for (const std::string& old : BackupsToRemove(fileName, backups.Names(), LastSevenDays(now)))
        ::unlinkat(backups.fd(), old.c_str(), 0);
}

bool Copy(const Folder& backups, const std::string& name, std::string_view bytes,
          const FileStamp& stamp) {
    FolderFile copy(backups, name);
    if (!copy.Open(&stamp) || !copy.Write(bytes) || !copy.Commit())
        return false;
    // The copy keeps the old file's mode: a private list stays private in its backups.
    (void)::fchmodat(backups.fd(), name.c_str(), stamp.mode, 0);
    return true;
}

// Copies `fileName` of `folder` as it is, a piece at a time, so that a large file costs no
// buffer its size; only that version (`stamp`) of it is copied.
bool CopyFile(const Folder& folder, const std::string& fileName, const Folder& backups,
              const std::string& name, const FileStamp& stamp) {
    FolderFile copy(backups, name);
    if (!copy.Open(&stamp))
        return false;
    bool ok = true;
    FileStamp read;
    if (folder.ReadPieces(
            fileName, [&](std::string_view piece) { ok = copy.Write(piece) && ok; }, &read) !=
            Folder::Read::Ok ||
        !ok || !read.SameVersion(stamp) || !copy.Commit())
        return false;
    (void)::fchmodat(backups.fd(), name.c_str(), stamp.mode, 0);
    return true;
}

} // namespace

bool BackUp(const Folder& folder, const std::string& fileName, std::string_view bytes,
            const FileStamp& stamp, std::string* backupName) {
    const Folder backups = folder.OpenSub(kBackupFolder, stamp);
    if (!backups.IsOpen())
        return false;
    timespec now{};
    const std::string name = FreeName(backups, fileName, now);
    if (!Copy(backups, name, bytes, stamp))
        return false;
    if (backupName)
        *backupName = name;
    Prune(backups, fileName, now.tv_sec);
    return true;
}

bool BackUpInPlace(const Folder& folder, const std::string& fileName, const FileStamp& stamp,
                   bool mayLink, std::string* backupName) {
    const Folder backups = folder.OpenSub(kBackupFolder, stamp);
    if (!backups.IsOpen())
        return false;
    timespec now{};
    const std::string name = FreeName(backups, fileName, now);
    bool linked =
        mayLink && ::linkat(folder.fd(), fileName.c_str(), backups.fd(), name.c_str(), 0) == 0;
    if (linked) {
        // Another writer may have replaced the file since it was looked at: the link must be
        // to the version described.
        FileStamp made;
        linked = backups.Stat(name, made) && made.SameVersion(stamp);
        if (!linked)
            ::unlinkat(backups.fd(), name.c_str(), 0);
    }
    if (!linked && !CopyFile(folder, fileName, backups, name, stamp))
        return false;
    if (backupName)
        *backupName = name;
    Prune(backups, fileName, now.tv_sec);
    return true;
}
