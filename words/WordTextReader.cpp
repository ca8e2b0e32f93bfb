#include "words/WordTextReader.h"

#include <array>
#include <utility>

#include "words/WordFileFormat.h"
#include "words/WordList.h"

namespace {

enum ByteClass : unsigned char { kPlain = 0, kEscaped = 1, kSpace = 2 };

constexpr std::array<unsigned char, 256> MakeClasses() {
    std::array<unsigned char, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        classes[c] = IsWordFileSpace(static_cast<char>(c)) ? kSpace : c == '\\' ? kEscaped : kPlain;
    }
    return classes;
}

constexpr std::array<unsigned char, 256> kClasses = MakeClasses();

unsigned char ClassOf(char c) {
    return kClasses[static_cast<unsigned char>(c)];
}

} // namespace

void WordTextReader::Feed(std::string_view text) {
    const char* at = text.data();
    const char* const end = at + text.size();
    if (!open_.empty()) {
        const char* stop = at;
        unsigned char seen = 0;
        while (stop != end && ClassOf(*stop) != kSpace) {
            seen |= ClassOf(*stop++);
        }
        open_.append(at, stop);
        openEscaped_ = openEscaped_ || seen != kPlain;
        if (stop == end) {
            return;
        }
        TakeToken(open_, openEscaped_);
        open_.clear();
        at = stop;
    }
    for (;;) {
        while (at != end && ClassOf(*at) == kSpace) {
            ++at;
        }
        const char* const start = at;
        unsigned char seen = 0;
        unsigned char cls = 0;
        while (at != end && (cls = ClassOf(*at)) != kSpace) {
            seen |= cls;
            ++at;
        }
        if (at == end) {
            open_.assign(start, end);
            openEscaped_ = seen != kPlain;
            return;
        }
        TakeToken(std::string_view(start, static_cast<std::size_t>(at - start)), seen != kPlain);
    }
}

void WordTextReader::Finish() {
    if (!open_.empty()) {
        TakeToken(open_, openEscaped_);
        open_.clear();
    }
    field_ = 0;
}

void WordTextReader::TakeToken(std::string_view token, bool escaped) {
    if (field_ == 0) {
        record_.number = ParseWordNumber(token);
        field_ = 1;
        return;
    }
    std::string* const fields[] = {&record_.word, &record_.spell, &record_.type, &record_.mean};
    std::string& field = *fields[field_ - 1];
    if (escaped) {
        UnescapeField(token, field);
    } else {
        field.assign(token);
    }
    if (++field_ == 5) {
        words_.Append(std::move(record_));
        field_ = 0;
    }
}
