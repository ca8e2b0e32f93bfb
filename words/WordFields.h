// A read-only view of one stored entry: its number and its four fields in the list's memory.
#pragma once

#include <cstdint>
#include <string_view>

struct WordFields {
    std::int32_t number = 0;
    std::string_view word;
    std::string_view spell;
    std::string_view type;
    std::string_view mean;
};
