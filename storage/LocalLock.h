// Where a folder's lock file lives: on this machine, outside the folder.
#pragma once

#include <string>
#include <string_view>

class Folder;

// A lock kept in the folder travels with it when a synchroniser copies the folder to another
// machine, where its process id means nothing and, coming from another host, it is never taken
// over. This path is in the user's runtime folder ($XDG_RUNTIME_DIR, else a private folder in
// /tmp), named by the folder's device and inode, so every path to one folder finds one lock.
// Empty when no private place can be made; the caller then keeps the lock in the folder.
std::string LocalLockPath(const Folder& folder, std::string_view fileName);
