#include "words/WordTextReader.h"

#include <bit>
#include <cstdint>

#include "base/DecimalNumber.h"
#include "words/WordFileFormat.h"
#include "words/WordList.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Most tokens are a few bytes long, so the scans below look at 16 bytes at a time where the
// processor allows: a byte-by-byte loop mispredicts its exit at almost every token.
namespace {

#if defined(__SSE2__)
struct Masks {
    unsigned space;  // bit i: byte i separates tokens
    unsigned escape; // bit i: byte i is a backslash
};

Masks Classify16(const char* at) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i blank = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '));
    // Tab to CR are 9 to 13; bytes from 0x80 compare as negative and stay out.
    const __m128i control = _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8('\t' - 1)),
                                          _mm_cmplt_epi8(bytes, _mm_set1_epi8('\r' + 1)));
    const __m128i escape = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\'));
    return {static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(blank, control))),
            static_cast<unsigned>(_mm_movemask_epi8(escape))};
}
#endif

constexpr std::size_t kBlock = 64;

// Bit i of `space` / `escape`: byte i of the 64 separates tokens / is a backslash.
void Classify64(const char* at, std::uint64_t& space, std::uint64_t& escape) {
    space = 0;
    escape = 0;
#if defined(__SSE2__)
    for (unsigned part = 0; part < 4; ++part) {
        const Masks masks = Classify16(at + 16 * part);
        space |= std::uint64_t{masks.space} << (16 * part);
        escape |= std::uint64_t{masks.escape} << (16 * part);
    }
#else
    for (unsigned i = 0; i < kBlock; ++i) {
        space |= std::uint64_t{IsWordFileSpace(at[i])} << i;
        escape |= std::uint64_t{at[i] == '\\'} << i;
    }
#endif
}

// Bits from..63.
std::uint64_t BitsFrom(unsigned from) {
    return ~std::uint64_t{0} << from;
}

const char* SkipSpace(const char* at, const char* end) {
#if defined(__SSE2__)
    for (; end - at >= 16; at += 16) {
        const unsigned text = ~Classify16(at).space & 0xFFFFu;
        if (text != 0) {
            return at + std::countr_zero(text);
        }
    }
#endif
    while (at != end && IsWordFileSpace(*at)) {
        ++at;
    }
    return at;
}

// The end of the token that starts at `at`; `escaped` is set when it holds a backslash.
const char* TokenEnd(const char* at, const char* end, bool& escaped) {
#if defined(__SSE2__)
    for (; end - at >= 16; at += 16) {
        const Masks masks = Classify16(at);
        if (masks.space != 0) {
            const int length = std::countr_zero(masks.space);
            escaped = escaped || (masks.escape & ((1u << length) - 1)) != 0;
            return at + length;
        }
        escaped = escaped || masks.escape != 0;
    }
#endif
    for (; at != end && !IsWordFileSpace(*at); ++at) {
        escaped = escaped || *at == '\\';
    }
    return at;
}

} // namespace

void WordTextReader::Feed(std::string_view text) {
    FeedPiece(text);
    // The piece's memory is the caller's and is reused for the next piece.
    for (int i = 0; i + 1 < m_field; ++i) {
        if (!m_kept[i]) {
            m_owned[i].assign(m_fields[i]);
            m_fields[i] = m_owned[i];
            m_kept[i] = true;
        }
    }
}

void WordTextReader::FeedPiece(std::string_view text) {
    const char* at = text.data();
    const char* const end = at + text.size();
    if (!m_open.empty()) {
        bool escaped = false;
        const char* const stop = TokenEnd(at, end, escaped);
        m_open.append(at, stop);
        m_openEscaped = m_openEscaped || escaped;
        if (stop == end) {
            return;
        }
        TakeToken(m_open, m_openEscaped, false);
        m_open.clear();
        at = stop;
    }
    // Whole blocks of 64 bytes: one classification, then tokens taken from the bit masks.
    const char* start = nullptr; // the token being read, or none
    bool escaped = false;
    for (; static_cast<std::size_t>(end - at) >= kBlock; at += kBlock) {
        std::uint64_t space = 0;
        std::uint64_t escape = 0;
        Classify64(at, space, escape);
        unsigned from = 0; // bits below `from` are done
        unsigned tokenFrom = 0;
        for (;;) {
            const std::uint64_t wanted = (start != nullptr ? space : ~space) & BitsFrom(from);
            if (wanted == 0) {
                break;
            }
            from = static_cast<unsigned>(std::countr_zero(wanted));
            if (start != nullptr) {
                escaped = escaped || (escape & BitsFrom(tokenFrom) & ~BitsFrom(from)) != 0;
                TakeToken(std::string_view(start, static_cast<std::size_t>(at + from - start)),
                          escaped, true);
                start = nullptr;
            } else {
                start = at + from;
                tokenFrom = from;
                escaped = false;
            }
        }
        if (start != nullptr) {
            escaped = escaped || (escape & BitsFrom(tokenFrom)) != 0;
        }
    }
    if (start != nullptr) {
        const char* const stop = TokenEnd(at, end, escaped);
        if (stop == end) {
            m_open.assign(start, end);
            m_openEscaped = escaped;
            return;
        }
        TakeToken(std::string_view(start, static_cast<std::size_t>(stop - start)), escaped, true);
        at = stop;
    }
    for (;;) {
        at = SkipSpace(at, end);
        escaped = false;
        const char* const stop = TokenEnd(at, end, escaped);
        if (stop == end) {
            m_open.assign(at, end);
            m_openEscaped = escaped;
            return;
        }
        TakeToken(std::string_view(at, static_cast<std::size_t>(stop - at)), escaped, true);
        at = stop;
    }
}

void WordTextReader::Finish() {
    if (!m_open.empty()) {
        TakeToken(m_open, m_openEscaped, false);
        m_open.clear();
    }
    m_field = 0;
}

void WordTextReader::TakeToken(std::string_view token, bool escaped, bool inPiece) {
    if (m_field == 0) {
        m_number = ParseLeadingInt32(token);
        m_field = 1;
        return;
    }
    const int i = m_field - 1;
    if (escaped) {
        UnescapeField(token, m_owned[i]);
        m_fields[i] = m_owned[i];
    } else if (inPiece) {
        // Most records lie wholly in one piece: their fields are copied only into the list.
        m_fields[i] = token;
    } else {
        m_owned[i].assign(token);
        m_fields[i] = m_owned[i];
    }
    m_kept[i] = escaped || !inPiece;
    if (++m_field == 5) {
        m_words.AppendFields(m_number, m_fields[0], m_fields[1], m_fields[2], m_fields[3]);
        m_field = 0;
    }
}

void ParseWordText(std::string_view text, WordList& words) {
    WordTextReader reader(words);
    reader.Feed(text);
    reader.Finish();
}
