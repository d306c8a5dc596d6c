#pragma once
// The program's text type and the conversions at its edges.
//
// Text is UTF-16 in memory: the program's texts are defined on UTF-16 code units, so sorting and
// comparison use code units directly. Conversions happen only where bytes enter or leave the program.

#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace korvane {

using Text = std::u16string;
using TextView = std::u16string_view;

// UTF-8 to UTF-16. Malformed sequences (stray continuation bytes, overlong forms, surrogates encoded
// in UTF-8, truncated sequences, code points above U+10FFFF) become U+FFFD, one per maximal ill-formed
// run: a sequence that breaks off yields one U+FFFD for its valid beginning, and each byte that cannot
// begin or continue a sequence yields its own. Nothing past the end of `utf8` is read.
Text Utf8ToText(std::string_view utf8);

// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string TextToUtf8(TextView text);
// The same conversion, appended to `out`: for long outputs built from many short texts.
void AppendTextAsUtf8(std::string& out, TextView text);

// File names of systems whose names are bytes (POSIX): well-formed UTF-8 is decoded as Utf8ToText
// does, and every byte of an ill-formed run becomes the unpaired surrogate U+DC00 + byte, so the name
// reads back to its very bytes with TextToFileNameBytes ('lib\xE9.a' stays openable). Shown as text, such
// a byte becomes U+FFFD like any unpaired surrogate.
Text FileNameBytesToText(std::string_view bytes);
std::string TextToFileNameBytes(TextView text);

// Text literal helper for ASCII/UTF-8 literals in code and tests: T("MessageBox").
inline Text T(std::string_view utf8) { return Utf8ToText(utf8); }

// The bytes of a narrow string (UTF-8 or binary data), for interfaces that take byte spans.
inline std::span<const std::uint8_t> AsBytes(std::string_view bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

// Decodes single-byte text (symbol names of import libraries) as Windows-1252. The five bytes that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the code point of the same value,
// as Windows itself does, so every byte decodes to exactly one code unit.
Text DecodeWindows1252(std::span<const std::uint8_t> bytes);

// A decoder for single-byte symbol names. The window program passes the system ANSI code page decoder
// from the platform layer; everything else uses DecodeWindows1252.
using SingleByteDecoder = Text (*)(std::span<const std::uint8_t> bytes);

// The decimal digits of `value`, with a leading "-" when it is negative.
template <std::integral Number>
Text DecimalText(Number value) {
  return Utf8ToText(std::to_string(value));
}

}  // namespace korvane
