// Keeps earlier versions of a file in a "backups" folder beside it: the last ten, and the
// oldest of each of the last seven days.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Folder.h"

inline constexpr const char* kBackupFolder = "backups";

// "WL-20240501-153012-123.txt" for WL.txt saved at that local time (milliseconds last), so
// that names sort by time.
std::string BackupName(const std::string& fileName, const timespec& when);

// Of the backup names of `fileName` in `names` (other names are ignored), the ones to remove:
// all but the newest `keepLast` and the oldest of each day in `days` ("YYYYMMDD").
std::vector<std::string> BackupsToRemove(const std::string& fileName,
                                         std::vector<std::string> names,
                                         const std::vector<std::string>& days,
                                         std::size_t keepLast = 10);

// The local dates of today and the six days before it, as "YYYYMMDD".
std::vector<std::string> LastSevenDays(std::time_t now);

// Stores `bytes` (the content of `fileName` about to be replaced, whose stamp is `stamp`) as
// a new backup, then removes the backups no longer kept. False when the backup could not be
// written whole; a failure to remove old ones is not an error.
bool BackUp(const Folder& folder, const std::string& fileName, std::string_view bytes,
            const FileStamp& stamp, std::string* backupName = nullptr);

// The same for the file `fileName` as it is now, whose stamp is `stamp`: with `mayLink`, a
// hard link to it, which costs no copy and keeps its owner and mode; else, or where the file
// system refuses links, a copy read from it a piece at a time, refused when the file is no
// longer that version. A file backed up by a link must be replaced by a rename afterwards,
// never rewritten in place, or the backup would change with it.
bool BackUpInPlace(const Folder& folder, const std::string& fileName, const FileStamp& stamp,
                   bool mayLink, std::string* backupName = nullptr);
