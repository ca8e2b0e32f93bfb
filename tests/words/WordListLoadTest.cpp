// A list read on its own thread ends up as a load on the window's thread would: the same
// entries, the same result and message, and a store whose later saves merge the same way.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/FileBytes.h"
#include "words/WordFileFormat.h"
#include "words/WordList.h"
#include "words/WordListLoad.h"
#include "words/WordStore.h"
#include "words/WordTextReader.h"

namespace fs = std::filesystem;

namespace {

struct LoadCase {
    const char* name;
    const char* file;       // nullptr: no word file; "FIFO": a FIFO in its place
    const char* listBefore; // entries already in the window's list
};

class WordListLoadTest : public ::testing::TestWithParam<LoadCase> {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vocamint-listload-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_root = pattern;
        for (const char* side : {"thread", "direct"}) {
            const fs::path dir = m_root / side;
            fs::create_directory(dir);
            const char* file = GetParam().file;
            if (file != nullptr && std::string(file) == "FIFO")
                ASSERT_EQ(::mkfifo((dir / "WL.txt").c_str(), 0666), 0);
            else if (file != nullptr)
                std::ofstream(dir / "WL.txt", std::ios::binary) << file;
        }
    }
    void TearDown() override { fs::remove_all(m_root); }

    std::string Folder(const char* side) const { return (m_root / side).string(); }
    std::string File(const char* side) const { return ReadBytes(m_root / side / "WL.txt"); }

    fs::path m_root;
};

WordList Before(const char* text) {
    WordList words;
    ParseWordText(text, words);
    return words;
}

TEST_P(WordListLoadTest, GivesWhatALoadOnTheWindowsThreadGives) {
    WordList threadWords = Before(GetParam().listBefore);
    WordListLoad load(std::make_unique<WordStore>(Folder("thread")));
    WordListLoad::Result result = load.Finish(threadWords);
    ASSERT_NE(result.store, nullptr);

    WordList directWords = Before(GetParam().listBefore);
    WordStore direct(Folder("direct"));
    std::string directMessage;
    const bool directLoaded = direct.Load(directWords, directMessage);

    EXPECT_EQ(result.loaded, directLoaded);
    // The messages name their folders; the rest must match.
    EXPECT_EQ(result.message.empty(), directMessage.empty());
    EXPECT_EQ(FormatWordFile(threadWords), FormatWordFile(directWords));
    EXPECT_EQ(load.Finish(threadWords).store, nullptr) << "a second Finish hands nothing over";

    // A word added and saved lands the same way, merged against what was loaded.
    if (std::string(GetParam().name) == "fifo")
        return;
    for (WordList* words : {&threadWords, &directWords})
        words->Append({static_cast<std::int32_t>(words->GetCount() + 1), "pear", "", "n.", "x"});
    std::ofstream(m_root / "thread" / "WL.txt", std::ios::binary | std::ios::app)
        << "9 plum s n. m\r\n";
    std::ofstream(m_root / "direct" / "WL.txt", std::ios::binary | std::ios::app)
        << "9 plum s n. m\r\n";
    EXPECT_TRUE(result.store->Save(threadWords).done);
    EXPECT_TRUE(direct.Save(directWords).done);
    EXPECT_EQ(File("thread"), File("direct"));
}

const LoadCase kLoadCases[] = {
    {"missing", nullptr, ""},
    {"list", "1 apple s n. m\r\n2 berry s n. m\r\n", ""},
    {"no_final_newline", "1 apple s n. m\r\n2 berry s n. m", ""},
    {"list_into_a_list_with_entries", "1 apple s n. m\r\n", "1 mine s n. m\r\n"},
    {"fifo", "FIFO", ""},
};

INSTANTIATE_TEST_SUITE_P(Read, WordListLoadTest, ::testing::ValuesIn(kLoadCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A window closed before it took its list waits for the read instead of leaving the thread
// with a store that is gone.
TEST(WordListLoadEnd, AnUnfinishedLoadWaitsForItsThread) {
    char pattern[] = "/tmp/vocamint-listload-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    std::string text;
    for (int n = 1; n <= 20000; ++n)
        text += std::to_string(n) + " w" + std::to_string(n) + " s n. m\r\n";
    std::ofstream(fs::path(pattern) / "WL.txt", std::ios::binary) << text;
    for (int i = 0; i < 5; ++i)
        WordListLoad load(std::make_unique<WordStore>(pattern));
    fs::remove_all(pattern);
}

} // namespace
