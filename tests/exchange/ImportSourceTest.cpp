#include <gtest/gtest.h>

#include "tests/exchange/Printers.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "exchange/ImportSource.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ListEntries.h"

namespace {

namespace fs = std::filesystem;

class Source : public testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() /
                   ("vocamint-source-" + std::to_string(::getpid()) + "-" +
                    testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    fs::path m_folder;
};

struct AgainCase {
    const char* name;
    const char* file;
    std::string bytes;
};

// Read again with the header switched off, from the text kept or from the file, a file gives
// what a first reading with that choice gives, decoded the same way.
TEST_F(Source, ReadsAgainAsTheFileWasFirstDecoded) {
    static constexpr char kUtf16[] = "\xFF\xFE"
                                     "a\0\t\0\xF9\x82\n\0b\0\t\0x\0\n\0!";
    const AgainCase cases[] = {
        {"UTF-8 with a header", "a.csv", "Word,Meaning\napple,苹果\nbook,书\n"},
        // A mark, then an odd last byte, half a character, which is left out.
        {"UTF-16 with a mark", "b.txt", std::string(kUtf16, sizeof kUtf16 - 1)},
        {"GB18030", "c.txt", "Word;Meaning\napple;\xC6\xBB\xB9\xFB\n"},
    };
    for (const AgainCase& c : cases) {
        const fs::path path = m_folder / c.file;
        WriteBytes(path, c.bytes);
        ImportOptions noHeader;
        noHeader.delimited.header = false;
        ImportedWords want;
        std::string error;
        ASSERT_TRUE(ImportBytes(c.bytes, c.file, noHeader, want, error)) << c.name << error;
        for (const std::size_t kept : {ImportSource::kKeptTextBytes, std::size_t{0}}) {
            SCOPED_TRACE(std::string(c.name) + (kept > 0 ? ", kept" : ", from the file"));
            ImportSource source(path.string(), kept);
            ImportedWords first;
            ASSERT_TRUE(source.Read({}, first, error)) << error;
            ASSERT_TRUE(source.CanReadAgain());
            ImportedWords again;
            ASSERT_TRUE(source.ReadAgain(noHeader, again, error)) << error;
            EXPECT_EQ(ListEntries(again.entries), ListEntries(want.entries));
            EXPECT_EQ(again.problems, want.problems);
            EXPECT_EQ(again.encoding, want.encoding);
            EXPECT_EQ(again.droppedBytes, want.droppedBytes);
            EXPECT_FALSE(again.header);
        }
    }
}

struct ChangeCase {
    const char* name;
    void (*change)(const fs::path& path);
    const char* error; // empty: read again as before
};

// A file not kept as text is read again only while it is the file first read: one written
// to, replaced or removed since is refused, and nothing of it is read.
TEST_F(Source, AFileChangedSinceItWasReadIsRefused) {
    const ChangeCase cases[] = {
        {"unchanged", [](const fs::path&) {}, ""},
        {"rewritten, the same size",
         [](const fs::path& path) {
             const auto time = fs::last_write_time(path);
             WriteBytes(path, "pear,梨子\nplum,李子\n");
             fs::last_write_time(path, time + std::chrono::seconds(1));
         },
         "changed since it was opened"},
        {"replaced",
         [](const fs::path& path) {
             WriteBytes(path.string() + ".new", "fig,无花果\n");
             fs::rename(path.string() + ".new", path);
         },
         "changed since it was opened"},
        {"removed", [](const fs::path& path) { fs::remove(path); }, "cannot open"},
    };
    for (const ChangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = m_folder / "list.csv";
        const std::string bytes = "book,书本\ncake,蛋糕\n";
        WriteBytes(path, bytes);
        ImportOptions noHeader;
        noHeader.delimited.header = false;
        ImportedWords want;
        std::string error;
        ASSERT_TRUE(ImportBytes(bytes, "list.csv", noHeader, want, error)) << error;
        ImportSource source(path.string(), 0);
        ImportedWords first;
        ASSERT_TRUE(source.Read({}, first, error)) << error;
        c.change(path);
        ImportedWords again;
        const bool read = source.ReadAgain(noHeader, again, error);
        EXPECT_EQ(read, std::string(c.error).empty()) << error;
        if (read) {
            EXPECT_EQ(ListEntries(again.entries), ListEntries(want.entries));
        } else {
            EXPECT_NE(error.find(c.error), std::string::npos) << error;
            EXPECT_EQ(again.entries.GetCount(), 0u);
        }
    }
}

} // namespace
