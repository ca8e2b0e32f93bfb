// The word list's session with its folder, against real files, permissions and processes:
// unreadable lists, FIFOs, other writers, renamed folders, odd folder names, root's saves,
// backups and crashes in the middle of a save.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "base/Progress.h"
#include "storage/Backups.h"
#include "tests/support/FileBytes.h"
#include "words/WordFileFormat.h"
#include "words/WordList.h"
#include "words/WordMerge.h"
#include "words/WordStore.h"
#include "words/WordTextReader.h"

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

std::string Lines(int from, int to) {
    std::string text;
    for (int i = from; i <= to; ++i)
        text += std::to_string(i) + " word" + std::to_string(i) + " s n. m\r\n";
    return text;
}

WordEntry Entry(const std::string& word) {
    return {0, word, "", "n.", "meaning"};
}

// Adds a word the way the window does: numbered after the list's count.
void Add(WordList& words, const std::string& word) {
    WordEntry entry = Entry(word);
    entry.number = static_cast<std::int32_t>(words.GetCount() + 1);
    words.Append(entry);
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(folder, error))
        names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs `body` in a child process, as nobody when asked; true when it exits with 0.
template <class Body> bool InChild(Body body, bool unprivileged = false) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (unprivileged && ::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(3);
        ::alarm(20); // a hang fails the test instead of stopping it
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class WordStoreTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vocamint-store-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        fs::permissions(dir_, fs::perms::all);
    }
    void TearDown() override {
        std::error_code error;
        for (const auto& item : fs::recursive_directory_iterator(dir_, error))
            fs::permissions(item.path(), fs::perms::owner_all, fs::perm_options::add, error);
        fs::remove_all(dir_, error);
    }
    fs::path dir_;
};

// Fault 1: a list that cannot be read whole is never written over.
TEST_F(WordStoreTest, UnreadableListIsNeverWrittenOver) {
    const std::string old = Lines(1, 25);
    WriteBytes(dir_ / "WL.txt", old);
    ::chmod((dir_ / "WL.txt").c_str(), 0200);
    const std::string folder = dir_.string();
    EXPECT_TRUE(InChild(
        [&] {
            WordStore store(folder);
            WordList words;
            std::string message;
            if (store.Load(words, message) ||
                message != "Open file '" + folder + "/WL.txt' failed!")
                return false;
            Add(words, "pear");
            const WordStore::SaveResult saved = store.Save(words);
            // Refused, but the window may end: the run's list is kept beside it.
            return saved.done && saved.message.find("failed!") != std::string::npos &&
                   saved.message.find("WL.conflict-") != std::string::npos;
        },
        true));
    ::chmod((dir_ / "WL.txt").c_str(), 0644);
    EXPECT_EQ(ReadBytes(dir_ / "WL.txt"), old);
    const std::vector<std::string> names = Names(dir_);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].rfind("WL.conflict-", 0), 0u);
    EXPECT_EQ(ReadBytes(dir_ / names[0]), "1 pear \\e n. meaning\r\n");
}

// Fault 8: FIFOs, devices and folders are refused at once, never opened blocking.
TEST_F(WordStoreTest, SpecialFilesAreRefusedWithoutBlocking) {
    ASSERT_EQ(::mkfifo((dir_ / "WL.txt").c_str(), 0666), 0);
    const std::string folder = dir_.string();
    EXPECT_TRUE(InChild([&] {
        WordStore store(folder);
        WordList words;
        std::string message;
        if (store.Load(words, message))
            return false;
        Add(words, "pear");
        return !store.Save(words).message.empty();
    }));
    EXPECT_TRUE(fs::is_fifo(dir_ / "WL.txt"));
    Folder handle = Folder::Open(folder);
    std::string bytes;
    fs::create_directory(dir_ / "sub");
    ::symlink("/dev/zero", (dir_ / "zero").c_str());
    for (const char* name : {"WL.txt", "sub", "zero"})
        EXPECT_EQ(handle.ReadAll(name, bytes), Folder::Read::Failed) << name;
    EXPECT_EQ(handle.ReadAll("missing", bytes), Folder::Read::Missing);
}

// A file's size is only a hint: one that says it is empty or shorter than it is (as the
// kernel's own files do) is still read whole, and one that fits its size exactly too.
TEST_F(WordStoreTest, ReadingDoesNotTrustTheFileSize) {
    Folder proc = Folder::Open("/proc/self");
    std::string bytes;
    ASSERT_EQ(proc.ReadAll("status", bytes), Folder::Read::Ok);
    EXPECT_EQ(bytes.rfind("Name:", 0), 0u);
    EXPECT_NE(bytes.find("\nPid:"), std::string::npos);
    const std::string whole(3 << 20, 'x'); // larger than one step of growth
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, whole.size()}) {
        WriteBytes(dir_ / "f", whole.substr(0, size));
        ASSERT_EQ(Folder::Open(dir_.string()).ReadAll("f", bytes), Folder::Read::Ok);
        EXPECT_EQ(bytes.size(), size);
    }
}

// Fault 2: two real processes add a word each; both words survive, and a line another
// program appended meanwhile survives too.
TEST_F(WordStoreTest, TwoCopiesAndAnotherWriterAllKeepTheirWords) {
    WriteBytes(dir_ / "WL.txt", Lines(1, 3));
    const std::string folder = dir_.string();
    int ready[2], go[2][2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(go[0]), 0);
    ASSERT_EQ(::pipe(go[1]), 0);
    // Each copy loads, adds its word, says it is ready, then saves when told.
    const auto copy = [&](const std::string& word, int turn) {
        return [&, word, turn] {
            WordStore store(folder);
            WordList words;
            std::string message;
            if (!store.Load(words, message))
                return false;
            Add(words, word);
            char byte = 1;
            if (::write(ready[1], &byte, 1) != 1 || ::read(go[turn][0], &byte, 1) != 1)
                return false;
            return store.Save(words).done;
        };
    };
    std::vector<pid_t> children;
    for (const char* word : {"apple", "pear"}) {
        const int turn = static_cast<int>(children.size());
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(copy(word, turn)() ? 0 : 1);
        children.push_back(child);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    std::ofstream(dir_ / "WL.txt", std::ios::app) << "4 other s n. m\r\n";
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(::write(go[i][1], &byte, 1), 1);
        int status = 0;
        // One at a time, so that the second must merge with the first.
        ::waitpid(children[static_cast<std::size_t>(i)], &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::string saved = ReadBytes(dir_ / "WL.txt");
    EXPECT_EQ(saved.substr(0, Lines(1, 3).size()), Lines(1, 3));
    for (const char* line :
         {"4 other s n. m\r\n", "5 apple \\e n. meaning\r\n", "6 pear \\e n. meaning\r\n"})
        EXPECT_NE(saved.find(line), std::string::npos) << line << "\n" << saved;
    EXPECT_EQ(saved.size(), Lines(1, 3).size() + 16 + 23 + 22);
}

TEST_F(WordStoreTest, MergeIsReportedAndAnAdditionTheFileHasIsDropped) {
    WriteBytes(dir_ / "WL.txt", Lines(1, 2));
    WordStore store(dir_.string());
    WordList words;
    std::string message;
    ASSERT_TRUE(store.Load(words, message));
    Add(words, "pear");
    Add(words, "plum");
    WriteBytes(dir_ / "WL.txt", Lines(1, 2) + "3 plum x n. y\r\n");
    const WordStore::SaveResult saved = store.Save(words);
    EXPECT_TRUE(saved.done);
    EXPECT_NE(saved.message.find("was changed by another program"), std::string::npos);
    EXPECT_NE(saved.message.find("plum"), std::string::npos);
    EXPECT_EQ(ReadBytes(dir_ / "WL.txt"),
              Lines(1, 2) + "3 plum x n. y\r\n4 pear \\e n. meaning\r\n");
    EXPECT_EQ(words.GetCount(), 4u);
    // The merged list is now what was loaded: a second save needs no merge.
    Add(words, "fig");
    EXPECT_EQ(store.Save(words).message, "");
}

// Any number of saves in one run merge with what another program wrote between them: an entry
// this run edited and saved is this run's no more, so a later change elsewhere is no conflict.
TEST_F(WordStoreTest, LaterSavesMergeAfterAnEditWasSaved) {
    struct Case {
        const char* name;
        void (*between)(WordList&); // what this run does after its first save
        std::string expected;
    };
    const auto entry = [](int n, const char* word, const char* mean) {
        return std::to_string(n) + " " + word + " s n. " + mean + "\r\n";
    };
    const std::vector<Case> cases = {
        {"nothing more", [](WordList&) {},
         entry(1, "word1", "edited") + entry(2, "word2", "m") + entry(3, "word3", "theirs")},
        {"another edit",
         [](WordList& words) {
             WordEntry second = words.At(words.PosAt(1));
             second.mean = "again";
             words.Replace(words.PosAt(1), second);
         },
         entry(1, "word1", "edited") + entry(2, "word2", "again") + entry(3, "word3", "theirs")},
        {"an addition", [](WordList& words) { Add(words, "pear"); },
         entry(1, "word1", "edited") + entry(2, "word2", "m") + entry(3, "word3", "theirs") +
             "4 pear \\e n. meaning\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir_ / "backups");
        WriteBytes(dir_ / "WL.txt", Lines(1, 3));
        const std::string folder = dir_.string();
        int saved[2], go[2];
        ASSERT_EQ(::pipe(saved), 0);
        ASSERT_EQ(::pipe(go), 0);
        // A copy of its own that edits, saves, waits for the other writer, then saves again.
        const pid_t child = ::fork();
        if (child == 0) {
            ::alarm(20);
            WordStore store(folder);
            WordList words;
            std::string message;
            if (!store.Load(words, message))
                ::_exit(2);
            WordEntry first = words.At(words.Begin());
            first.mean = "edited";
            words.Replace(words.Begin(), first);
            char byte = 1;
            if (!store.Save(words).done || ::write(saved[1], &byte, 1) != 1 ||
                ::read(go[0], &byte, 1) != 1)
                ::_exit(3);
            c.between(words);
            const WordStore::SaveResult result = store.Save(words);
            ::_exit(result.done && result.message.find("changed too") == std::string::npos ? 0 : 4);
        }
        char byte = 0;
        ASSERT_EQ(::read(saved[0], &byte, 1), 1);
        std::string theirs = ReadBytes(dir_ / "WL.txt");
        const std::size_t at = theirs.rfind(" m\r\n");
        theirs.replace(at, 5, " theirs\r\n");
        WriteBytes(dir_ / "WL.txt", theirs);
        ASSERT_EQ(::write(go[1], &byte, 1), 1);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_EQ(ReadBytes(dir_ / "WL.txt"), c.expected);
        for (const std::string& name : Names(dir_))
            EXPECT_EQ(name.find("conflict"), std::string::npos) << name;
        for (int fd : {saved[0], saved[1], go[0], go[1]})
            ::close(fd);
    }
}

// A file another writer only appended to is merged from its new text alone; whatever path the
// save takes, the file and the list must come out as the full merge of the whole file makes them.
TEST_F(WordStoreTest, AppendedFileSavesAsTheFullMergeDoes) {
    struct Case {
        const char* name;
        std::string loaded;
        std::string appended;
        std::vector<std::string> additions;
        bool editFirst = false; // this run also edits the first loaded entry
    };
    const std::vector<Case> cases = {
        {"one entry appended", Lines(1, 2), "3 fig x n. y\r\n", {"pear"}},
        {"the writer added one of our words", Lines(1, 2), "3 plum x n. y\r\n", {"pear", "plum"}},
        {"an addition the loaded list has", Lines(1, 2), "3 fig x n. y\r\n", {"word1", "pear"}},
        {"line feeds, tabs and gaps in numbers", "1  a s n. m\n", "7\tq r n. t\n", {"pear"}},
        {"escaped fields appended", Lines(1, 1), "2 a\\sb \\e n. m\r\n", {"a b", "pear"}},
        {"an empty list", "", Lines(1, 3), {"pear"}},
        {"appended text without a whole record", Lines(1, 2), "9 half", {"pear"}},
        {"loaded text ends inside a record",
         "1 a s n. m\r\n2 b s n.",
         " m2\r\n3 c s n. m\r\n",
         {"pear"}},
        {"loaded text ends inside a token", "1 a s n. m", "x\r\n2 b s n. m\r\n", {"pear"}},
        {"many entries appended", Lines(1, 50), Lines(51, 400), {"word7", "pear", "word300"}},
        {"a list longer than a piece read at a time",
         Lines(1, 20000),
         Lines(20001, 20003),
         {"pear", "word20002"}},
        {"this run edited too", Lines(1, 3), "4 fig x n. y\r\n", {"pear"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto change = [&](WordList& words) {
            if (c.editFirst && words.GetCount() > 0) {
                WordEntry edited = words.At(words.Begin());
                edited.mean = "edited";
                words.Replace(words.Begin(), edited);
            }
            for (const std::string& word : c.additions)
                Add(words, word);
        };
        // The full merge, over the whole file as it is now.
        WordList ours;
        ParseWordText(c.loaded, ours);
        ours.MarkLoaded();
        const std::vector<EntryPrint> base = PrintEntries(ours);
        change(ours);
        WordList theirs;
        ParseWordText(c.loaded + c.appended, theirs);
        const MergeResult full = MergeWordLists(base, ours, std::move(theirs));
        ASSERT_TRUE(full.conflicts.empty());
        const std::string expected = FormatWordFile(full.merged);

        fs::remove(dir_ / "WL.txt");
        WriteBytes(dir_ / "WL.txt", c.loaded);
        WordStore store(dir_.string());
        WordList words;
        std::string message;
        ASSERT_TRUE(store.Load(words, message));
        change(words);
        WriteBytes(dir_ / "WL.txt", c.loaded + c.appended);
        const WordStore::SaveResult saved = store.Save(words);
        EXPECT_TRUE(saved.done);
        EXPECT_EQ(ReadBytes(dir_ / "WL.txt"), expected);
        EXPECT_EQ(FormatWordFile(words), expected);
        for (const std::string& word : full.dropped)
            EXPECT_NE(saved.message.find(word), std::string::npos) << saved.message;
        // What was saved now stands for the file: another append merges again, no change
        // saves without a merge.
        const std::string more = "100000 later z n. w\r\n";
        WriteBytes(dir_ / "WL.txt", expected + more);
        Add(words, "late");
        ASSERT_TRUE(store.Save(words).done);
        EXPECT_EQ(ReadBytes(dir_ / "WL.txt"), expected + more + "100001 late \\e n. meaning\r\n");
        EXPECT_EQ(store.Save(words).message, "");
    }
}

// A file that grew is read a piece at a time with only its loaded part hashed; when that part
// changed too, the save must merge the whole file, as if it had been read whole.
TEST_F(WordStoreTest, GrownFileWhoseLoadedPartChangedIsMergedWhole) {
    const std::string big = Lines(1, 20000); // longer than a piece read at a time
    struct Case {
        const char* name;
        std::string loaded;
        std::string now;
    };
    std::string lastByteChanged = big;
    lastByteChanged[big.size() - 3] = 'x'; // "m\r\n" of the last loaded entry becomes "x\r\n"
    std::string middleEdited = big;
    middleEdited.replace(middleEdited.find(" word10000 "), 11, " other1000 ");
    const std::vector<Case> cases = {
        {"an entry edited and one appended", Lines(1, 3),
         "1 word1 s n. m\r\n2 other s n. m\r\n3 word3 s n. m\r\n4 fig x n. y\r\n"},
        {"the first byte changed", big, "9" + big.substr(1) + Lines(20001, 20001)},
        {"the last loaded byte changed", big, lastByteChanged + Lines(20001, 20002)},
        {"an entry in the middle edited", big, middleEdited + Lines(20001, 20001)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WordList ours;
        ParseWordText(c.loaded, ours);
        ours.MarkLoaded();
        const std::vector<EntryPrint> base = PrintEntries(ours);
        Add(ours, "pear");
        WordList theirs;
        ParseWordText(c.now, theirs);
        const MergeResult full = MergeWordLists(base, ours, std::move(theirs));
        ASSERT_TRUE(full.conflicts.empty());

        fs::remove(dir_ / "WL.txt");
        WriteBytes(dir_ / "WL.txt", c.loaded);
        WordStore store(dir_.string());
        WordList words;
        std::string message;
        ASSERT_TRUE(store.Load(words, message));
        Add(words, "pear");
        WriteBytes(dir_ / "WL.txt", c.now);
        ASSERT_TRUE(store.Save(words).done);
        EXPECT_EQ(ReadBytes(dir_ / "WL.txt"), FormatWordFile(full.merged));
        EXPECT_EQ(FormatWordFile(words), FormatWordFile(full.merged));
    }
}

// A file another program rewrote whole (a new file renamed over it, as editors and
// synchronisers do) is parsed as it is read, into the list the merge makes its result of; the
// file and the list must come out as the merge of the whole file does, conflicts included.
TEST_F(WordStoreTest, RewrittenFileSavesAsTheFullMergeDoes) {
    const int count = 30000; // longer than a few pieces read at a time
    std::string tenthChanged;
    for (int i = 1; i <= count; ++i)
        tenthChanged += std::to_string(i) + " word" + std::to_string(i) + " s n. " +
                        (i % 10 == 0 ? "changed" : "m") + "\r\n";
    struct Case {
        const char* name;
        std::string now;           // the file as the other program left it
        void (*change)(WordList&); // what this run did
        bool merged;               // the learner is told of a merge
        const char* conflict = ""; // the word of a conflict, if there is one
    };
    const auto editAndAdd = [](WordList& words) {
        for (std::uint32_t i = 4; i < words.GetCount(); i += 1000) {
            WordEntry entry = words.At(words.PosAt(i));
            entry.mean = "ours";
            words.Replace(words.PosAt(i), entry);
        }
        Add(words, "pear");
    };
    const auto deleteSome = [](WordList& words) {
        for (const std::uint32_t index : {29000u, 15000u, 2u})
            words.Remove(words.PosAt(index), true);
    };
    const auto editTenth = [](WordList& words) {
        WordEntry entry = words.At(words.PosAt(9));
        entry.mean = "ours";
        words.Replace(words.PosAt(9), entry);
    };
    const std::vector<Case> cases = {
        {"every tenth entry changed, ours edited and added", tenthChanged, editAndAdd, true},
        {"every tenth entry changed, ours deleted", tenthChanged, deleteSome, true},
        {"the same bytes written again", Lines(1, count), editAndAdd, false},
        {"both changed one entry", tenthChanged, editTenth, true, "word10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string loaded = Lines(1, count);
        WordList ours;
        ParseWordText(loaded, ours);
        ours.MarkLoaded();
        const std::vector<EntryPrint> base = PrintEntries(ours);
        c.change(ours);
        WordList theirs;
        ParseWordText(c.now, theirs);
        MergeResult full = MergeWordLists(base, ours, std::move(theirs));

        fs::remove_all(dir_);
        fs::create_directory(dir_);
        WriteBytes(dir_ / "WL.txt", loaded);
        WordStore store(dir_.string());
        WordList words;
        std::string message;
        ASSERT_TRUE(store.Load(words, message));
        c.change(words);
        WriteBytes(dir_ / "WL.new", c.now);
        fs::rename(dir_ / "WL.new", dir_ / "WL.txt");
        const WordStore::SaveResult saved = store.Save(words);
        EXPECT_TRUE(saved.done);
        EXPECT_EQ(saved.message.find("changed by another program") != std::string::npos, c.merged)
            << saved.message;
        if (*c.conflict != 0) {
            EXPECT_EQ(full.conflicts, std::vector<std::string>{c.conflict});
            EXPECT_NE(saved.message.find(c.conflict), std::string::npos) << saved.message;
            EXPECT_EQ(ReadBytes(dir_ / "WL.txt"), c.now);
            std::string kept;
            for (const std::string& name : Names(dir_))
                if (name.rfind("WL.conflict-", 0) == 0)
                    kept = ReadBytes(dir_ / name);
            EXPECT_EQ(kept, FormatWordFile(ours));
            continue;
        }
        ASSERT_TRUE(full.conflicts.empty());
        EXPECT_EQ(ReadBytes(dir_ / "WL.txt"), FormatWordFile(full.merged));
        EXPECT_EQ(FormatWordFile(words), FormatWordFile(full.merged));
        // The replaced file is kept as it was found.
        std::vector<std::string> backups = Names(dir_ / "backups");
        ASSERT_EQ(backups.size(), 1u);
        EXPECT_EQ(ReadBytes(dir_ / "backups" / backups[0]), c.now);
        // What was saved stands for the file now: the next save merges nothing.
        Add(words, "fig");
        EXPECT_EQ(store.Save(words).message, "");
    }
}

// Each save tells its progress hook what it is doing, with figures that only rise, and ends
// with the whole, whatever way it went.
TEST_F(WordStoreTest, SaveReportsRisingProgressEndingWithTheWhole) {
    struct Reported {
        std::string step;
        int permille;
    };
    struct Recorder : Progress {
        std::vector<Reported> reports;
        void Report(std::string_view step, int permille) override {
            reports.push_back({std::string(step), permille});
        }
    };
    const int count = 30000;
    const std::string loaded = Lines(1, count);
    const std::string merging = "Saving WL.txt: merging the changed file";
    const std::string writing = "Saving WL.txt: writing the list";
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> behind; // what another program does meanwhile
        bool editFirst;                              // this run edits entry 1 (else it adds)
        std::vector<std::string> steps;              // the steps, in order
    };
    std::string firstChanged = loaded;
    firstChanged.replace(firstChanged.find(" m\r\n"), 4, " x\r\n");
    const std::vector<Case> cases = {
        {"a plain save", [](const fs::path&) {}, false, {writing}},
        {"a file appended to",
         [](const fs::path& f) { std::ofstream(f, std::ios::app) << "x y z n. w\r\n"; },
         false,
         {merging, writing}},
        {"a file rewritten",
         [&](const fs::path& f) { WriteBytes(f, Lines(1, count - 1)); },
         true,
         {merging, writing}},
        {"a conflict", [&](const fs::path& f) { WriteBytes(f, firstChanged); }, true, {merging}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir_);
        fs::create_directory(dir_);
        WriteBytes(dir_ / "WL.txt", loaded);
        WordStore store(dir_.string());
        WordList words;
        std::string message;
        ASSERT_TRUE(store.Load(words, message));
        if (c.editFirst) {
            WordEntry entry = words.At(words.Begin());
            entry.mean = "ours";
            words.Replace(words.Begin(), entry);
        } else {
            Add(words, "pear");
        }
        c.behind(dir_ / "WL.txt");
        Recorder progress;
        ASSERT_TRUE(store.Save(words, &progress).done);
        const std::vector<Reported>& reports = progress.reports;
        ASSERT_FALSE(reports.empty());
        std::vector<std::string> steps;
        bool between = false;
        for (std::size_t i = 0; i < reports.size(); ++i) {
            if (steps.empty() || steps.back() != reports[i].step)
                steps.push_back(reports[i].step);
            if (i > 0) {
                EXPECT_GE(reports[i].permille, reports[i - 1].permille) << i;
            }
            between = between || (reports[i].permille > 0 && reports[i].permille < 1000);
        }
        EXPECT_EQ(steps, c.steps);
        EXPECT_TRUE(between);
        EXPECT_EQ(reports.back().permille, Progress::kWhole);
        EXPECT_EQ(std::count_if(reports.begin(), reports.end(),
                                [](const Reported& r) { return r.permille == Progress::kWhole; }),
                  1);
    }
}

// A list emptied, removed or cut to a few entries behind the window is no change to merge: the
// loaded words are written back with this run's, and the last good copy is kept as a backup.
TEST_F(WordStoreTest, AListCutShortBehindOurBackIsWrittenBack) {
    struct Case {
        const char* name;
        int loaded;
        std::function<void(const fs::path&)> cut; // what the other program does
        const char* told;                         // part of the message; empty: a plain merge
        std::string expected;                     // WL.txt afterwards
    };
    const std::string pear = "4 pear \\e n. meaning\r\n";
    const std::vector<Case> cases = {
        {"truncated", 30, [](const fs::path& f) { fs::resize_file(f, 0); }, "was emptied",
         Lines(1, 30) + "31 pear \\e n. meaning\r\n"},
        {"removed", 3, [](const fs::path& f) { fs::remove(f); }, "was removed", Lines(1, 3) + pear},
        {"no whole record left", 3, [](const fs::path& f) { WriteBytes(f, "1 half"); },
         "was emptied", Lines(1, 3) + pear},
        {"cut to a tenth", 30, [](const fs::path& f) { WriteBytes(f, Lines(1, 2)); },
         "was cut to 2 of its 30 entries", Lines(1, 30) + "31 pear \\e n. meaning\r\n"},
        {"a short list cut on purpose", 3, [](const fs::path& f) { WriteBytes(f, Lines(1, 1)); },
         "", Lines(1, 1) + "2 pear \\e n. meaning\r\n"},
        {"a few entries deleted", 30, [](const fs::path& f) { WriteBytes(f, Lines(1, 20)); }, "",
         Lines(1, 20) + "21 pear \\e n. meaning\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir_ / "backups");
        const std::string loaded = Lines(1, c.loaded);
        WriteBytes(dir_ / "WL.txt", loaded);
        ASSERT_EQ(::chmod((dir_ / "WL.txt").c_str(), 0640), 0);
        WordStore store(dir_.string());
        WordList words;
        std::string message;
        ASSERT_TRUE(store.Load(words, message));
        Add(words, "pear");
        c.cut(dir_ / "WL.txt");
        const std::string found = fs::exists(dir_ / "WL.txt") ? ReadBytes(dir_ / "WL.txt") : "";
        const WordStore::SaveResult saved = store.Save(words);
        EXPECT_TRUE(saved.done);
        EXPECT_EQ(ReadBytes(dir_ / "WL.txt"), c.expected);
        EXPECT_EQ(FormatWordFile(words), c.expected);
        if (*c.told == 0) {
            EXPECT_NE(saved.message.find("merged"), std::string::npos) << saved.message;
            continue;
        }
        EXPECT_NE(saved.message.find(c.told), std::string::npos) << saved.message;
        struct stat info {};
        ASSERT_EQ(::stat((dir_ / "WL.txt").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0640u);
        // The last good copy is among the backups, and with it the file as found unless empty.
        std::vector<std::string> backups;
        for (const std::string& name : Names(dir_ / "backups"))
            backups.push_back(ReadBytes(dir_ / "backups" / name));
        EXPECT_NE(std::find(backups.begin(), backups.end(), loaded), backups.end());
        EXPECT_EQ(std::count(backups.begin(), backups.end(), std::string()), 0);
        EXPECT_EQ(backups.size(), found.empty() ? 1u : 2u);
        // What was written back is now the list: the next save is a plain one.
        Add(words, "fig");
        EXPECT_EQ(store.Save(words).message, "");
    }
}

// Opening the folder removes temporary files of saves cut off long ago, and nothing else.
TEST_F(WordStoreTest, OpeningRemovesOnlyOldTemporaryFilesOfOurSaves) {
    struct Leftover {
        const char* name;
        bool old;
        bool folder;
        bool removed;
    };
    const std::vector<Leftover> leftovers = {
        {".WL.txt.tmp-0123456789ab", true, false, true},
        {".WL.txt.tmp-00000000000a", false, false, false}, // a copy may be saving now
        {".WL.txt.tmp-0123456789", true, false, false},
        {".WL.txt.tmp-0123456789AB", true, false, false},
        {".WL.txt.tmp-0123456789abc", true, false, false},
        {"WL.txt.tmp-0123456789ab", true, false, false},
        {".env.ini.tmp-0123456789ab", true, false, false},
        {".WL.txt.tmp-aaaaaaaaaaaa", true, true, false},
    };
    const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const Leftover& item : leftovers) {
        const fs::path path = dir_ / item.name;
        if (item.folder)
            fs::create_directory(path);
        else
            WriteBytes(path, "partial");
        if (item.old)
            fs::last_write_time(path, hourAgo);
    }
    WriteBytes(dir_ / "WL.txt", Lines(1, 2));
    WordStore store(dir_.string());
    for (const Leftover& item : leftovers)
        EXPECT_EQ(fs::exists(dir_ / item.name), !item.removed) << item.name;
    EXPECT_EQ(ReadBytes(dir_ / "WL.txt"), Lines(1, 2));
}

// Faults 3 and 4: the folder that was opened, whatever its name and wherever it moved.
TEST_F(WordStoreTest, SavesInTheFolderItOpenedWhateverItsNameOrPlace) {
    for (const std::string& name : {std::string("\xff\xfe"), std::string("\xd6\xd0\xce\xc4")}) {
        const fs::path folder = dir_ / name;
        const fs::path moved = dir_ / ("moved" + name);
        fs::create_directory(folder);
        WriteBytes(folder / "WL.txt", Lines(1, 2));
        WordStore store(folder.string());
        WordList words;
        std::string message;
        ASSERT_TRUE(store.Load(words, message));
        Add(words, "pear");
        fs::rename(folder, moved);
        fs::create_directory(folder);
        WriteBytes(folder / "WL.txt", "1 another list s m\r\n");
        EXPECT_TRUE(store.Save(words).done);
        EXPECT_EQ(ReadBytes(moved / "WL.txt"), Lines(1, 2) + "3 pear \\e n. meaning\r\n");
        EXPECT_EQ(ReadBytes(folder / "WL.txt"), "1 another list s m\r\n");
        EXPECT_EQ(Names(folder), std::vector<std::string>{"WL.txt"});
    }
}

// Fault 5: root saving a learner's file leaves it the learner's, mode and all.
TEST_F(WordStoreTest, SaveKeepsOwnerGroupAndMode) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to own files as another user";
    WriteBytes(dir_ / "WL.txt", Lines(1, 2));
    ASSERT_EQ(::chown((dir_ / "WL.txt").c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chmod((dir_ / "WL.txt").c_str(), 0640), 0);
    WordStore store(dir_.string());
    WordList words;
    std::string message;
    ASSERT_TRUE(store.Load(words, message));
    Add(words, "pear");
    ASSERT_TRUE(store.Save(words).done);
    for (const fs::path& file : {dir_ / "WL.txt", dir_ / "backups" / Names(dir_ / "backups")[0]}) {
        struct stat info {};
        ASSERT_EQ(::stat(file.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, kNobody) << file;
        EXPECT_EQ(info.st_gid, kNobody) << file;
        EXPECT_EQ(info.st_mode & 07777, 0640u) << file;
    }
}

TEST_F(WordStoreTest, EachSaveKeepsTheReplacedVersionAndFailedBackupsStopTheSave) {
    WriteBytes(dir_ / "WL.txt", Lines(1, 1));
    WordStore store(dir_.string());
    WordList words;
    std::string message;
    ASSERT_TRUE(store.Load(words, message));
    std::vector<std::string> versions{ReadBytes(dir_ / "WL.txt")};
    for (int i = 0; i < 12; ++i) {
        Add(words, "w" + std::to_string(i));
        ASSERT_TRUE(store.Save(words).done);
        versions.push_back(ReadBytes(dir_ / "WL.txt"));
    }
    const std::vector<std::string> kept = Names(dir_ / "backups");
    // The last ten, and today's oldest.
    ASSERT_EQ(kept.size(), 11u);
    EXPECT_EQ(ReadBytes(dir_ / "backups" / kept[0]), versions[0]);
    for (std::size_t i = 1; i < kept.size(); ++i)
        EXPECT_EQ(ReadBytes(dir_ / "backups" / kept[i]), versions[i + 1]) << kept[i];

    const std::string before = ReadBytes(dir_ / "WL.txt");
    fs::remove_all(dir_ / "backups");
    WriteBytes(dir_ / "backups", "a file where the folder should be");
    Add(words, "lost?");
    const WordStore::SaveResult refused = store.Save(words);
    EXPECT_FALSE(refused.done);
    EXPECT_NE(refused.message.find("failed!"), std::string::npos);
    EXPECT_EQ(ReadBytes(dir_ / "WL.txt"), before);
}

// A lock that could not be taken is a live copy's only when it names this computer and a running
// process; a dead process's lock on this computer was stale and could not be removed.
TEST(HeldLockTest, TellsALiveCopyAnotherComputerAndAStaleLockApart) {
    struct Case {
        bool running;
        const char* host;
        const char* machineId;
        WordStore::LockState state;
    };
    using S = WordStore::LockState;
    const Case cases[] = {
        {true, "here", "id1", S::LiveCopy},
        {true, "", "", S::LiveCopy},
        {true, "here", "", S::LiveCopy},
        {false, "here", "id1", S::Unusable},
        {false, "here", "", S::Unusable},
        {false, "", "", S::Unusable},
        {true, "faraway", "id2", S::OtherHost},
        {false, "faraway", "id2", S::OtherHost},
        // Two computers of one name are told apart by their ids.
        {true, "here", "id2", S::OtherHost},
        {false, "here", "id2", S::OtherHost},
    };
    for (const Case& c : cases) {
        WordStore::LockHolder holder;
        holder.running = c.running;
        holder.host = c.host;
        holder.machineId = c.machineId;
        holder.ourHost = "here";
        holder.ourMachineId = "id1";
        EXPECT_EQ(WordStore::HeldLockState(holder), c.state)
            << c.running << " " << c.host << " " << c.machineId;
    }
}

// Each reason a lock cannot be taken gets its own notice; only a live copy gets the notice
// that another copy has the list open.
TEST_F(WordStoreTest, LockTellsALiveCopyFromALockThatCannotBeUsed) {
    const std::string folder = dir_.string();
    const fs::path lock = WordStore(folder).LockPath();
    // The lock is this machine's own: not in the folder a synchroniser carries elsewhere.
    EXPECT_NE(lock.parent_path(), dir_);
    struct Case {
        const char* name;
        std::function<void()> make; // leaves the lock file as the case needs it
        WordStore::LockState state;
        const char* notice; // a part of the notice
    };
    const std::vector<Case> cases = {
        {"no lock", [] {}, WordStore::LockState::Taken, ""},
        {"left by a copy that died",
         [&] {
             const pid_t dead = ::fork();
             if (dead == 0) {
                 WordStore copy(folder);
                 ::_exit(copy.Lock() == WordStore::LockState::Taken ? 0 : 1);
             }
             int status = 0;
             ::waitpid(dead, &status, 0);
             ASSERT_TRUE(fs::exists(lock));
         },
         WordStore::LockState::Taken, ""},
        {"from another computer",
         [&] { WriteBytes(lock, std::to_string(::getpid()) + "\nvocamint\nfaraway\nx\n"); },
         WordStore::LockState::OtherHost, "computer 'faraway'"},
        {"a folder", [&] { fs::create_directory(lock); }, WordStore::LockState::Unusable,
         "could not use its lock file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(lock);
        c.make();
        WordStore store(folder);
        const WordStore::LockState state = store.Lock();
        EXPECT_EQ(state, c.state);
        const std::string notice = store.LockNotice(state);
        EXPECT_NE(notice.find(c.notice), std::string::npos) << notice;
        EXPECT_EQ(notice.empty(), *c.notice == 0) << notice;
    }
    // A live copy, in a process of its own, holds the lock until told to go.
    fs::remove_all(lock);
    int locked[2], go[2];
    ASSERT_EQ(::pipe(locked), 0);
    ASSERT_EQ(::pipe(go), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(20);
        WordStore store(folder);
        char byte = store.Lock() == WordStore::LockState::Taken ? 1 : 0;
        ::_exit(::write(locked[1], &byte, 1) == 1 && ::read(go[0], &byte, 1) == 1 ? 0 : 1);
    }
    char byte = 0;
    ASSERT_EQ(::read(locked[0], &byte, 1), 1);
    EXPECT_EQ(byte, 1);
    WordStore store(folder);
    const WordStore::LockState state = store.Lock();
    EXPECT_EQ(state, WordStore::LockState::LiveCopy);
    EXPECT_EQ(store.LockNotice(state), "Another Vocamint has this word list open. Words added in "
                                       "both are merged when each one exits.");
    ASSERT_EQ(::write(go[1], &byte, 1), 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    for (int fd : {locked[0], locked[1], go[0], go[1]})
        ::close(fd);
}

// Nothing written beside a private list is readable by more people than the list.
TEST_F(WordStoreTest, FilesBesideTheListTakeItsModeAtMost) {
    const mode_t umask = ::umask(022);
    for (const mode_t mode : {mode_t{0400}, mode_t{0600}, mode_t{0640}}) {
        SCOPED_TRACE(mode);
        fs::remove_all(dir_);
        fs::create_directory(dir_);
        fs::permissions(dir_, fs::perms::all);
        WriteBytes(dir_ / "WL.txt", Lines(1, 3));
        ASSERT_EQ(::chmod((dir_ / "WL.txt").c_str(), mode), 0);
        WordStore store(dir_.string());
        WordList words;
        std::string message;
        ASSERT_TRUE(store.Load(words, message));
        WordEntry first = words.At(words.Begin());
        first.mean = "ours";
        words.Replace(words.Begin(), first);
        // Another program changes the same entry: the save is refused and kept aside.
        ::chmod((dir_ / "WL.txt").c_str(), 0600);
        WriteBytes(dir_ / "WL.txt", "1 word1 s n. theirs\r\n" + Lines(2, 3));
        ::chmod((dir_ / "WL.txt").c_str(), mode);
        const WordStore::SaveResult refused = store.Save(words);
        EXPECT_NE(refused.message.find("changed too"), std::string::npos) << refused.message;
        const std::string kept = store.KeepAside(words);
        EXPECT_FALSE(kept.empty());
        int conflicts = 0;
        for (const std::string& name : Names(dir_)) {
            if (name.rfind("WL.conflict-", 0) != 0)
                continue;
            ++conflicts;
            struct stat info {};
            ASSERT_EQ(::stat((dir_ / name).c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 0777, (mode | 0600) & 0644) << name;
        }
        EXPECT_EQ(conflicts, 2);
        // A save that replaces the list keeps its backup as private as the list was.
        if (mode & 0200) {
            Add(words, "pear");
            WordStore again(dir_.string());
            WordList fresh;
            ASSERT_TRUE(again.Load(fresh, message));
            Add(fresh, "pear");
            ASSERT_TRUE(again.Save(fresh).done);
            // Nor may the backups' names be read by one who may not read the list.
            struct stat folder {};
            ASSERT_EQ(::stat((dir_ / "backups").c_str(), &folder), 0);
            EXPECT_EQ(folder.st_mode & 0777, 0700 | ((mode & 0040) ? 0050 : 0));
            for (const std::string& name : Names(dir_ / "backups")) {
                struct stat info {};
                ASSERT_EQ(::stat((dir_ / "backups" / name).c_str(), &info), 0);
                EXPECT_EQ(info.st_mode & 0777, mode) << name;
            }
        }
    }
    ::umask(umask);
}

// A "backups" that is a link is never followed: nothing is written or removed through it.
TEST_F(WordStoreTest, BackupsThatIsALinkIsRefusedWithAClearMessage) {
    const fs::path elsewhere = dir_ / "elsewhere";
    fs::create_directory(elsewhere);
    fs::create_directory(dir_ / "list");
    for (int i = 0; i < 15; ++i)
        WriteBytes(elsewhere / ("WL-20200101-1200" + std::to_string(10 + i) + "-000.txt"), "x");
    fs::create_directory_symlink(elsewhere, dir_ / "list" / "backups");
    WriteBytes(dir_ / "list" / "WL.txt", Lines(1, 2));
    WordStore store((dir_ / "list").string());
    WordList words;
    std::string message;
    ASSERT_TRUE(store.Load(words, message));
    Add(words, "pear");
    const WordStore::SaveResult refused = store.Save(words);
    EXPECT_FALSE(refused.done);
    EXPECT_NE(refused.message.find("is a link to another place"), std::string::npos)
        << refused.message;
    EXPECT_EQ(Names(elsewhere).size(), 15u);
    EXPECT_EQ(ReadBytes(dir_ / "list" / "WL.txt"), Lines(1, 2));
}

// The replaced version becomes the backup without a copy, unless the file is rewritten in place
// (a folder that takes no new file): then the backup must be a copy, or it would change too.
TEST_F(WordStoreTest, BackupIsTheReplacedFileItselfUnlessRewrittenInPlace) {
    struct Case {
        const char* name;
        bool inPlace;
    };
    for (const Case& c : {Case{"renamed over", false}, Case{"rewritten in place", true}}) {
        SCOPED_TRACE(c.name);
        if (c.inPlace && ::geteuid() != 0)
            continue; // needs a folder the saving user may not write
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "backups");
        fs::permissions(dir_, fs::perms::all);
        fs::permissions(dir_ / "backups", fs::perms::all);
        WriteBytes(dir_ / "WL.txt", Lines(1, 3));
        fs::permissions(dir_ / "WL.txt", fs::perms::all);
        if (c.inPlace)
            fs::permissions(dir_,
                            fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
        struct stat old {};
        ASSERT_EQ(::stat((dir_ / "WL.txt").c_str(), &old), 0);
        const std::string folder = dir_.string();
        EXPECT_TRUE(InChild(
            [&] {
                WordStore store(folder);
                WordList words;
                std::string message;
                if (!store.Load(words, message))
                    return false;
                Add(words, "pear");
                return store.Save(words).done;
            },
            c.inPlace));
        fs::permissions(dir_, fs::perms::all);
        EXPECT_EQ(ReadBytes(dir_ / "WL.txt"), Lines(1, 3) + "4 pear \\e n. meaning\r\n");
        const std::vector<std::string> backups = Names(dir_ / "backups");
        ASSERT_EQ(backups.size(), 1u);
        const fs::path backup = dir_ / "backups" / backups[0];
        EXPECT_EQ(ReadBytes(backup), Lines(1, 3));
        struct stat kept {};
        ASSERT_EQ(::stat(backup.c_str(), &kept), 0);
        EXPECT_EQ(kept.st_ino == old.st_ino, !c.inPlace);
        EXPECT_EQ(kept.st_mode, old.st_mode);
    }
}

// A save hashes what it writes a piece at a time; a later look hashes the file at once: the two
// must agree for any cut, and differ for any change.
TEST(ByteHash, PiecesHashAsTheWhole) {
    std::mt19937 random(3);
    std::string bytes(200000, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    for (const std::size_t size : {0, 1, 65535, 65536, 65537, 131072, 200000}) {
        const std::string_view whole = std::string_view(bytes).substr(0, size);
        for (const std::size_t piece : {1, 7, 4096, 65536, 70000, 300000}) {
            if (piece == 1 && size > 70000)
                continue;
            ByteHash hash;
            for (std::size_t at = 0; at < size; at += piece)
                hash.Add(whole.substr(at, piece));
            EXPECT_EQ(hash.Finish(), HashBytes(whole)) << size << " in " << piece;
        }
        if (size > 0) {
            std::string changed(whole);
            changed[size / 2] = static_cast<char>(changed[size / 2] ^ 1);
            EXPECT_NE(HashBytes(changed), HashBytes(whole)) << size;
            EXPECT_NE(HashBytes(whole.substr(0, size - 1)), HashBytes(whole)) << size;
        }
    }
}

struct PruneCase {
    const char* name;
    std::vector<std::string> backups;
    std::vector<std::string> removed;
};

TEST(BackupsToRemove, KeepsTheLastTenAndTheOldestOfEachOfTheLastSevenDays) {
    const std::vector<std::string> days{"20240107", "20240106", "20240105", "20240104",
                                        "20240103", "20240102", "20240101"};
    std::vector<std::string> many;
    for (int i = 10; i < 25; ++i)
        many.push_back("WL-20240107-1200" + std::to_string(i) + "-000.txt");
    const PruneCase cases[] = {
        {"few", {"WL-20240107-120000-000.txt"}, {}},
        {"other names stay", {"notes.txt", "WL-2024.txt", "WL-20240107-12000x-000.txt"}, {}},
        {"many today", many, {many.begin() + 1, many.end() - 10}},
        {"older days",
         {"WL-20231231-090000-000.txt", "WL-20240101-090000-000.txt", "WL-20240101-100000-000.txt",
          "WL-20240103-080000-000.txt"},
         {}},
    };
    for (const PruneCase& c : cases)
        EXPECT_EQ(BackupsToRemove("WL.txt", c.backups, days, 10), c.removed) << c.name;
    std::vector<std::string> weeks = many;
    for (const char* old :
         {"WL-20231220-090000-000.txt", "WL-20240102-090000-000.txt", "WL-20240102-091000-000.txt"})
        weeks.push_back(old);
    // The day eight days back goes; of Jan 2 only the oldest stays; today's oldest stays.
    std::vector<std::string> removed{"WL-20231220-090000-000.txt", "WL-20240102-091000-000.txt"};
    removed.insert(removed.end(), many.begin() + 1, many.end() - 10);
    EXPECT_EQ(BackupsToRemove("WL.txt", weeks, days, 10), removed);
}

// A crash at any moment of a save leaves WL.txt old or new and every backup a whole version.
TEST_F(WordStoreTest, KillsDuringSavesLeaveOldOrNewContent) {
    std::string old = Lines(1, 20000);
    WriteBytes(dir_ / "WL.txt", old);
    const std::string folder = dir_.string();
    std::mt19937 random(9);
    std::string current = old;
    int kills = 0;
    for (int round = 0; kills < 200; ++round) {
        ASSERT_LT(round, 1000);
        const std::string word = "k" + std::to_string(round);
        const std::string next =
            current + std::to_string(20001 + round) + " " + word + " \\e n. meaning\r\n";
        const pid_t child = ::fork();
        if (child == 0) {
            WordStore store(folder);
            WordList words;
            std::string message;
            if (!store.Load(words, message))
                ::_exit(1);
            Add(words, word);
            for (;;) { // saves until killed, each time a merge of one more word
                store.Save(words);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ++kills;
        const std::string now = ReadBytes(dir_ / "WL.txt");
        ASSERT_TRUE(now == current || now == next) << "round " << round;
        current = now;
        for (const std::string& name : Names(dir_ / "backups")) {
            if (name[0] == '.')
                continue; // a temporary file the crash left
            const std::string backup = ReadBytes(dir_ / "backups" / name);
            ASSERT_EQ(backup.substr(0, old.size()), old) << name;
            ASSERT_TRUE(backup.size() >= 2 && backup.substr(backup.size() - 2) == "\r\n") << name;
        }
    }
}

} // namespace
