// The byte strings of the locale's code set and their conversion to the toolkit's text.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "framework/CString.h"
#include "framework/TextCodec.h"
#include "res/ResourceIds.h"
#include "tests/framework/RecordingDialog.h"

namespace {

// Switches the C library's locale for one test and restores it afterwards.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : m_previous(std::setlocale(LC_ALL, nullptr)) {
        m_ok = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, m_previous.c_str()); }
    bool ok() const { return m_ok; }

private:
    std::string m_previous;
    bool m_ok = false;
};

#define REQUIRE_LOCALE(locale, name)                                                               \
    ScopedLocale locale(name);                                                                     \
    if (!locale.ok())                                                                              \
    GTEST_SKIP() << "locale " name " is not installed (generate it with: localedef -i zh_CN -f "   \
                    "GB18030 zh_CN.GB18030)"

struct CodecCase {
    std::string bytes;
    QString text;
    std::string back; // FromQString(text)
};

void CheckCodec(const CodecCase& c) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(ToQString(c.bytes), c.text);
    EXPECT_EQ(FromQString(c.text), c.back);
}

const QChar kBad(0xFFFD);

TEST(TextCodec, Utf8ConvertsEveryInvalidByteToOneReplacement) {
    REQUIRE_LOCALE(locale, "C.UTF-8");
    const CodecCase cases[] = {
        {"", "", ""},
        {"abc def", "abc def", "abc def"},
        {"\xe5\x8d\x95\xe8\xaf\x8d", QString::fromUtf8("单词"), "\xe5\x8d\x95\xe8\xaf\x8d"},
        {"\xf0\x9f\x98\x80", QString::fromUtf8("😀"), "\xf0\x9f\x98\x80"},
        {"\xff", QString(kBad), "\xef\xbf\xbd"},
        {"a\xe4\xb8", QStringLiteral("a") + kBad + kBad, "a\xef\xbf\xbd\xef\xbf\xbd"},
        {"\xc0\x80z", QString(kBad) + kBad + "z", "\xef\xbf\xbd\xef\xbf\xbdz"},
        {"\xed\xa0\x80", QString(3, kBad), "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"}, // a surrogate
        {std::string("a\0b", 3), QString(QStringLiteral("a")) + QChar(0) + "b",
         std::string("a\0b", 3)},
    };
    for (const CodecCase& c : cases)
        CheckCodec(c);
}

TEST(TextCodec, Gb18030WordsConvertAndComeBackByteIdentical) {
    REQUIRE_LOCALE(locale, "zh_CN.GB18030");
    const CodecCase cases[] = {
        {"\xb5\xa5\xb4\xca", QString::fromUtf8("单词"), "\xb5\xa5\xb4\xca"},
        {"\xb9\xd8\xd3\xda Vocamint(&A)...", QString::fromUtf8("关于 Vocamint(&A)..."),
         "\xb9\xd8\xd3\xda Vocamint(&A)..."},
        {"\xa8\xa6", QString::fromUtf8("é"), "\xa8\xa6"},
        {"\xa2\xe3", QString::fromUtf8("€"), "\xa2\xe3"},
        {"\x94\x39\xfc\x36", QString::fromUtf8("😀"), "\x94\x39\xfc\x36"},
        // A lead byte without its trail, and a lone 0xFF.
        {"a\xb5", QStringLiteral("a") + kBad, "a\x84\x31\xa4\x37"},
        {"\xff", QString(kBad), "\x84\x31\xa4\x37"},
    };
    for (const CodecCase& c : cases)
        CheckCodec(c);
}

TEST(TextCodec, CharactersTheCodeSetCannotHoldBecomeQuestionMarks) {
    REQUIRE_LOCALE(locale, "C");
    EXPECT_EQ(FromQString(QString::fromUtf8("a单b词")), "a?b?");
    EXPECT_EQ(FromQString(QStringLiteral("plain")), "plain");
}

TEST(CString, TrimRemovesOnlyTheSixBlankCharacters) {
    struct Case {
        std::string text, left, right;
    };
    const Case cases[] = {
        {"", "", ""},
        {" \t\r\n\v\fword \t\r\n\v\f", "word \t\r\n\v\f", " \t\r\n\v\fword"},
        {"  two words  ", "two words  ", "  two words"},
        {"\xa1\xa1word\xa1\xa1", "\xa1\xa1word\xa1\xa1", "\xa1\xa1word\xa1\xa1"},
        {std::string("\0x\0", 3), std::string("\0x\0", 3), std::string("\0x\0", 3)},
        {" \t ", "", ""},
    };
    for (const Case& c : cases) {
        CString left(c.text), right(c.text);
        EXPECT_EQ(left.TrimLeft().str(), c.left);
        EXPECT_EQ(right.TrimRight().str(), c.right);
    }
}

TEST(CString, FormatGrowsToFitAnyLength) {
    CString text;
    text.Format("Page: %d/%d", 3, 4);
    EXPECT_EQ(text.str(), "Page: 3/4");
    const std::string path(5000, 'p');
    text.Format("Open file '%s' failed!", path.c_str());
    EXPECT_EQ(text.str(), "Open file '" + path + "' failed!");
    text.Format("%s", "");
    EXPECT_TRUE(text.IsEmpty());
}

TEST(CString, LoadStringConvertsTheResourceToTheCodeSet) {
    CString text("old");
    EXPECT_FALSE(text.LoadString(9999));
    {
        REQUIRE_LOCALE(locale, "C.UTF-8");
        ASSERT_TRUE(text.LoadString(IDS_ABOUTBOX));
        EXPECT_EQ(text.str(), "\xe5\x85\xb3\xe4\xba\x8e Vocamint(&A)...");
    }
    REQUIRE_LOCALE(locale, "zh_CN.GB18030");
    ASSERT_TRUE(text.LoadString(IDS_ABOUTBOX));
    EXPECT_EQ(text.str(), "\xb9\xd8\xd3\xda Vocamint(&A)...");
}

} // namespace
