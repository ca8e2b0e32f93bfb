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
    for (int i = 0; i + 1 < field_; ++i) {
        if (!kept_[i]) {
            owned_[i].assign(fields_[i]);
            fields_[i] = owned_[i];
            kept_[i] = true;
        }
    }
}

void WordTextReader::FeedPiece(std::string_view text) {
    const char* at = text.data();
    const char* const end = at + text.size();
    if (!open_.empty()) {
        bool escaped = false;
        const char* const stop = TokenEnd(at, end, escaped);
        open_.append(at, stop);
        openEscaped_ = openEscaped_ || escaped;
        if (stop == end) {
            return;
        }
        TakeToken(open_, openEscaped_, false);
        open_.clear();
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
            open_.assign(start, end);
            openEscaped_ = escaped;
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
            open_.assign(at, end);
            openEscaped_ = escaped;
            return;
        }
        TakeToken(std::string_view(at, static_cast<std::size_t>(stop - at)), escaped, true);
        at = stop;
    }
}

void WordTextReader::Finish() {
    if (!open_.empty()) {
        TakeToken(open_, openEscaped_, false);
        open_.clear();
    }
    field_ = 0;
}

void WordTextReader::TakeToken(std::string_view token, bool escaped, bool inPiece) {
    if (field_ == 0) {
        number_ = ParseLeadingInt32(token);
        field_ = 1;
        return;
    }
    const int i = field_ - 1;
    if (escaped) {
        UnescapeField(token, owned_[i]);
        fields_[i] = owned_[i];
    } else if (inPiece) {
        // Most records lie wholly in one piece: their fields are copied only into the list.
        fields_[i] = token;
    } else {
        owned_[i].assign(token);
        fields_[i] = owned_[i];
    }
    kept_[i] = escaped || !inPiece;
    if (++field_ == 5) {
        words_.AppendFields(number_, fields_[0], fields_[1], fields_[2], fields_[3]);
        field_ = 0;
    }
}
