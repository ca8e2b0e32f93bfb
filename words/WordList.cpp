#include "words/WordList.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <functional>

namespace {

std::uint32_t HashWord(std::string_view word) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(word));
}

std::size_t LengthBytes(std::size_t length) {
    std::size_t bytes = 1;
    for (; length >= 0x80; length >>= 7) {
        ++bytes;
    }
    return bytes;
}

char* PutField(char* at, std::string_view field) {
    std::size_t length = field.size();
    for (; length >= 0x80; length >>= 7) {
        *at++ = static_cast<char>(0x80 | (length & 0x7F));
    }
    *at++ = static_cast<char>(length);
    // memcpy with a null source is undefined even for no bytes.
    if (!field.empty()) {
        std::memcpy(at, field.data(), field.size());
    }
    return at + field.size();
}

// Reads the field at `at` and moves `at` past it.
std::string_view TakeField(const char*& at) {
    std::size_t length = 0;
    unsigned shift = 0;
    for (;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*at++);
        length |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if (byte < 0x80) {
            break;
        }
    }
    const std::string_view field(at, length);
    at += length;
    return field;
}

} // namespace

void WordList::Append(const WordEntry& entry) {
    AppendFields(entry.number, entry.word, entry.spell, entry.type, entry.mean);
}

void WordList::AppendFields(std::int32_t number, std::string_view word, std::string_view spell,
                            std::string_view type, std::string_view mean) {
    std::size_t bytes = 0;
    for (const std::string_view field : {word, spell, type, mean}) {
        bytes += LengthBytes(field.size()) + field.size();
    }
    char* const text = Reserve(bytes);
    char* at = text;
    for (const std::string_view field : {word, spell, type, mean}) {
        at = PutField(at, field);
    }
    texts_.push_back(text);
    keys_.push_back({number, HashWord(word)});
    origins_.push_back(-1);
}

std::int32_t WordList::Origin(WordPos pos) const {
    assert(pos.index_ < origins_.size());
    return origins_[pos.index_];
}

void WordList::SetOrigin(WordPos pos, std::int32_t origin) {
    assert(pos.index_ < origins_.size());
    origins_[pos.index_] = origin;
}

void WordList::MarkLoaded() {
    for (std::size_t index = 0; index < origins_.size(); ++index)
        origins_[index] = static_cast<std::int32_t>(index);
}

char* WordList::Reserve(std::size_t bytes) {
    if (bytes > kBlockBytes / 4) {
        // A large entry gets a block of its own and leaves the current block's space to the
        // entries that follow.
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(bytes));
        return blocks_.back().get();
    }
    if (bytes > freeBytes_) {
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockBytes));
        free_ = blocks_.back().get();
        freeBytes_ = kBlockBytes;
    }
    char* const text = free_;
    free_ += bytes;
    freeBytes_ -= bytes;
    return text;
}

std::uint32_t WordList::GetCount() const {
    return static_cast<std::uint32_t>(keys_.size());
}

WordPos WordList::Begin() const {
    return keys_.empty() ? End() : WordPos(0);
}

WordPos WordList::End() const {
    return WordPos();
}

WordPos WordList::Last() const {
    return keys_.empty() ? End() : WordPos(keys_.size() - 1);
}

WordPos WordList::Next(WordPos pos) const {
    assert(pos.index_ < keys_.size());
    const std::size_t next = pos.index_ + 1;
    return next < keys_.size() ? WordPos(next) : End();
}

WordEntry WordList::At(WordPos pos) const {
    const WordFields fields = Fields(pos);
    return {fields.number, std::string(fields.word), std::string(fields.spell),
            std::string(fields.type), std::string(fields.mean)};
}

WordFields WordList::Fields(WordPos pos) const {
    assert(pos.index_ < keys_.size());
    const char* at = texts_[pos.index_];
    WordFields fields;
    fields.number = keys_[pos.index_].number;
    fields.word = TakeField(at);
    fields.spell = TakeField(at);
    fields.type = TakeField(at);
    fields.mean = TakeField(at);
    return fields;
}

std::string_view WordList::WordOf(std::size_t index) const {
    const char* at = texts_[index];
    return TakeField(at);
}

WordPos WordList::FindNumber(std::int32_t number) const {
    for (std::size_t index = 0; index < keys_.size(); ++index) {
        if (keys_[index].number == number) {
            return WordPos(index);
        }
    }
    return End();
}

WordPos WordList::FindWord(std::string_view word) const {
    const std::uint32_t hash = HashWord(word);
    for (std::size_t index = 0; index < keys_.size(); ++index) {
        if (keys_[index].wordHash == hash && WordOf(index) == word) {
            return WordPos(index);
        }
    }
    return End();
}

std::vector<WordPos> WordList::FindWords(const std::vector<std::string_view>& words) const {
    std::vector<std::uint32_t> hashes;
    for (const std::string_view word : words)
        hashes.push_back(HashWord(word));
    std::sort(hashes.begin(), hashes.end());
    std::vector<WordPos> found;
    if (hashes.empty())
        return found;
    for (std::size_t index = 0; index < keys_.size(); ++index) {
        if (!std::binary_search(hashes.begin(), hashes.end(), keys_[index].wordHash))
            continue;
        const std::string_view word = WordOf(index);
        if (std::find(words.begin(), words.end(), word) != words.end())
            found.push_back(WordPos(index));
    }
    return found;
}
