#include "exchange/KvtmlReader.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QXmlStreamReader>
#include <vector>

namespace {

struct KvtmlEntry {
    QString id;
    std::size_t line = 0;
    QString word;
    QString spell;
    QString type;
    QString mean;
    bool hasWord = false;
    KvtmlGrade grade;
    int gradeOf = -1; // the translation the grade came from: 1 wins over 0
};

std::string Utf8(const QString& text) {
    return text.toStdString();
}

int Int(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

// Reads a <grade>: currentgrade, count, errorcount and date.
KvtmlGrade ReadGrade(QXmlStreamReader& xml) {
    KvtmlGrade grade;
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        if (name == u"currentgrade")
            grade.currentGrade = Int(text);
        else if (name == u"count")
            grade.count = Int(text);
        else if (name == u"errorcount")
            grade.errorCount = Int(text);
        else if (name == u"date")
            grade.date = text.trimmed().toStdString();
    }
    return grade;
}

// Reads one <translation> of an entry.
void ReadTranslation(QXmlStreamReader& xml, KvtmlEntry& entry) {
    const QString id = xml.attributes().value(QLatin1String("id")).toString().trimmed();
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        if (name == u"text") {
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            if (id == u"0") {
                entry.word = text;
                entry.hasWord = true;
            } else if (id == u"1") {
                entry.mean = text;
            }
        } else if (name == u"pronunciation" && id == u"0") {
            entry.spell = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (name == u"wordtype" && entry.type.isEmpty()) {
            entry.type = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (name == u"grade" && (id == u"0" || id == u"1")) {
            const int from = id == u"1" ? 1 : 0;
            KvtmlGrade grade = ReadGrade(xml);
            if (from > entry.gradeOf) {
                entry.grade = std::move(grade);
                entry.gradeOf = from;
            }
        } else {
            xml.skipCurrentElement();
        }
    }
}

void ReadEntries(QXmlStreamReader& xml, std::vector<KvtmlEntry>& entries) {
    while (xml.readNextStartElement()) {
        if (xml.name() != u"entry") {
            xml.skipCurrentElement();
            continue;
        }
        KvtmlEntry entry;
        entry.id = xml.attributes().value(QLatin1String("id")).toString().trimmed();
        entry.line = static_cast<std::size_t>(xml.lineNumber());
        while (xml.readNextStartElement()) {
            if (xml.name() == u"translation") {
                ReadTranslation(xml, entry);
            } else if (xml.name() == u"wordtype" && entry.type.isEmpty()) {
                entry.type = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            } else {
                xml.skipCurrentElement();
            }
        }
        entries.push_back(std::move(entry));
    }
}

// A <container> of <wordtypes>: its name is the type of the entries it lists; a nested
// container's name wins for the entries it lists itself.
void ReadTypeContainer(QXmlStreamReader& xml, QHash<QString, QString>& types) {
    QString name;
    std::vector<QString> listed;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"name") {
            name = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.name() == u"entry") {
            listed.push_back(xml.attributes().value(QLatin1String("id")).toString().trimmed());
            xml.skipCurrentElement();
        } else if (xml.name() == u"container") {
            ReadTypeContainer(xml, types);
        } else {
            xml.skipCurrentElement();
        }
    }
    for (const QString& id : listed) {
        if (!types.contains(id)) {
            types.insert(id, name);
        }
    }
}

} // namespace

bool LooksLikeXml(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    while (!bytes.empty() && (bytes.front() == ' ' || bytes.front() == '\t' ||
                              bytes.front() == '\r' || bytes.front() == '\n')) {
        bytes.remove_prefix(1);
    }
    return bytes.starts_with("<?xml") || bytes.starts_with("<kvtml") ||
           bytes.starts_with("<!DOCTYPE kvtml");
}

bool ReadKvtml(std::string_view bytes, bool utf8, ImportedWords& out, std::string& error) {
    out.separator = 0;
    out.header = false;
    out.html = false;
    const QByteArray raw =
        QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QXmlStreamReader xml;
    if (utf8) {
        // Text, not bytes: the reader then ignores the encoding the declaration names.
        xml.addData(QString::fromUtf8(raw));
    } else {
        xml.addData(raw);
    }
    if (!xml.readNextStartElement() || xml.name() != u"kvtml") {
        error = xml.hasError() ? "not a KVTML file: " + Utf8(xml.errorString())
                               : std::string("not a KVTML file");
        return false;
    }
    std::vector<KvtmlEntry> entries;
    QHash<QString, QString> types;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"entries") {
            ReadEntries(xml, entries);
        } else if (xml.name() == u"wordtypes") {
            while (xml.readNextStartElement()) {
                if (xml.name() == u"container") {
                    ReadTypeContainer(xml, types);
                } else {
                    xml.skipCurrentElement();
                }
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError()) {
        if (entries.empty()) {
            error = "not a KVTML file: line " + std::to_string(xml.lineNumber()) + ": " +
                    Utf8(xml.errorString());
            return false;
        }
        out.problems.push_back({static_cast<std::size_t>(xml.lineNumber()),
                                Utf8(xml.errorString()) + "; the rest of the file was not read"});
    }
    for (const KvtmlEntry& entry : entries) {
        const std::string word = Utf8(entry.word);
        if (!entry.hasWord || IsNoWord(word)) {
            out.problems.push_back({entry.line, "no word"});
            continue;
        }
        const auto type = types.constFind(entry.id);
        out.entries.AppendFields(
            static_cast<std::int32_t>(std::min<std::size_t>(entry.line, INT32_MAX)), word,
            Utf8(entry.spell), Utf8(type != types.constEnd() ? *type : entry.type),
            Utf8(entry.mean));
        if (entry.gradeOf >= 0) {
            out.grades.push_back(entry.grade);
            out.grades.back().word = word;
        }
    }
    return true;
}
