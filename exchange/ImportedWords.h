// What reading an import file gave: the entries, the lines that could not be read, and how
// the file was understood, so that another reading can be asked for.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/TextEncoding.h"
#include "words/WordList.h"

// A line that gave no entry, and why, e.g. {7, "unclosed quote"}.
struct ImportProblem {
    std::size_t line = 0;
    std::string reason;

    friend bool operator==(const ImportProblem&, const ImportProblem&) = default;
};

// The column (from 0) that holds each field, or -1 for none.
struct ColumnMap {
    int word = -1;
    int spell = -1;
    int type = -1;
    int mean = -1;

    friend bool operator==(const ColumnMap&, const ColumnMap&) = default;
};

// A word's progress as a KVTML file keeps it in <grade>, the texts as read.
struct KvtmlGrade {
    std::string word;
    int currentGrade = 0;
    int count = 0;
    int errorCount = 0;
    std::string date;
};

// A row of delimited text as it stands in the file, before any column is given a field.
struct SampleRow {
    std::size_t line = 0;
    std::vector<std::string> cells;

    friend bool operator==(const SampleRow&, const SampleRow&) = default;
};

// Previews cut longer fields to this many bytes, ending them in "...".
constexpr std::size_t kMaxPreviewFieldBytes = 1000;

// How an import file was read.
enum class ReadFormat {
    Delimited, // comma-, semicolon- or tab-separated text
    Kvtml,
    WordFile, // the word list's own file, or a backup of it
};

struct ImportedWords {
    // At most this many problems are kept, the first ones: a file of a million bad lines would
    // otherwise cost far more memory than its size, and no one reads such a list.
    static constexpr std::size_t kMaxProblems = 300;

    // In file order; each entry's number is the line it starts on (from 1), for messages.
    WordList entries;
    // The first kMaxProblems problems, in line order; `problemCount` counts them all.
    std::vector<ImportProblem> problems;
    std::size_t problemCount = 0;
    // Non-empty fields of columns that no field takes, such as notes that are no word type.
    std::size_t droppedFields = 0;
    // Bytes that held no text and were left out, such as the odd last byte of UTF-16 text.
    std::size_t droppedBytes = 0;

    ReadFormat format = ReadFormat::Delimited;
    TextEncoding encoding = TextEncoding::Utf8;
    char separator = 0; // for delimited text
    bool header = false;
    bool html = false;
    ColumnMap columns;

    // For delimited text, so that the columns can be shown as they stand and given other
    // fields: the number of columns, the names a header gave them, and the first rows after
    // it. At most kSampleColumns columns and kSampleRows rows are kept, each cell cut for a
    // preview.
    static constexpr std::size_t kSampleRows = 20;
    static constexpr std::size_t kSampleColumns = 26;
    std::size_t columnCount = 0;
    std::vector<std::string> columnNames;
    std::vector<SampleRow> sampleRows;

    // Counts a line that gave no entry, keeping it while fewer than kMaxProblems are kept.
    void AddProblem(std::size_t line, std::string reason);
    // The problems not kept.
    std::size_t ProblemsLeftOut() const;
    // KVTML only: the <grade> of entries that have one (of the meaning's translation, else
    // of the word's); entries without one are not listed.
    std::vector<KvtmlGrade> grades;
};

// True when a word is empty or only ASCII white space: the row then gives no entry.
bool IsNoWord(std::string_view word);

// `field` as a preview shows it: cut to kMaxPreviewFieldBytes, not inside a UTF-8 character.
std::string PreviewField(std::string_view field);

// "line 7: unclosed quote".
std::string ProblemText(const ImportProblem& problem);
