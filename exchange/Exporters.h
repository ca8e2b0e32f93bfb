// Writes the word list in the formats other programs read: tab-separated text for flashcard
// programs, CSV for spreadsheets, and KVTML 2.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "exchange/ImportedWords.h"

class WordList;

enum class ExchangeFormat { Csv, Tsv, Kvtml };

// "csv", "tsv", "kvtml".
const char* FormatName(ExchangeFormat format);
std::optional<ExchangeFormat> FormatFromName(std::string_view name);
// The format a file name's extension stands for (.csv, .tsv or .txt, .kvtml or .xml).
std::optional<ExchangeFormat> FormatFromPath(std::string_view path);

// UTF-8 with "#separator:tab", "#html:false" and "#columns:Word	Spell	Type	Meaning"
// lines, then one line per entry.
std::string FormatTsv(const WordList& words);
// UTF-8 with a byte-order mark, a header row and CR LF line ends; fields quoted as needed.
std::string FormatCsv(const WordList& words);
// A KVTML 2 document; characters XML cannot hold (control characters other than tab and
// line ends) are left out.
// `grades`, when given, tells each word's progress, written as the meaning's <grade>; a
// word it gives nothing for (a new word) has none, as without it.
using GradeLookup = std::function<std::optional<KvtmlGrade>(std::string_view word)>;
std::string FormatKvtml(const WordList& words, const GradeLookup& grades);
std::string FormatKvtml(const WordList& words);

// Writes the list to `path` through the safe file write; false with `message` set on failure.
// Refused: a target that is not an ordinary file, and one that is (links followed, by device
// and inode) the word list of `listFolder`, its settings or one of its backups. A failed export
// leaves a file that was there as it was.
bool ExportWords(const WordList& words, const std::string& path, ExchangeFormat format,
                 std::string& message, const GradeLookup& grades = {},
                 const std::string& listFolder = ".");
