// Writes a whole file so that its old content survives any failure: the new content goes to a
// temporary file in the same folder, is synced, then replaces the old file in one rename.
#pragma once

#include <QSaveFile>
#include <string>
#include <string_view>

class SafeFile {
public:
    explicit SafeFile(const std::string& path);

    // False when the file may not be replaced: the learner made it read-only (no write bit;
    // checked here since root may write anyway), the path does not name it faithfully, or no
    // file can be written there. In a folder that takes no new file, a writable file is
    // rewritten in place instead, which is the one case that is not atomic.
    bool Open();
    bool Write(std::string_view data);
    // Flushes, syncs, renames over the old file and syncs the folder; false on any failure,
    // in which case the temporary file is removed and the old file left as it was.
    bool Commit();

private:
    std::string m_path;
    QSaveFile m_file;
    bool m_ok = true;
};
