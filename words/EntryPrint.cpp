#include "words/EntryPrint.h"

#include <QHashFunctions>
#include <string_view>

namespace {

// Qt's hash of bytes uses the processor's AES instructions where it can: many times faster
// than a byte-wise hash on a list of a million entries. The seed is fixed, so prints made at
// load and at save compare.
std::uint64_t Hash(std::string_view text) {
    return qHashBits(text.data(), text.size(), 0x5eed);
}

std::uint64_t Mix(std::uint64_t seed, std::uint64_t value) {
    return seed ^ (value + 0x9E3779B97F4A7C15ull + (seed << 6) + (seed >> 2));
}

} // namespace

std::uint64_t PrintOfWord(std::string_view word) {
    return Hash(word);
}

EntryPrint PrintOf(const WordFields& fields) {
    EntryPrint print;
    print.word = Hash(fields.word);
    std::uint64_t all = print.word;
    for (const std::string_view field : {fields.spell, fields.type, fields.mean})
        all = Mix(Mix(all, field.size()), Hash(field));
    print.fields = all;
    return print;
}
