#include "framework/TextCodec.h"

#include <cwchar>
#include <vector>

#include <QList>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsScalarValue(char32_t c) {
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

void AppendCodePoint(QString& out, char32_t c) {
    out.append(QString::fromUcs4(&c, 1));
}

} // namespace

QString ToQString(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    std::mbstate_t state{};
    std::size_t i = 0;
    while (i < bytes.size()) {
        wchar_t wc = 0;
        const std::size_t n = std::mbrtowc(&wc, bytes.data() + i, bytes.size() - i, &state);
        if (n == static_cast<std::size_t>(-2)) {
            // A character cut off by the end of the text: each byte left is invalid.
            for (; i < bytes.size(); ++i)
                AppendCodePoint(out, kReplacement);
            break;
        }
        if (n == static_cast<std::size_t>(-1) || !IsScalarValue(static_cast<char32_t>(wc))) {
            AppendCodePoint(out, kReplacement);
            state = std::mbstate_t{};
            ++i;
            continue;
        }
        AppendCodePoint(out, static_cast<char32_t>(wc));
        i += n == 0 ? 1 : n; // n is 0 for an embedded zero byte
    }
    return out;
}

bool CanEncode(const QString& text) {
    std::vector<char> buffer(MB_CUR_MAX);
    std::mbstate_t state{};
    const QList<uint> codePoints = text.toUcs4();
    for (uint c : codePoints) {
        if (std::wcrtomb(buffer.data(), static_cast<wchar_t>(c), &state) ==
            static_cast<std::size_t>(-1))
            return false;
    }
    return true;
}

std::string FromQString(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    std::vector<char> buffer(MB_CUR_MAX);
    std::mbstate_t state{};
    const QList<uint> codePoints = text.toUcs4();
    for (uint c : codePoints) {
        const std::size_t n = std::wcrtomb(buffer.data(), static_cast<wchar_t>(c), &state);
        if (n == static_cast<std::size_t>(-1)) {
            out.push_back('?');
            state = std::mbstate_t{};
            continue;
        }
        out.append(buffer.data(), n);
    }
    return out;
}
