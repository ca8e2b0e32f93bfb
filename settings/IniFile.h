// Reads and writes values in an INI file, leaving every other byte of the file as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/IniText.h"

class Folder;

class IniFile {
public:
    explicit IniFile(std::string path) : m_path(std::move(path)) {}
    // A file of a folder held open: found there even after the folder was renamed, never
    // opened blocking, and replaced keeping its owner, group and mode.
    IniFile(const Folder& folder, std::string name) : m_path(std::move(name)), m_folder(&folder) {}

    // The key's value read like atoi; `defaultValue` when the file, section or key is missing.
    std::int32_t ReadInt(std::string_view section, std::string_view key,
                         std::int32_t defaultValue) const;
    // The key's text, or `defaultValue` when missing, cut to `maxBytes`.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue, std::size_t maxBytes = 259) const;
    // Creates the file, section and key as needed; atomic; false (and nothing changed) on failure.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);

    // The whole file for several reads or edits at once: a missing file gives empty text,
    // an unreadable one nothing.
    std::optional<IniText> Load() const;
    // Replaces the file with `text`, as WriteString does.
    bool Store(const IniText& text);

    const std::string& path() const { return m_path; }

private:
    // The key's stored value, or nothing when the file, section or key is missing.
    std::optional<std::string> Lookup(std::string_view section, std::string_view key) const;

    bool ReadBytes(std::string& bytes, bool& exists) const;

    std::string m_path;
    const Folder* m_folder = nullptr;
};
