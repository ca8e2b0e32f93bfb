#include "exchange/WordTypes.h"

#include <algorithm>
#include <iterator>

#include "base/AsciiText.h"

bool LooksLikeWordType(std::string_view text) {
    static constexpr std::string_view kTypes[] = {
        "n",           "v",           "vt",      "vi",           "adj",       "adv",
        "prep",        "conj",        "pron",    "int",          "interj",    "art",
        "num",         "a",           "ad",      "aux",          "det",       "abbr",
        "pl",          "phr",         "noun",    "verb",         "adjective", "adverb",
        "preposition", "conjunction", "pronoun", "interjection", "article",   "numeral",
        "determiner",  "名词",        "动词",    "形容词",       "副词",      "介词",
        "连词",        "代词",        "感叹词",  "冠词",         "数词"};
    const std::string_view trimmed = ascii::Trim(text);
    if (trimmed.empty()) {
        return false;
    }
    std::size_t at = 0;
    while (at < trimmed.size()) {
        const std::size_t end = trimmed.find_first_of("/,;& ", at);
        std::string_view part = trimmed.substr(at, end - at);
        if (!part.empty() && part.back() == '.') {
            part.remove_suffix(1);
        }
        if (!part.empty() &&
            std::none_of(std::begin(kTypes), std::end(kTypes),
                         [&](std::string_view type) { return ascii::EqualsNoCase(part, type); })) {
            return false;
        }
        if (end == std::string_view::npos) {
            break;
        }
        at = end + 1;
    }
    return true;
}
