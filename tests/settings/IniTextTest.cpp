#include "settings/IniText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct FindCase {
    const char* name;
    std::string bytes;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

TEST(IniTextFind, ReadsValuesTheWayTheFileIsLaidOut) {
    const FindCase cases[] = {
        {"plain", "[Setting]\r\nIndex=-9\r\nGoto=3\r\n", "Setting", "Goto", "3"},
        {"any ASCII case", "[SETTING]\nINDEX=5\n", "setting", "iNdEx", "5"},
        {"blanks around names and value", "  [ Setting ]\t\n  Goto \t=  a b \t\n", "Setting",
         "Goto", "a b"},
        {"blanks around the asked names", "[Setting]\nGoto=x\n", " Setting ", "\tGoto ", "x"},
        {"double quotes keep blanks", "[S]\nk=\"  x  \"\n", "S", "k", "  x  "},
        {"single quotes", "[S]\nk='y'\n", "S", "k", "y"},
        {"only one pair of quotes goes", "[S]\nk=\"\"y\"\"\n", "S", "k", "\"y\""},
        {"mismatched quotes stay", "[S]\nk=\"y'\n", "S", "k", "\"y'"},
        {"a lone quote stays", "[S]\nk=\"\n", "S", "k", "\""},
        {"empty quotes", "[S]\nk=\"\"\n", "S", "k", ""},
        {"empty value", "[S]\nk=\n", "S", "k", ""},
        {"'=' in the value", "[S]\nk=a=b\n", "S", "k", "a=b"},
        {"';' in the value", "[S]\nk=a ; b\n", "S", "k", "a ; b"},
        {"high bytes", "[S]\nk=\xB5\xA5\xB4\xCA\n", "S", "k", "\xB5\xA5\xB4\xCA"},
        {"comment lines are skipped", "[S]\n;k=1\n  ; k=2\nk=3\n", "S", "k", "3"},
        {"text after the header's ']'", "[S] ; note\nk=1\n", "S", "k", "1"},
        {"first section wins", "[S]\nk=1\n[s]\nk=2\n", "S", "k", "1"},
        {"first key wins", "[S]\nk=1\nK=2\n", "S", "k", "1"},
        {"key found past other lines", "[S]\njunk\n\n;c\nk=4", "S", "k", "4"},
        {"lone CR ends lines", "[S]\rk=v\r", "S", "k", "v"},
        {"CR LF ends lines", "[S]\r\nk=v\r\n", "S", "k", "v"},
        {"byte-order mark", "\xEF\xBB\xBF[S]\r\nk=v\r\n", "S", "k", "v"},
        {"empty key name", "[S]\n=v\n", "S", "", "v"},
        {"missing key", "[S]\nk=1\n", "S", "x", std::nullopt},
        {"missing section", "[S]\nk=1\n", "T", "k", std::nullopt},
        {"key of another section", "[S]\n[T]\nk=1\n", "S", "k", std::nullopt},
        {"key before any section", "k=1\n[S]\n", "S", "k", std::nullopt},
        {"commented-out key", "[S]\n;k=1\n", "S", "k", std::nullopt},
        {"line without '='", "[S]\nk\n", "S", "k", std::nullopt},
        {"empty file", "", "S", "k", std::nullopt},
    };
    for (const FindCase& c : cases) {
        EXPECT_EQ(IniText(c.bytes).Find(c.section, c.key), c.expected) << c.name;
    }
}

struct SetCase {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    std::string value;
    std::string after;
};

TEST(IniTextSet, ChangesOnlyTheKeysLine) {
    const SetCase cases[] = {
        {"new file uses CR LF", "", "Setting", "Index", "-9", "[Setting]\r\nIndex=-9\r\n"},
        {"replace where it stands", "[Setting]\r\nIndex=5\r\nGoto=x\r\n", "Setting", "Index", "-9",
         "[Setting]\r\nIndex=-9\r\nGoto=x\r\n"},
        {"replace keeps the key's spelling and blanks", "[setting]\n  index = 5 \t\n", "Setting",
         "Index", "7", "[setting]\n  index = 7\n"},
        {"replace with empty", "[S]\nk=abc\n", "S", "k", "", "[S]\nk=\n"},
        {"new key keeps LF", "[Setting]\nIndex=1\n", "Setting", "Goto", "3",
         "[Setting]\nIndex=1\nGoto=3\n"},
        {"new key before closing comments and blanks", "[A]\na=1\n\n; note\n[B]\nb=2\n", "A", "c",
         "3", "[A]\na=1\nc=3\n\n; note\n[B]\nb=2\n"},
        {"new key in a section without keys", "[A]\n; c\n\n[B]\n", "A", "k", "v",
         "[A]\nk=v\n; c\n\n[B]\n"},
        {"new section at the end", "[A]\r\na=1\r\n", "B", "b", "2", "[A]\r\na=1\r\n[B]\r\nb=2\r\n"},
        {"new section after comments", "[A]\na=1\n\n;end\n", "B", "b", "2",
         "[A]\na=1\n\n;end\n[B]\nb=2\n"},
        {"unended last key line", "[A]\na=1", "A", "b", "2", "[A]\na=1\nb=2\n"},
        {"unended last line, new section", "[A]\na=1", "C", "c", "1", "[A]\na=1\n[C]\nc=1\n"},
        {"unended lone header", "[A]", "A", "x", "1", "[A]\r\nx=1\r\n"},
        {"replace on an unended line", "[A]\r\na=1", "A", "a", "2", "[A]\r\na=2"},
        {"line end style from the first line", "; c\r\n[A]\na=1\n", "A", "b", "2",
         "; c\r\n[A]\na=1\nb=2\r\n"},
        {"lone CR file gets CR LF", "[A]\ra=1\r", "A", "b", "2", "[A]\ra=1\rb=2\r\n"},
        {"blank LF line stays its own line", "[A]\ra=1\r\n\n[B]\n", "A", "b", "2",
         "[A]\ra=1\r\nb=2\r\n\n[B]\n"},
        {"first matching section", "[A]\na=1\n[a]\na=2\n", "a", "A", "3", "[A]\na=3\n[a]\na=2\n"},
        {"keys before sections belong to none", "a=1\n", "A", "a", "2", "a=1\n[A]\na=2\n"},
        {"byte-order mark kept", "\xEF\xBB\xBF[S]\r\nk=1\r\n", "S", "k", "2",
         "\xEF\xBB\xBF[S]\r\nk=2\r\n"},
        {"names written without blanks", "", " S ", " k ", "v", "[S]\r\nk=v\r\n"},
        {"value with edge blanks is quoted", "[S]\nk=1\n", "S", "k", " x ", "[S]\nk=\" x \"\n"},
        {"line breaks become blanks", "[S]\nk=1\n", "S", "k", "a\r\nb\nc", "[S]\nk=a b c\n"},
    };
    for (const SetCase& c : cases) {
        IniText text(c.before);
        EXPECT_TRUE(text.Set(c.section, c.key, c.value)) << c.name;
        EXPECT_EQ(text.bytes(), c.after) << c.name;
        EXPECT_EQ(text.Find(c.section, c.key), IniText::FlattenLineBreaks(c.value)) << c.name;
    }
}

TEST(IniTextSet, RefusesNamesThatWouldNotReadBack) {
    const struct {
        const char* section;
        const char* key;
        bool storable;
    } cases[] = {
        {"Setting", "Goto", true}, {"", "", true},       {"[a", "k]", true},  {"a]b", "k", false},
        {"a\nb", "k", false},      {"a\rb", "k", false}, {"S", "a=b", false}, {"S", ";k", false},
        {"S", " [k", false},       {"S", "k\n", false},  {"S", "k;", true},   {"S", "#k", true},
    };
    const std::string before = "[S]\r\nk=1\r\n";
    for (const auto& c : cases) {
        IniText text(before);
        EXPECT_EQ(text.Set(c.section, c.key, "v"), c.storable) << c.section << " / " << c.key;
        if (c.storable) {
            EXPECT_EQ(text.Find(c.section, c.key), "v") << c.section << " / " << c.key;
        } else {
            EXPECT_EQ(text.bytes(), before) << c.section << " / " << c.key;
        }
    }
}

TEST(IniTextValue, QuotesExactlyWhenReadingWouldChangeTheValue) {
    const struct {
        std::string value;
        std::string stored;
    } cases[] = {
        {"-9", "-9"},
        {"", ""},
        {"3", "3"},
        {"a b", "a b"},
        {" a", "\" a\""},
        {"a\t", "\"a\t\""},
        {" ", "\" \""},
        {"\"a\"", "\"\"a\"\""},
        {"'a'", "\"'a'\""},
        {"''", "\"''\""},
        {"\"a'", "\"a'"},
        {"\"", "\""},
        {"a=b;c[d]", "a=b;c[d]"},
        {"[S]", "[S]"},
        {";x", ";x"},
        {"\x80\xA1\xFF", "\x80\xA1\xFF"},
        {"a\r\nb\nc\rd", "a b c d"},
        {"a\n", "\"a \""},
        {"\r\n\r\n", "\"  \""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IniText::EncodeValue(c.value), c.stored) << c.value;
        EXPECT_EQ(IniText::DecodeValue(c.stored), IniText::FlattenLineBreaks(c.value)) << c.value;
    }
}

} // namespace
