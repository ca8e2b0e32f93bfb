#include "exchange/KvtmlReader.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QXmlStreamReader>
#include <charconv>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "base/AsciiText.h"

namespace {

constexpr std::size_t kPiece = 1 << 16;
// No real document has a tag, instruction or declaration this long.
constexpr std::size_t kMaxMarkupBytes = 1 << 20;

struct KvtmlEntry {
    std::string id;
    std::size_t line = 0;
    std::string word;
    std::string spell;
    std::string type;
    std::string mean;
    bool hasWord = false;
    KvtmlGrade grade; // of the meaning's translation, else of the word's
    int gradeOf = -1; // the translation the grade is of; -1: none
};

// What an open element is to the reader.
enum class Kind {
    Skipped,     // read past, with everything in it
    Captured,    // inside an element whose text is being taken
    Root,        // <kvtml>
    Entries,     // <entries>
    Entry,       // <entries><entry>
    Translation, // <entry><translation>
    WordTypes,   // <wordtypes>
    Container,   // a <container> of word types, at any depth
    Grade,       // <translation><grade>
};

struct Frame {
    Kind kind;
    std::string id;                  // of a translation
    std::string name;                // of a container
    std::vector<std::string> listed; // entry ids a container lists
    std::string grade[4];            // currentgrade, count, errorcount, date as read
};

// A whole number as a grade's fields hold it; 0 for anything else.
int GradeNumber(std::string_view text) {
    text = ascii::Trim(text);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

std::string Utf8(QStringView text) {
    return text.toUtf8().toStdString();
}

// Appends `text` in UTF-8 a slice at a time, with no copy of the whole in between: a text of
// 50 MB would otherwise exist three times over.
void AppendUtf8(QStringView text, std::string& out) {
    constexpr qsizetype kSlice = 1 << 14;
    QStringEncoder encoder(QStringEncoder::Utf8);
    for (qsizetype at = 0; at < text.size(); at += kSlice) {
        const QStringView slice = text.mid(at, kSlice);
        const std::size_t old = out.size();
        out.resize(old + static_cast<std::size_t>(encoder.requiredSpace(slice.size())));
        char* const end = encoder.appendToBuffer(out.data() + old, slice);
        out.resize(static_cast<std::size_t>(end - out.data()));
    }
}

std::string Attribute(const QXmlStreamReader& xml, const char* name) {
    return std::string(ascii::Trim(Utf8(xml.attributes().value(QLatin1String(name)))));
}

// True when the XML reader reads `bytes` as UTF-8: no mark of UTF-16, and a declaration that
// names no other encoding. Only then is a byte below 0x80 always a character of its own.
bool ReadAsUtf8(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    if (!bytes.starts_with("<?xml")) {
        return bytes.starts_with("<") && bytes.size() > 1 && bytes[1] != '\0';
    }
    const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
    const std::size_t name = declaration.find("encoding");
    if (name == std::string_view::npos) {
        return true;
    }
    std::string_view rest = ascii::Trim(declaration.substr(name + 8));
    if (!rest.starts_with('=')) {
        return false;
    }
    rest = ascii::Trim(rest.substr(1));
    if (rest.empty() || (rest.front() != '"' && rest.front() != '\'')) {
        return false;
    }
    const std::string_view value = rest.substr(1, rest.find(rest.front(), 1) - 1);
    return ascii::EqualsNoCase(value, "UTF-8") || ascii::EqualsNoCase(value, "UTF8");
}

// Feeds the XML reader the bytes a piece at a time, so that it never holds the whole document
// in its own form as well. The reader gathers a text, a section of character data, a comment
// or a tag into one string, two bytes a character, until its end: a long text, section or
// comment is cut in two by markup that adds nothing (an empty comment, the end and start of a
// section or of a comment), so that it comes in pieces, and a tag, instruction or declaration
// longer than kMaxMarkupBytes is refused. The bytes are followed as markup so far as needed to
// know what they are; a cut is made only between two single-byte characters, not in a
// reference, a line end, "]]>" or "-->".
class Feeder {
public:
    Feeder(QXmlStreamReader& xml, std::string_view bytes, bool utf8)
        : m_xml(xml), m_bytes(bytes), m_utf8(utf8), m_decoder(QStringDecoder::Utf8),
          m_following(utf8 || ReadAsUtf8(bytes)) {}

    // False when all has been given, or the rest is refused.
    bool More() {
        if (m_at >= m_bytes.size() || m_refused) {
            return false;
        }
        std::size_t end = std::min(kPiece, m_bytes.size() - m_at) + m_at;
        std::string_view cut;
        if (m_following) {
            end = Follow(end, cut);
        }
        Give(m_bytes.substr(m_at, end - m_at));
        if (!cut.empty()) {
            Give(cut);
        }
        m_at = end;
        return true;
    }

    // Whether a tag, instruction or declaration was too long to be given whole.
    bool Refused() const { return m_refused; }

private:
    enum class Lex : std::uint8_t {
        Text,      // in the elements, or around them
        Reference, // after '&'
        Open,      // after '<'
        Tag,       // in a start or end tag
        TagQuote,  // in a tag's quoted value
        Bang,      // after "<!"
        BangDash,  // after "<!-"
        CdataOpen, // after "<![", matching "CDATA["
        Comment,
        Cdata,
        Instruction, // "<?...?>"
        Declaration, // "<!DOCTYPE ...>" and what its brackets hold
        DeclarationQuote,
    };

    void Give(std::string_view piece) {
        const char* data = piece.data();
        const auto n = static_cast<qsizetype>(piece.size());
        if (m_utf8) {
            // Text, not bytes: the reader then ignores the encoding the declaration names.
            m_xml.addData(QString(m_decoder.decode(QByteArrayView(data, n))));
        } else {
            m_xml.addData(QByteArray(data, n));
        }
    }

    // The kinds of run that Follow measures.
    enum class Run : std::uint8_t { Text, Cdata, Comment, Markup };

    static Run RunOf(Lex lex) {
        switch (lex) {
        case Lex::Text:
        case Lex::Reference:
            return Run::Text;
        case Lex::Cdata:
            return Run::Cdata;
        case Lex::Comment:
            return Run::Comment;
        default:
            return Run::Markup;
        }
    }

    // Follows the markup from m_at to `end`, or to a place where a long text is cut (then
    // `cut` is the markup that cuts it) or refused: returns where the piece ends.
    std::size_t Follow(std::size_t end, std::string_view& cut) {
        const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(m_bytes[at]); };
        for (std::size_t at = m_at; at < end; ++at) {
            const unsigned char c = byte(at);
            const Run run = m_subset ? Run::Markup : RunOf(m_lex);
            if (run == Run::Markup && m_run >= kMaxMarkupBytes) {
                m_refused = true;
                return at;
            }
            if (run != Run::Markup && m_run >= kPiece && c < 0x80 && byte(at - 1) < 0x80 &&
                byte(at - 1) != '\r') {
                const unsigned char before = byte(at - 1);
                if (m_lex == Lex::Text && before != ']') {
                    cut = "<!---->";
                } else if (m_lex == Lex::Cdata && before != ']') {
                    cut = "]]><![CDATA[";
                } else if (m_lex == Lex::Comment && before != '-') {
                    cut = "--><!--";
                }
                if (!cut.empty()) {
                    m_run = 0;
                    return at;
                }
            }
            Step(c);
            const Run now = m_subset ? Run::Markup : RunOf(m_lex);
            m_run = now == run ? m_run + 1 : 0;
        }
        return end;
    }

    void Step(unsigned char c) {
        switch (m_lex) {
        case Lex::Text:
            if (c == '<') {
                m_lex = Lex::Open;
            } else if (c == '&') {
                m_lex = Lex::Reference;
            }
            break;
        case Lex::Reference:
            if (c == ';') {
                m_lex = Lex::Text;
            } else if (c == '<') {
                m_lex = Lex::Open;
            }
            break;
        case Lex::Open:
            if (c == '!') {
                m_lex = Lex::Bang;
            } else if (c == '?') {
                m_lex = Lex::Instruction;
                m_count = 0;
            } else if (m_subset) {
                m_lex = Lex::Declaration;
            } else {
                m_lex = Lex::Tag;
            }
            break;
        case Lex::Tag:
            if (c == '"' || c == '\'') {
                m_quote = c;
                m_lex = Lex::TagQuote;
            } else if (c == '>') {
                m_lex = Lex::Text;
            }
            break;
        case Lex::TagQuote:
            if (c == m_quote) {
                m_lex = Lex::Tag;
            }
            break;
        case Lex::Bang:
            if (c == '-') {
                m_lex = Lex::BangDash;
            } else if (c == '[' && !m_subset) {
                m_lex = Lex::CdataOpen;
                m_count = 0;
            } else {
                m_lex = Lex::Declaration;
                Step(c);
            }
            break;
        case Lex::BangDash:
            if (c == '-') {
                m_lex = Lex::Comment;
                m_count = 0;
            } else {
                m_lex = Lex::Declaration;
                Step(c);
            }
            break;
        case Lex::CdataOpen:
            if (c == static_cast<unsigned char>("CDATA["[m_count])) {
                if (++m_count == 6) {
                    m_lex = Lex::Cdata;
                    m_count = 0;
                }
            } else {
                m_lex = Lex::Declaration;
                Step(c);
            }
            break;
        case Lex::Comment:
            if (c == '>' && m_count >= 2) {
                m_lex = m_subset ? Lex::Declaration : Lex::Text;
            }
            m_count = c == '-' ? m_count + 1 : 0;
            break;
        case Lex::Cdata:
            if (c == '>' && m_count >= 2) {
                m_lex = Lex::Text;
            }
            m_count = c == ']' ? m_count + 1 : 0;
            break;
        case Lex::Instruction:
            if (c == '>' && m_count > 0) {
                m_lex = m_subset ? Lex::Declaration : Lex::Text;
            }
            m_count = c == '?' ? 1 : 0;
            break;
        case Lex::Declaration:
            if (c == '"' || c == '\'') {
                m_quote = c;
                m_lex = Lex::DeclarationQuote;
            } else if (c == '[') {
                m_subset = true;
            } else if (c == ']') {
                m_subset = false;
            } else if (c == '<' && m_subset) {
                m_lex = Lex::Open;
            } else if (c == '>' && !m_subset) {
                m_lex = Lex::Text;
            }
            break;
        case Lex::DeclarationQuote:
            if (c == m_quote) {
                m_lex = Lex::Declaration;
            }
            break;
        }
    }

    QXmlStreamReader& m_xml;
    std::string_view m_bytes;
    bool m_utf8;
    std::size_t m_at = 0;
    QStringDecoder m_decoder;
    // Whether the markup is followed (in UTF-8 only), and how far it was.
    bool m_following;
    bool m_refused = false;
    Lex m_lex = Lex::Text;
    bool m_subset = false; // in the brackets of a document type declaration
    unsigned char m_quote = 0;
    std::size_t m_count = 0; // dashes, brackets, question marks or letters matched
    std::size_t m_run = 0;   // bytes of one kind of run since its start or the last cut
};

class KvtmlParser {
public:
    // `owned`, when given, holds the bytes and is emptied once they are all read, before the
    // entries are stored.
    KvtmlParser(std::string_view bytes, bool utf8, std::string* owned)
        : m_feeder(m_xml, bytes, utf8), m_owned(owned) {
        // Never reallocated, as the depth is bounded: the text being taken may be a frame's.
        m_open.reserve(kMaxKvtmlDepth + 1);
    }

    // False with `error` set when the document is refused.
    bool Read(ImportedWords& out, std::string& error);

private:
    QXmlStreamReader::TokenType NextToken();
    void Open();
    void Close();
    void Capture(std::string* into);

    QXmlStreamReader m_xml;
    Feeder m_feeder;
    std::string* m_owned;
    std::vector<Frame> m_open;
    std::vector<KvtmlEntry> m_entries;
    std::unordered_map<std::string, std::string> m_types;
    // The text being taken, and the depth of the element it belongs to.
    std::string* m_capture = nullptr;
    std::size_t m_captureDepth = 0;
    bool m_tooDeep = false;
};

QXmlStreamReader::TokenType KvtmlParser::NextToken() {
    for (;;) {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (token != QXmlStreamReader::Invalid ||
            m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
            return token;
        }
        if (!m_feeder.More()) {
            if (m_feeder.Refused()) {
                m_xml.raiseError(QStringLiteral("a tag or declaration longer than %1 MB")
                                     .arg(kMaxMarkupBytes >> 20));
            }
            return token;
        }
    }
}

void KvtmlParser::Capture(std::string* into) {
    if (into != nullptr) {
        into->clear();
    }
    m_capture = into;
    m_captureDepth = m_open.size();
    m_open.back().kind = Kind::Captured;
}

// An element starts: works out what it is from the element it is in.
void KvtmlParser::Open() {
    const Kind parent = m_open.empty() ? Kind::Skipped : m_open.back().kind;
    const auto name = m_xml.name();
    m_open.push_back(Frame{Kind::Skipped, {}, {}, {}, {}});
    Frame& frame = m_open.back();
    switch (parent) {
    case Kind::Skipped:
    case Kind::Captured:
        frame.kind = parent;
        break;
    case Kind::Root:
        if (name == u"entries") {
            frame.kind = Kind::Entries;
        } else if (name == u"wordtypes") {
            frame.kind = Kind::WordTypes;
        }
        break;
    case Kind::Entries:
        if (name == u"entry") {
            frame.kind = Kind::Entry;
            KvtmlEntry entry;
            entry.id = Attribute(m_xml, "id");
            entry.line = static_cast<std::size_t>(m_xml.lineNumber());
            m_entries.push_back(std::move(entry));
        }
        break;
    case Kind::Entry: {
        KvtmlEntry& entry = m_entries.back();
        if (name == u"translation") {
            frame.kind = Kind::Translation;
            frame.id = Attribute(m_xml, "id");
        } else if (name == u"wordtype" && entry.type.empty()) {
            Capture(&entry.type);
        }
        break;
    }
    case Kind::Translation: {
        KvtmlEntry& entry = m_entries.back();
        const std::string& id = m_open[m_open.size() - 2].id;
        if (name == u"text") {
            if (id == "0") {
                entry.hasWord = true;
                Capture(&entry.word);
            } else if (id == "1") {
                Capture(&entry.mean);
            } else {
                Capture(nullptr);
            }
        } else if (name == u"pronunciation" && id == "0") {
            Capture(&entry.spell);
        } else if (name == u"wordtype" && entry.type.empty()) {
            Capture(&entry.type);
        } else if (name == u"grade" && (id == "0" || id == "1")) {
            frame.kind = Kind::Grade;
            frame.id = id;
        }
        break;
    }
    case Kind::Grade: {
        Frame& grade = m_open[m_open.size() - 2];
        const std::size_t field = name == u"currentgrade" ? 0
                                  : name == u"count"      ? 1
                                  : name == u"errorcount" ? 2
                                  : name == u"date"       ? 3
                                                          : 4;
        if (field < 4) {
            Capture(&grade.grade[field]);
        }
        break;
    }
    case Kind::WordTypes:
        if (name == u"container") {
            frame.kind = Kind::Container;
        }
        break;
    case Kind::Container: {
        Frame& container = m_open[m_open.size() - 2];
        if (name == u"name") {
            Capture(&container.name);
        } else if (name == u"entry") {
            container.listed.push_back(Attribute(m_xml, "id"));
        } else if (name == u"container") {
            frame.kind = Kind::Container;
        }
        break;
    }
    }
}

// An element ends. A container's name is the type of the entries it lists; as a nested
// container ends first, its name wins for the entries it lists itself.
void KvtmlParser::Close() {
    if (m_open.empty()) {
        return;
    }
    if (m_capture != nullptr && m_open.size() == m_captureDepth) {
        m_capture = nullptr;
    }
    Frame& frame = m_open.back();
    if (frame.kind == Kind::Grade && !m_entries.empty()) {
        KvtmlEntry& entry = m_entries.back();
        const int of = frame.id == "1" ? 1 : 0;
        if (of > entry.gradeOf) {
            entry.grade = KvtmlGrade{{},
                                     GradeNumber(frame.grade[0]),
                                     GradeNumber(frame.grade[1]),
                                     GradeNumber(frame.grade[2]),
                                     std::string(ascii::Trim(frame.grade[3]))};
            entry.gradeOf = of;
        }
    }
    if (frame.kind == Kind::Container) {
        for (std::string& id : frame.listed) {
            m_types.try_emplace(std::move(id), frame.name);
        }
    }
    m_open.pop_back();
}

bool KvtmlParser::Read(ImportedWords& out, std::string& error) {
    bool root = false;
    for (;;) {
        const QXmlStreamReader::TokenType token = NextToken();
        if (token == QXmlStreamReader::Invalid || token == QXmlStreamReader::EndDocument) {
            break;
        }
        if (token == QXmlStreamReader::StartElement) {
            if (!root) {
                if (m_xml.name() != u"kvtml") {
                    error = "not a KVTML file";
                    return false;
                }
                root = true;
                m_open.push_back(Frame{Kind::Root, {}, {}, {}, {}});
                continue;
            }
            if (m_open.size() >= kMaxKvtmlDepth) {
                m_tooDeep = true;
                break;
            }
            Open();
        } else if (token == QXmlStreamReader::EndElement) {
            Close();
            if (m_open.empty()) {
                break; // the end of <kvtml>: anything after it is not read
            }
        } else if ((token == QXmlStreamReader::Characters ||
                    token == QXmlStreamReader::EntityReference) &&
                   m_capture != nullptr) {
            AppendUtf8(m_xml.text(), *m_capture);
        }
    }
    const std::string where = "line " + std::to_string(m_xml.lineNumber()) + ": ";
    if (m_tooDeep) {
        error = "not a KVTML file: " + where + "elements nested more than " +
                std::to_string(kMaxKvtmlDepth) + " deep";
        return false;
    }
    if (!root) {
        error = m_xml.hasError() ? "not a KVTML file: " + Utf8(m_xml.errorString())
                                 : std::string("not a KVTML file");
        return false;
    }
    if (m_xml.hasError() && m_entries.empty()) {
        error = "not a KVTML file: " + where + Utf8(m_xml.errorString());
        return false;
    }
    const bool broken = m_xml.hasError();
    const std::size_t brokenLine = static_cast<std::size_t>(m_xml.lineNumber());
    const std::string brokenText = Utf8(m_xml.errorString());
    // The bytes, the XML reader's buffers and each entry's text go as the entries are stored: a
    // huge field would otherwise be held three times over at the end.
    m_xml.clear();
    if (m_owned != nullptr) {
        std::string().swap(*m_owned);
    }
    for (KvtmlEntry& entry : m_entries) {
        if (!entry.hasWord || IsNoWord(entry.word)) {
            out.AddProblem(entry.line, "no word");
        } else {
            const auto type = m_types.find(entry.id);
            out.entries.AppendFields(
                static_cast<std::int32_t>(std::min<std::size_t>(entry.line, INT32_MAX)), entry.word,
                entry.spell, type != m_types.end() ? type->second : entry.type, entry.mean);
            if (entry.gradeOf >= 0) {
                out.grades.push_back(std::move(entry.grade));
                out.grades.back().word = entry.word;
            }
        }
        entry = KvtmlEntry();
    }
    if (broken) {
        out.AddProblem(brokenLine, brokenText + "; the rest of the file was not read");
    }
    return true;
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

namespace {

bool Read(std::string_view bytes, bool utf8, std::string* owned, ImportedWords& out,
          std::string& error) {
    out.format = ReadFormat::Kvtml;
    out.separator = 0;
    out.header = false;
    out.html = false;
    KvtmlParser parser(bytes, utf8, owned);
    return parser.Read(out, error);
}

} // namespace

bool ReadKvtml(std::string_view bytes, bool utf8, ImportedWords& out, std::string& error) {
    return Read(bytes, utf8, nullptr, out, error);
}

bool ReadKvtml(std::string&& bytes, bool utf8, ImportedWords& out, std::string& error) {
    return Read(bytes, utf8, &bytes, out, error);
}
