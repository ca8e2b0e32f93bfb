#include <gtest/gtest.h>

#include "tests/exchange/Printers.h"

#include <cctype>
#include <string>
#include <vector>

#include "exchange/HtmlText.h"
#include "exchange/Import.h"
#include "exchange/WordTypes.h"
#include "tests/support/ListEntries.h"

namespace {

struct ReadCase {
    const char* name;
    std::string bytes;
    const char* fileName;
    // Each entry's number is the line it starts on.
    std::vector<WordEntry> entries;
    std::vector<ImportProblem> problems;
    bool ok = true;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class Reading : public testing::TestWithParam<ReadCase> {};

TEST_P(Reading, GivesTheEntriesAndProblems) {
    const ReadCase& c = GetParam();
    ImportedWords read;
    std::string error;
    EXPECT_EQ(ImportBytes(c.bytes, c.fileName, {}, read, error), c.ok) << error;
    EXPECT_EQ(ListEntries(read.entries), c.entries);
    EXPECT_EQ(read.problems, c.problems);
}

const std::string kKvtml = R"(<?xml version="1.0" encoding="UTF-8"?>
<kvtml version="2.0">
 <entries>
  <entry id="0">
   <translation id="0"><text>apple</text><pronunciation>/ap/</pronunciation></translation>
   <translation id="1"><text>苹果</text></translation>
  </entry>
  <entry id="1">
   <translation id="1"><text>no word here</text></translation>
  </entry>
  <entry id="2">
   <translation id="0"><text>run</text></translation>
   <translation id="1"><text>跑</text></translation>
  </entry>
 </entries>
 <wordtypes>
  <container><name>Noun</name><entry id="0"><translation id="0"/></entry></container>
  <container><name>Verb</name>
   <container><name>Irregular</name><entry id="2"><translation id="0"/></entry></container>
  </container>
 </wordtypes>
</kvtml>
)";

INSTANTIATE_TEST_SUITE_P(
    Formats, Reading,
    testing::Values(
        ReadCase{"two columns by comma",
                 "apple,苹果\nbook,书\n",
                 "a.csv",
                 {{1, "apple", "", "", "苹果"}, {2, "book", "", "", "书"}},
                 {}},
        ReadCase{"three columns by semicolon",
                 "apple;/ap/;苹果\r\nbook;/bk/;书\r\n",
                 "a.csv",
                 {{1, "apple", "/ap/", "", "苹果"}, {2, "book", "/bk/", "", "书"}},
                 {}},
        ReadCase{"four columns by tab",
                 "apple\t/ap/\tn.\t苹果\n",
                 "a.txt",
                 {{1, "apple", "/ap/", "n.", "苹果"}},
                 {}},
        ReadCase{"five columns drop the number",
                 "7,apple,/ap/,n.,苹果\n8,book,/bk/,n.,书\n",
                 "a.csv",
                 {{1, "apple", "/ap/", "n.", "苹果"}, {2, "book", "/bk/", "n.", "书"}},
                 {}},
        ReadCase{"header names in English pick the columns",
                 "Meaning,Word,IPA,Part of speech\n苹果,apple,/ap/,n.\n",
                 "a.csv",
                 {{2, "apple", "/ap/", "n.", "苹果"}},
                 {}},
        ReadCase{"header names in Chinese pick the columns",
                 "单词\t释义\t音标\nbook\t书\t/bk/\n",
                 "a.tsv",
                 {{2, "book", "/bk/", "", "书"}},
                 {}},
        ReadCase{"quotes hold separators, doubled quotes and line breaks",
                 "\"a, b\",\"say \"\"hi\"\"\"\n\"two\r\nlines\",x\nlast,y\n",
                 "a.csv",
                 {{1, "a, b", "", "", "say \"hi\""},
                  {2, "two\r\nlines", "", "", "x"},
                  {4, "last", "", "", "y"}},
                 {}},
        ReadCase{"an unclosed quote spoils only its line",
                 "a,1\n\"b,2\nc,3\n",
                 "a.csv",
                 {{1, "a", "", "", "1"}, {3, "c", "", "", "3"}},
                 {{2, "unclosed quote"}}},
        ReadCase{"text after a closing quote",
                 "a,1\n\"b\"x,2\nc,3\n",
                 "a.csv",
                 {{1, "a", "", "", "1"}, {3, "c", "", "", "3"}},
                 {{2, "text after a closing quote"}}},
        ReadCase{"a row without a word",
                 "a,1\n,2\n   ,3\n",
                 "a.csv",
                 {{1, "a", "", "", "1"}},
                 {{2, "no word"}, {3, "no word"}}},
        ReadCase{"mixed line ends and blank lines",
                 "a,1\r\nb,2\rc,3\n\n\r\nd,4",
                 "a.csv",
                 {{1, "a", "", "", "1"},
                  {2, "b", "", "", "2"},
                  {3, "c", "", "", "3"},
                  {6, "d", "", "", "4"}},
                 {}},
        ReadCase{"ragged rows keep what they have",
                 "a,/a/,1\nb\nc,/c/,3,n.,extra\n",
                 "a.csv",
                 {{1, "a", "/a/", "", "1"}, {2, "b", "", "", ""}, {3, "c", "/c/", "n.", "3"}},
                 {}},
        ReadCase{"a utf-8 byte-order mark",
                 "\xEF\xBB\xBFword,meaning\nbook,书\n",
                 "a.csv",
                 {{2, "book", "", "", "书"}},
                 {}},
        ReadCase{"utf-16le with a mark",
                 std::string("\xFF\xFE"
                             "b\0o\0o\0k\0,\0\x66\x4E\n\0",
                             16),
                 "a.csv",
                 {{1, "book", "", "", "书"}},
                 {}},
        ReadCase{"utf-16be with a mark",
                 std::string("\xFE\xFF\0a\0,\0b", 8),
                 "a.csv",
                 {{1, "a", "", "", "b"}},
                 {}},
        ReadCase{
            "gb18030 when not utf-8", "book,\xCA\xE9\n", "a.csv", {{1, "book", "", "", "书"}}, {}},
        ReadCase{"an empty file", "", "a.csv", {}, {}, false},
        ReadCase{"blanks only", " \r\n\t\n", "a.csv", {}, {}, false},
        ReadCase{"a header alone", "word,meaning\r\n", "a.csv", {}, {}, false},
        ReadCase{"flashcard export with html",
                 "#separator:tab\n#html:true\n#notetype column:1\n#columns:Note\tFront\tBack\n"
                 "Basic\t<b>apple</b>[sound:apple.mp3]\t&lt;fruit&gt;<br>&#33529;&#x679C;&amp;\n",
                 "a.txt",
                 {{5, "apple", "", "", "<fruit> 苹果&"}},
                 {}},
        ReadCase{"flashcard export without column names",
                 "#separator:Semicolon\n#html:false\nfront;<b>back</b>\n",
                 "a.txt",
                 {{3, "front", "", "", "<b>back</b>"}},
                 {}},
        ReadCase{"word list with notes that are a type",
                 "apple\t/ap/\t苹果\nrun\t/rn/\t跑\tv.\nsee\t/si/\t看\tirregular\n",
                 "a.txt",
                 {{1, "apple", "/ap/", "", "苹果"},
                  {2, "run", "/rn/", "v.", "跑"},
                  {3, "see", "/si/", "", "看"}},
                 {}},
        ReadCase{"kvtml",
                 kKvtml,
                 "a.kvtml",
                 {{4, "apple", "/ap/", "Noun", "苹果"}, {11, "run", "", "Irregular", "跑"}},
                 {{8, "no word"}}},
        ReadCase{"kvtml found by its content",
                 kKvtml,
                 "list.txt",
                 {{4, "apple", "/ap/", "Noun", "苹果"}, {11, "run", "", "Irregular", "跑"}},
                 {{8, "no word"}}},
        ReadCase{"broken xml",
                 "<?xml version=\"1.0\"?><kvtml><entries><entry",
                 "a.kvtml",
                 {},
                 {},
                 false},
        ReadCase{
            "xml that is no kvtml", "<?xml version=\"1.0\"?><html/>", "a.kvtml", {}, {}, false}),
    [](const testing::TestParamInfo<ReadCase>& info) {
        std::string name = info.param.name;
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) {
                c = '_';
            }
        }
        return name;
    });

TEST(Reading, ReportsWhatItFound) {
    ImportedWords read;
    std::string error;
    ASSERT_TRUE(ImportBytes("Word;Meaning\nbook;\xCA\xE9\n", "a.csv", {}, read, error));
    EXPECT_EQ(read.encoding, TextEncoding::Gb18030);
    EXPECT_EQ(read.separator, ';');
    EXPECT_TRUE(read.header);
    EXPECT_EQ(read.columns, (ColumnMap{0, -1, -1, 1}));
}

TEST(Reading, TheCallerMayForceTheEncodingAndTheSeparator) {
    // Valid UTF-8 that the learner knows to be GB18030 text.
    ImportOptions options;
    options.encoding = TextEncoding::Gb18030;
    options.delimited.separator = ',';
    ImportedWords read;
    std::string error;
    ASSERT_TRUE(ImportBytes("a;b,\xC3\xA9", "a.txt", options, read, error)) << error;
    EXPECT_EQ(ListEntries(read.entries), (std::vector<WordEntry>{{1, "a;b", "", "", "茅"}}));
}

TEST(Reading, ForcedUtf8RefusesOtherBytes) {
    ImportOptions options;
    options.encoding = TextEncoding::Utf8;
    ImportedWords read;
    std::string error;
    EXPECT_FALSE(ImportBytes("book,\xCA\xE9\n", "a.csv", options, read, error));
    EXPECT_EQ(error, "the text is not valid UTF-8");
}

TEST(Reading, CountsNotesThatAreDropped) {
    ImportedWords read;
    std::string error;
    ASSERT_TRUE(
        ImportBytes("a\t/a/\tx\tsee page 4\nb\t/b/\ty\tn.\nc\t/c/\tz\n", "a.txt", {}, read, error));
    EXPECT_EQ(read.droppedFields, 1u);
}

TEST(WordTypes, AreRecognised) {
    for (const char* type : {"n.", "vt.", "adj./adv.", "Noun", "n. & v.", "形容词", "prep"}) {
        EXPECT_TRUE(LooksLikeWordType(type)) << type;
    }
    for (const char* notes : {"", "see also", "irregular", "n.b. rare", "vt.x"}) {
        EXPECT_FALSE(LooksLikeWordType(notes)) << notes;
    }
}

TEST(Html, BecomesPlainText) {
    const std::pair<const char*, const char*> cases[] = {
        {"a<br>b<BR/>c<br />d", "a b c d"},
        {"<div>x</div>", "x"},
        {"1 < 2 &gt; 0", "1 < 2 > 0"},
        {"&#0; &#xD800; &bogus; &amp", "&#0; &#xD800; &bogus; &amp"},
        {"[sound:a.mp3] word [sound:unclosed", "word [sound:unclosed"},
        {"&nbsp;x&nbsp;", "x"},
    };
    for (const auto& [html, text] : cases) {
        EXPECT_EQ(HtmlToText(html), text) << html;
    }
}

} // namespace
