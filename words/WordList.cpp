#include "words/WordList.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>
#include <functional>

#include "base/HugePages.h"
#include "words/TextQuery.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    m_liveBytes += bytes;
    m_texts.push_back(text);
    m_keys.push_back({number, HashWord(word)});
    if (m_originsKept) {
        m_origins.push_back(-1);
    }
}

void WordList::AppendCopy(const WordList& from, WordPos pos, std::int32_t number) {
    assert(pos.m_index < from.m_keys.size());
    const char* const source = from.m_texts[pos.m_index];
    const std::size_t bytes = TextBytes(source);
    char* const text = Reserve(bytes);
    std::memcpy(text, source, bytes);
    m_liveBytes += bytes;
    m_texts.push_back(text);
    m_keys.push_back({number, from.m_keys[pos.m_index].wordHash});
    if (m_originsKept) {
        m_origins.push_back(-1);
    }
}

WordList WordList::TakeLast(std::size_t count) {
    count = std::min(count, m_keys.size());
    if (count == 0) {
        return {};
    }
    const std::size_t first = m_keys.size() - count;
    if (first < m_loadedCount) {
        KeepOrigins();
        for (std::size_t i = first; i < m_keys.size(); ++i) {
            KeepLoadedPrint(i);
        }
    }
    WordList taken;
    std::size_t bytes = 0;
    for (std::size_t i = first; i < m_keys.size(); ++i) {
        bytes += TextBytes(m_texts[i]);
    }
    taken.ReserveEntries(count, bytes);
    for (std::size_t i = first; i < m_keys.size(); ++i) {
        taken.AppendCopy(*this, WordPos(i), m_keys[i].number);
    }
    m_texts.resize(first);
    m_keys.resize(first);
    if (m_originsKept) {
        m_origins.resize(first);
    }
    m_changedSinceLoad = true;
    m_liveBytes -= bytes;
    m_garbageBytes += bytes;
    if (m_garbageBytes > m_liveBytes && m_garbageBytes >= kBlockBytes) {
        Compact();
    }
    return taken;
}

void WordList::ReserveEntries(std::size_t count, std::size_t textBytes) {
    ReserveAdvised(m_texts, count);
    ReserveAdvised(m_keys, count);
    if (m_originsKept) {
        ReserveAdvised(m_origins, count);
    }
    if (textBytes > m_freeBytes && textBytes > kBlockBytes) {
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(textBytes));
        m_blockBytes.push_back(textBytes);
        m_free = m_blocks.back().get();
        m_freeBytes = textBytes;
        AdviseHugePages(m_free, m_freeBytes);
    }
}

void WordList::AppendAll(WordList&& from) {
    if (&from == this || from.m_keys.empty()) {
        return;
    }
    if (m_keys.empty() && m_blocks.empty()) {
        // Only the text and its keys are taken: what this list loaded stays its own.
        m_blocks = std::move(from.m_blocks);
        m_blockBytes = std::move(from.m_blockBytes);
        m_free = from.m_free;
        m_freeBytes = from.m_freeBytes;
        m_nextBlockBytes = from.m_nextBlockBytes;
        m_texts = std::move(from.m_texts);
        m_keys = std::move(from.m_keys);
        m_liveBytes = from.m_liveBytes;
        m_garbageBytes = from.m_garbageBytes;
        if (m_originsKept) {
            m_origins.resize(m_keys.size(), -1);
        }
        from = WordList();
        return;
    }
    // This list keeps appending into its own newest block; the unused end of the taken ones
    // stays unused.
    ReserveEntries(m_keys.size() + from.m_keys.size());
    for (std::size_t i = 0; i < from.m_blocks.size(); ++i) {
        m_blocks.push_back(std::move(from.m_blocks[i]));
        m_blockBytes.push_back(from.m_blockBytes[i]);
    }
    m_texts.insert(m_texts.end(), from.m_texts.begin(), from.m_texts.end());
    m_keys.insert(m_keys.end(), from.m_keys.begin(), from.m_keys.end());
    if (m_originsKept) {
        m_origins.resize(m_keys.size(), -1);
    }
    m_liveBytes += from.m_liveBytes;
    m_garbageBytes += from.m_garbageBytes;
    from = WordList();
}

std::int32_t WordList::Origin(WordPos pos) const {
    assert(pos.m_index < m_keys.size());
    if (m_originsKept) {
        return m_origins[pos.m_index];
    }
    return pos.m_index < m_loadedCount ? static_cast<std::int32_t>(pos.m_index) : -1;
}

void WordList::SetOrigin(WordPos pos, std::int32_t origin) {
    assert(pos.m_index < m_keys.size());
    KeepOrigins();
    m_origins[pos.m_index] = origin;
    m_changedSinceLoad = true;
}

void WordList::KeepOrigins() {
    if (m_originsKept) {
        return;
    }
    m_origins.resize(m_keys.size());
    for (std::size_t index = 0; index < m_origins.size(); ++index) {
        m_origins[index] = index < m_loadedCount ? static_cast<std::int32_t>(index) : -1;
    }
    m_originsKept = true;
}

void WordList::MarkLoaded() {
    m_origins = {};
    m_originsKept = false;
    m_loadedCount = m_keys.size();
    m_printKept = {};
    m_loadedPrints = {};
    m_changedSinceLoad = false;
}

void WordList::KeepLoadedPrint(std::size_t index) {
    const std::int32_t origin = Origin(WordPos(index));
    if (origin < 0 || static_cast<std::size_t>(origin) >= m_loadedCount) {
        return;
    }
    if (m_printKept.empty()) {
        m_printKept.resize(m_loadedCount);
    }
    if (m_printKept[static_cast<std::size_t>(origin)]) {
        return;
    }
    m_printKept[static_cast<std::size_t>(origin)] = true;
    m_loadedPrints.emplace_back(origin, PrintOf(Fields(WordPos(index))));
}

std::vector<EntryPrint> WordList::LoadedPrints(std::size_t count) const {
    std::vector<EntryPrint> prints(count);
    for (std::size_t index = 0; index < m_keys.size(); ++index) {
        const auto origin = static_cast<std::size_t>(Origin(WordPos(index)));
        if (origin < count && (m_printKept.empty() || !m_printKept[origin])) {
            prints[origin] = PrintOf(Fields(WordPos(index)));
        }
    }
    for (const auto& [origin, print] : m_loadedPrints) {
        if (static_cast<std::size_t>(origin) < count) {
            prints[static_cast<std::size_t>(origin)] = print;
        }
    }
    return prints;
}

char* WordList::WriteText(const WordEntry& entry) {
    std::size_t bytes = 0;
    for (const std::string_view field : {entry.word, entry.spell, entry.type, entry.mean}) {
        bytes += LengthBytes(field.size()) + field.size();
    }
    char* const text = Reserve(bytes);
    char* at = text;
    for (const std::string_view field : {entry.word, entry.spell, entry.type, entry.mean}) {
        at = PutField(at, field);
    }
    m_liveBytes += bytes;
    return text;
}

char* WordList::Reserve(std::size_t bytes) {
    if (bytes > kBlockBytes / 4) {
        // A large entry gets a block of its own and leaves the current block's space to the
        // entries that follow.
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(bytes));
        m_blockBytes.push_back(bytes);
        return m_blocks.back().get();
    }
    if (bytes > m_freeBytes) {
        std::size_t size = m_nextBlockBytes;
        while (size < bytes)
            size *= 2;
        m_nextBlockBytes = std::min(size * 2, kBlockBytes);
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(size));
        m_blockBytes.push_back(size);
        m_free = m_blocks.back().get();
        m_freeBytes = size;
    }
    char* const text = m_free;
    m_free += bytes;
    m_freeBytes -= bytes;
    return text;
}

std::uint32_t WordList::GetCount() const {
    return static_cast<std::uint32_t>(m_keys.size());
}

WordPos WordList::Begin() const {
    return m_keys.empty() ? End() : WordPos(0);
}

WordPos WordList::End() const {
    return WordPos();
}

WordPos WordList::Last() const {
    return m_keys.empty() ? End() : WordPos(m_keys.size() - 1);
}

WordPos WordList::Next(WordPos pos) const {
    assert(pos.m_index < m_keys.size());
    const std::size_t next = pos.m_index + 1;
    return next < m_keys.size() ? WordPos(next) : End();
}

WordEntry WordList::At(WordPos pos) const {
    const WordFields fields = Fields(pos);
    return {fields.number, std::string(fields.word), std::string(fields.spell),
            std::string(fields.type), std::string(fields.mean)};
}

WordFields WordList::Fields(WordPos pos) const {
    assert(pos.m_index < m_keys.size());
    const char* at = m_texts[pos.m_index];
    WordFields fields;
    fields.number = m_keys[pos.m_index].number;
    fields.word = TakeField(at);
    fields.spell = TakeField(at);
    fields.type = TakeField(at);
    fields.mean = TakeField(at);
    return fields;
}

std::string_view WordList::WordOf(std::size_t index) const {
    const char* at = m_texts[index];
    return TakeField(at);
}

WordPos WordList::FindNumber(std::int32_t number) const {
    for (std::size_t index = 0; index < m_keys.size(); ++index) {
        if (m_keys[index].number == number) {
            return WordPos(index);
        }
    }
    return End();
}

WordPos WordList::FindWord(std::string_view word) const {
    const std::uint32_t hash = HashWord(word);
    for (std::size_t index = 0; index < m_keys.size(); ++index) {
        if (m_keys[index].wordHash == hash && WordOf(index) == word) {
            return WordPos(index);
        }
    }
    return End();
}

WordPos WordList::PosAt(std::uint32_t index) const {
    return index < m_keys.size() ? WordPos(index) : End();
}

std::uint32_t WordList::IndexOf(WordPos pos) const {
    return pos == End() ? GetCount() : static_cast<std::uint32_t>(pos.m_index);
}

std::size_t WordList::TextBytes(const char* text) {
    const char* at = text;
    for (int field = 0; field < 4; ++field) {
        TakeField(at);
    }
    return static_cast<std::size_t>(at - text);
}

WordEntry WordList::Remove(WordPos pos, bool renumber) {
    assert(pos.m_index < m_keys.size());
    const std::size_t index = pos.m_index;
    WordEntry entry = At(pos);
    m_changedSinceLoad = true;
    KeepOrigins();
    KeepLoadedPrint(index);
    const char* const text = m_texts[index];
    m_texts.erase(m_texts.begin() + static_cast<std::ptrdiff_t>(index));
    m_origins.erase(m_origins.begin() + static_cast<std::ptrdiff_t>(index));
    if (renumber) {
        // One pass moves the keys and numbers them down, instead of a move and then a walk.
        const std::size_t count = m_keys.size() - 1;
        for (std::size_t i = index; i < count; ++i) {
            m_keys[i] = m_keys[i + 1];
            m_keys[i].number =
                static_cast<std::int32_t>(static_cast<std::uint32_t>(m_keys[i].number) - 1u);
        }
        m_keys.pop_back();
    } else {
        m_keys.erase(m_keys.begin() + static_cast<std::ptrdiff_t>(index));
    }
    Discard(text);
    return entry;
}

void WordList::Insert(WordPos before, const WordEntry& entry, bool renumber) {
    const std::size_t index = std::min(before.m_index, m_keys.size());
    m_changedSinceLoad = true;
    KeepOrigins();
    char* const text = WriteText(entry);
    m_texts.insert(m_texts.begin() + static_cast<std::ptrdiff_t>(index), text);
    // An entry put in is new to the file until its history says otherwise (SetOrigin).
    m_origins.insert(m_origins.begin() + static_cast<std::ptrdiff_t>(index), -1);
    const Keys key{entry.number, HashWord(entry.word)};
    if (renumber) {
        m_keys.push_back(key);
        for (std::size_t i = m_keys.size() - 1; i > index; --i) {
            m_keys[i] = m_keys[i - 1];
            m_keys[i].number =
                static_cast<std::int32_t>(static_cast<std::uint32_t>(m_keys[i].number) + 1u);
        }
        m_keys[index] = key;
    } else {
        m_keys.insert(m_keys.begin() + static_cast<std::ptrdiff_t>(index), key);
    }
}

void WordList::Replace(WordPos pos, const WordEntry& entry) {
    assert(pos.m_index < m_keys.size());
    KeepLoadedPrint(pos.m_index);
    const char* const old = m_texts[pos.m_index];
    m_changedSinceLoad = true;
    m_texts[pos.m_index] = WriteText(entry);
    m_keys[pos.m_index] = {entry.number, HashWord(entry.word)};
    Discard(old);
}

void WordList::RemoveMarked(const std::vector<bool>& removed, bool numberInOrder) {
    m_changedSinceLoad = true;
    // A list that loaded nothing keeps no origins: all its entries are new, and stay so.
    if (m_originsKept || m_loadedCount > 0) {
        KeepOrigins();
        for (std::size_t i = 0; i < m_keys.size() && i < removed.size(); ++i) {
            if (removed[i]) {
                KeepLoadedPrint(i);
            }
        }
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_keys.size(); ++i) {
        if (i < removed.size() && removed[i]) {
            const std::size_t bytes = TextBytes(m_texts[i]);
            m_liveBytes -= bytes;
            m_garbageBytes += bytes;
            continue;
        }
        m_texts[kept] = m_texts[i];
        m_keys[kept] = m_keys[i];
        if (m_originsKept) {
            m_origins[kept] = m_origins[i];
        }
        if (numberInOrder)
            m_keys[kept].number = static_cast<std::int32_t>(static_cast<std::uint32_t>(kept + 1));
        ++kept;
    }
    m_texts.resize(kept);
    m_keys.resize(kept);
    if (m_originsKept) {
        m_origins.resize(kept);
    }
    if (m_garbageBytes > m_liveBytes && m_garbageBytes >= kBlockBytes)
        Compact();
}

void WordList::Renumber(WordPos from, std::int32_t delta) {
    m_changedSinceLoad = true;
    for (std::size_t i = std::min(from.m_index, m_keys.size()); i < m_keys.size(); ++i) {
        m_keys[i].number = static_cast<std::int32_t>(static_cast<std::uint32_t>(m_keys[i].number) +
                                                     static_cast<std::uint32_t>(delta));
    }
}

bool WordList::IsNumberedInOrder() const {
    for (std::size_t i = 0; i < m_keys.size(); ++i) {
        if (static_cast<std::int64_t>(m_keys[i].number) != static_cast<std::int64_t>(i) + 1) {
            return false;
        }
    }
    return true;
}

void WordList::Discard(const char* text) {
    const std::size_t bytes = TextBytes(text);
    m_liveBytes -= bytes;
    m_garbageBytes += bytes;
    if (m_garbageBytes > m_liveBytes && m_garbageBytes >= kBlockBytes) {
        Compact();
    }
}

void WordList::Compact() {
    std::vector<std::unique_ptr<char[]>> oldBlocks;
    oldBlocks.swap(m_blocks);
    m_blockBytes.clear();
    m_free = nullptr;
    m_freeBytes = 0;
    // The live text is known: one block holds it all, up to the largest size.
    m_nextBlockBytes = std::clamp(std::bit_ceil(m_liveBytes), kFirstBlockBytes, kBlockBytes);
    for (const char*& text : m_texts) {
        const std::size_t bytes = TextBytes(text);
        char* const copy = Reserve(bytes);
        std::memcpy(copy, text, bytes);
        text = copy;
    }
    m_garbageBytes = 0;
}

// The search reads the blocks rather than the entries: a run of entries whose texts follow one
// another in one block is scanned as one stretch of bytes, 16 places at a time against a few
// bytes of the query, and only the places that pass are checked against the entry that holds
// them. Text left behind by edits may lie in a stretch; the check finds it outside every field.
namespace {

// The largest gap between the texts of neighbouring entries that a scan reads through without
// checking that it holds nothing but the earlier entry.
constexpr std::size_t kLooseGap = 256;

} // namespace

template <int Window>
void WordList::ScanRun(const TextQuery& query, std::size_t first, std::size_t stop, const char* end,
                       std::vector<WordPos>& found) const {
    const std::size_t size = query.Folded().size();
    const std::size_t offset = query.WindowAt();
    unsigned char bytes[Window];
    unsigned char masks[Window];
    for (int i = 0; i < Window; ++i) {
        bytes[i] = query.WindowByte(static_cast<std::size_t>(i));
        masks[i] = query.WindowMask(static_cast<std::size_t>(i));
    }
    std::size_t entry = first; // the entry that holds the place being checked

    // Whether a match starts at `at`; moves `entry` on to the entry whose text holds it.
    const auto check = [&](const char* at) {
        while (entry + 1 < stop && m_texts[entry + 1] <= at) {
            ++entry;
        }
        const char* field = m_texts[entry];
        for (int i = 0; i < 4; ++i) {
            const std::string_view text = TakeField(field);
            if (i != 2 && at >= text.data() && size <= text.size() &&
                at <= text.data() + (text.size() - size)) {
                return query.MatchesAt(at);
            }
        }
        return false;
    };

    const char* at = m_texts[first];
#if defined(__SSE2__)
    __m128i wantBytes[Window];
    __m128i wantMasks[Window];
    for (int i = 0; i < Window; ++i) {
        wantBytes[i] = _mm_set1_epi8(static_cast<char>(bytes[i]));
        wantMasks[i] = _mm_set1_epi8(static_cast<char>(masks[i]));
    }
    // The places among the 16 from `at` where the window's bytes match.
    const auto placesAt = [&](const char* from) {
        const char* const load = from + offset;
        __m128i same = _mm_cmpeq_epi8(
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(load)), wantMasks[0]),
            wantBytes[0]);
        for (int i = 1; i < Window; ++i) {
            same = _mm_and_si128(
                same, _mm_cmpeq_epi8(
                          _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(load + i)),
                                       wantMasks[i]),
                          wantBytes[i]));
        }
        return static_cast<std::uint32_t>(_mm_movemask_epi8(same));
    };
    // Places from which all the loads stay inside the stretch. Two blocks of 16 a turn where
    // they fit: most turns find nothing, and then cost one branch for 32 places.
    const std::size_t reach = offset + Window - 1 + 16;
    while (static_cast<std::size_t>(end - at) >= reach) {
        const bool two = static_cast<std::size_t>(end - at) >= reach + 16;
        std::uint32_t places = placesAt(at);
        if (two) {
            places |= placesAt(at + 16) << 16;
        }
        const char* next = at + (two ? 32 : 16);
        while (places != 0) {
            const char* const place = at + std::countr_zero(places);
            places &= places - 1;
            if (check(place)) {
                found.push_back(WordPos(entry));
                if (entry + 1 == stop) {
                    return;
                }
                // The rest of this entry cannot add to the result.
                next = m_texts[++entry];
                break;
            }
        }
        at = next;
    }
#endif
    for (; at < end && static_cast<std::size_t>(end - at) >= size; ++at) {
        bool pass = true;
        for (int i = 0; i < Window; ++i) {
            pass = pass && (static_cast<unsigned char>(at[offset + i]) | masks[i]) == bytes[i];
        }
        if (pass && check(at)) {
            found.push_back(WordPos(entry));
            if (entry + 1 == stop) {
                return;
            }
            at = m_texts[++entry] - 1;
        }
    }
}

WordPos WordList::FindText(const TextQuery& query, WordPos from, std::uint32_t maxEntries,
                           std::vector<WordPos>& found) const {
    const std::size_t begin = std::min(from.m_index, m_keys.size());
    const std::size_t stop = begin + std::min<std::size_t>(maxEntries, m_keys.size() - begin);
    if (query.Empty()) {
        return PosAt(static_cast<std::uint32_t>(stop));
    }
    // The blocks by address, to know where the block of a run's first entry ends.
    std::vector<std::pair<const char*, const char*>> spans;
    spans.reserve(m_blocks.size());
    for (std::size_t i = 0; i < m_blocks.size(); ++i) {
        spans.emplace_back(m_blocks[i].get(), m_blocks[i].get() + m_blockBytes[i]);
    }
    // Addresses of different blocks are ordered with std::less, which is total.
    const auto before = [](const auto& a, const auto& b) {
        return std::less<>{}(a.first, b.first);
    };
    std::sort(spans.begin(), spans.end(), before);
    for (std::size_t first = begin; first < stop;) {
        const char* const start = m_texts[first];
        const auto span =
            std::upper_bound(spans.begin(), spans.end(), std::make_pair(start, start), before) - 1;
        const char* const blockEnd = span->second;
        std::size_t last = first + 1;
        // A run ends where the texts stop following one another: a small gap (what an edit
        // left behind) is scanned through, a large one only when the text before fills it.
        for (; last < stop; ++last) {
            const char* const previous = m_texts[last - 1];
            const char* const text = m_texts[last];
            if (!std::less<>{}(previous, text) || !std::less<>{}(text, blockEnd)) {
                break;
            }
            if (static_cast<std::size_t>(text - previous) > kLooseGap &&
                text != previous + TextBytes(previous)) {
                break;
            }
        }
        const char* const end = m_texts[last - 1] + TextBytes(m_texts[last - 1]);
        switch (query.WindowSize()) {
        case 1:
            ScanRun<1>(query, first, last, end, found);
            break;
        case 2:
            ScanRun<2>(query, first, last, end, found);
            break;
        default:
            ScanRun<3>(query, first, last, end, found);
            break;
        }
        first = last;
    }
    return PosAt(static_cast<std::uint32_t>(stop));
}

std::vector<WordPos> WordList::FindWords(const std::vector<std::string_view>& words) const {
    std::vector<std::uint32_t> hashes;
    for (const std::string_view word : words)
        hashes.push_back(HashWord(word));
    std::sort(hashes.begin(), hashes.end());
    std::vector<WordPos> found;
    if (hashes.empty())
        return found;
    for (std::size_t index = 0; index < m_keys.size(); ++index) {
        if (!std::binary_search(hashes.begin(), hashes.end(), m_keys[index].wordHash))
            continue;
        const std::string_view word = WordOf(index);
        if (std::find(words.begin(), words.end(), word) != words.end())
            found.push_back(WordPos(index));
    }
    return found;
}
