#include <gtest/gtest.h>

#include "tests/exchange/Printers.h"

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "exchange/Exporters.h"
#include "exchange/Import.h"
#include "tests/support/ListEntries.h"

namespace {

// Texts that trip up writers: separators, quotes, escapes, line breaks, blanks, Chinese,
// markup and a leading '#' that could pass for a header line.
const std::vector<WordEntry> kTricky = {
    {0, "apple", "/'æpəl/", "n.", "苹果"},
    {0, "take off", "", "phr. v.", "起飞; 脱下"},
    {0, "a,b;c\td", "\"quoted\"", "", "x, \"y\""},
    {0, "back\\slash", "\\n", "\\e", "C:\\dir\\"},
    {0, "two\nlines", "", "", "line one\r\nline two\rthree"},
    {0, "  padded  ", " ", "\t", " trailing "},
    {0, "#separator:comma", "#", "", "<b>&amp;</b> [sound:x.mp3]"},
    {0, "\"", "\"\"", "", ""},
    {0, "word", "spell", "type", "meaning"},
    {0, "中文", "zhōng wén", "名词", "Chinese"},
    {0,
     "\xEF\xBB\xBF"
     "bom",
     "", "", "\xEF\xBB\xBF"},
};

struct FormatCase {
    ExchangeFormat format;
    const char* fileName;
    std::string (*write)(const WordList&);
};

void PrintTo(const FormatCase& c, std::ostream* out) {
    *out << FormatName(c.format);
}

class RoundTrip : public testing::TestWithParam<FormatCase> {};

TEST_P(RoundTrip, GivesBackTheSameEntries) {
    WordList words;
    for (const WordEntry& entry : kTricky) {
        words.Append(entry);
    }
    const std::string text = GetParam().write(words);
    for (const bool named : {false, true}) {
        // Once found from the content and file name, once with the format given.
        ImportOptions options;
        if (named) {
            options.format = GetParam().format;
        }
        ImportedWords read;
        std::string error;
        ASSERT_TRUE(ImportBytes(text, GetParam().fileName, options, read, error)) << error;
        EXPECT_EQ(ListEntriesUnnumbered(read.entries), kTricky) << text;
        EXPECT_TRUE(read.problems.empty());
        EXPECT_EQ(read.droppedFields, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTrip,
                         testing::Values(FormatCase{ExchangeFormat::Tsv, "list.txt", FormatTsv},
                                         FormatCase{ExchangeFormat::Csv, "list.csv", FormatCsv},
                                         FormatCase{ExchangeFormat::Kvtml, "list.kvtml",
                                                    FormatKvtml}));

TEST(Export, TsvStartsWithTheLinesFlashcardProgramsRead) {
    WordList words;
    words.Append({1, "apple", "/ap/", "n.", "苹果"});
    EXPECT_EQ(FormatTsv(words), "#separator:tab\n#html:false\n#columns:Word\tSpell\tType\tMeaning\n"
                                "apple\t/ap/\tn.\t苹果\n");
}

TEST(Export, CsvHasAByteOrderMarkAndAHeader) {
    WordList words;
    words.Append({1, "a,b", "", "", "x"});
    EXPECT_EQ(FormatCsv(words), "\xEF\xBB\xBFWord,Spell,Type,Meaning\r\n\"a,b\",,,x\r\n");
}

TEST(Export, KvtmlLeavesOutWhatXmlCannotHold) {
    WordList words;
    words.Append({1,
                  "a\x01"
                  "b",
                  "", "", "c\x0B"});
    ImportedWords read;
    std::string error;
    ASSERT_TRUE(ImportBytes(FormatKvtml(words), "a.kvtml", {}, read, error)) << error;
    EXPECT_EQ(ListEntriesUnnumbered(read.entries),
              (std::vector<WordEntry>{{0, "ab", "", "", "c"}}));
}

TEST(Export, WritesThroughTheSafeFileAndReportsFailure) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vocamint-export-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    WordList words;
    words.Append({1, "apple", "", "", "苹果"});
    std::string message;
    const std::string path = (folder / "out.csv").string();
    ASSERT_TRUE(ExportWords(words, path, ExchangeFormat::Csv, message));
    ImportedWords read;
    std::string error;
    ASSERT_TRUE(ImportFile(path, {}, read, error));
    EXPECT_EQ(read.entries.GetCount(), 1u);

    const std::string missing = (folder / "no" / "out.csv").string();
    EXPECT_FALSE(ExportWords(words, missing, ExchangeFormat::Tsv, message));
    EXPECT_EQ(message, "Open file '" + missing + "' failed!");
    EXPECT_FALSE(ImportFile(missing, {}, read, error));
    std::filesystem::remove_all(folder);
}

TEST(Export, FormatFromTheFileName) {
    EXPECT_EQ(FormatFromPath("a/b.CSV"), ExchangeFormat::Csv);
    EXPECT_EQ(FormatFromPath("b.tsv"), ExchangeFormat::Tsv);
    EXPECT_EQ(FormatFromPath("b.kvtml"), ExchangeFormat::Kvtml);
    EXPECT_EQ(FormatFromPath("b.d/list"), std::nullopt);
}

} // namespace
