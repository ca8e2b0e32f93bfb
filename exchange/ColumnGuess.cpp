#include "exchange/ColumnGuess.h"

#include <algorithm>
#include <string>
#include <utility>

#include "base/AsciiText.h"

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
    if (map.word < 0) {
        for (int i = 0; i < static_cast<int>(names.size()); ++i) {
            if (i != map.spell && i != map.type && i != map.mean &&
                roles[static_cast<std::size_t>(i)] != ColumnRole::Number) {
                map.word = i;
                break;
            }
        }
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

int NumberColumnByCount(const std::vector<int>& usable) {
    return usable.size() == 5 ? usable[0] : -1;
}

bool LooksLikeHeader(const std::vector<std::string_view>& fields) {
    std::size_t named = 0;
    std::size_t filled = 0;
    for (const std::string_view field : fields) {
        filled += ascii::Trim(field).empty() ? 0 : 1;
        named += HeaderRole(field) != ColumnRole::None ? 1 : 0;
    }
    return named >= std::min<std::size_t>(2, std::max<std::size_t>(filled, 1));
}
