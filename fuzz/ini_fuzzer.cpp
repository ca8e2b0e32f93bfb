// Writes one value into arbitrary settings-file bytes and checks that it reads back and that
// every other line of the file stays as it was.
//
// Input: section, key and value, each ended by a backslash and one more byte (a doubled
// backslash stands for one), then the file's bytes.
#include "settings/IniFile.h"
#include "settings/IniText.h"
#include "tests/support/IniLines.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string Trimmed(std::string text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "ini_fuzzer: %s\n", what);
        std::abort();
    }
}

// The new file must be the old one with one key line replaced, or with a key line (and its
// section's header) added; an unended last line may only gain a line end when lines follow it.
void CheckOtherLinesKept(const std::string& before, const std::string& after,
                         const std::string& section, const std::string& key) {
    const std::vector<IniLine> old = SplitIniLines(before);
    const std::vector<IniLine> now = SplitIniLines(after);
    auto same = [&](std::size_t o, std::size_t n) {
        if (o + 1 == old.size() && old[o].end.empty()) {
            const bool stillLast = n + 1 == now.size();
            return old[o].content == now[n].content && now[n].end.empty() == stillLast;
        }
        return old[o] == now[n];
    };
    const std::size_t common = std::min(old.size(), now.size());
    std::size_t prefix = 0;
    while (prefix < common && same(prefix, prefix))
        ++prefix;
    std::size_t suffix = 0;
    while (prefix + suffix < common && same(old.size() - 1 - suffix, now.size() - 1 - suffix))
        ++suffix;
    const std::size_t oldMiddle = old.size() - prefix - suffix;
    const std::size_t newMiddle = now.size() - prefix - suffix;
    Check(oldMiddle <= 1, "more than one old line changed");
    const std::string keyLine = Trimmed(key) + "=";
    if (oldMiddle == 1) {
        const IniLine& was = old[prefix];
        const IniLine& is = now[prefix];
        Check(newMiddle == 1, "a replaced line came with other changes");
        Check(was.end == is.end, "a replaced line lost its line end");
        const std::size_t equals = was.content.find('=');
        Check(equals != std::string::npos &&
                  is.content.compare(0, equals + 1, was.content, 0, equals + 1) == 0,
              "a replaced line lost its key");
    } else if (newMiddle == 2) {
        Check(now[prefix].content == "[" + Trimmed(section) + "]", "a new header is wrong");
        Check(now[prefix + 1].content.starts_with(keyLine), "a new key line is wrong");
    } else if (newMiddle == 1) {
        Check(now[prefix].content.starts_with(keyLine), "a new key line is wrong");
    } else {
        Check(newMiddle == 0, "too many lines added");
    }
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string ScratchFile() {
    static std::string folder;
    if (folder.empty()) {
        char pattern[] = "/dev/shm/ini_fuzzer.XXXXXX";
        char fallback[] = "/tmp/ini_fuzzer.XXXXXX";
        const char* made = ::mkdtemp(pattern);
        folder = made ? made : ::mkdtemp(fallback);
        std::atexit([] {
            std::remove((folder + "/env.ini").c_str());
            ::rmdir(folder.c_str());
        });
    }
    return folder + "/env.ini";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(64);
    const std::string key = input.ConsumeRandomLengthString(64);
    const std::string value = input.ConsumeRandomLengthString(1024);
    const std::string before = input.ConsumeRemainingBytesAsString();

    const std::string path = ScratchFile();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << before;
    IniFile file(path);
    // Reading arbitrary bytes must not fail, whatever it finds.
    (void)file.ReadInt(section, key, 0);
    (void)file.ReadString(section, key, "");

    const bool storable = IniText::IsStorableSection(section) && IniText::IsStorableKey(key);
    Check(file.WriteString(section, key, value) == storable, "unexpected write result");
    const std::string after = ReadAll(path);
    if (!storable) {
        Check(after == before, "a refused write changed the file");
        return 0;
    }
    const std::string expected = WithoutLineBreaks(value);
    Check(file.ReadString(section, key, "\x01", std::numeric_limits<std::size_t>::max()) ==
              expected,
          "the value does not read back");
    Check(file.ReadString(section, key, "\x01") == expected.substr(0, 259),
          "the value does not read back cut to 259 bytes");
    CheckOtherLinesKept(before, after, section, key);
    return 0;
}
