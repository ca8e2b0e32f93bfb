// Turns word-file text into entries a piece at a time, so a file can be read in chunks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class WordList;

class WordTextReader {
public:
    explicit WordTextReader(WordList& words) : words_(words) {}

    // Reads the next piece of text; a token may run on into the next piece.
    void Feed(std::string_view text);
    // Ends the text: takes a token still open and drops an incomplete last record.
    void Finish();

private:
    void FeedPiece(std::string_view text);
    // `escaped`: the token holds a backslash, so escapes may need undoing. `inPiece`: the
    // token lies in the piece being fed rather than in memory of the reader's own.
    void TakeToken(std::string_view token, bool escaped, bool inPiece);

    WordList& words_;
    // The record being read: its number, and its fields as views either into the piece being
    // fed or, when `kept_`, into `owned_`.
    std::int32_t number_ = 0;
    std::string_view fields_[4];
    std::string owned_[4];
    bool kept_[4] = {};
    int field_ = 0;
    // The start of a token cut off by the end of the previous piece; only a token longer
    // than a piece makes this grow.
    std::string open_;
    bool openEscaped_ = false;
};
