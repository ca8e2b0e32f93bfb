// Finds the encoding of an imported text file and turns its bytes into UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

enum class TextEncoding { Utf8, Utf16Le, Utf16Be, Gb18030 };

// "UTF-8", "UTF-16LE", "UTF-16BE", "GB18030".
const char* EncodingName(TextEncoding encoding);
// The encoding a name given by the learner stands for (case and '-' or '_' ignored).
std::optional<TextEncoding> EncodingFromName(std::string_view name);

// Replaces `bytes` with its text in UTF-8, without a byte-order mark. The encoding is
// `forced` when given; otherwise a byte-order mark decides, then the zero bytes of UTF-16
// text without a mark, then strict UTF-8, then GB18030. False, with `error` set, when the
// bytes are not valid in the encoding used. `droppedBytes` is set to the bytes left out: the
// odd last byte of UTF-16 text, half a character.
bool DecodeToUtf8(std::string& bytes, std::optional<TextEncoding> forced, TextEncoding& used,
                  std::size_t& droppedBytes, std::string& error);

// True when `text` is valid UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(std::string_view text);
