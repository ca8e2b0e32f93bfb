// Turns word-file text into entries a piece at a time, so a file can be read in chunks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class WordList;

class WordTextReader {
public:
    explicit WordTextReader(WordList& words) : m_words(words) {}

    // Reads the next piece of text; a token may run on into the next piece.
    void Feed(std::string_view text);
    // Ends the text: takes a token still open and drops an incomplete last record.
    void Finish();
    // Whether the text fed so far ends between records: more text fed now would read the
    // same as that text read alone.
    bool BetweenRecords() const { return m_field == 0 && m_open.empty(); }

private:
    void FeedPiece(std::string_view text);
    // `escaped`: the token holds a backslash, so escapes may need undoing. `inPiece`: the
    // token lies in the piece being fed rather than in memory of the reader's own.
    void TakeToken(std::string_view token, bool escaped, bool inPiece);

    WordList& m_words;
    // The record being read: its number, and its fields as views either into the piece being
    // fed or, when `m_kept`, into `m_owned`.
    std::int32_t m_number = 0;
    std::string_view m_fields[4];
    std::string m_owned[4];
    bool m_kept[4] = {};
    int m_field = 0;
    // The start of a token cut off by the end of the previous piece; only a token longer
    // than a piece makes this grow.
    std::string m_open;
    bool m_openEscaped = false;
};

// Appends the records of `text` to `words`; an incomplete last record is dropped.
void ParseWordText(std::string_view text, WordList& words);
