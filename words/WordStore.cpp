#include "words/WordStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QHashFunctions>
#include <QLockFile>
#include <QString>
#include <QSysInfo>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "base/Counted.h"
#include "base/Progress.h"
#include "storage/Backups.h"
#include "storage/LocalLock.h"
#include "words/WordFile.h"
#include "words/WordFileFormat.h"
#include "words/WordList.h"
#include "words/WordTextReader.h"

namespace {

constexpr std::size_t kNamesShown = 8;
constexpr const char* kLockName = ".WL.txt.lock";
constexpr std::size_t kCutShortMinimum = 20;
constexpr std::size_t kWritePiece = 256 * 1024;

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

std::string OpenFailed(const std::string& path) {
    return "Open file " + Quoted(path) + " failed!";
}

std::string WriteFailed(const std::string& path) {
    return "Write file " + Quoted(path) + " failed!";
}

// "a, b and 3 more"
std::string Words(const std::vector<std::string>& words) {
    std::string text;
    for (std::size_t i = 0; i < words.size() && i < kNamesShown; ++i)
        text += (i == 0 ? "" : ", ") + words[i];
    if (words.size() > kNamesShown)
        text += " and " + std::to_string(words.size() - kNamesShown) + " more";
    return text;
}

// The folder part of the shown path, ending in '/', or empty.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string MergeMessage(const std::string& path, const MergeResult& merge) {
    std::string text = Quoted(path) + " was changed by another program while Vocamint ran; " +
                       "this run's changes were merged into it.";
    if (!merge.added.empty())
        text += "\nAdded after its entries: " + Counted(merge.added.size(), "word", "words") +
                " (" + Words(merge.added) + ").";
    if (!merge.dropped.empty())
        text += "\nNot added again, the file has them already: " + Words(merge.dropped) + ".";
    if (merge.edited > 0)
        text += "\nEdited: " + Counted(static_cast<std::size_t>(merge.edited), "entry", "entries") +
                ".";
    if (merge.deleted > 0)
        text +=
            "\nDeleted: " + Counted(static_cast<std::size_t>(merge.deleted), "entry", "entries") +
            ".";
    return text;
}

} // namespace

void ByteHash::Add(std::string_view bytes) {
    if (m_fill > 0) {
        const std::size_t take = std::min(bytes.size(), kBlock - m_fill);
        std::memcpy(m_block + m_fill, bytes.data(), take);
        m_fill += take;
        bytes.remove_prefix(take);
        if (m_fill < kBlock)
            return;
        AddBlock({m_block, kBlock});
        m_fill = 0;
    }
    for (; bytes.size() >= kBlock; bytes.remove_prefix(kBlock))
        AddBlock(bytes.substr(0, kBlock));
    if (!bytes.empty()) {
        std::memcpy(m_block, bytes.data(), bytes.size());
        m_fill = bytes.size();
    }
}

void ByteHash::AddBlock(std::string_view block) {
    m_hash = m_hash * 0x9E3779B97F4A7C15ull ^ qHashBits(block.data(), block.size(), 0x5eed);
}

std::uint64_t ByteHash::Finish() {
    AddBlock({m_block, m_fill});
    m_fill = 0;
    return m_hash;
}

std::uint64_t HashBytes(std::string_view bytes) {
    ByteHash hash;
    hash.Add(bytes);
    return hash.Finish();
}

WordStore::WordStore() : m_folder(Folder::OpenCurrent()), m_path(WordFilePath()) {
    RemoveLeftovers();
}

WordStore::WordStore(const std::string& folderPath)
    : m_folder(Folder::Open(folderPath)), m_path(folderPath + "/" + kFileName) {
    RemoveLeftovers();
}

// Temporary files of saves cut off by a crash. Another copy saving right now writes its own
// as it goes, so only files untouched for a while before this run started are taken.
void WordStore::RemoveLeftovers() {
    constexpr std::time_t kQuietSeconds = 10 * 60;
    RemoveStaleTemps(m_folder, kFileName, std::time(nullptr) - kQuietSeconds);
}

WordStore::~WordStore() = default;

// On this machine, outside the folder, where a synchroniser cannot carry it to another one;
// in the folder (through the held handle, so it stays with the list when the folder is renamed)
// only when no private place can be made.
std::string WordStore::LockPath() const {
    std::string path = LocalLockPath(m_folder, kFileName);
    if (path.empty())
        path = m_folder.HandlePath() + "/" + kLockName;
    return path;
}

namespace {

// The fourth line of a lock file: the unique id of the computer that took it, or empty.
std::string LockMachineId(const std::string& lockPath) {
    const int fd = ::open(lockPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    char text[1024];
    const ssize_t got = ::read(fd, text, sizeof text);
    ::close(fd);
    if (got <= 0)
        return {};
    std::string_view rest(text, static_cast<std::size_t>(got));
    for (int line = 0; line < 3; ++line) {
        const std::size_t end = rest.find('\n');
        if (end == std::string_view::npos)
            return {};
        rest.remove_prefix(end + 1);
    }
    const std::size_t end = rest.find('\n');
    return end == std::string_view::npos ? std::string() : std::string(rest.substr(0, end));
}

} // namespace

WordStore::LockState WordStore::Lock() {
    if (!m_folder.IsOpen())
        return LockState::NotNeeded;
    const std::string lockPath = LockPath();
    m_lock = std::make_unique<QLockFile>(QString::fromStdString(lockPath));
    // Only a dead owner makes a lock stale: a long session must not lose it.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return LockState::Taken;
    struct stat st {};
    const bool exists = ::lstat(lockPath.c_str(), &st) == 0;
    if (m_lock->error() == QLockFile::PermissionError && !exists)
        return LockState::NotNeeded;
    qint64 pid = 0;
    QString host;
    QString app;
    if (m_lock->error() == QLockFile::LockFailedError && exists && S_ISREG(st.st_mode) &&
        m_lock->getLockInfo(&pid, &host, &app) && pid > 0) {
        LockHolder holder;
        holder.running = ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
        const std::string hostText = host.toStdString();
        const std::string machineId = LockMachineId(lockPath);
        const QByteArray ourId = QSysInfo::machineUniqueId();
        const std::string ourHost = QSysInfo::machineHostName().toStdString();
        holder.host = hostText;
        holder.machineId = machineId;
        holder.ourHost = ourHost;
        holder.ourMachineId =
            std::string_view(ourId.constData(), static_cast<std::size_t>(ourId.size()));
        const LockState state = HeldLockState(holder);
        if (state == LockState::OtherHost)
            m_lockHost = hostText;
        return state;
    }
    return LockState::Unusable;
}

WordStore::LockState WordStore::HeldLockState(const LockHolder& holder) {
    // Qt tells machines apart by their unique ids where the lock has one, else by name.
    const bool here = holder.host.empty() ||
                      (holder.host == holder.ourHost &&
                       (holder.machineId.empty() || holder.machineId == holder.ourMachineId));
    if (!here)
        return LockState::OtherHost;
    return holder.running ? LockState::LiveCopy : LockState::Unusable;
}

std::string WordStore::LockNotice(LockState state) const {
    switch (state) {
    case LockState::Taken:
    case LockState::NotNeeded:
        return {};
    case LockState::LiveCopy:
        return "Another Vocamint has this word list open. Words added in both are merged when "
               "each one exits.";
    case LockState::OtherHost:
        return "A Vocamint on the computer '" + m_lockHost +
               "' opened this word list and may still have it open. Words added in both are "
               "merged when each one exits.";
    case LockState::Unusable:
        return "Vocamint could not use its lock file " + Quoted(LockPath()) +
               " (it is not an ordinary file, or cannot be read or changed), so another Vocamint "
               "opening this list will not know this one has it open. Saves still merge the "
               "words of both.";
    }
    return {};
}

bool WordStore::Load(WordList& words, std::string& message) {
    // Read a piece at a time, parsed and hashed as it comes: a buffer the size of the file
    // would double what start-up holds and cost every page of it faulted in.
    const std::uint32_t before = words.GetCount();
    WordList read;
    WordList& into = before == 0 ? words : read;
    WordTextReader reader(into);
    ByteHash hash;
    std::size_t size = 0;
    const auto take = [&](std::string_view piece) {
        reader.Feed(piece);
        hash.Add(piece);
        size += piece.size();
    };
    const Folder::Read result =
        m_folder.IsOpen() ? m_folder.ReadPieces(kFileName, take, &m_stamp) : Folder::Read::Failed;
    if (result == Folder::Read::Failed) {
        if (before == 0)
            words = WordList();
        m_readWhole = false;
        message = OpenFailed(m_path);
        return false;
    }
    m_betweenRecords = reader.BetweenRecords();
    reader.Finish();
    if (before > 0) {
        for (WordPos pos = read.Begin(); pos != read.End(); pos = read.Next(pos)) {
            const WordFields f = read.Fields(pos);
            words.AppendFields(f.number, f.word, f.spell, f.type, f.mean);
        }
    }
    m_hash = hash.Finish();
    m_bytes = size;
    words.MarkLoaded();
    // Entries that were in the list before the load are this run's own.
    for (WordPos pos = before == 0 ? words.End() : words.Begin(); pos != words.End();
         pos = words.Next(pos)) {
        const std::int32_t origin = words.Origin(pos);
        words.SetOrigin(pos, static_cast<std::uint32_t>(origin) < before
                                 ? -1
                                 : origin - static_cast<std::int32_t>(before));
    }
    m_loaded = words.GetCount() - before;
    return true;
}

struct WordStore::Appended {
    WordList tail;                    // the entries another writer appended
    std::vector<WordEntry> additions; // this run's additions that are kept, numbered
};

bool WordStore::MayBeAppended(std::size_t fileBytes, const WordList& words) const {
    const std::size_t loaded = m_loaded;
    if (!m_betweenRecords || fileBytes <= m_bytes || !words.OnlyAppendedSinceLoad() ||
        words.GetCount() < loaded)
        return false;
    // The loaded entries come first, as loaded; after them only this run's additions.
    if (loaded > 0 && words.Origin(words.PosAt(static_cast<std::uint32_t>(loaded - 1))) !=
                          static_cast<std::int32_t>(loaded - 1))
        return false;
    return words.GetCount() <= loaded ||
           words.Origin(words.PosAt(static_cast<std::uint32_t>(loaded))) < 0;
}

// What MergeWordLists gives for a file that is the loaded one with `tail` appended, and a run
// that only added: the file's entries, then the additions it does not have, numbered after
// its last entry. Only the tail is parsed.
MergeResult WordStore::MergeAppended(const WordList& words, std::size_t loaded,
                                     std::string_view tail, Appended& out) {
    MergeResult result;
    ParseWordText(tail, out.tail);
    std::vector<WordPos> additions;
    for (WordPos pos = words.PosAt(static_cast<std::uint32_t>(loaded)); pos != words.End();
         pos = words.Next(pos))
        additions.push_back(pos);
    const std::vector<std::string_view> wanted = WordsOf(words, additions);
    // The file is the loaded entries, then the appended ones.
    std::unordered_set<std::string_view> taken;
    for (const WordPos pos : words.FindWords(wanted)) {
        if (words.IndexOf(pos) < loaded)
            taken.insert(words.Fields(pos).word);
    }
    for (const WordPos pos : out.tail.FindWords(wanted))
        taken.insert(out.tail.Fields(pos).word);
    std::int32_t last = 0;
    if (out.tail.GetCount() > 0)
        last = out.tail.Fields(out.tail.Last()).number;
    else if (loaded > 0)
        last = words.Fields(words.PosAt(static_cast<std::uint32_t>(loaded - 1))).number;
    AddAfterLast(words, additions, taken, last, result, [&](const WordFields& fields) {
        out.additions.push_back({fields.number, std::string(fields.word), std::string(fields.spell),
                                 std::string(fields.type), std::string(fields.mean)});
    });
    return result;
}

std::string WordStore::CutShort(bool exists, std::size_t entries) const {
    const std::size_t had = m_loaded;
    if (!m_stamp.exists || had == 0)
        return {};
    if (!exists)
        return "removed";
    if (entries == 0)
        return "emptied";
    // A rewrite that keeps less than a tenth of a list of some length is taken for a file cut
    // short by mistake rather than entries deleted on purpose.
    if (had >= kCutShortMinimum && entries * 10 < had)
        return "cut to " + std::to_string(entries) + " of its " + std::to_string(had) + " entries";
    return {};
}

std::string WordStore::LastKnownText(const WordList& words) const {
    std::string text;
    for (WordPos pos = words.Begin(); pos != words.End(); pos = words.Next(pos)) {
        if (words.Origin(pos) >= 0)
            AppendWordLine(text, words.Fields(pos));
    }
    return text;
}

std::string WordStore::BackupFailed() const {
    std::string text = "Back up file " + Quoted(m_path) + " to '" + kBackupFolder + "' failed!";
    // Backups are written and old ones removed only inside the list's own folder.
    if (m_folder.IsLink(kBackupFolder))
        text += " '" + FolderOf(m_path) + kBackupFolder +
                "' is a link to another place; Vocamint keeps backups only in a folder of that "
                "name beside the list. Please rename the link.";
    return text + " The list was not saved.";
}

std::string WordStore::ConflictName() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string name = std::string("WL.conflict-") + stamp + ".txt";
    FileStamp existing;
    for (int n = 2; m_folder.Stat(name, existing) && existing.exists; ++n)
        name = std::string("WL.conflict-") + stamp + "-" + std::to_string(n) + ".txt";
    return name;
}

namespace {

// Writes entries as lines of the word file a piece at a time: one buffer the size of the list
// would cost its pages faulted in, and its copies as it grows.
class LineWriter {
public:
    explicit LineWriter(FolderFile& file) : m_file(file) { m_piece.reserve(kWritePiece + 4096); }

    void Put(const WordFields& fields) {
        AppendWordLine(m_piece, fields);
        ++m_entries;
        if (m_piece.size() >= kWritePiece)
            Flush();
    }
    // Writes what is left; whether every write worked.
    bool Finish() {
        Flush();
        return m_ok;
    }
    std::size_t Entries() const { return m_entries; }
    std::size_t Bytes() const { return m_bytes; }
    std::uint64_t Hash() { return m_hash.Finish(); }

private:
    void Flush() {
        m_ok = m_file.Write(m_piece) && m_ok;
        m_hash.Add(m_piece);
        m_bytes += m_piece.size();
        m_piece.clear();
    }

    FolderFile& m_file;
    std::string m_piece;
    ByteHash m_hash;
    std::size_t m_bytes = 0;
    std::size_t m_entries = 0;
    bool m_ok = true;
};

// The save's steps as one figure that only rises: reading the file on disk, when it changed,
// takes the first half, writing the rest. The last report, whatever the end, is the whole.
class SaveSteps {
public:
    static constexpr int kWritingFrom = Progress::kWhole / 2;

    explicit SaveSteps(Progress* progress) : m_progress(progress) {}
    ~SaveSteps() { Report(Progress::kWhole); }
    SaveSteps(const SaveSteps&) = delete;
    SaveSteps& operator=(const SaveSteps&) = delete;

    void Start(const char* what, int from, int to) {
        m_step = std::string("Saving ") + WordStore::kFileName + ": " + what;
        m_from = from;
        m_to = to;
        Report(from);
    }
    void Done(std::uint64_t done, std::uint64_t total) {
        const std::uint64_t part = total == 0 ? 1 : std::min(done, total);
        const std::uint64_t whole = total == 0 ? 1 : total;
        Report(m_from + static_cast<int>(static_cast<std::uint64_t>(m_to - m_from) * part / whole));
    }

private:
    void Report(int permille) {
        if (m_progress == nullptr)
            return;
        permille = std::max(permille, m_last);
        if (permille == m_last && m_step == m_reported)
            return;
        m_last = permille;
        m_reported = m_step;
        m_progress->Report(m_step, permille);
    }

    Progress* m_progress;
    std::string m_step = std::string("Saving ") + WordStore::kFileName;
    std::string m_reported;
    int m_from = 0;
    int m_to = 0;
    int m_last = -1;
};

} // namespace

bool WordStore::WriteList(const std::string& name, const WordList& words) {
    const FileStamp like = StampBeside(m_folder, kFileName);
    FolderFile file(m_folder, name);
    if (!file.Open(&like))
        return false;
    LineWriter lines(file);
    for (WordPos pos = words.Begin(); pos != words.End(); pos = words.Next(pos))
        lines.Put(words.Fields(pos));
    return lines.Finish() && file.Commit();
}

WordStore::SaveResult WordStore::Save(WordList& words, Progress* progress) {
    SaveSteps steps(progress);
    if (!m_folder.IsOpen())
        return {false, OpenFailed(m_path)};
    FileStamp folderStamp;
    m_folder.Stat(".", folderStamp);
    if (!m_readWhole) {
        // Never write over a list we did not see whole; keep this run's list beside it.
        const std::string kept = KeepAside(words);
        return {true, OpenFailed(m_path) +
                          "\n\nIt could not be read whole when Vocamint started, " +
                          "so it is left as it is." +
                          (!kept.empty() ? " This run's list is saved as " + Quoted(kept) + "."
                                         : " This run's list could not be saved either.")};
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::string addedBytes; // what follows the loaded text, when only that is new
        FileStamp disk;
        // A file whose inode, size and change time to the nanosecond are as loaded or last
        // saved is that version: it need not be read.
        const bool known = m_stamp.exists && m_folder.Stat(kFileName, disk) && disk.regular &&
                           disk.SameVersion(m_stamp);
        const auto diskBytes = [&] {
            return static_cast<std::uint64_t>(std::max<off_t>(disk.size, 0));
        };
        // A file only appended to since the load needs just its new text parsed. One that
        // grew likely was: its loaded part is hashed as it is read and only the rest is kept,
        // which spares a buffer the size of the list.
        bool appended = false;
        if (!known && disk.exists && disk.regular && disk.size > 0 &&
            MayBeAppended(static_cast<std::size_t>(disk.size), words)) {
            steps.Start("merging the changed file", 0, SaveSteps::kWritingFrom);
            const std::uint64_t total = diskBytes();
            ByteHash loadedPart;
            std::size_t seen = 0;
            const Folder::Read read = m_folder.ReadPieces(
                kFileName,
                [&](std::string_view piece) {
                    const std::size_t inLoaded =
                        std::min(piece.size(), m_bytes - std::min(seen, m_bytes));
                    loadedPart.Add(piece.substr(0, inLoaded));
                    addedBytes.append(piece.substr(inLoaded));
                    seen += piece.size();
                    steps.Done(seen, total);
                },
                &disk);
            if (read == Folder::Read::Failed)
                return {false, OpenFailed(m_path)};
            appended = read == Folder::Read::Ok && MayBeAppended(seen, words) &&
                       loadedPart.Finish() == m_hash;
            if (!appended)
                addedBytes.clear();
        }
        // Any other change: the file is parsed and hashed as it is read, a piece at a time,
        // into the one list the merge then makes its result of. A file merely touched is
        // told by its hash.
        WordList theirs;
        std::size_t found = 0; // bytes of the file as read
        std::uint64_t foundHash = 0;
        if (!known && !appended) {
            steps.Start("merging the changed file", 0, SaveSteps::kWritingFrom);
            const std::uint64_t total = diskBytes();
            WordTextReader reader(theirs);
            ByteHash hash;
            const Folder::Read read = m_folder.ReadPieces(
                kFileName,
                [&](std::string_view piece) {
                    reader.Feed(piece);
                    hash.Add(piece);
                    found += piece.size();
                    steps.Done(found, total);
                },
                &disk);
            if (read == Folder::Read::Failed)
                return {false, OpenFailed(m_path)};
            reader.Finish();
            foundHash = hash.Finish();
        }
        const bool changed =
            !known && (appended || disk.exists != m_stamp.exists || foundHash != m_hash);
        if (!changed)
            theirs = WordList();
        MergeResult merge;
        Appended tail;
        std::string cut; // how the file was cut short, when it was
        if (appended) {
            merge = MergeAppended(words, m_loaded, addedBytes, tail);
        } else if (changed) {
            cut = CutShort(disk.exists, theirs.GetCount());
        }
        const bool merged = changed && !appended && cut.empty();
        if (merged) {
            // Only the prints of the entries this run changed: a print of every entry would
            // cost a list's worth more while the file's list is held.
            std::unordered_map<std::int32_t, EntryPrint> changedPrints;
            for (const auto& [origin, print] : words.ChangedLoadedPrints())
                changedPrints.emplace(origin, print);
            const auto was = [&](std::size_t origin) -> const EntryPrint* {
                const auto found = changedPrints.find(static_cast<std::int32_t>(origin));
                return found == changedPrints.end() ? nullptr : &found->second;
            };
            merge = MergeWordLists(m_loaded, was, words, std::move(theirs));
            if (!merge.conflicts.empty()) {
                merge.merged = WordList();
                const std::string name = ConflictName();
                if (!WriteList(name, words))
                    return {false, WriteFailed(FolderOf(m_path) + name)};
                return {true, Quoted(m_path) +
                                  " was changed by another program while Vocamint ran, in "
                                  "entries this run changed too: " +
                                  Words(merge.conflicts) +
                                  ".\n\nIt is left as the other program wrote it; this run's "
                                  "list is saved as " +
                                  Quoted(FolderOf(m_path) + name) + "."};
            }
        }
        const WordList& out = merged ? merge.merged : words;
        FolderFile file(m_folder, kFileName);
        // A list removed behind our back comes back with the owner and mode it had.
        if (!file.Open(m_stamp.exists ? &m_stamp : &folderStamp))
            return {false, OpenFailed(m_path)};
        // An empty file is not worth a backup; what it replaced is. A file rewritten in place
        // keeps no link to its old self: it is copied.
        if (disk.exists && !(found == 0 && !cut.empty()) &&
            !BackUpInPlace(m_folder, kFileName, disk, !file.InPlace()))
            return {false, BackupFailed()};
        if (!cut.empty() && !BackUp(m_folder, kFileName, LastKnownText(words), m_stamp))
            return {false, BackupFailed()};
        LineWriter lines(file);
        const std::size_t total =
            appended ? m_loaded + tail.tail.GetCount() + tail.additions.size() : out.GetCount();
        steps.Start("writing the list", changed ? SaveSteps::kWritingFrom : 0, Progress::kWhole);
        const auto put = [&](const WordFields& fields) {
            lines.Put(fields);
            // A figure every few thousand entries is often enough, and costs nothing.
            if (lines.Entries() % 4096 == 0)
                steps.Done(lines.Entries(), total);
        };
        const auto putAll = [&](const WordList& list, std::size_t count) {
            WordPos pos = list.Begin();
            for (std::size_t i = 0; i < count && pos != list.End(); ++i, pos = list.Next(pos))
                put(list.Fields(pos));
        };
        if (appended) {
            putAll(words, m_loaded);
            putAll(tail.tail, tail.tail.GetCount());
            for (const WordEntry& entry : tail.additions)
                put(WordFields{entry.number, entry.word, entry.spell, entry.type, entry.mean});
        } else {
            putAll(out, out.GetCount());
        }
        const bool ok = lines.Finish();
        bool raced = false;
        if (!ok || !file.Commit(&disk, &raced)) {
            if (raced)
                continue; // changed again while we wrote: merge with that too
            return {false, WriteFailed(m_path)};
        }
        m_folder.Stat(kFileName, m_stamp);
        m_stamp.exists = true;
        m_hash = lines.Hash();
        m_bytes = lines.Bytes();
        m_betweenRecords = true;
        if (appended) {
            // The loaded entries stay as they are: the additions move behind the file's new
            // entries.
            words.TakeLast(words.GetCount() - m_loaded);
            for (WordPos pos = tail.tail.Begin(); pos != tail.tail.End(); pos = tail.tail.Next(pos))
                words.AppendCopy(tail.tail, pos, tail.tail.Fields(pos).number);
            for (const WordEntry& entry : tail.additions)
                words.Append(entry);
        } else if (merged) {
            words = std::move(merge.merged);
        }
        // Whatever this save wrote is what the next merge compares with.
        words.MarkLoaded();
        m_loaded = words.GetCount();
        if (!cut.empty())
            return {true,
                    Quoted(m_path) + " was " + cut +
                        " by another program while Vocamint ran. That is not taken as a "
                        "change to merge: Vocamint wrote back its " +
                        Counted(words.GetCount(), "word", "words") +
                        ", with this run's changes. The list as Vocamint had it before "
                        "is kept in '" +
                        kBackupFolder + "'" +
                        (found == 0 ? std::string(".") : ", and the file as it was found too."),
                    true};
        return {true, changed ? MergeMessage(m_path, merge) : std::string(), true};
    }
    return {false, WriteFailed(m_path)};
}

std::string WordStore::KeepAside(const WordList& words) {
    if (!m_folder.IsOpen())
        return {};
    const std::string name = ConflictName();
    if (!WriteList(name, words))
        return {};
    return FolderOf(m_path) + name;
}
