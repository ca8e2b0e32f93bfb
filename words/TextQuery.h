// A search text prepared for finding it in stored fields without regard to Latin letter case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Case is folded for the ASCII letters and, in UTF-8, for the letters of Latin-1 (À to Þ) and
// Latin Extended-A (Ā to ž). The few letters whose small and capital forms differ in length or
// in their first byte (İ, ı, Ŀ, Ÿ, ſ) match only themselves. Everything else, Chinese included,
// matches byte for byte.
class TextQuery {
public:
    explicit TextQuery(std::string_view text);

    bool Empty() const { return m_folded.empty(); }
    const std::string& Folded() const { return m_folded; }

    // Whether `field` holds the text anywhere.
    bool FoundIn(std::string_view field) const;
    // Whether the text starts at `at`, which has at least Folded().size() bytes.
    bool MatchesAt(const char* at) const;

    // The few bytes a scan compares first, 16 places at a time: at offset `windowAt` of a match
    // the text holds byte i of `windowBytes` after an OR with byte i of `windowMasks`. Only
    // bytes whose case form is fixed by themselves are picked, so no match is passed over.
    static constexpr std::size_t kMaxWindow = 3;
    std::size_t WindowAt() const { return m_windowAt; }
    std::size_t WindowSize() const { return m_windowSize; }
    unsigned char WindowByte(std::size_t i) const { return m_windowBytes[i]; }
    unsigned char WindowMask(std::size_t i) const { return m_windowMasks[i]; }

private:
    std::string m_folded;
    std::size_t m_windowAt = 0;
    std::size_t m_windowSize = 0;
    unsigned char m_windowBytes[kMaxWindow] = {};
    unsigned char m_windowMasks[kMaxWindow] = {};
};

// `text` with its Latin letters in small form, byte length unchanged.
std::string FoldLatinCase(std::string_view text);
