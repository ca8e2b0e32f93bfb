// The text of the word file: numbers, field escapes, and whole files as text.
//
// A record is five tokens: the number in decimal, then word, spell, type and mean. Tokens are
// separated by white space. A field that is empty or holds white space or a backslash is
// written with backslash escapes so that it stays one token; every other field is written as
// it is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class WordList;
struct WordEntry;
struct WordFields;

// The bytes that separate tokens: blank, tab, LF, VT, FF and CR.
constexpr bool IsWordFileSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Appends `field` as one token: escaped when empty or holding white space or a backslash.
void AppendEscapedField(std::string& out, std::string_view field);

// Sets `field` to the text a token stands for, undoing the escapes.
void UnescapeField(std::string_view token, std::string& field);

// Appends one entry as a line ending in CR LF.
void AppendWordLine(std::string& out, const WordFields& entry);
void AppendWordLine(std::string& out, const WordEntry& entry);

// The whole list as file text, one line per entry.
std::string FormatWordFile(const WordList& words);
