#include "settings/IniFile.h"
#include "tests/support/IniLines.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cctype>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

// Writes random values into random files that already hold other sections, keys, comments and
// mixed line ends, then checks that each value reads back and no other line changed.
namespace {

std::string Folded(std::string text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.erase(0, 1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Indexes of the first header named `section` and of the first `key` line under it (npos each
// when missing). The generated files keep to plain headers, keys and comments.
std::pair<std::size_t, std::size_t> Locate(const std::vector<IniLine>& lines,
                                           const std::string& section, const std::string& key) {
    std::size_t header = std::string::npos;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string trimmed = Folded(lines[i].content);
        const bool isHeader = !trimmed.empty() && trimmed.front() == '[';
        if (isHeader && header != std::string::npos)
            break;
        if (isHeader && Folded(trimmed.substr(1, trimmed.find(']') - 1)) == Folded(section)) {
            header = i;
        } else if (header != std::string::npos && !trimmed.empty() && trimmed.front() != ';' &&
                   trimmed.find('=') != std::string::npos &&
                   Folded(trimmed.substr(0, trimmed.find('='))) == Folded(key)) {
            return {header, i};
        }
    }
    return {header, std::string::npos};
}

class Generator {
public:
    explicit Generator(std::uint32_t seed) : m_random(seed) {}

    std::size_t Below(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(m_random);
    }
    bool OneIn(std::size_t n) { return Below(n) == 0; }

    std::string Value() {
        static const std::string kPlain = " \t\"'=;[]aZ0-9";
        const std::size_t length = OneIn(10) ? 250 + Below(30) : Below(12);
        std::string value;
        for (std::size_t i = 0; i < length; ++i) {
            if (OneIn(4))
                value += static_cast<char>(0x80 + Below(0x80));
            else if (OneIn(40))
                value += OneIn(2) ? "\r\n" : "\n";
            else
                value += kPlain[Below(kPlain.size())];
        }
        return value;
    }

    std::string Name(const std::vector<std::string>& pool) {
        std::string name = pool[Below(pool.size())];
        for (char& c : name) {
            if (OneIn(3))
                c = static_cast<char>(OneIn(2) ? std::toupper(c) : std::tolower(c));
        }
        return name;
    }

    std::string File(const std::vector<std::string>& sections,
                     const std::vector<std::string>& keys) {
        std::string bytes;
        const std::size_t lineCount = Below(14);
        for (std::size_t i = 0; i < lineCount; ++i) {
            switch (Below(5)) {
            case 0:
                bytes += (OneIn(2) ? "[" : " [ ") + Name(sections) + "]";
                break;
            case 1:
                bytes += "; " + Value();
                break;
            case 2:
                bytes += OneIn(3) ? "  " : "";
                break;
            default:
                bytes += Name(keys) + (OneIn(2) ? "=" : " = ") + Value();
                break;
            }
            // Line breaks from a value end the line early; that only varies the file more.
            if (i + 1 < lineCount || !OneIn(3))
                bytes += OneIn(2) ? "\r\n" : "\n";
        }
        return bytes;
    }

private:
    std::mt19937 m_random;
};

std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(IniRoundTrip, RandomValuesReadBackAndOtherLinesStay) {
    const std::vector<std::string> sections = {"Setting", "Other", "Window", "x y"};
    const std::vector<std::string> keys = {"Index", "Goto", "Left", "a b", "#n"};
    Generator random(20240607);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.path().toStdString() + "/env.ini";

    for (int round = 0; round < 400; ++round) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << random.File(sections, keys);
        IniFile file(path);
        std::map<std::pair<std::string, std::string>, std::string> written;
        for (std::size_t write = 0, count = 1 + random.Below(4); write < count; ++write) {
            const std::string section = random.Name(sections);
            const std::string key = random.Name(keys);
            const std::string value = random.Value();
            const std::vector<IniLine> before = SplitIniLines(Get(path));
            ASSERT_TRUE(file.WriteString(section, key, value)) << round;
            const std::vector<IniLine> after = SplitIniLines(Get(path));

            const std::string expected = WithoutLineBreaks(value);
            written[{Folded(section), Folded(key)}] = expected;
            for (const auto& [names, text] : written) {
                EXPECT_EQ(file.ReadString(names.first, names.second, "\x01",
                                          std::numeric_limits<std::size_t>::max()),
                          text)
                    << round << ": " << names.first << " / " << names.second;
            }
            EXPECT_EQ(file.ReadString(section, key, "\x01"), expected.substr(0, 259)) << round;

            // Drop the key's line on both sides, and the header when the section is new.
            std::vector<IniLine> kept = before;
            std::vector<IniLine> now = after;
            const auto [oldHeader, oldKey] = Locate(before, section, key);
            const auto [newHeader, newKey] = Locate(after, section, key);
            ASSERT_NE(newKey, std::string::npos) << round;
            now.erase(now.begin() + static_cast<std::ptrdiff_t>(newKey));
            if (oldHeader == std::string::npos)
                now.erase(now.begin() + static_cast<std::ptrdiff_t>(newHeader));
            if (oldKey != std::string::npos)
                kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(oldKey));
            ASSERT_EQ(now.size(), kept.size()) << round;
            for (std::size_t i = 0; i < kept.size(); ++i) {
                EXPECT_EQ(now[i].content, kept[i].content) << round << " line " << i;
                // Only an unended last line may gain an end, so nothing is glued to it.
                const bool mayGainEnd = i + 1 == kept.size() && kept[i].end.empty();
                if (!mayGainEnd) {
                    EXPECT_EQ(now[i].end, kept[i].end) << round << " line " << i;
                }
            }
        }
    }
}

} // namespace
