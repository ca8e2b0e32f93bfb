// Files made to hurt the readers: deep nesting, huge fields, endless devices, millions of bad
// lines and columns, text in the wrong encoding. Each must end in a clear result, quickly.
#include <gtest/gtest.h>

#include "tests/exchange/Printers.h"

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "exchange/HtmlText.h"
#include "exchange/Import.h"
#include "exchange/ImportPlan.h"
#include "exchange/KvtmlReader.h"
#include "exchange/WordFileText.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ListEntries.h"

namespace {

namespace fs = std::filesystem;

std::string Repeat(std::string_view piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

std::string NestedKvtml(std::size_t depth) {
    return "<kvtml><entries><entry><translation id=\"0\"><text>" + Repeat("<b>", depth) + "x" +
           Repeat("</b>", depth) + "</text></translation></entry></entries></kvtml>\n";
}

std::string NestedTypes(std::size_t depth) {
    return "<kvtml>\n<entries><entry id=\"0\"><translation id=\"0\"><text>x</text></translation>"
           "</entry></entries>\n<wordtypes>" +
           Repeat("<container><name>n</name>", depth) + "<entry id=\"0\"/>" +
           Repeat("</container>", depth) + "</wordtypes></kvtml>\n";
}

struct NestingCase {
    const char* name;
    std::string bytes;
    bool ok;
    std::vector<WordEntry> entries;
};

TEST(Kvtml, NestingIsBoundedAndNeverRecursed) {
    // The document's own three levels, a translation and a text come before the nesting.
    const std::size_t fits = kMaxKvtmlDepth - 5;
    const NestingCase cases[] = {
        {"bold within bold, a real document's depth",
         NestedKvtml(fits),
         true,
         {{1, "x", "", "", ""}}},
        {"bold within bold, deeper than any document", NestedKvtml(100000), false, {}},
        {"word types within word types", NestedTypes(30000), false, {}},
        {"word types a real document's depth", NestedTypes(100), true, {{2, "x", "", "n", ""}}},
    };
    for (const NestingCase& c : cases) {
        SCOPED_TRACE(c.name);
        ImportedWords read;
        std::string error;
        EXPECT_EQ(ImportBytes(c.bytes, "d.kvtml", {}, read, error), c.ok) << error;
        EXPECT_EQ(ListEntries(read.entries), c.entries);
        if (!c.ok) {
            EXPECT_NE(error.find("line "), std::string::npos) << error;
            EXPECT_NE(error.find("nested more than 256"), std::string::npos) << error;
        }
    }
}

// KVTML bytes read as found, or with UTF-8 given: the reader is fed either way.
bool ReadKvtml(const std::string& bytes, bool utf8Given, ImportedWords& read, std::string& error) {
    ImportOptions options;
    if (utf8Given)
        options.encoding = TextEncoding::Utf8;
    return ImportBytes(bytes, "a.kvtml", options, read, error);
}

// The XML reader is fed a piece at a time: text and characters cut at a piece's end.
TEST(Kvtml, TextAcrossPiecesIsWhole) {
    for (const std::size_t pad : {0u, 1u, 2u, 65000u, 65535u, 65536u, 200000u}) {
        const std::string word = Repeat("苹", (pad + 2) / 3 + 1) + "end";
        const std::string bytes = "<?xml version=\"1.0\"?>\n<kvtml><entries><entry>" +
                                  Repeat(" ", pad) + "<translation id=\"0\"><text>" + word +
                                  "</text></translation></entry></entries></kvtml>";
        for (const bool forced : {false, true}) {
            ImportedWords read;
            std::string error;
            ASSERT_TRUE(ReadKvtml(bytes, forced, read, error)) << error;
            ASSERT_EQ(read.entries.GetCount(), 1u);
            EXPECT_EQ(read.entries.Fields(read.entries.Begin()).word, word) << pad;
        }
    }
}

struct LongTextCase {
    const char* name;
    std::string prolog; // between the declaration and <kvtml>, on the first line
    std::string text;   // the first entry's word as written
    std::string word;   // and as read
    std::size_t lines;  // the line ends in it
};

// A long text reaches the reader in pieces, cut where it stands between elements; markup that
// only looks like the end of a text, such as a '>' in a quoted value, a comment or a section
// of character data, is never cut, nor a line end or a reference.
TEST(Kvtml, LongTextsAreReadWholeWhateverMarkupIsAroundThem) {
    const std::string latin = Repeat("caf\xE9 ", 40000);
    const LongTextCase cases[] = {
        {"letters", "", Repeat("abc ", 50000), Repeat("abc ", 50000), 0},
        {"line ends", "", Repeat("ab\r\n", 60000), Repeat("ab\n", 60000), 60000},
        {"line ends later", "", "x" + Repeat("ab\r\n", 60000), "x" + Repeat("ab\n", 60000), 60000},
        {"line ends later still", "", "xy" + Repeat("\r\nab", 60000), "xy" + Repeat("\nab", 60000),
         60000},
        {"references", "", Repeat("a&amp;&#x42;", 20000), Repeat("a&B", 20000), 0},
        {"character data", "",
         "<![CDATA[" + Repeat("x]]y<!--", 3000) + "]a>" + Repeat("b", 100000) + "]]>",
         Repeat("x]]y<!--", 3000) + "]a>" + Repeat("b", 100000), 0},
        {"character data ending where a cut falls", "", "<![CDATA[" + Repeat("b", 65534) + "]]>",
         Repeat("b", 65534), 0},
        {"character data with brackets", "", "<![CDATA[" + Repeat("ab]", 40000) + "]]>",
         Repeat("ab]", 40000), 0},
        {"a comment", "", "a<!--" + Repeat("x>y ", 30000) + "-->b", "ab", 0},
        {"a comment ending where a cut falls", "", "a<!--" + Repeat("c", 65534) + "-->b", "ab", 0},
        {"a comment with dashes", "", "a<!--" + Repeat("-x", 60000) + "-->b", "ab", 0},
        {"a quoted '>'", "",
         "<b title=\"" + Repeat("a>b", 30000) + "\">x</b>" + Repeat("c", 100000),
         "x" + Repeat("c", 100000), 0},
        {"a document type",
         "<!DOCTYPE kvtml [<!-- <x>" + Repeat("a]>", 30000) + " --><?pi <y>" +
             Repeat("b]>", 30000) + "?><!ENTITY e \"]>\">]>",
         Repeat("d", 100000) + "&e;", Repeat("d", 100000) + "]>", 0},
        {"text in two scripts", "", Repeat("苹a", 50000), Repeat("苹a", 50000), 0},
        {"blanks before the elements", Repeat(" ", 200000), "x", "x", 0},
    };
    for (const LongTextCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = "<?xml version=\"1.0\"?>" + c.prolog +
                                  "\n<kvtml><entries>\n<entry><translation id=\"0\"><text>" +
                                  c.text +
                                  "</text></translation></entry>\n<entry>"
                                  "<translation id=\"0\"><text>next</text></translation></entry>"
                                  "</entries></kvtml>";
        for (const bool forced : {false, true}) {
            ImportedWords read;
            std::string error;
            ASSERT_TRUE(ReadKvtml(bytes, forced, read, error)) << error;
            ASSERT_EQ(read.entries.GetCount(), 2u);
            const WordFields first = read.entries.Fields(read.entries.Begin());
            EXPECT_EQ(first.number, 3);
            EXPECT_TRUE(first.word == c.word)
                << first.word.size() << " bytes, not " << c.word.size();
            const WordFields next = read.entries.Fields(read.entries.Next(read.entries.Begin()));
            EXPECT_EQ(next.number, static_cast<std::int32_t>(4 + c.lines));
        }
    }
    // Text the declaration says is Latin-1 is never cut, as the reader decodes it.
    ImportedWords read;
    std::string error;
    ASSERT_TRUE(ImportBytes("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><kvtml><entries>"
                            "<entry><translation id=\"0\"><text>" +
                                latin + "</text></translation></entry></entries></kvtml>",
                            "a.kvtml", {}, read, error))
        << error;
    ASSERT_EQ(read.entries.GetCount(), 1u);
    EXPECT_TRUE(read.entries.Fields(read.entries.Begin()).word == Repeat("café ", 40000));
}

struct MarkupCase {
    const char* name;
    std::string bytes;
    bool ok;
    std::size_t entries;
    const char* message; // in the error, or else among the problems; empty: none
};

// The XML reader gathers a tag or declaration whole, two bytes a character: one longer than
// any real document has is refused, with the entries before it kept.
TEST(Kvtml, MarkupLongerThanAnyDocumentsIsRefused) {
    const auto entry = [](const std::string& attributes) {
        return "<entry" + attributes +
               "><translation id=\"0\"><text>w</text></translation>"
               "</entry>\n";
    };
    const std::string megabyte(1 << 20, 'a');
    const MarkupCase cases[] = {
        {"a long value",
         "<kvtml><entries>\n" + entry(" id=\"" + megabyte + "\"") + "</entries></kvtml>", false, 0,
         "line 2: a tag or declaration longer than 1 MB"},
        {"a value nearly as long",
         "<kvtml><entries>\n" + entry(" id=\"" + megabyte.substr(1000) + "\"") +
             "</entries></kvtml>",
         true, 1, ""},
        {"many values after an entry",
         "<kvtml><entries>\n" + entry("") + entry(Repeat(" a=\"b\"", 200000)) +
             "</entries></kvtml>",
         true, 1,
         "line 3: a tag or declaration longer than 1 MB; the rest of the file was not read"},
        {"a long document type",
         "<!DOCTYPE kvtml [" + Repeat("<!ENTITY e \"x\">", 80000) + "]><kvtml><entries>" +
             entry("") + "</entries></kvtml>",
         false, 0, "a tag or declaration longer than 1 MB"},
    };
    for (const MarkupCase& c : cases) {
        SCOPED_TRACE(c.name);
        ImportedWords read;
        std::string error;
        EXPECT_EQ(ImportBytes(c.bytes, "a.kvtml", {}, read, error), c.ok) << error;
        EXPECT_EQ(read.entries.GetCount(), c.entries);
        std::string said = error;
        for (const ImportProblem& problem : read.problems) {
            said += ProblemText(problem);
        }
        EXPECT_NE(said.find(c.message), std::string::npos) << said;
        EXPECT_EQ(std::string(c.message).empty(), said.empty()) << said;
    }
}

// 4 MB of each opener without its closer: quadratic stripping took minutes for that.
TEST(Html, StrippingIsLinear) {
    constexpr std::size_t kBytes = 4 << 20;
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"&", "&"}, {"<a", "<a"}, {"[sound:", "[sound:"}, {"&#12", "&#12"}};
    for (const auto& [piece, text] : cases) {
        const std::string html = Repeat(piece, kBytes / piece.size());
        EXPECT_EQ(HtmlToText(html), html) << piece;
        // Then once more through the whole reader, as a flashcard field.
        ImportedWords read;
        std::string error;
        ASSERT_TRUE(ImportBytes("#html:true\nword\t" + html + "\n", "a.txt", {}, read, error))
            << error;
        EXPECT_EQ(read.entries.Fields(read.entries.Begin()).mean.size(), html.size());
    }
}

class ImportFiles : public testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() /
                   ("vocamint-hostile-" + std::to_string(::getpid()) + "-" +
                    testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    fs::path m_folder;
};

struct RefusedCase {
    const char* name;
    std::string path; // empty: a FIFO made in the test's folder
    const char* error;
};

TEST_F(ImportFiles, RefusesWhatIsNoRegularFileAtOnce) {
    const fs::path fifo = m_folder / "fifo.csv";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const RefusedCase cases[] = {
        // Nobody writes to it: reading would wait for ever.
        {"a FIFO", fifo.string(), "is not a regular file"},
        {"an endless device", "/dev/zero", "is not a regular file"},
        {"an endless random device", "/dev/urandom", "is not a regular file"},
        {"a folder", m_folder.string(), "is a folder"},
        {"a missing file", (m_folder / "missing.csv").string(), "cannot open"},
        // Its size says 0, yet it holds text: like a file that grows while it is read.
        {"a file that is longer than its size", "/proc/self/status", "changed while it was read"},
        // Its size says 4096, yet it ends sooner: like a file cut short while it is read.
        {"a file that is shorter than its size", "/sys/kernel/mm/transparent_hugepage/enabled",
         "changed while it was read"},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.path.starts_with("/sys/") && !fs::exists(c.path))
            continue; // no such kernel file here
        ImportedWords read;
        std::string error;
        EXPECT_FALSE(ImportFile(c.path, {}, read, error));
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

TEST_F(ImportFiles, TheWordListImportsAsItsOwnEntries) {
    const fs::path list = m_folder / "WL.txt";
    WriteBytes(list, "1 apple /ap/ n. 苹果\r\n2 take\\soff \\e \\e 起飞;\\s脱下\r\n"
                     "3 a line that is no record\r\n4 \\e \\e \\e x\r\n");
    ImportedWords read;
    std::string error;
    ASSERT_TRUE(ImportFile(list.string(), {}, read, error)) << error;
    EXPECT_EQ(read.format, ReadFormat::WordFile);
    EXPECT_EQ(ListEntries(read.entries),
              (std::vector<WordEntry>{{1, "apple", "/ap/", "n.", "苹果"},
                                      {2, "take off", "", "", "起飞; 脱下"}}));
    EXPECT_EQ(read.problems,
              (std::vector<ImportProblem>{{3, "not a record of the word list"}, {4, "no word"}}));
}

// Only the word file's own records make a file read as one: other lists with a number first
// keep their columns.
TEST(WordFile, IsRecognisedByItsRecordsOnly) {
    const std::pair<const char*, bool> cases[] = {
        {"1 apple /ap/ n. 苹果\r\n2 book \\e \\e 书\r\n", true},
        {"1 apple /ap/ n. 苹果\n", true},
        {"\r\n1 a b c d\r\nnot a record\r\n3 e f g h\r\n4 i j k l\r\n", true},
        {"7\tapple\t/ap/\tn.\t苹果\n", false}, // tab-separated, number first
        {"7,apple,/ap/,n.,苹果\n", false},     // comma-separated
        {"apple /ap/ n. 苹果 x\n", false},     // no number
        {"1 take off /tk/ v. 起飞\n", false},  // six tokens
        {"word 1 2 3 4\n1 a b c d\n", false},  // a first line that is no record
        {"1 a b c d\nx\ny\nz\n", false},       // mostly no records
        {"", false},
    };
    for (const auto& [text, wordFile] : cases) {
        EXPECT_EQ(LooksLikeWordFile(text), wordFile) << text;
    }
}

struct LossCase {
    const char* name;
    std::string bytes;
    std::size_t entries;
    std::size_t problems;     // kept
    std::size_t problemCount; // in all
    std::size_t droppedFields;
};

// Nothing a reader leaves out goes uncounted, and what it keeps of it stays small.
TEST(Losses, AreCountedAndTheirListIsBounded) {
    const LossCase cases[] = {
        {"a million bad lines", "word,meaning\nok,1\n" + Repeat("\"x\"y\n", 1000000), 1,
         ImportedWords::kMaxProblems, 1000000, 0},
        {"a million columns", "a" + Repeat(",b", 999999) + "\n", 1, 0, 0, 999998},
        {"columns past the header's names", "word,meaning\na,1,extra,more\n", 1, 0, 0, 2},
        {"a number column is no loss", "7,apple,/ap/,n.,苹果\n", 1, 0, 0, 0},
        {"an odd last byte of UTF-16",
         std::string("\xFF\xFE"
                     "a\0,\0b\0\n",
                     9),
         1, 1, 1, 0},
    };
    for (const LossCase& c : cases) {
        SCOPED_TRACE(c.name);
        ImportedWords read;
        std::string error;
        ASSERT_TRUE(ImportBytes(c.bytes, "a.csv", {}, read, error)) << error;
        EXPECT_EQ(read.entries.GetCount(), c.entries);
        EXPECT_EQ(read.problems.size(), c.problems);
        EXPECT_EQ(read.problemCount, c.problemCount);
        EXPECT_EQ(read.droppedFields, c.droppedFields);
        // The plan counts them all, not only those kept.
        EXPECT_EQ(PlanImport(read, WordList(), DuplicatePolicy::Skip).unreadable, c.problemCount);
    }
}

struct EncodingCase {
    const char* name;
    std::string bytes;
    bool ok;
    const char* wordOrError;
};

TEST(Encodings, UnmarkedUtf16IsFoundAndNothingThatFitsIsSaid) {
    const EncodingCase cases[] = {
        {"utf-16le without a mark", std::string("b\0o\0o\0k\0,\0\x66\x4E\n\0", 14), true, "book"},
        {"utf-16be without a mark", std::string("\0b\0o\0o\0k\0,\x4E\x66\0\n", 14), true, "book"},
        {"utf-16le with U+4E00, no mark", std::string("a\0b\0,\0\0\x4E\n\0", 10), true, "ab"},
        // As the import dialog's test of a binary file has it.
        {"a zero byte is binary", std::string("ab\0cd", 5), false, "not a text file"},
        {"nothing fits", "\x80\x80\xFF\xFF,x\n", false,
         "the text is not valid UTF-8, GB18030 or UTF-16"},
    };
    for (const EncodingCase& c : cases) {
        SCOPED_TRACE(c.name);
        ImportedWords read;
        std::string error;
        EXPECT_EQ(ImportBytes(c.bytes, "a.csv", {}, read, error), c.ok);
        if (c.ok) {
            ASSERT_EQ(read.entries.GetCount(), 1u);
            EXPECT_EQ(read.entries.Fields(read.entries.Begin()).word, c.wordOrError);
        } else {
            EXPECT_EQ(error, c.wordOrError);
        }
    }
}

} // namespace
