#include "words/WordFileFormat.h"

#include <charconv>
#include <cstring>

#include "words/WordList.h"

namespace {

constexpr char kEscape = '\\';
// Stands for the empty string; written alone for an empty field.
constexpr char kEmptyMark = 'e';

// The letter after the backslash for a byte that must be escaped, or 0.
char EscapeLetter(char c) {
    switch (c) {
    case ' ':
        return 's';
    case '\t':
        return 't';
    case '\n':
        return 'n';
    case '\v':
        return 'v';
    case '\f':
        return 'f';
    case '\r':
        return 'r';
    case kEscape:
        return kEscape;
    default:
        return 0;
    }
}

// The byte an escape letter stands for; false for letters that are no escape.
bool UnescapeLetter(char letter, char& c) {
    switch (letter) {
    case 's':
        c = ' ';
        return true;
    case 't':
        c = '\t';
        return true;
    case 'n':
        c = '\n';
        return true;
    case 'v':
        c = '\v';
        return true;
    case 'f':
        c = '\f';
        return true;
    case 'r':
        c = '\r';
        return true;
    case kEscape:
        c = kEscape;
        return true;
    default:
        return false;
    }
}

} // namespace

void AppendEscapedField(std::string& out, std::string_view field) {
    if (field.empty()) {
        out += kEscape;
        out += kEmptyMark;
        return;
    }
    for (const char c : field) {
        const char letter = EscapeLetter(c);
        if (letter != 0) {
            out += kEscape;
            out += letter;
        } else {
            out += c;
        }
    }
}

void UnescapeField(std::string_view token, std::string& field) {
    if (std::memchr(token.data(), kEscape, token.size()) == nullptr) {
        field.assign(token);
        return;
    }
    field.clear();
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (token[i] == kEscape && i + 1 < token.size()) {
            char c = 0;
            if (token[i + 1] == kEmptyMark) {
                ++i;
                continue;
            }
            if (UnescapeLetter(token[i + 1], c)) {
                field += c;
                ++i;
                continue;
            }
        }
        // Any other backslash is an ordinary byte, so older files that hold one load unchanged.
        field += token[i];
    }
}

void AppendWordLine(std::string& out, const WordFields& entry) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, entry.number);
    out.append(digits, result.ptr);
    for (const std::string_view field : {entry.word, entry.spell, entry.type, entry.mean}) {
        out += ' ';
        AppendEscapedField(out, field);
    }
    out += "\r\n";
}

void AppendWordLine(std::string& out, const WordEntry& entry) {
    AppendWordLine(out, WordFields{entry.number, entry.word, entry.spell, entry.type, entry.mean});
}

std::string FormatWordFile(const WordList& words) {
    std::string text;
    for (WordPos pos = words.Begin(); pos != words.End(); pos = words.Next(pos)) {
        AppendWordLine(text, words.Fields(pos));
    }
    return text;
}
