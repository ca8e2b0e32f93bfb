// Reads KVTML 2, the XML vocabulary format of the KDE education programs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "exchange/ImportedWords.h"

// Elements nested deeper than this are no real document's; such a file is refused.
constexpr std::size_t kMaxKvtmlDepth = 256;

// Appends each entry's first translation as the word, its pronunciation as the spell, its
// word type as the type and its second translation as the meaning. False, with `error` set,
// when the bytes are no KVTML document or nest elements deeper than kMaxKvtmlDepth; an XML
// error after the first entry only ends the reading and is listed in `out.problems`. The XML
// declaration says how the bytes are encoded, unless `utf8` says they were already turned into
// UTF-8. Reads without recursion, feeding the XML reader a piece at a time.
bool ReadKvtml(std::string_view bytes, bool utf8, ImportedWords& out, std::string& error);
// The same, letting go of the bytes once they are read, before the entries are stored.
bool ReadKvtml(std::string&& bytes, bool utf8, ImportedWords& out, std::string& error);

// True when the bytes start like an XML document.
bool LooksLikeXml(std::string_view bytes);
