// Which first lines are column names, which column gives which field, and the choices a
// learner makes over both.
#include <gtest/gtest.h>

#include "tests/exchange/Printers.h"

#include <optional>
#include <string>
#include <vector>

#include "exchange/ColumnGuess.h"
#include "exchange/Import.h"
#include "tests/support/ListEntries.h"

namespace {

inline void PrintTo(const ColumnMap& map, std::ostream* out) {
    *out << "{word " << map.word << ", spell " << map.spell << ", type " << map.type << ", mean "
         << map.mean << "}";
}

struct HeaderCase {
    const char* name;
    const char* text;
    bool header;
    ColumnMap columns;
    WordEntry firstEntry;
};

void PrintTo(const HeaderCase& c, std::ostream* out) {
    *out << c.name;
}

class HeaderGuess : public testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderGuess, TellsNamesFromEntriesAndMapsTheColumns) {
    const HeaderCase& c = GetParam();
    ImportedWords read;
    std::string error;
    ASSERT_TRUE(ImportBytes(c.text, "list.csv", {}, read, error)) << error;
    EXPECT_EQ(read.header, c.header);
    EXPECT_EQ(read.columns, c.columns);
    ASSERT_GT(read.entries.GetCount(), 0u);
    EXPECT_EQ(read.entries.At(read.entries.Begin()), c.firstEntry);
}

const HeaderCase kHeaderCases[] = {
    // Two names no field knows and one that does: the word, its meaning, its type.
    {"languages_and_part_of_speech",
     "German,English,Part of speech\nHund,dog,n.\nKatze,cat,n.\n",
     true,
     {0, -1, 2, 1},
     {2, "Hund", "", "n.", "dog"}},
    {"known_names_in_another_order",
     "meaning,word,type\n苹果,apple,n.\n梨,pear,n.\n",
     true,
     {1, -1, 2, 0},
     {2, "apple", "", "n.", "苹果"}},
    {"german_names",
     "Wort;Bedeutung\nHund;dog\nKatze;cat\n",
     true,
     {0, -1, -1, 1},
     {2, "Hund", "", "", "dog"}},
    // Names of no field, told by their script alone.
    {"names_in_another_script",
     "单词,意思x\napple,苹果\npear,梨\nkiwi,猕猴桃\n",
     true,
     {0, -1, -1, 1},
     {2, "apple", "", "", "苹果"}},
    {"two_plain_columns",
     "apple,苹果\npear,梨\nkiwi,猕猴桃\n",
     false,
     {0, -1, -1, 1},
     {1, "apple", "", "", "苹果"}},
    {"ordinary_pair_in_the_same_script",
     "Haus,house\nHund,dog\nKatze,cat\n",
     false,
     {0, -1, -1, 1},
     {1, "Haus", "", "", "house"}},
    // "word" and "单词" are names, but "n." makes the line an entry: the word "word".
    {"a_type_makes_an_entry",
     "word,n.,单词\nbook,n.,书\nrun,v.,跑\n",
     false,
     {0, -1, 1, 2},
     {1, "word", "", "n.", "单词"}},
    // A meaning with a type before it is as Chinese as one without.
    {"type_before_a_meaning",
     "apple,n. 苹果\npear,梨\nkiwi,猕猴桃\n",
     false,
     {0, -1, -1, 1},
     {1, "apple", "", "", "n. 苹果"}},
    // A number is never a name, however the column below it looks.
    {"number_first",
     "1984,一九八四\napple,苹果\npear,梨\n",
     false,
     {0, -1, -1, 1},
     {1, "1984", "", "", "一九八四"}},
    // The type column is found wherever it stands among three.
    {"type_last_without_header",
     "Hund,dog,n.\nKatze,cat,n.\nlaufen,run,v.\n",
     false,
     {0, -1, 2, 1},
     {1, "Hund", "", "n.", "dog"}},
    {"spell_between_stays_spell",
     "apple,/ap/,苹果\npear,/pe/,梨\n",
     false,
     {0, 1, -1, 2},
     {1, "apple", "/ap/", "", "苹果"}},
    {"phonetic_column_below_a_name",
     "Vokabel,Lautschrift,中文\napple,/ap/,苹果\npear,/pe/,梨\n",
     true,
     {0, -1, -1, 2},
     {2, "apple", "", "", "苹果"}},
};

INSTANTIATE_TEST_SUITE_P(FirstLines, HeaderGuess, testing::ValuesIn(kHeaderCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ChoiceCase {
    const char* name;
    std::optional<bool> header;
    const char* columns; // as on the command line; nullptr: guessed
    std::vector<WordEntry> entries;
    std::size_t droppedFields = 0;
};

void PrintTo(const ChoiceCase& c, std::ostream* out) {
    *out << c.name;
}

const char* const kLanguages = "German,English,Part of speech\nHund,dog,n.\nKatze,cat,n.\n";

class LearnersChoice : public testing::TestWithParam<ChoiceCase> {};

// Read from the file, and again from the text kept from a first reading with no choice: both
// give the same.
TEST_P(LearnersChoice, IsObeyedAndTheKeptTextReadsTheSame) {
    const ChoiceCase& c = GetParam();
    ImportOptions options;
    options.delimited.header = c.header;
    if (c.columns != nullptr) {
        ColumnMap map;
        std::string error;
        ASSERT_TRUE(ParseColumnChoice(c.columns, map, error)) << error;
        options.delimited.columns = map;
    }
    ImportedWords read;
    std::string error;
    ASSERT_TRUE(ImportBytes(kLanguages, "in.csv", options, read, error)) << error;
    EXPECT_EQ(ListEntries(read.entries), c.entries);
    EXPECT_EQ(read.droppedFields, c.droppedFields);

    ImportedWords first;
    std::string text;
    ASSERT_TRUE(ImportBytes(kLanguages, "in.csv", {}, first, error, &text)) << error;
    EXPECT_EQ(text, kLanguages);
    ImportedWords again;
    ASSERT_TRUE(ImportText(text, "in.csv", options, again, error)) << error;
    EXPECT_EQ(ListEntries(again.entries), c.entries);
    EXPECT_EQ(again.columns, read.columns);
    EXPECT_EQ(again.header, read.header);
    EXPECT_EQ(again.sampleRows, read.sampleRows);
}

const ChoiceCase kChoiceCases[] = {
    {"guessed",
     std::nullopt,
     nullptr,
     {{2, "Hund", "", "n.", "dog"}, {3, "Katze", "", "n.", "cat"}}},
    // The first line is then an entry, and the type column is still found below it.
    {"no_header",
     false,
     nullptr,
     {{1, "German", "", "Part of speech", "English"},
      {2, "Hund", "", "n.", "dog"},
      {3, "Katze", "", "n.", "cat"}}},
    {"columns_by_role",
     true,
     "meaning,word,-",
     {{2, "dog", "", "", "Hund"}, {3, "cat", "", "", "Katze"}}},
    {"columns_by_number",
     std::nullopt,
     "word=2, type=3 ,meaning=1",
     {{2, "dog", "", "n.", "Hund"}, {3, "cat", "", "n.", "Katze"}}},
    {"spell_by_its_other_name",
     false,
     "word,pronunciation",
     {{1, "German", "English", "", ""}, {2, "Hund", "dog", "", ""}, {3, "Katze", "cat", "", ""}}},
};

INSTANTIATE_TEST_SUITE_P(Choices, LearnersChoice, testing::ValuesIn(kChoiceCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ColumnChoice, ParsesOrSaysWhatIsWrong) {
    const struct {
        const char* text;
        std::optional<ColumnMap> map; // unset: refused
        const char* error = "";
    } cases[] = {
        {"word,meaning,type", ColumnMap{0, -1, 2, 1}},
        {"Word, Spell, -, Meaning", ColumnMap{0, 1, -1, 3}},
        {"skip,word,none,mean", ColumnMap{1, -1, -1, 3}},
        {"meaning=1,word=3", ColumnMap{2, -1, -1, 0}},
        {"word", ColumnMap{0, -1, -1, -1}},
        {"meaning,type", std::nullopt, "no column is the word"},
        {"word,word", std::nullopt, "'word' is given twice"},
        {"word=1,meaning=1", std::nullopt, "column 1 is given twice"},
        {"word,colour", std::nullopt, "unknown column 'colour' (word, spell, type, meaning or -)"},
        {"word=0", std::nullopt, "bad column number '0' (from 1 up)"},
        {"word=2x", std::nullopt, "bad column number '2x' (from 1 up)"},
        {"word=99999999999", std::nullopt, "bad column number '99999999999' (from 1 up)"},
        {"word=1,meaning", std::nullopt,
         "give either the role of each column or field=number for each field"},
        {"", std::nullopt, "unknown column '' (word, spell, type, meaning or -)"},
        {"word,", std::nullopt, "unknown column '' (word, spell, type, meaning or -)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ColumnMap map{7, 7, 7, 7};
        std::string error;
        EXPECT_EQ(ParseColumnChoice(c.text, map, error), c.map.has_value());
        if (c.map) {
            EXPECT_EQ(map, *c.map);
        } else {
            EXPECT_EQ(error, c.error);
        }
    }
    // A list of more columns than any record keeps is refused, not copied.
    std::string many = "word";
    for (int i = 0; i < 2000; ++i)
        many += ",-";
    ColumnMap map;
    std::string error;
    EXPECT_FALSE(ParseColumnChoice(many, map, error));
    EXPECT_EQ(error, "too many columns");
}

TEST(ColumnChoice, HeaderIsYesNoOrAuto) {
    const struct {
        const char* text;
        bool ok;
        std::optional<bool> header;
    } cases[] = {
        {"yes", true, true},          {"no", true, false},       {"auto", true, std::nullopt},
        {"YES", false, std::nullopt}, {"", false, std::nullopt}, {"1", false, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::optional<bool> header;
        EXPECT_EQ(ParseHeaderChoice(c.text, header), c.ok);
        if (c.ok) {
            EXPECT_EQ(header, c.header);
        }
    }
}

TEST(ColumnChoice, SummarySaysWhereEachColumnWent) {
    const struct {
        ColumnMap map;
        std::vector<std::string> names;
        bool header;
        const char* text;
    } cases[] = {
        {{0, -1, 2, 1},
         {"German", "English", "Part of speech"},
         true,
         "word 1 (German), type 3 (Part of speech), meaning 2 (English); the first line held "
         "column names"},
        {{1, 0, -1, -1}, {}, false, "word 2, spell 1; no line of column names"},
        {{0, -1, -1, 3}, {"", " "}, true, "word 1, meaning 4; the first line held column names"},
        {{}, {}, false, "no column; no line of column names"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ColumnsSummary(c.map, c.names, c.header), c.text);
    }
}

// Giving a column a field takes that field from the column that had it, and the column's
// own field from it: no field ever has two columns.
TEST(ColumnChoice, GivingAColumnARoleKeepsEachFieldToOneColumn) {
    const struct {
        const char* name;
        int column;
        ColumnRole role;
        ColumnMap after;
    } cases[] = {
        {"free_column_takes_the_type", 3, ColumnRole::Type, {0, 1, 3, 2}},
        {"meaning_moves_to_the_spell_column", 1, ColumnRole::Meaning, {0, -1, -1, 1}},
        {"word_column_not_imported", 0, ColumnRole::None, {-1, 1, -1, 2}},
        {"same_role_again_changes_nothing", 2, ColumnRole::Meaning, {0, 1, -1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ColumnMap after = WithRole(ColumnMap{0, 1, -1, 2}, c.column, c.role);
        EXPECT_EQ(after, c.after);
        EXPECT_EQ(RolesOf(after, 4)[static_cast<std::size_t>(c.column)], c.role);
    }
}

} // namespace
