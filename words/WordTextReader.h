// Turns word-file text into entries a piece at a time, so a file can be read in chunks.
#pragma once

#include <string>
#include <string_view>

#include "words/WordEntry.h"

class WordList;

class WordTextReader {
public:
    explicit WordTextReader(WordList& words) : words_(words) {}

    // Reads the next piece of text; a token may run on into the next piece.
    void Feed(std::string_view text);
    // Ends the text: takes a token still open and drops an incomplete last record.
    void Finish();

private:
    // `escaped`: the token holds a backslash, so escapes may need undoing.
    void TakeToken(std::string_view token, bool escaped);

    WordList& words_;
    WordEntry record_;
    int field_ = 0;
    // The start of a token cut off by the end of the previous piece; only a token longer
    // than a piece makes this grow.
    std::string open_;
    bool openEscaped_ = false;
};
