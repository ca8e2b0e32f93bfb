#include "storage/LocalLock.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "storage/Folder.h"

namespace {

// A folder of ours that nobody else may write, made when missing.
bool PrivateFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

std::string LocalLockPath(const Folder& folder, std::string_view fileName) {
    FileStamp stamp;
    if (!folder.IsOpen() || !folder.Stat(".", stamp) || !stamp.exists)
        return {};
    std::string place;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && PrivateFolder(runtime))
        place = std::string(runtime) + "/vocamint";
    else
        place = "/tmp/vocamint-" + std::to_string(::geteuid());
    if (!PrivateFolder(place))
        return {};
    char key[64];
    std::snprintf(key, sizeof key, "/%llx-%llx-", static_cast<unsigned long long>(stamp.device),
                  static_cast<unsigned long long>(stamp.inode));
    return place + key + std::string(fileName) + ".lock";
}
