#include "exchange/DelimitedReader.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/AsciiText.h"
#include "exchange/ColumnGuess.h"
#include "exchange/FlashcardHeader.h"
#include "exchange/HtmlText.h"
#include "exchange/RecordScanner.h"
#include "exchange/SeparatorGuess.h"
#include "exchange/WordTypes.h"

namespace {

constexpr std::size_t kSampleRecords = 20;
// A header names a handful of columns; the shapes of more say nothing more of it.
constexpr std::size_t kShapedColumns = 64;

bool AllEmpty(const std::vector<std::string_view>& fields) {
    return std::all_of(fields.begin(), fields.end(),
                       [](std::string_view field) { return field.empty(); });
}

// What the first records say about the rest.
struct Sample {
    std::vector<std::string> first;            // the first row's fields, kept past the scan
    std::vector<std::vector<CellShape>> below; // what the cells of the rows after it hold
    std::vector<std::size_t> counts;
    std::size_t fourColumnRows = 0;
    std::size_t typeLike = 0;
};

Sample TakeSample(std::string_view body, char separator, std::size_t firstLine) {
    Sample sample;
    std::vector<std::string_view> fields;
    std::size_t line = 0;
    const char* reason = nullptr;
    RecordScanner scanner(body, separator, firstLine);
    for (RecordScanner::Result result;
         sample.counts.size() < kSampleRecords &&
         (result = scanner.Next(fields, line, reason)) != RecordScanner::Result::End;) {
        if (result == RecordScanner::Result::Error || AllEmpty(fields)) {
            continue;
        }
        if (sample.counts.empty()) {
            // Only a short row can be column names: a long one is not copied.
            std::size_t bytes = 0;
            for (const std::string_view field : fields) {
                bytes += field.size();
            }
            if (bytes <= 4096) {
                sample.first.assign(fields.begin(), fields.end());
            } else {
                sample.first.assign(fields.size(), std::string());
            }
        } else {
            std::vector<CellShape>& shapes = sample.below.emplace_back();
            for (std::size_t i = 0; i < std::min(fields.size(), kShapedColumns); ++i) {
                shapes.push_back(ShapeOf(fields[i]));
            }
            if (fields.size() >= 4) {
                // The first row may be a header: its third field says nothing of types.
                ++sample.fourColumnRows;
                sample.typeLike += fields[2].empty() || LooksLikeWordType(fields[2]) ? 1 : 0;
            }
        }
        sample.counts.push_back(fields.size());
    }
    return sample;
}

// The usual number of columns: the most frequent among the sampled rows, ties going to the one
// seen first.
std::size_t UsualColumns(const std::vector<std::size_t>& counts, std::size_t from) {
    std::size_t layout = 0;
    std::size_t bestRun = 0;
    for (std::size_t i = from; i < counts.size(); ++i) {
        const auto run = static_cast<std::size_t>(std::count(
            counts.begin() + static_cast<std::ptrdiff_t>(from), counts.end(), counts[i]));
        if (run > bestRun) {
            bestRun = run;
            layout = counts[i];
        }
    }
    return layout;
}

std::vector<std::string> SplitNames(std::string_view names, char separator) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (out.size() < RecordScanner::kMaxFields) {
        const std::size_t end = names.find(separator, at);
        out.emplace_back(names.substr(at, end - at));
        if (end == std::string_view::npos) {
            break;
        }
        at = end + 1;
    }
    return out;
}

} // namespace

void ReadDelimited(std::string_view text, const DelimitedOptions& options, ImportedWords& out) {
    const FlashcardHeader flashcard = ReadFlashcardHeader(text);
    const std::string_view body = text.substr(flashcard.bytes);
    char separator = options.separator.value_or(0);
    if (separator == 0) {
        separator = flashcard.separator != 0 ? flashcard.separator
                                             : DetectSeparator(body, options.candidates);
    }
    out.format = ReadFormat::Delimited;
    out.separator = separator;
    // A flashcard export holds HTML unless it says otherwise.
    out.html = flashcard.lines > 0 ? flashcard.html.value_or(true) : false;
    const std::size_t firstLine = flashcard.lines + 1;

    const Sample sample = TakeSample(body, separator, firstLine);
    const std::vector<std::string> columnNames = flashcard.columns.empty()
                                                     ? std::vector<std::string>()
                                                     : SplitNames(flashcard.columns, separator);
    std::vector<std::string_view> names(columnNames.begin(), columnNames.end());
    std::vector<std::string_view> first(sample.first.begin(), sample.first.end());
    out.header = options.header.value_or(names.empty() && !first.empty() &&
                                         LooksLikeHeader(first, sample.below));
    if (out.header && names.empty()) {
        names = first;
    }

    std::size_t layout = UsualColumns(sample.counts, out.header && !sample.counts.empty() ? 1 : 0);
    // Four columns whose third is mostly no word type are a three-column list with notes.
    if (layout == 4 && names.empty() && sample.typeLike * 2 < sample.fourColumnRows) {
        layout = 3;
    }
    std::vector<int> usable;
    for (int i = 0; i < static_cast<int>(std::max(layout, names.size())); ++i) {
        if (!flashcard.IsSkipped(i)) {
            usable.push_back(i);
        }
    }
    if (options.columns) {
        out.columns = *options.columns;
    } else if (!names.empty()) {
        out.columns = MapByNames(names);
    } else {
        std::vector<std::vector<CellShape>> shapes;
        if (!out.header && !first.empty()) {
            std::vector<CellShape>& row = shapes.emplace_back();
            for (const std::string_view cell : first) {
                row.push_back(ShapeOf(cell));
            }
        }
        shapes.insert(shapes.end(), sample.below.begin(), sample.below.end());
        out.columns = MapByCount(usable, shapes);
    }
    const ColumnMap map = out.columns;
    out.columnCount = std::min(std::max(layout, names.size()), ImportedWords::kSampleColumns);
    out.columnNames.clear();
    for (std::size_t i = 0; i < std::min(names.size(), ImportedWords::kSampleColumns); ++i) {
        out.columnNames.push_back(PreviewField(names[i]));
    }
    out.sampleRows.clear();
    // A three-column list may carry notes in a fourth column: a word type, or dropped.
    const bool notes = !options.columns && names.empty() && usable.size() == 3;
    // Text in a column that no field takes is lost: count it, unless the learner chose the
    // columns or the header names that column.
    const bool countDropped = !options.columns;
    const int numberColumn = names.empty() ? NumberColumnByCount(usable) : -1;
    const auto isKept = [&](int column) {
        return column == map.word || column == map.spell || column == map.type ||
               column == map.mean || column == numberColumn ||
               static_cast<std::size_t>(column) < names.size() || flashcard.IsSkipped(column);
    };

    RecordScanner scanner(body, separator, firstLine);
    bool skipHeader = out.header && flashcard.columns.empty();
    std::vector<std::string_view> fields;
    std::size_t line = 0;
    const char* reason = nullptr;
    // One buffer for the plain text of the four fields, reused from row to row.
    std::string plain;
    for (;;) {
        const RecordScanner::Result result = scanner.Next(fields, line, reason);
        if (result == RecordScanner::Result::End) {
            break;
        }
        if (result == RecordScanner::Result::Error) {
            out.AddProblem(line, reason);
            continue;
        }
        if (AllEmpty(fields) && scanner.FieldsBeyondMax() == 0) {
            continue;
        }
        if (skipHeader) {
            skipHeader = false;
            continue;
        }
        if (out.sampleRows.size() < ImportedWords::kSampleRows) {
            SampleRow& row = out.sampleRows.emplace_back();
            row.line = line;
            for (std::size_t i = 0; i < std::min(fields.size(), ImportedWords::kSampleColumns);
                 ++i) {
                if (out.html) {
                    plain.clear();
                    AppendHtmlText(fields[i], plain);
                    row.cells.push_back(PreviewField(plain));
                } else {
                    row.cells.push_back(PreviewField(fields[i]));
                }
            }
            out.columnCount = std::max(out.columnCount, row.cells.size());
        }
        const auto field = [&](int column) {
            return column >= 0 && static_cast<std::size_t>(column) < fields.size()
                       ? fields[static_cast<std::size_t>(column)]
                       : std::string_view();
        };
        std::string_view values[4] = {field(map.word), field(map.spell), field(map.type),
                                      field(map.mean)};
        bool typeFromNotes = false;
        if (notes && fields.size() > 3 && values[2].empty() && LooksLikeWordType(fields[3])) {
            values[2] = ascii::Trim(fields[3]);
            typeFromNotes = true;
        }
        if (countDropped) {
            for (std::size_t i = 0; i < fields.size(); ++i) {
                const int column = static_cast<int>(i);
                if (!fields[i].empty() && !isKept(column) && !(typeFromNotes && column == 3)) {
                    ++out.droppedFields;
                }
            }
            out.droppedFields += scanner.FieldsBeyondMax();
        }
        if (out.html) {
            plain.clear();
            std::size_t ends[4];
            for (int i = 0; i < 4; ++i) {
                AppendHtmlText(values[i], plain);
                ends[i] = plain.size();
            }
            for (std::size_t i = 0, from = 0; i < 4; from = ends[i], ++i) {
                values[i] = std::string_view(plain).substr(from, ends[i] - from);
            }
        }
        if (IsNoWord(values[0])) {
            out.AddProblem(line, "no word");
            continue;
        }
        out.entries.AppendFields(static_cast<std::int32_t>(std::min<std::size_t>(line, INT32_MAX)),
                                 values[0], values[1], values[2], values[3]);
    }
}
