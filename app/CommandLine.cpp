#include "app/CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>

#include "app/DueCommand.h"
#include "base/Counted.h"
#include "exchange/ColumnGuess.h"
#include "exchange/Exporters.h"
#include "exchange/Import.h"
#include "exchange/ImportPlan.h"
#include "framework/CWinApp.h"
#include "review/FitJob.h"
#include "review/History.h"
#include "review/ReviewChoices.h"
#include "settings/Settings.h"
#include "study/ReviewExchange.h"
#include "study/StudySession.h"
#include "ui/ListCodeSet.h"
#include "words/WordFile.h"
#include "words/WordList.h"
#include "words/WordStore.h"

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

constexpr const char* kUsageText =
    "Usage: vocamint [FOLDER]\n"
    "       vocamint --import FILE [--format csv|tsv|kvtml] [--on-duplicate skip|replace|add]\n"
    "                              [--encoding utf-8|utf-16le|utf-16be|gb18030]\n"
    "                              [--columns ROLES] [--header yes|no|auto]\n"
    "       vocamint --export FILE [--format csv|tsv|kvtml]\n"
    "       vocamint --fit [FOLDER]\n"
    "       vocamint --due [FOLDER]\n"
    "\n"
    "Without options, opens the study window on the word list WL.txt of FOLDER, or of the\n"
    "current folder. --import and --export work on the WL.txt of the current folder without\n"
    "opening a window.\n"
    "\n"
    "  --import FILE        add the words of FILE to the list; delimited text (.csv, .tsv,\n"
    "                       .txt, flashcard program exports) or KVTML (.kvtml)\n"
    "  --export FILE        write the list to FILE\n"
    "  --format FORMAT      csv, tsv or kvtml; guessed from the file name when not given\n"
    "  --on-duplicate WHAT  for words already in the list: skip them (the default), replace\n"
    "                       their spell, type and meaning, or add them anyway\n"
    "  --encoding NAME      read FILE in this encoding instead of the one found\n"
    "  --columns ROLES      where the columns of delimited text go: the role of each column\n"
    "                       in order, word, spell, type, meaning or - (not imported), e.g.\n"
    "                       \"word,meaning,-,type\"; or the column of each field, from 1,\n"
    "                       e.g. \"word=2,meaning=1\". Guessed when not given\n"
    "  --header yes|no|auto whether the first line holds column names; auto (the default)\n"
    "                       guesses it from the names and from how the line differs from the\n"
    "                       lines below it\n"
    "  --fit                fit the review schedule to the list's review history, and keep\n"
    "                       the fit when it predicts the latest reviews better\n"
    "  --due                print the words due for review today and the new words to\n"
    "                       learn, e.g. \"12 due, 20 new\", and exit\n"
    "  -h, --help           show this help and exit\n"
    "  -V, --version        show the version and exit\n"
    "\n"
    "Exit status: 0 done, 1 the import, export, fit or count failed, 2 wrong usage.\n";

struct Arguments {
    std::string import;
    std::string exportTo;
    std::optional<ExchangeFormat> format;
    DuplicatePolicy policy = DuplicatePolicy::Skip;
    std::optional<TextEncoding> encoding;
    std::optional<ColumnMap> columns;
    std::optional<bool> header;
    std::string folder;
    bool help = false;
    bool version = false;
    bool fit = false;
    bool due = false;
    bool hasFolder = false;
    bool hasPolicy = false;
    bool hasEncoding = false;
    bool hasHeader = false;
};

int UsageError(const std::string& message) {
    std::fprintf(stderr, "vocamint: %s\nTry 'vocamint --help' for more information.\n",
                 message.c_str());
    return kUsage;
}

// Fills `args`; returns 0, or the exit status of a usage error already reported.
int Parse(int argc, char** argv, Arguments& args) {
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (optionsEnd || arg.empty() || arg[0] != '-' || arg == "-") {
            if (args.hasFolder) {
                return UsageError("unexpected argument '" + std::string(arg) + "'");
            }
            args.folder = std::string(arg);
            args.hasFolder = true;
            continue;
        }
        if (arg == "--") {
            optionsEnd = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            args.help = true;
            continue;
        }
        if (arg == "-V" || arg == "--version") {
            args.version = true;
            continue;
        }
        if (arg == "--fit") {
            args.fit = true;
            continue;
        }
        if (arg == "--due") {
            args.due = true;
            continue;
        }
        // Options with a value: "--name VALUE" or "--name=VALUE".
        std::string_view name = arg;
        std::optional<std::string> value;
        const std::size_t equals = arg.find('=');
        if (equals != std::string_view::npos) {
            name = arg.substr(0, equals);
            value = std::string(arg.substr(equals + 1));
        }
        if (name != "--import" && name != "--export" && name != "--format" &&
            name != "--on-duplicate" && name != "--encoding" && name != "--columns" &&
            name != "--header") {
            return UsageError("unknown option '" + std::string(arg) + "'");
        }
        if (!value) {
            if (i + 1 >= argc) {
                return UsageError("option '" + std::string(name) + "' needs a value");
            }
            value = argv[++i];
        }
        if (name == "--import") {
            args.import = *value;
            if (args.import.empty()) {
                return UsageError("--import needs a file name");
            }
        } else if (name == "--export") {
            args.exportTo = *value;
            if (args.exportTo.empty()) {
                return UsageError("--export needs a file name");
            }
        } else if (name == "--format") {
            args.format = FormatFromName(*value);
            if (!args.format) {
                return UsageError("unknown format '" + *value + "' (csv, tsv or kvtml)");
            }
        } else if (name == "--on-duplicate") {
            args.hasPolicy = true;
            if (*value == "skip") {
                args.policy = DuplicatePolicy::Skip;
            } else if (*value == "replace") {
                args.policy = DuplicatePolicy::Replace;
            } else if (*value == "add") {
                args.policy = DuplicatePolicy::Add;
            } else {
                return UsageError("unknown duplicate policy '" + *value +
                                  "' (skip, replace or add)");
            }
        } else if (name == "--columns") {
            ColumnMap map;
            std::string error;
            if (!ParseColumnChoice(*value, map, error)) {
                return UsageError("--columns: " + error);
            }
            args.columns = map;
        } else if (name == "--header") {
            args.hasHeader = true;
            if (!ParseHeaderChoice(*value, args.header)) {
                return UsageError("unknown header choice '" + *value + "' (yes, no or auto)");
            }
        } else {
            args.hasEncoding = true;
            args.encoding = EncodingFromName(*value);
            if (!args.encoding) {
                return UsageError("unknown encoding '" + *value +
                                  "' (utf-8, utf-16le, utf-16be or gb18030)");
            }
        }
    }
    if (args.help || args.version) {
        return 0;
    }
    const bool importing = !args.import.empty();
    const bool exporting = !args.exportTo.empty();
    if (args.fit && (importing || exporting)) {
        return UsageError("--fit cannot be used with --import or --export");
    }
    if (args.due && (importing || exporting || args.format)) {
        return UsageError("--due cannot be used with --import, --export or --format");
    }
    if (importing && exporting) {
        return UsageError("--import and --export cannot be used together");
    }
    if ((importing || exporting) && args.hasFolder) {
        return UsageError("unexpected argument '" + args.folder + "'");
    }
    if (!importing && !exporting && args.format) {
        return UsageError("--format needs --import or --export");
    }
    if (!importing && (args.hasPolicy || args.hasEncoding || args.columns || args.hasHeader)) {
        const char* option = args.hasPolicy     ? "--on-duplicate"
                             : args.hasEncoding ? "--encoding"
                             : args.columns     ? "--columns"
                                                : "--header";
        return UsageError(std::string(option) + " needs --import");
    }
    if ((args.columns || args.hasHeader) && args.format == ExchangeFormat::Kvtml) {
        return UsageError(std::string(args.columns ? "--columns" : "--header") +
                          " is for delimited text, not KVTML");
    }
    return 0;
}

// Loads the current folder's list for an export; a missing or unreadable list is an error.
bool LoadList(WordList& words, const std::string& path) {
    if (LoadWordFile(words, path)) {
        return true;
    }
    std::fprintf(stderr, "vocamint: cannot read the word list '%s'\n", path.c_str());
    return false;
}

const char* PolicyName(DuplicatePolicy policy) {
    switch (policy) {
    case DuplicatePolicy::Skip:
        return "skipped";
    case DuplicatePolicy::Replace:
        return "replaced";
    case DuplicatePolicy::Add:
        return "added anyway";
    }
    return "skipped";
}

// Through the session the window uses, so that the list is merged with what changed on disk,
// backed up and written keeping its owner and mode, exactly as the window saves it.
int Import(const Arguments& args) {
    UseDesktopLocale(); // the list's text is in the locale's code set
    ImportOptions options;
    options.format = args.format;
    options.encoding = args.encoding;
    options.delimited.columns = args.columns;
    options.delimited.header = args.header;
    ImportedWords read;
    std::string error;
    const bool readOk = ImportFile(args.import, options, read, error);
    if (readOk)
        ImportIntoListCodeSet(read);
    for (const ImportProblem& problem : read.problems) {
        std::fprintf(stderr, "vocamint: %s: %s\n", args.import.c_str(),
                     ProblemText(problem).c_str());
    }
    if (read.ProblemsLeftOut() > 0) {
        std::fprintf(stderr, "vocamint: %s: and %zu more lines that could not be read\n",
                     args.import.c_str(), read.ProblemsLeftOut());
    }
    if (!readOk) {
        std::fprintf(stderr, "vocamint: %s: %s; nothing imported\n", args.import.c_str(),
                     error.c_str());
        return kFailed;
    }

    // No user settings: the command line keeps no view or page position.
    StudySession session(std::make_unique<WordStore>(), std::string());
    // A copy with the list open would merge this import at its exit, but would also show a
    // list without it until then: leave the list to that copy.
    if (!session.TakeLock()) {
        const std::string host = session.LockHost();
        const std::string who = host.empty() ? "another Vocamint has"
                                             : "a Vocamint on the computer '" + host + "' may have";
        std::fprintf(stderr,
                     "vocamint: %s the word list '%s' open; nothing imported. Close it %sand "
                     "try again.\n",
                     who.c_str(), session.WordFilePath().c_str(), host.empty() ? "" : "there ");
        return kFailed;
    }
    if (const std::string problem = session.Open(); !problem.empty()) {
        std::fprintf(stderr, "vocamint: %s\nNothing imported.\n", problem.c_str());
        return kFailed;
    }
    if (!session.MergedCopiesNotice().empty())
        std::printf("%s\n", session.MergedCopiesNotice().c_str());
    // The plan names the entries it adds and then takes them over from the reading: the
    // command line, like the window, holds what it imports once.
    ImportPlan plan = PlanImportPreview(read, session.words(), args.policy);
    TakeAdded(plan, std::move(read.entries));
    // What the summary says of the plan; its entries go to the list.
    const std::size_t newWords = plan.newWords, duplicates = plan.duplicates,
                      unreadable = plan.unreadable, added = plan.added.GetCount(),
                      replaced = plan.replaced.size();
    session.Import(std::move(plan));
    const StudySession::Leaving saved = session.Save();
    if (!saved.end) {
        std::fprintf(stderr, "vocamint: %s\nNothing imported.\n", saved.message.c_str());
        return kFailed;
    }
    if (!saved.message.empty())
        std::fprintf(stderr, "vocamint: %s\n", saved.message.c_str());
    std::printf("%s (%s): %zu new, %zu already in the list (%s), %zu lines unreadable",
                args.import.c_str(),
                read.format == ReadFormat::Kvtml ? "KVTML" : EncodingName(read.encoding), newWords,
                duplicates, PolicyName(args.policy), unreadable);
    if (read.droppedFields > 0) {
        std::printf(", %zu extra fields dropped", read.droppedFields);
    }
    // The progress a KVTML file carried starts the review history of its words, scheduled by
    // the folder's review choices.
    session.ReadSettings();
    if (const std::string failure = session.ImportGrades(read.grades); !failure.empty())
        std::fprintf(stderr, "vocamint: %s\n", failure.c_str());
    if (read.format == ReadFormat::Delimited) {
        std::printf(".\nColumns: %s",
                    ColumnsSummary(read.columns, read.columnNames, read.header).c_str());
    }
    std::printf(".\n%s added, %zu replaced; the list now has %s.\n",
                Counted(added, "word", "words").c_str(), replaced,
                Counted(session.words().GetCount(), "word", "words").c_str());
    return 0;
}

int Export(const Arguments& args) {
    UseDesktopLocale();
    const std::optional<ExchangeFormat> format =
        args.format ? args.format : FormatFromPath(args.exportTo);
    if (!format) {
        return UsageError("cannot tell the format of '" + args.exportTo +
                          "' from its name: give --format csv, tsv or kvtml");
    }
    const std::string path = WordFilePath();
    WordList words;
    if (!LoadList(words, path)) {
        return kFailed;
    }
    std::string message;
    WordList converted;
    const GradeLookup grades =
        *format == ExchangeFormat::Kvtml
            ? GradesForExport(review::HistoryPathFor(path), ScheduleOfCurrentFolder())
            : GradeLookup();
    if (!ExportWords(ListInUtf8(words, converted), args.exportTo, *format, message, grades)) {
        std::fprintf(stderr, "vocamint: %s\n", message.c_str());
        return kFailed;
    }
    std::printf("%s written to %s (%s).\n", Counted(words.GetCount(), "word", "words").c_str(),
                args.exportTo.c_str(), FormatName(*format));
    return 0;
}

} // namespace

CommandLineOutcome RunCommandLine(int argc, char** argv) {
    Arguments args;
    if (const int status = Parse(argc, argv, args); status != 0) {
        return {true, status};
    }
    if (args.help) {
        std::fputs(kUsageText, stdout);
        return {true, 0};
    }
    if (args.version) {
        std::printf("vocamint %s\n", VOCAMINT_VERSION);
        return {true, 0};
    }
    if (!args.import.empty()) {
        return {true, Import(args)};
    }
    if (!args.exportTo.empty()) {
        return {true, Export(args)};
    }
    if (args.hasFolder && ::chdir(args.folder.c_str()) != 0) {
        std::fprintf(stderr, "vocamint: cannot open the folder '%s': %s\n", args.folder.c_str(),
                     std::strerror(errno));
        return {true, kUsage};
    }
    if (args.fit) {
        Settings settings(nullptr, std::string());
        settings.Read();
        const auto keep = [&settings](const memory::Parameters<double>& w, std::string& message) {
            return review::KeepParameters(settings, w, message);
        };
        return {true, review::FitCommand(review::HistoryPathFor(WordStore::kFileName),
                                         review::ParametersOf(settings.review), keep, stdout)};
    }
    if (args.due) {
        return {true, PrintDueCounts()};
    }
    return {false, 0};
}
