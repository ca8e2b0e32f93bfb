// A folder held open, so that its files are found in it even after it was renamed or moved,
// and a whole-file reader and writer that work relative to it with names as bytes.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

// What identifies a version of a file without reading it.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t mtimeNs = 0;
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0; // permission bits only
    bool regular = false;

    bool SameVersion(const FileStamp& other) const {
        return exists == other.exists && device == other.device && inode == other.inode &&
               size == other.size && mtimeNs == other.mtimeNs;
    }
};

// The stamp of a file as fstat or stat found it.
FileStamp StampOf(const struct stat& info);

class Folder {
public:
    enum class Read { Ok, Missing, Failed };

    Folder() = default;
    ~Folder();
    Folder(Folder&& other) noexcept;
    Folder& operator=(Folder&& other) noexcept;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    // The current directory, or a folder by path; IsOpen() tells whether it worked.
    static Folder OpenCurrent();
    static Folder Open(const std::string& path);

    bool IsOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    // A path that reaches the folder wherever it now is (for APIs that take paths).
    std::string HandlePath() const;

    // Reads the whole of `name` into `bytes`. Anything but a regular file (or a link to one)
    // is refused without opening it blocking, so a FIFO cannot hang the caller.
    Read ReadAll(const std::string& name, std::string& bytes, FileStamp* stamp = nullptr) const;
    // The same a piece at a time, each given to `take` as it is read: for a caller that keeps
    // little of a large file, with no buffer the size of the file.
    Read ReadPieces(const std::string& name, const std::function<void(std::string_view)>& take,
                    FileStamp* stamp = nullptr) const;
    // The stamp of `name` (exists = false when it is missing); false when it cannot be known.
    bool Stat(const std::string& name, FileStamp& stamp) const;

    // The names of the folder's entries, "." and ".." left out; empty when it cannot be read.
    std::vector<std::string> Names() const;

    // A sub-folder for the files of a list stamped `like`, created when missing with the list's
    // owner and group, and open to others only as far as the list is: one who may not read the
    // list may not read the names of its backups either. A link is never followed: a `name`
    // that is one gives a folder that is not open.
    Folder OpenSub(const std::string& name, const FileStamp& like) const;
    // Whether `name` is a symbolic link.
    bool IsLink(const std::string& name) const;

private:
    explicit Folder(int fd) : m_fd(fd) {}
    int m_fd = -1;
};

// Removes the temporary files that FolderFile left for `name` in `folder` (a crash in the
// middle of a save) when they were last written before `before`. Only names of the exact
// form FolderFile makes, and only regular files, are touched.
void RemoveStaleTemps(const Folder& folder, const std::string& name, std::time_t before);

// Replaces one file of a folder so that its old content survives any failure: the new content
// goes to a temporary file beside it, which takes the old file's owner, group and mode, is
// synced and renamed over the old file; then the folder is synced.
class FolderFile {
public:
    FolderFile(const Folder& folder, std::string name);
    ~FolderFile();
    FolderFile(const FolderFile&) = delete;
    FolderFile& operator=(const FolderFile&) = delete;

    // False when the file may not be replaced: it is not a regular file, the learner made it
    // read-only (checked here since root may write anyway), or no file can be written there.
    // `like` gives owner and group of a new file, and the most its mode may allow (a file
    // that exists keeps its own).
    bool Open(const FileStamp* like = nullptr);
    // Whether Open had to rewrite the file in place (a folder that takes no new file).
    bool InPlace() const { return m_inPlace; }
    bool Write(std::string_view data);
    // Syncs and renames over the old file; `expected`, when given, must still describe the
    // file being replaced, else nothing is replaced and false is returned with `raced` set.
    bool Commit(const FileStamp* expected = nullptr, bool* raced = nullptr);

private:
    void Discard();

    const Folder& m_folder;
    std::string m_name;
    std::string m_temp;
    int m_fd = -1;
    bool m_inPlace = false;
    bool m_ok = true;
    bool m_truncated = false;
};

// What a new file beside `model` (a file of `folder`, such as the word list) takes: the
// model's owner and group, and at most its read and write bits (the owner's always), so that
// nothing written beside a private list can be read by more people than the list. When the model is
// missing, the folder's owner and group and its read and write bits.
FileStamp StampBeside(const Folder& folder, const std::string& model);

// Writes `bytes` as the new file `name` beside `model` (see StampBeside), safely as FolderFile
// does. False when it could not be written whole.
bool WriteBeside(const Folder& folder, const std::string& model, const std::string& name,
                 std::string_view bytes);
