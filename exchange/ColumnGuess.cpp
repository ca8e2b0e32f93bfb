#include "exchange/ColumnGuess.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <utility>

#include "base/AsciiText.h"
#include "exchange/WordTypes.h"

namespace {

// Column names that say only which language a column is in; two of them head a list of words
// and their meanings.
bool IsLanguageName(std::string_view name) {
    static constexpr std::string_view kLanguages[] = {
        "english",  "german",   "deutsch", "englisch", "french",   "français", "francais",
        "anglais",  "spanish",  "español", "espanol",  "inglés",   "ingles",   "italian",
        "italiano", "inglese",  "russian", "chinese",  "japanese", "korean",   "portuguese",
        "dutch",    "polish",   "swedish", "turkish",  "arabic",   "latin",    "greek",
        "英语",     "英文",     "汉语",    "日语",     "德语",     "法语",     "韩语",
        "俄语",     "西班牙语", "英語",    "日本語",   "中国語",   "ドイツ語", "フランス語",
    };
    const std::string_view key = ascii::Trim(name);
    return key.size() <= 16 &&
           std::any_of(std::begin(kLanguages), std::end(kLanguages),
                       [&](std::string_view known) { return ascii::EqualsNoCase(key, known); });
}

// The code point at `at` in UTF-8 text, moving `at` past it; a byte that starts no valid
// sequence reads as U+FFFD.
char32_t NextCodePoint(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const std::size_t length = lead < 0x80    ? 1
                               : lead >= 0xF0 ? 4
                               : lead >= 0xE0 ? 3
                               : lead >= 0xC0 ? 2
                                              : 0;
    if (length == 0 || at + length > text.size()) {
        ++at;
        return 0xFFFD;
    }
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            ++at;
            return 0xFFFD;
        }
        code = code << 6 | (byte(at + i) & 0x3F);
    }
    at += length;
    return code;
}

bool InRange(char32_t c, char32_t from, char32_t to) {
    return c >= from && c <= to;
}

CellShape ScriptOf(char32_t c) {
    using enum CellShape;
    if (c < 0x80) {
        return ascii::IsLetter(static_cast<char>(c)) ? Latin : Empty;
    }
    if ((InRange(c, 0xC0, 0x2AF) && c != 0xD7 && c != 0xF7) || InRange(c, 0x1E00, 0x1EFF)) {
        return Latin;
    }
    if (InRange(c, 0x370, 0x3FF) || InRange(c, 0x1F00, 0x1FFF)) {
        return Greek;
    }
    if (InRange(c, 0x400, 0x52F)) {
        return Cyrillic;
    }
    if (InRange(c, 0x1100, 0x11FF) || InRange(c, 0x2E80, 0x2FDF) || InRange(c, 0x3040, 0x9FFF) ||
        InRange(c, 0xAC00, 0xD7AF) || InRange(c, 0xF900, 0xFAFF) || InRange(c, 0xFF66, 0xFFDC) ||
        InRange(c, 0x20000, 0x3FFFF)) {
        return Cjk;
    }
    // Punctuation, symbols, marks and spaces say nothing of the script.
    if (InRange(c, 0x80, 0xBF) || InRange(c, 0x2B0, 0x36F) || InRange(c, 0x2000, 0x2E7F) ||
        InRange(c, 0x3000, 0x303F) || InRange(c, 0xFE00, 0xFE6F) || InRange(c, 0xFF00, 0xFF65) ||
        c == 0xFFFD) {
        return Empty;
    }
    return OtherScript;
}

} // namespace

ColumnRole HeaderRole(std::string_view name) {
    using enum ColumnRole;
    static constexpr std::pair<std::string_view, ColumnRole> kNames[] = {
        {"word", Word},
        {"front", Word},
        {"term", Word},
        {"单词", Word},
        {"词", Word},
        {"词汇", Word},
        {"meaning", Meaning},
        {"mean", Meaning},
        {"back", Meaning},
        {"definition", Meaning},
        {"translation", Meaning},
        {"释义", Meaning},
        {"意思", Meaning},
        {"中文", Meaning},
        {"词义", Meaning},
        {"解释", Meaning},
        {"翻译", Meaning},
        {"pronunciation", Spell},
        {"ipa", Spell},
        {"spell", Spell},
        {"phonetic", Spell},
        {"音标", Spell},
        {"发音", Spell},
        {"part of speech", Type},
        {"type", Type},
        {"pos", Type},
        {"word type", Type},
        {"词性", Type},
        {"number", Number},
        {"no.", Number},
        {"no", Number},
        {"#", Number},
        {"id", Number},
        {"序号", Number},
        {"编号", Number},
        // German, French, Spanish and Japanese names a learner's own list may carry.
        {"wort", Word},
        {"vokabel", Word},
        {"bedeutung", Meaning},
        {"übersetzung", Meaning},
        {"Übersetzung", Meaning},
        {"aussprache", Spell},
        {"wortart", Type},
        {"mot", Word},
        {"sens", Meaning},
        {"signification", Meaning},
        {"traduction", Meaning},
        {"prononciation", Spell},
        {"palabra", Word},
        {"significado", Meaning},
        {"traducción", Meaning},
        {"traduccion", Meaning},
        {"pronunciación", Spell},
        {"単語", Word},
        {"意味", Meaning},
        {"発音", Spell},
        {"品詞", Type},
        {"読み", Spell},
    };
    const std::string_view key = ascii::Trim(name);
    // No name is longer; this keeps a huge field from being compared at all.
    if (key.size() > 16) {
        return None;
    }
    for (const auto& [known, role] : kNames) {
        if (ascii::EqualsNoCase(key, known)) {
            return role;
        }
    }
    return None;
}

ColumnMap MapByNames(const std::vector<std::string_view>& names) {
    ColumnMap map;
    std::vector<ColumnRole> roles;
    roles.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        roles.push_back(HeaderRole(names[i]));
        int* slot = nullptr;
        switch (roles.back()) {
        case ColumnRole::Word:
            slot = &map.word;
            break;
        case ColumnRole::Spell:
            slot = &map.spell;
            break;
        case ColumnRole::Type:
            slot = &map.type;
            break;
        case ColumnRole::Meaning:
            slot = &map.mean;
            break;
        case ColumnRole::None:
        case ColumnRole::Number:
            break;
        }
        if (slot != nullptr && *slot < 0) {
            *slot = static_cast<int>(i);
        }
    }
    // Columns of names no field knows, such as "German,English": the first is the word, the
    // next the meaning, as in a list of two plain columns.
    const auto firstFree = [&](int from) {
        for (int i = from; i < static_cast<int>(names.size()); ++i) {
            if (i != map.word && i != map.spell && i != map.type && i != map.mean &&
                roles[static_cast<std::size_t>(i)] != ColumnRole::Number) {
                return i;
            }
        }
        return -1;
    };
    if (map.word < 0) {
        map.word = firstFree(0);
    }
    if (map.mean < 0 && map.word >= 0) {
        map.mean = firstFree(map.word + 1);
    }
    return map;
}

ColumnMap MapByCount(const std::vector<int>& usable) {
    const auto at = [&](std::size_t i) { return i < usable.size() ? usable[i] : -1; };
    switch (usable.size()) {
    case 0:
    case 1:
        return {at(0), -1, -1, -1};
    case 2:
        return {at(0), -1, -1, at(1)};
    case 3:
        return {at(0), at(1), -1, at(2)};
    case 4:
        return {at(0), at(1), at(2), at(3)};
    case 5:
        return {at(1), at(2), at(3), at(4)};
    default:
        // Many columns, as on a card with extra fields: its front and back.
        return {at(0), -1, -1, at(1)};
    }
}

ColumnMap MapByCount(const std::vector<int>& usable,
                     const std::vector<std::vector<CellShape>>& shapes) {
    if (usable.size() == 3) {
        // The word comes first; either of the others may be the type.
        for (std::size_t k = 1; k < usable.size(); ++k) {
            const auto column = static_cast<std::size_t>(usable[k]);
            std::size_t types = 0;
            std::size_t filled = 0;
            for (const std::vector<CellShape>& row : shapes) {
                if (column < row.size() && row[column] != CellShape::Empty) {
                    ++filled;
                    types += row[column] == CellShape::WordType ? 1 : 0;
                }
            }
            if (types * 2 > filled) {
                std::vector<int> rest = usable;
                rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(k));
                ColumnMap map = MapByCount(rest);
                map.type = usable[k];
                return map;
            }
        }
    }
    return MapByCount(usable);
}

int NumberColumnByCount(const std::vector<int>& usable) {
    return usable.size() == 5 ? usable[0] : -1;
}

CellShape ShapeOf(std::string_view cell) {
    using enum CellShape;
    const std::string_view text = ascii::Trim(cell);
    if (text.empty()) {
        return Empty;
    }
    if (std::all_of(text.begin(), text.end(), ascii::IsDigit)) {
        return Number;
    }
    if (LooksLikeWordType(text)) {
        return WordType;
    }
    if (text.size() >= 2 && (text.front() == '/' || text.front() == '[') &&
        (text.back() == '/' || text.back() == ']')) {
        return Phonetic;
    }
    // Any letter of another script makes the cell that script's: "n. 苹果" is a Chinese meaning.
    // The start of a cell tells enough; a huge one is not read through.
    const std::string_view head = text.substr(0, 4096);
    CellShape found = Empty;
    for (std::size_t at = 0; at < head.size();) {
        const CellShape script = ScriptOf(NextCodePoint(head, at));
        if (script != Empty && script != Latin) {
            return script;
        }
        if (script == Latin) {
            found = Latin;
        }
    }
    return found == Empty ? OtherScript : found;
}

bool LooksLikeHeader(const std::vector<std::string_view>& first,
                     const std::vector<std::vector<CellShape>>& below) {
    std::size_t named = 0;
    std::size_t filled = 0;
    std::vector<CellShape> shapes;
    shapes.reserve(first.size());
    for (const std::string_view cell : first) {
        shapes.push_back(ShapeOf(cell));
        if (shapes.back() == CellShape::WordType) {
            return false;
        }
        filled += shapes.back() == CellShape::Empty ? 0 : 1;
        named += HeaderRole(cell) != ColumnRole::None || IsLanguageName(cell) ? 1 : 0;
    }
    if (filled == 0) {
        return false;
    }
    if (named >= std::min<std::size_t>(2, filled)) {
        return true;
    }
    for (std::size_t column = 0; column < shapes.size(); ++column) {
        // A name is no number: a first row "1,apple" is an entry however the rest look.
        if (shapes[column] == CellShape::Empty || shapes[column] == CellShape::Number) {
            continue;
        }
        std::array<std::size_t, static_cast<std::size_t>(CellShape::OtherScript) + 1> counts{};
        std::size_t total = 0;
        for (const std::vector<CellShape>& row : below) {
            if (column < row.size() && row[column] != CellShape::Empty) {
                ++counts[static_cast<std::size_t>(row[column])];
                ++total;
            }
        }
        const auto most = std::max_element(counts.begin(), counts.end());
        // Only a column whose cells agree says anything: at least two, four in five alike.
        if (total >= 2 && *most * 5 >= total * 4 &&
            static_cast<std::size_t>(most - counts.begin()) !=
                static_cast<std::size_t>(shapes[column])) {
            return true;
        }
    }
    return false;
}

std::vector<ColumnRole> RolesOf(const ColumnMap& map, std::size_t columns) {
    std::vector<ColumnRole> roles(columns, ColumnRole::None);
    const std::pair<int, ColumnRole> fields[] = {{map.word, ColumnRole::Word},
                                                 {map.spell, ColumnRole::Spell},
                                                 {map.type, ColumnRole::Type},
                                                 {map.mean, ColumnRole::Meaning}};
    for (const auto& [column, role] : fields) {
        if (column >= 0 && static_cast<std::size_t>(column) < columns) {
            roles[static_cast<std::size_t>(column)] = role;
        }
    }
    return roles;
}

namespace {

int* FieldOf(ColumnMap& map, ColumnRole role) {
    switch (role) {
    case ColumnRole::Word:
        return &map.word;
    case ColumnRole::Spell:
        return &map.spell;
    case ColumnRole::Type:
        return &map.type;
    case ColumnRole::Meaning:
        return &map.mean;
    case ColumnRole::None:
    case ColumnRole::Number:
        break;
    }
    return nullptr;
}

// The role a learner names on the command line.
std::optional<ColumnRole> RoleNamed(std::string_view name) {
    const std::string_view key = ascii::Trim(name);
    if (key == "-" || ascii::EqualsNoCase(key, "skip") || ascii::EqualsNoCase(key, "none")) {
        return ColumnRole::None;
    }
    const ColumnRole role = HeaderRole(key);
    if (role == ColumnRole::None || role == ColumnRole::Number) {
        return std::nullopt;
    }
    return role;
}

} // namespace

ColumnMap WithRole(ColumnMap map, int column, ColumnRole role) {
    for (int* field : {&map.word, &map.spell, &map.type, &map.mean}) {
        if (*field == column) {
            *field = -1;
        }
    }
    if (int* field = FieldOf(map, role)) {
        *field = column;
    }
    return map;
}

bool ParseColumnChoice(std::string_view text, ColumnMap& map, std::string& error) {
    map = ColumnMap{};
    // No list has more columns than a record keeps; a longer text is refused without a copy.
    constexpr int kMaxColumns = 1024;
    bool byNumber = false;
    int column = 0;
    std::size_t at = 0;
    for (;; ++column) {
        const std::size_t end = text.find(',', at);
        const std::string_view item = ascii::Trim(text.substr(at, end - at));
        const std::size_t equals = item.find('=');
        if (column == 0) {
            byNumber = equals != std::string_view::npos;
        } else if (byNumber != (equals != std::string_view::npos)) {
            error = "give either the role of each column or field=number for each field";
            return false;
        }
        if (column >= kMaxColumns) {
            error = "too many columns";
            return false;
        }
        const std::string_view name = byNumber ? ascii::Trim(item.substr(0, equals)) : item;
        const std::optional<ColumnRole> role = RoleNamed(name);
        if (!role) {
            error = "unknown column '" + std::string(name.substr(0, 40)) +
                    "' (word, spell, type, meaning or -)";
            return false;
        }
        int target = column;
        if (byNumber) {
            const std::string_view digits = ascii::Trim(item.substr(equals + 1));
            const auto [stop, failed] =
                std::from_chars(digits.data(), digits.data() + digits.size(), target);
            if (failed != std::errc() || stop != digits.data() + digits.size() || target < 1 ||
                target > kMaxColumns) {
                error = "bad column number '" + std::string(digits.substr(0, 40)) + "' (from 1 up)";
                return false;
            }
            --target;
        }
        if (int* field = FieldOf(map, *role)) {
            if (*field >= 0) {
                error = "'" + std::string(name.substr(0, 40)) + "' is given twice";
                return false;
            }
            if (byNumber &&
                RolesOf(map, static_cast<std::size_t>(target) + 1).back() != ColumnRole::None) {
                error = "column " + std::to_string(target + 1) + " is given twice";
                return false;
            }
            *field = target;
        }
        if (end == std::string_view::npos) {
            break;
        }
        at = end + 1;
    }
    if (map.word < 0) {
        error = "no column is the word";
        return false;
    }
    return true;
}

std::string ColumnsSummary(const ColumnMap& map, const std::vector<std::string>& names,
                           bool header) {
    std::string text;
    const std::pair<const char*, int> fields[] = {
        {"word", map.word}, {"spell", map.spell}, {"type", map.type}, {"meaning", map.mean}};
    for (const auto& [field, column] : fields) {
        if (column < 0) {
            continue;
        }
        text += (text.empty() ? "" : ", ") + std::string(field) + " " + std::to_string(column + 1);
        const auto at = static_cast<std::size_t>(column);
        if (at < names.size() && !ascii::Trim(names[at]).empty()) {
            // A name is shown as far as a line holds it.
            text += " (" + names[at].substr(0, 40) + ")";
        }
    }
    if (text.empty()) {
        text = "no column";
    }
    return text + (header ? "; the first line held column names" : "; no line of column names");
}

bool ParseHeaderChoice(std::string_view text, std::optional<bool>& header) {
    if (text == "yes") {
        header = true;
    } else if (text == "no") {
        header = false;
    } else if (text == "auto") {
        header.reset();
    } else {
        return false;
    }
    return true;
}
