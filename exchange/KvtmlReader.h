// Reads KVTML 2, the XML vocabulary format of the KDE education programs.
#pragma once

#include <string>
#include <string_view>

#include "exchange/ImportedWords.h"

// Appends each entry's first translation as the word, its pronunciation as the spell, its
// word type as the type and its second translation as the meaning. False, with `error` set,
// when the bytes are no KVTML document; an XML error after the first entry only ends the
// reading and is listed in `out.problems`. The XML declaration says how the bytes are
// encoded, unless `utf8` says they were already turned into UTF-8.
bool ReadKvtml(std::string_view bytes, bool utf8, ImportedWords& out, std::string& error);

// True when the bytes start like an XML document.
bool LooksLikeXml(std::string_view bytes);
