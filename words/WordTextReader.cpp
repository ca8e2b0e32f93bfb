#include "words/WordTextReader.h"

#include "words/WordFileFormat.h"
#include "words/WordList.h"

void WordTextReader::Feed(std::string_view text) {
    const std::size_t size = text.size();
    std::size_t i = 0;
    if (!open_.empty()) {
        while (i < size && !IsWordFileSpace(text[i])) {
            ++i;
        }
        open_.append(text.data(), i);
        if (i == size) {
            return;
        }
        TakeToken(open_);
        open_.clear();
    }
    for (;;) {
        while (i < size && IsWordFileSpace(text[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < size && !IsWordFileSpace(text[i])) {
            ++i;
        }
        if (i == size) {
            open_.assign(text.data() + start, size - start);
            return;
        }
        TakeToken(text.substr(start, i - start));
    }
}

void WordTextReader::Finish() {
    if (!open_.empty()) {
        TakeToken(open_);
        open_.clear();
    }
    field_ = 0;
}

void WordTextReader::TakeToken(std::string_view token) {
    switch (field_) {
    case 0:
        record_.number = ParseWordNumber(token);
        break;
    case 1:
        UnescapeField(token, record_.word);
        break;
    case 2:
        UnescapeField(token, record_.spell);
        break;
    case 3:
        UnescapeField(token, record_.type);
        break;
    default:
        UnescapeField(token, record_.mean);
        words_.Append(record_);
        field_ = 0;
        return;
    }
    ++field_;
}
