// Cuts delimited text into records of fields (RFC 4180 quoting), counting lines as it goes.
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

class RecordScanner {
public:
    enum class Result { Record, End, Error };

    // A record keeps at most this many fields: no real list has more columns, and a row of a
    // million empty fields would otherwise cost many times its own size in views.
    static constexpr std::size_t kMaxFields = 1024;

    RecordScanner(std::string_view text, char separator, std::size_t firstLine);

    // On Record, `line` is where the record starts; on Error, where the bad row starts, with
    // `reason` set. The scanner then goes on after that row. Fields are views into the text,
    // or into the scanner's own memory for quoted fields with doubled quotes; they stay valid
    // until the next call.
    Result Next(std::vector<std::string_view>& fields, std::size_t& line, const char*& reason);

    // Non-empty fields of the last record past kMaxFields, which `fields` does not hold.
    std::size_t FieldsBeyondMax() const { return m_beyondMax; }

private:
    void EndLine(char c);
    void CountLines(std::size_t from, std::size_t to);
    bool Quoted(std::size_t index, std::string_view& field);
    void SkipRowFrom(std::size_t start, std::size_t line);
    void SkipLineFrom(std::size_t from);
    void Keep(std::vector<std::string_view>& fields, std::string_view field);

    std::string_view m_text;
    char m_separator;
    std::size_t m_at = 0;
    std::size_t m_line;
    std::size_t m_beyondMax = 0;
    std::array<bool, 256> m_stops{};
    // One string per field index; a deque, so views into earlier fields stay valid.
    std::deque<std::string> m_scratch;
};
