#include "exchange/TextEncoding.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <cstring>

#include "base/AsciiText.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

// Decodes through Qt a piece at a time, so a large file never exists as UTF-16 whole.
bool Recode(std::string& bytes, std::size_t skip, const char* codec, std::string& error) {
    // The decoder keeps its state across pieces, so a character cut at a piece's end is whole.
    QStringDecoder decoder(codec);
    if (!decoder.isValid()) {
        error = std::string("this system cannot read ") + codec;
        return false;
    }
    constexpr std::size_t kPiece = 1 << 16;
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t at = skip; at < bytes.size(); at += kPiece) {
        const std::size_t n = std::min(kPiece, bytes.size() - at);
        const QString text = decoder.decode(QByteArrayView(bytes.data() + at, qsizetype(n)));
        if (decoder.hasError()) {
            error = std::string("the text is not valid ") + codec;
            return false;
        }
        const QByteArray utf8 = text.toUtf8();
        out.append(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    }
    // A character cut off by the end of the file.
    const QString rest = decoder.decode(QByteArrayView());
    if (decoder.hasError() || !rest.isEmpty()) {
        error = std::string("the text is not valid ") + codec;
        return false;
    }
    bytes = std::move(out);
    return true;
}

// UTF-16 without a byte-order mark: Latin text is then ASCII bytes each paired with a zero
// byte, which UTF-8 and GB18030 text never has. Looks at the first bytes only, and wants at
// least two such characters, half of all, and few pairs the other way round (as U+4E00 is in
// UTF-16LE): a binary file with a zero byte or two stays binary.
std::optional<TextEncoding> Utf16ByZeros(std::string_view bytes) {
    const std::size_t n = std::min<std::size_t>(bytes.size(), 4096) & ~std::size_t{1};
    const auto isAscii = [](char c) {
        return (c >= 0x20 && c < 0x7F) || c == '\t' || c == '\r' || c == '\n';
    };
    std::size_t little = 0; // ASCII then zero
    std::size_t big = 0;    // zero then ASCII
    for (std::size_t i = 0; i < n; i += 2) {
        little += bytes[i + 1] == '\0' && isAscii(bytes[i]) ? 1 : 0;
        big += bytes[i] == '\0' && isAscii(bytes[i + 1]) ? 1 : 0;
    }
    const std::size_t characters = n / 2;
    if (little >= 2 && little * 2 >= characters && little > big * 2) {
        return TextEncoding::Utf16Le;
    }
    if (big >= 2 && big * 2 >= characters && big > little * 2) {
        return TextEncoding::Utf16Be;
    }
    return std::nullopt;
}

bool IsUtf16(TextEncoding encoding) {
    return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
}

} // namespace

const char* EncodingName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return "UTF-8";
    case TextEncoding::Utf16Le:
        return "UTF-16LE";
    case TextEncoding::Utf16Be:
        return "UTF-16BE";
    case TextEncoding::Gb18030:
        return "GB18030";
    }
    return "UTF-8";
}

std::optional<TextEncoding> EncodingFromName(std::string_view name) {
    std::string key;
    for (const char c : name) {
        if (c != '-' && c != '_') {
            key += ascii::ToLower(c);
        }
    }
    if (key == "utf8") {
        return TextEncoding::Utf8;
    }
    if (key == "utf16le") {
        return TextEncoding::Utf16Le;
    }
    if (key == "utf16be") {
        return TextEncoding::Utf16Be;
    }
    if (key == "gb18030" || key == "gbk" || key == "gb2312") {
        return TextEncoding::Gb18030;
    }
    return std::nullopt;
}

bool IsValidUtf8(std::string_view text) {
    const auto* at = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = at + text.size();
    while (at < end) {
        // ASCII runs, eight bytes at a time.
        while (end - at >= 8) {
            std::uint64_t word;
            std::memcpy(&word, at, 8);
            if ((word & 0x8080808080808080ull) != 0) {
                break;
            }
            at += 8;
        }
        if (at == end) {
            break;
        }
        const unsigned char lead = *at;
        if (lead < 0x80) {
            ++at;
            continue;
        }
        int more = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
            high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF; // nothing past U+10FFFF
        } else {
            return false;
        }
        if (end - at <= more || at[1] < low || at[1] > high) {
            return false;
        }
        for (int i = 2; i <= more; ++i) {
            if (at[i] < 0x80 || at[i] > 0xBF) {
                return false;
            }
        }
        at += more + 1;
    }
    return true;
}

bool DecodeToUtf8(std::string& bytes, std::optional<TextEncoding> forced, TextEncoding& used,
                  std::size_t& droppedBytes, std::string& error) {
    droppedBytes = 0;
    const std::string_view view(bytes);
    bool guessed = false;
    std::size_t bom = 0;
    if (view.starts_with(kUtf8Bom)) {
        used = TextEncoding::Utf8;
        bom = kUtf8Bom.size();
    } else if (view.starts_with(kUtf16LeBom)) {
        used = TextEncoding::Utf16Le;
        bom = kUtf16LeBom.size();
    } else if (view.starts_with(kUtf16BeBom)) {
        used = TextEncoding::Utf16Be;
        bom = kUtf16BeBom.size();
    } else if (const std::optional<TextEncoding> utf16 = Utf16ByZeros(view)) {
        used = *utf16;
    } else {
        used = IsValidUtf8(view) ? TextEncoding::Utf8 : TextEncoding::Gb18030;
        guessed = used == TextEncoding::Gb18030;
    }
    if (forced && *forced != used) {
        // A mark of another encoding is then text of the forced one.
        used = *forced;
        bom = 0;
    }
    if (forced) {
        guessed = false;
    }
    if (used == TextEncoding::Utf8) {
        if (!IsValidUtf8(view.substr(bom))) {
            error = "the text is not valid UTF-8";
            return false;
        }
        bytes.erase(0, bom);
        return true;
    }
    if (IsUtf16(used) && (bytes.size() - bom) % 2 != 0) {
        bytes.pop_back();
        droppedBytes = 1;
    }
    if (!Recode(bytes, bom, EncodingName(used), error)) {
        if (guessed) {
            // Nothing that was tried fits: say so, rather than name the last guess only.
            error = "the text is not valid UTF-8, GB18030 or UTF-16";
        }
        return false;
    }
    return true;
}
