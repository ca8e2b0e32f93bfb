#include "exchange/Exporters.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringDecoder>
#include <QXmlStreamWriter>
#include <cerrno>
#include <unistd.h>
#include <vector>

#include "storage/Backups.h"
#include "storage/Folder.h"
#include "storage/SafeFile.h"
#include "words/WordList.h"
#include "words/WordStore.h"

namespace {

// Appends a field, in quotes with doubled quotes when it holds any of `special` or starts with
// a quote or '#' (which would read as a header line at the top of a file).
void AppendField(std::string& out, std::string_view field, std::string_view special) {
    bool quote = !field.empty() && (field.front() == '"' || field.front() == '#');
    for (std::size_t i = 0; !quote && i < field.size(); ++i) {
        // Every special byte is below '<', so most bytes are passed by one comparison.
        const char c = field[i];
        quote = static_cast<unsigned char>(c) < '<' && special.find(c) != std::string_view::npos;
    }
    if (!quote) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

struct Delimited {
    std::string_view head;
    char separator;
    std::string_view special;
    std::string_view lineEnd;
};

constexpr Delimited kTsv{"#separator:tab\n#html:false\n#columns:Word\tSpell\tType\tMeaning\n", '\t',
                         "\t\r\n\"", "\n"};
// Semicolons and tabs are quoted too, so that the comma stays the clear separator.
constexpr Delimited kCsv{"\xEF\xBB\xBFWord,Spell,Type,Meaning\r\n", ',', ",;\t\r\n\"", "\r\n"};

void AppendRow(std::string& out, const WordFields& fields, const Delimited& how) {
    AppendField(out, fields.word, how.special);
    out += how.separator;
    AppendField(out, fields.spell, how.special);
    out += how.separator;
    AppendField(out, fields.type, how.special);
    out += how.separator;
    AppendField(out, fields.mean, how.special);
    out += how.lineEnd;
}

std::string FormatDelimited(const WordList& words, const Delimited& how) {
    std::string out(how.head);
    for (WordPos pos = words.Begin(); pos != words.End(); pos = words.Next(pos)) {
        AppendRow(out, words.Fields(pos), how);
    }
    return out;
}

// Writes a delimited file a piece at a time, as the word file is written.
bool WriteDelimited(SafeFile& file, const WordList& words, const Delimited& how) {
    constexpr std::size_t kPiece = 256 * 1024;
    std::string text(how.head);
    text.reserve(kPiece + 4096);
    bool ok = true;
    for (WordPos pos = words.Begin(); pos != words.End(); pos = words.Next(pos)) {
        AppendRow(text, words.Fields(pos), how);
        if (text.size() >= kPiece) {
            ok = file.Write(text) && ok;
            text.clear();
        }
    }
    return file.Write(text) && ok;
}

// The field as XML text: characters XML 1.0 cannot hold are left out.
QString XmlSafe(std::string_view field) {
    // A U+FEFF that starts a field is text, not a byte-order mark to drop.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(QByteArrayView(field.data(), static_cast<qsizetype>(field.size())));
    text.removeIf([](QChar c) {
        const char16_t u = c.unicode();
        return (u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF;
    });
    return text;
}

// XML reads a raw CR as a line end, and readers may drop a U+FEFF as a stray byte-order mark,
// so both are written as character references.
void WriteTextElement(QXmlStreamWriter& xml, const QString& name, const QString& text) {
    xml.writeStartElement(name);
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r' || c == 0xFEFF) {
            xml.writeCharacters(text.mid(from, i - from));
            xml.writeEntityReference(c == u'\r' ? QStringLiteral("#13") : QStringLiteral("#xFEFF"));
            from = i + 1;
        }
    }
    xml.writeCharacters(text.mid(from));
    xml.writeEndElement();
}

// The settings file the window keeps beside the list.
constexpr const char* kSettingsName = "env.ini";

bool SameFile(const FileStamp& a, const FileStamp& b) {
    return a.exists && b.exists && a.device == b.device && a.inode == b.inode;
}

// Whether `target` is one of the files that keep the list: the list, its settings, a backup.
bool KeepsTheList(const FileStamp& target, const std::string& listFolder) {
    const Folder folder = Folder::Open(listFolder);
    if (!folder.IsOpen())
        return false;
    for (const char* name : {WordStore::kFileName, kSettingsName}) {
        FileStamp stamp;
        if (folder.Stat(name, stamp) && SameFile(stamp, target))
            return true;
    }
    FileStamp backups;
    if (!folder.Stat(kBackupFolder, backups) || !backups.exists)
        return false;
    // Every name in the backups folder, whatever it is called: a hard link keeps no name.
    const Folder inside = Folder::Open(listFolder + "/" + kBackupFolder);
    for (const std::string& name : inside.Names()) {
        FileStamp stamp;
        if (inside.Stat(name, stamp) && SameFile(stamp, target))
            return true;
    }
    return false;
}

} // namespace

const char* FormatName(ExchangeFormat format) {
    switch (format) {
    case ExchangeFormat::Csv:
        return "csv";
    case ExchangeFormat::Tsv:
        return "tsv";
    case ExchangeFormat::Kvtml:
        return "kvtml";
    }
    return "csv";
}

std::optional<ExchangeFormat> FormatFromName(std::string_view name) {
    for (const ExchangeFormat format :
         {ExchangeFormat::Csv, ExchangeFormat::Tsv, ExchangeFormat::Kvtml}) {
        if (name == FormatName(format)) {
            return format;
        }
    }
    return std::nullopt;
}

std::optional<ExchangeFormat> FormatFromPath(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::string_view name = path.substr(slash == std::string_view::npos ? 0 : slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return std::nullopt;
    }
    std::string extension(name.substr(dot + 1));
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    if (extension == "csv") {
        return ExchangeFormat::Csv;
    }
    if (extension == "tsv" || extension == "tab" || extension == "txt") {
        return ExchangeFormat::Tsv;
    }
    if (extension == "kvtml" || extension == "xml") {
        return ExchangeFormat::Kvtml;
    }
    return std::nullopt;
}

std::string FormatTsv(const WordList& words) {
    return FormatDelimited(words, kTsv);
}

std::string FormatCsv(const WordList& words) {
    return FormatDelimited(words, kCsv);
}

std::string FormatKvtml(const WordList& words, const GradeLookup& grades) {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral(
        "<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" \"http://edu.kde.org/kvtml/kvtml2.dtd\">"));
    xml.writeStartElement(QStringLiteral("kvtml"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));
    xml.writeStartElement(QStringLiteral("information"));
    xml.writeTextElement(QStringLiteral("generator"), QStringLiteral("Vocamint"));
    xml.writeTextElement(QStringLiteral("title"), QStringLiteral("Vocamint word list"));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("identifiers"));
    for (const auto& [id, name] : {std::pair{"0", "Word"}, std::pair{"1", "Meaning"}}) {
        xml.writeStartElement(QStringLiteral("identifier"));
        xml.writeAttribute(QStringLiteral("id"), QLatin1String(id));
        xml.writeTextElement(QStringLiteral("name"), QLatin1String(name));
        xml.writeEndElement();
    }
    xml.writeEndElement();

    // Entries by type, for the <wordtypes> containers; a map keeps the order stable.
    QMap<QString, std::vector<int>> byType;
    xml.writeStartElement(QStringLiteral("entries"));
    int id = 0;
    for (WordPos pos = words.Begin(); pos != words.End(); pos = words.Next(pos), ++id) {
        const WordFields fields = words.Fields(pos);
        const QString number = QString::number(id);
        xml.writeStartElement(QStringLiteral("entry"));
        xml.writeAttribute(QStringLiteral("id"), number);
        xml.writeStartElement(QStringLiteral("translation"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("0"));
        WriteTextElement(xml, QStringLiteral("text"), XmlSafe(fields.word));
        if (!fields.spell.empty()) {
            WriteTextElement(xml, QStringLiteral("pronunciation"), XmlSafe(fields.spell));
        }
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("translation"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("1"));
        WriteTextElement(xml, QStringLiteral("text"), XmlSafe(fields.mean));
        if (grades) {
            if (const std::optional<KvtmlGrade> grade = grades(fields.word)) {
                xml.writeStartElement(QStringLiteral("grade"));
                xml.writeTextElement(QStringLiteral("currentgrade"),
                                     QString::number(grade->currentGrade));
                xml.writeTextElement(QStringLiteral("count"), QString::number(grade->count));
                xml.writeTextElement(QStringLiteral("errorcount"),
                                     QString::number(grade->errorCount));
                xml.writeTextElement(QStringLiteral("date"), QString::fromStdString(grade->date));
                xml.writeEndElement();
            }
        }
        xml.writeEndElement();
        xml.writeEndElement();
        if (!fields.type.empty()) {
            byType[XmlSafe(fields.type)].push_back(id);
        }
    }
    xml.writeEndElement();

    if (!byType.isEmpty()) {
        xml.writeStartElement(QStringLiteral("wordtypes"));
        for (auto it = byType.cbegin(); it != byType.cend(); ++it) {
            xml.writeStartElement(QStringLiteral("container"));
            WriteTextElement(xml, QStringLiteral("name"), it.key());
            for (const int entry : it.value()) {
                xml.writeStartElement(QStringLiteral("entry"));
                xml.writeAttribute(QStringLiteral("id"), QString::number(entry));
                xml.writeEmptyElement(QStringLiteral("translation"));
                xml.writeAttribute(QStringLiteral("id"), QStringLiteral("0"));
                xml.writeEndElement();
            }
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes.toStdString();
}

std::string FormatKvtml(const WordList& words) {
    return FormatKvtml(words, GradeLookup());
}

bool ExportWords(const WordList& words, const std::string& path, ExchangeFormat format,
                 std::string& message, const GradeLookup& grades, const std::string& listFolder) {
    FileStamp target;
    if (Folder::Open(".").Stat(path, target) && target.exists) {
        if (!target.regular) {
            message = "'" + path + "' is not an ordinary file. Please export to an ordinary file.";
            return false;
        }
        if (KeepsTheList(target, listFolder)) {
            message = "'" + path +
                      "' is the word list, its settings or one of its backups. Please export to "
                      "another file.";
            return false;
        }
    }
    // An export never rewrites a file in place: a failure half way must leave the old file.
    SafeFile file(path, SafeFile::InPlace::Refused);
    if (!file.Open()) {
        message = "Open file '" + path + "' failed!";
        // Say why where the old file could be written in place but the folder stops the export.
        const std::size_t slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
        if (::access(folder.c_str(), W_OK) != 0 && errno != ENOENT)
            message += " Its folder takes no new file, and an export is written as a new file "
                       "that then takes the old one's place, so that a failure never leaves half "
                       "a file.";
        return false;
    }
    bool written = false;
    switch (format) {
    case ExchangeFormat::Csv:
        written = WriteDelimited(file, words, kCsv);
        break;
    case ExchangeFormat::Tsv:
        written = WriteDelimited(file, words, kTsv);
        break;
    case ExchangeFormat::Kvtml:
        written = file.Write(FormatKvtml(words, grades));
        break;
    }
    if (!written || !file.Commit()) {
        message = "Write file '" + path + "' failed!";
        return false;
    }
    return true;
}
