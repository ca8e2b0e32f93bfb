// Writes a whole file so that its old content survives any failure: the new content goes to a
// temporary file in the same folder, is synced, then replaces the old file in one rename.
#pragma once

#include <QSaveFile>
#include <string>
#include <string_view>

class SafeFile {
public:
    // Whether a file in a folder that takes no new file may be rewritten in place, the one
    // case that is not atomic: a failure then leaves it cut short.
    enum class InPlace { Allowed, Refused };

    explicit SafeFile(const std::string& path, InPlace inPlace = InPlace::Allowed);

    // False when the file may not be replaced: the learner made it read-only (no write bit;
    // checked here since root may write anyway), the path does not name it faithfully, or no
    // file can be written there.
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
