// The word label's text: the word padded to 28 display columns, one blank, the spell.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "ui/RowText.h"

namespace {

struct RowTextCase {
    const char* name;
    const char* locale;
    std::string word;
    std::string spell;
    std::string expected;
};

const std::string kChinese = "\xe8\x8b\xb9\xe6\x9e\x9c"; // two double-width characters in UTF-8
const std::string kGbChinese = "\xc6\xbb\xb9\xfb";       // the same two in GB18030

const RowTextCase kRowTextCases[] = {
    {"five_bytes", "C.UTF-8", "apple", "/ap/", "apple" + std::string(24, ' ') + "/ap/"},
    {"empty_spell", "C.UTF-8", "apple", "", "apple" + std::string(24, ' ')},
    {"empty_word", "C.UTF-8", "", "s", std::string(29, ' ') + "s"},
    {"chinese_utf8", "C.UTF-8", kChinese, "s", kChinese + std::string(25, ' ') + "s"},
    {"chinese_gb18030", "zh_CN.gb18030", kGbChinese, "s", kGbChinese + std::string(25, ' ') + "s"},
    {"width_27", "C.UTF-8", std::string(27, 'x'), "s", std::string(27, 'x') + "  s"},
    {"width_28_not_cut", "C.UTF-8", std::string(28, 'x'), "s", std::string(28, 'x') + " s"},
    {"wider_not_cut", "C.UTF-8", std::string(40, 'x'), "s", std::string(40, 'x') + " s"},
    {"chinese_wider_not_cut", "C.UTF-8",
     [] {
         std::string w;
         for (int i = 0; i < 15; ++i)
             w += kChinese.substr(0, 3);
         return w;
     }(),
     "s",
     [] {
         std::string w;
         for (int i = 0; i < 15; ++i)
             w += kChinese.substr(0, 3);
         return w + " s";
     }()},
    {"invalid_bytes_one_each", "C.UTF-8", "\xff\xfe", "s", "\xff\xfe" + std::string(27, ' ') + "s"},
    {"truncated_sequence", "C.UTF-8", "a\xe8\x8b", "s", "a\xe8\x8b" + std::string(26, ' ') + "s"},
    {"long_spell_kept", "C.UTF-8", "a", std::string(1000, 's'),
     "a" + std::string(28, ' ') + std::string(1000, 's')},
};

class RowTextTest : public ::testing::TestWithParam<RowTextCase> {
protected:
    void SetUp() override { m_old = std::setlocale(LC_ALL, nullptr); }
    void TearDown() override { std::setlocale(LC_ALL, m_old.c_str()); }
    std::string m_old;
};

TEST_P(RowTextTest, Formats) {
    const RowTextCase& c = GetParam();
    if (!std::setlocale(LC_ALL, c.locale))
        GTEST_SKIP() << "locale " << c.locale << " not installed";
    EXPECT_EQ(FormatRowText(c.word, c.spell), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Words, RowTextTest, ::testing::ValuesIn(kRowTextCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
