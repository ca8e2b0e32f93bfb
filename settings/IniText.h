// Finds values in the bytes of an INI file and edits one value without touching any other byte.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Lines end in CR LF, LF or a lone CR. Blanks are spaces and tabs. A line whose first non-blank
// byte is '[' names a section (up to the first ']'), one starting with ';' is a comment, and any
// other line holding '=' is a key line. Names match without regard to ASCII case; the first
// matching section and the first matching key in it win.
class IniText {
public:
    explicit IniText(std::string bytes);

    // The key's value with surrounding blanks and one pair of matching quotes removed.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // Sets the key, adding the section and the key as needed; false when a name cannot be
    // stored so that it reads back (see IsStorableSection and IsStorableKey).
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    // Removes the section's header and every line up to the next section; false when missing.
    bool RemoveSection(std::string_view section);
    // The key lines of the section, names and decoded values, in file order.
    std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;

    const std::string& bytes() const { return m_bytes; }
    // The section and key names of every key line inside a section, in file order (a name
    // that appears twice is listed twice; Find gives the first).
    std::vector<std::pair<std::string, std::string>> Keys() const;

    static bool IsStorableSection(std::string_view section);
    static bool IsStorableKey(std::string_view key);
    // The value as it is stored after '=': line breaks become blanks, and double quotes wrap
    // it when reading would otherwise strip blanks or quotes from it.
    static std::string EncodeValue(std::string_view value);
    // What reading gives back for a stored value.
    static std::string DecodeValue(std::string_view stored);
    // What reading gives back after writing `value`: each line break becomes one blank.
    static std::string FlattenLineBreaks(std::string_view value);

private:
    enum class Kind { Blank, Comment, Section, Key, Other };
    struct Line {
        std::size_t contentEnd = 0; // first byte of the line end (or the file's end)
        std::size_t end = 0;        // first byte after the line end
        Kind kind = Kind::Blank;
        std::size_t nameBegin = 0; // section or key name, blanks removed
        std::size_t nameEnd = 0;
        std::size_t valueBegin = 0; // key lines: first byte of the value after the blanks
    };

    void Parse();
    Line Classify(std::size_t begin, std::size_t contentEnd, std::size_t end) const;
    // Index of the section's header line, or m_lines.size().
    std::size_t FindSection(std::string_view section) const;
    // Index of the key's line within the section starting at `header`, or m_lines.size().
    std::string_view NameOf(const Line& line) const;
    std::size_t FindKey(std::size_t header, std::string_view key) const;
    std::string_view LineEndStyle() const;
    // Inserts whole lines at byte `pos`, first ending the file's last line when it has no end.
    void InsertLines(std::size_t pos, const std::string& lines);

    std::string m_bytes;
    std::vector<Line> m_lines;
};
