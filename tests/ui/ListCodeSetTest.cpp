// Imported and exported text meets the list's code set: UTF-8 files, a list in the locale's
// bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <string>
#include <vector>

#include "ui/ListCodeSet.h"
#include "words/WordFileFormat.h"
#include "words/WordTextReader.h"

namespace {

// Switches the C library's locale for one test and puts UTF-8 back after it.
class InLocale {
public:
    explicit InLocale(const char* name) : m_ok(std::setlocale(LC_ALL, name) != nullptr) {}
    ~InLocale() { std::setlocale(LC_ALL, "C.UTF-8"); }
    bool ok() const { return m_ok; }

private:
    bool m_ok;
};

struct CodeSetCase {
    const char* name;
    const char* locale;
    std::string imported;               // UTF-8 lines "<line> word spell type mean"
    std::string held;                   // the list's bytes after the import
    std::vector<std::size_t> refusedAt; // lines left out
};

const std::string kAppleUtf8 = "\xe8\x8b\xb9\xe6\x9e\x9c"; // 苹果
const std::string kAppleGb = "\xc6\xbb\xb9\xfb";

const CodeSetCase kCases[] = {
    {"utf8_unchanged",
     "C.UTF-8",
     "3 apple \\e n. " + kAppleUtf8 + "\r\n",
     "3 apple \\e n. " + kAppleUtf8 + "\r\n",
     {}},
    {"gb18030",
     "zh_CN.gb18030",
     "3 apple \\e n. " + kAppleUtf8 + "\r\n",
     "3 apple \\e n. " + kAppleGb + "\r\n",
     {}},
    {"latin1_holds_cafe_not_chinese",
     "en_US.iso88591",
     "2 caf\xc3\xa9 \\e n. m\r\n5 apple \\e n. " + kAppleUtf8 + "\r\n7 tea \\e n. " + kAppleUtf8 +
         "\r\n",
     "2 caf\xe9 \\e n. m\r\n",
     {5, 7}},
};

class ListCodeSetTest : public ::testing::TestWithParam<CodeSetCase> {};

TEST_P(ListCodeSetTest, ImportLandsInTheListsCodeSetAndExportComesBackAsUtf8) {
    const CodeSetCase& c = GetParam();
    const InLocale locale(c.locale);
    if (!locale.ok())
        GTEST_SKIP() << c.locale << " is not installed (scripts/deps.sh test makes it)";
    ImportedWords read;
    ParseWordText(c.imported, read.entries);
    read.problems.push_back({6, "unclosed quote"}); // one of the reader's, kept in line order
    ImportIntoListCodeSet(read);
    EXPECT_EQ(FormatWordFile(read.entries), c.held);
    std::vector<std::size_t> lines;
    for (const ImportProblem& problem : read.problems)
        if (problem.reason != "unclosed quote")
            lines.push_back(problem.line);
    EXPECT_EQ(lines, c.refusedAt);
    ASSERT_TRUE(std::is_sorted(read.problems.begin(), read.problems.end(),
                               [](const auto& a, const auto& b) { return a.line < b.line; }));

    // What the list holds goes out as the UTF-8 it came in as.
    WordList converted;
    const WordList& out = ListInUtf8(read.entries, converted);
    WordList all, expected;
    ParseWordText(c.imported, all);
    for (WordPos pos = all.Begin(); pos != all.End(); pos = all.Next(pos)) {
        const WordEntry entry = all.At(pos);
        const auto line = static_cast<std::size_t>(entry.number);
        if (std::find(c.refusedAt.begin(), c.refusedAt.end(), line) == c.refusedAt.end())
            expected.Append(entry);
    }
    EXPECT_EQ(FormatWordFile(out), FormatWordFile(expected));
}

INSTANTIATE_TEST_SUITE_P(CodeSet, ListCodeSetTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
