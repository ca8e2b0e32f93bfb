#include "words/TextQuery.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsLatinLead(unsigned char byte) {
    return byte >= 0xC3 && byte <= 0xC5;
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The small form of a code point of Latin-1 or Latin Extended-A, or the code point itself.
// Only forms with the same first UTF-8 byte are taken, so that folding never changes how a
// text splits into code points nor the byte a scan can trust.
unsigned SmallForm(unsigned code) {
    if (code >= 0xC0 && code <= 0xDE && code != 0xD7) {
        return code + 0x20;
    }
    const bool evenCapital = (code >= 0x100 && code <= 0x12F) || (code >= 0x132 && code <= 0x137) ||
                             (code >= 0x14A && code <= 0x177);
    const bool oddCapital =
        (code >= 0x139 && code <= 0x148 && code != 0x13F) || (code >= 0x179 && code <= 0x17E);
    if ((evenCapital && code % 2 == 0) || (oddCapital && code % 2 == 1)) {
        return code + 1;
    }
    return code;
}

// Folds the character at `at` into `out`, both `length` bytes from there; returns the bytes
// the character takes (1 or 2).
std::size_t FoldOne(const char* at, std::size_t length, char* out) {
    const auto byte = static_cast<unsigned char>(at[0]);
    if (byte >= 'A' && byte <= 'Z') {
        out[0] = static_cast<char>(byte | 0x20);
        return 1;
    }
    if (IsLatinLead(byte) && length >= 2 && IsContinuation(static_cast<unsigned char>(at[1]))) {
        const unsigned code = ((byte & 0x1Fu) << 6) | (static_cast<unsigned char>(at[1]) & 0x3Fu);
        const unsigned small = SmallForm(code);
        out[0] = static_cast<char>(0xC0 | (small >> 6));
        out[1] = static_cast<char>(0x80 | (small & 0x3F));
        return 2;
    }
    out[0] = at[0];
    return 1;
}

// Whether the case form of the byte at `i` of a folded text depends on the byte before it.
bool FollowsExtendedALead(const std::string& folded, std::size_t i) {
    return i > 0 && IsContinuation(static_cast<unsigned char>(folded[i])) &&
           (folded[i - 1] == '\xC4' || folded[i - 1] == '\xC5');
}

} // namespace

std::string FoldLatinCase(std::string_view text) {
    std::string folded(text.size(), '\0');
    for (std::size_t i = 0; i < text.size();) {
        i += FoldOne(text.data() + i, text.size() - i, folded.data() + i);
    }
    return folded;
}

TextQuery::TextQuery(std::string_view text) : m_folded(FoldLatinCase(text)) {
    // The longest run of trusted bytes, up to kMaxWindow, the first one of that length.
    std::size_t run = 0;
    for (std::size_t i = 0; i < m_folded.size(); ++i) {
        if (FollowsExtendedALead(m_folded, i)) {
            run = 0;
            continue;
        }
        run = std::min(run + 1, kMaxWindow);
        if (run > m_windowSize) {
            m_windowSize = run;
            m_windowAt = i + 1 - run;
        }
    }
    for (std::size_t i = 0; i < m_windowSize; ++i) {
        const std::size_t at = m_windowAt + i;
        const auto byte = static_cast<unsigned char>(m_folded[at]);
        m_windowBytes[i] = byte;
        // A small letter is found in either form by setting bit 5 of the text: the capital
        // ASCII letters lie 0x20 below the small ones, and so do the second bytes of the
        // capitals of Latin-1.
        const bool asciiSmall = byte >= 'a' && byte <= 'z';
        const bool latin1Small =
            byte >= 0xA0 && byte <= 0xBF && at > 0 && m_folded[at - 1] == '\xC3';
        m_windowMasks[i] = asciiSmall || latin1Small ? 0x20 : 0;
    }
}

bool TextQuery::MatchesAt(const char* at) const {
    char folded[2];
    const std::size_t size = m_folded.size();
    for (std::size_t i = 0; i < size;) {
        const std::size_t taken = FoldOne(at + i, size - i, folded);
        if (std::memcmp(folded, m_folded.data() + i, taken) != 0) {
            return false;
        }
        i += taken;
    }
    return true;
}

bool TextQuery::FoundIn(std::string_view field) const {
    if (m_folded.empty() || field.size() < m_folded.size()) {
        return false;
    }
    for (std::size_t at = 0; at + m_folded.size() <= field.size(); ++at) {
        if (MatchesAt(field.data() + at)) {
            return true;
        }
    }
    return false;
}
