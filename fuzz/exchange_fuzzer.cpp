// Import of any bytes as delimited text and as KVTML: no crash, no hang, whatever was read is
// written in each format and read back the same, and delimited text kept from a reading reads
// again the same, or with any header and column choice without harm.
#include <cstdlib>
#include <string>
#include <vector>

#include "exchange/ColumnGuess.h"
#include "exchange/Exporters.h"
#include "exchange/Import.h"
#include "tests/support/ListEntries.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// True when KVTML can hold every field: XML has no place for most control characters.
bool FitsXml(const std::vector<WordEntry>& entries) {
    for (const WordEntry& entry : entries) {
        for (const std::string* field : {&entry.word, &entry.spell, &entry.type, &entry.mean}) {
            for (const char c : *field) {
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                    return false;
                }
            }
            // U+FFFE and U+FFFF.
            if (field->find("\xEF\xBF\xBE") != std::string::npos ||
                field->find("\xEF\xBF\xBF") != std::string::npos) {
                return false;
            }
        }
    }
    return true;
}

void RoundTrip(const WordList& words) {
    const std::vector<WordEntry> entries = ListEntriesUnnumbered(words);
    const struct {
        ExchangeFormat format;
        std::string text;
    } outputs[] = {{ExchangeFormat::Tsv, FormatTsv(words)},
                   {ExchangeFormat::Csv, FormatCsv(words)},
                   {ExchangeFormat::Kvtml, FormatKvtml(words)}};
    for (const auto& output : outputs) {
        if (output.format == ExchangeFormat::Kvtml && !FitsXml(entries)) {
            continue;
        }
        ImportOptions options;
        options.format = output.format;
        ImportedWords back;
        std::string error;
        Check(ImportBytes(output.text, "", options, back, error));
        Check(back.problems.empty());
        Check(ListEntriesUnnumbered(back.entries) == entries);
    }
}

} // namespace

// Each input is read as the program reads a file it is given (the format found from its bytes)
// and once as one format forced, picked by the input's size so that mutations reach all three.
// Only one reading goes round the exporters: each reading and each list costs a fresh block of
// memory, which under the sanitizers is what made this fuzzer slow.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    constexpr ExchangeFormat kForced[] = {ExchangeFormat::Csv, ExchangeFormat::Tsv,
                                          ExchangeFormat::Kvtml};
    bool roundTripped = false;
    for (const std::optional<ExchangeFormat> format :
         {std::optional<ExchangeFormat>(), std::optional(kForced[size % 3])}) {
        ImportOptions options;
        options.format = format;
        ImportedWords read;
        std::string error;
        std::string text;
        const bool ok = ImportBytes(bytes, "fuzz.txt", options, read, error, &text);
        Check(read.sampleRows.size() <= ImportedWords::kSampleRows);
        Check(read.columnCount <= ImportedWords::kSampleColumns);
        if (!text.empty() && !format) {
            // The kept text read again as it was read first gives the same; read with the
            // header and columns its first line names as a choice, whatever it gives is sound.
            ImportedWords again;
            again.encoding = read.encoding;
            again.droppedBytes = read.droppedBytes;
            std::string againError;
            Check(ImportText(text, "fuzz.txt", options, again, againError) == ok);
            Check(ListEntries(again.entries) == ListEntries(read.entries));
            Check(again.problems == read.problems && again.sampleRows == read.sampleRows);
            ColumnMap map;
            if (ParseColumnChoice(text.substr(0, text.find('\n')), map, againError)) {
                options.delimited.columns = map;
            }
            options.delimited.header = size % 2 == 0;
            ImportedWords chosen;
            if (!ImportText(text, "fuzz.txt", options, chosen, againError)) {
                Check(!againError.empty());
            }
        }
        if (ok) {
            Check(read.problems.size() <= ImportedWords::kMaxProblems);
            Check(read.problemCount >= read.problems.size());
            if (!roundTripped) {
                RoundTrip(read.entries);
                roundTripped = true;
            }
        } else {
            Check(!error.empty());
        }
    }
    return 0;
}
