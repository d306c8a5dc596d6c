#include "text/text.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <string>

namespace korvane {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// What a UTF-8 lead byte announces: the sequence length, the bits it contributes to the code point,
// and the range its first continuation byte must lie in. The narrowed second-byte ranges reject
// overlong forms (E0, F0), UTF-8-encoded surrogates (ED) and code points above U+10FFFF (F4) at the
// earliest byte, so each ill-formed run is replaced as a whole and nothing past it is swallowed.
struct LeadByte {
  std::size_t length;  // 0 when the byte cannot start a sequence
  std::uint32_t bits;
  std::uint8_t second_low;
  std::uint8_t second_high;
};

LeadByte ClassifyLead(std::uint8_t b) {
  if (b >= 0xC2 && b <= 0xDF) return {2, b & 0x1Fu, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0x0, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0xD, 0x80, 0x9F};
  if (b >= 0xE1 && b <= 0xEF) return {3, b & 0x0Fu, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x0, 0x90, 0xBF};
  if (b >= 0xF1 && b <= 0xF3) return {4, b & 0x07u, 0x80, 0xBF};
  if (b == 0xF4) return {4, 0x4, 0x80, 0x8F};
  return {0, 0, 0, 0};
}

std::uint8_t ByteAt(std::string_view s, std::size_t i) { return static_cast<std::uint8_t>(s[i]); }

void AppendCodePoint(Text& out, std::uint32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
    return;
  }
  const std::uint32_t v = cp - 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
}

// Decodes the multi-byte sequence starting at `pos` and returns the number of bytes consumed. A
// sequence that breaks off (a byte out of range, or the end of input) consumes the bytes that were
// still valid and yields one U+FFFD; the offending byte is looked at again as a new start.
std::size_t DecodeSequence(std::string_view utf8, std::size_t pos, Text& out) {
  const LeadByte lead = ClassifyLead(ByteAt(utf8, pos));
  if (lead.length == 0) {
    out.push_back(kReplacement);
    return 1;
  }
  std::uint32_t cp = lead.bits;
  std::size_t n = 1;
  for (; n < lead.length; ++n) {
    if (pos + n >= utf8.size()) break;
    const std::uint8_t c = ByteAt(utf8, pos + n);
    const std::uint8_t low = n == 1 ? lead.second_low : std::uint8_t{0x80};
    const std::uint8_t high = n == 1 ? lead.second_high : std::uint8_t{0xBF};
    if (c < low || c > high) break;
    cp = (cp << 6) | (c & 0x3Fu);
  }
  if (n < lead.length) {
    out.push_back(kReplacement);
  } else {
    AppendCodePoint(out, cp);
  }
  return n;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Code points for bytes 0x80..0x9F. The five bytes Windows-1252 leaves undefined keep their own value.
constexpr std::array<char16_t, 32> kWindows1252High = {
    u'\u20AC', 0x0081,   u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', 0x008D,   u'\u017D', 0x008F,
    0x0090,   u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', 0x009D,   u'\u017E', u'\u0178',
};

}  // namespace

Text Utf8ToText(std::string_view utf8) {
  Text out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::uint8_t b = ByteAt(utf8, pos);
    if (b < 0x80) {
      out.push_back(b);
      ++pos;
    } else {
      pos += DecodeSequence(utf8, pos, out);
    }
  }
  return out;
}

std::string TextToUtf8(TextView text) {
  std::string out;
  AppendTextAsUtf8(out, text);
  return out;
}

void AppendTextAsUtf8(std::string& out, TextView text) {
  // Symbol names and most other texts are ASCII: copied four units at a time (one test of a 64-bit
  // word) until the first other unit.
  const std::size_t start = out.size();
  out.resize(start + text.size());
  char* to = out.data() + start;
  std::size_t i = 0;
  for (; i + 4 <= text.size(); i += 4) {
    std::uint64_t units = 0;
    std::memcpy(&units, text.data() + i, sizeof units);
    if ((units & 0xFF80FF80FF80FF80u) != 0) break;
    for (std::size_t k = 0; k < 4; ++k) to[i + k] = static_cast<char>(text[i + k]);
  }
  for (; i < text.size() && text[i] < 0x80; ++i) to[i] = static_cast<char>(text[i]);
  out.resize(start + i);
  while (i < text.size()) {
    const char16_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      const std::uint32_t high = c - 0xD800u;
      const std::uint32_t low = text[i + 1] - 0xDC00u;
      AppendUtf8(out, 0x10000 + (high << 10) + low);
      i += 2;
      continue;
    }
    const bool unpaired = IsHighSurrogate(c) || IsLowSurrogate(c);
    AppendUtf8(out, unpaired ? std::uint32_t{kReplacement} : std::uint32_t{c});
    ++i;
  }
}

Text FileNameBytesToText(std::string_view bytes) {
  Text out;
  out.reserve(bytes.size());
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::uint8_t b = ByteAt(bytes, pos);
    if (b < 0x80) {
      out.push_back(b);
      ++pos;
      continue;
    }
    // Decoded only when the whole sequence is well-formed; otherwise its first byte is kept as a byte.
    const LeadByte lead = ClassifyLead(b);
    bool whole = lead.length != 0 && pos + lead.length <= bytes.size();
    for (std::size_t n = 1; whole && n < lead.length; ++n) {
      const std::uint8_t c = ByteAt(bytes, pos + n);
      whole = c >= (n == 1 ? lead.second_low : 0x80) && c <= (n == 1 ? lead.second_high : 0xBF);
    }
    if (whole) {
      pos += DecodeSequence(bytes, pos, out);
    } else {
      out.push_back(static_cast<char16_t>(0xDC00 + b));
      ++pos;
    }
  }
  return out;
}

std::string TextToFileNameBytes(TextView text) {
  std::string out;
  std::size_t run = 0;  // start of the stretch not yet converted
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool paired = i > 0 && IsHighSurrogate(text[i - 1]);
    if (c < 0xDC80 || c > 0xDCFF || paired) continue;
    AppendTextAsUtf8(out, text.substr(run, i - run));
    out.push_back(static_cast<char>(c - 0xDC00));
    run = i + 1;
  }
  AppendTextAsUtf8(out, text.substr(run));
  return out;
}

Text DecodeWindows1252(std::span<const std::uint8_t> bytes) {
  Text out;
  out.reserve(bytes.size());
  for (const std::uint8_t b : bytes) {
    const bool remapped = b >= 0x80 && b <= 0x9F;
    out.push_back(remapped ? kWindows1252High[b - 0x80u] : char16_t{b});
  }
  return out;
}

}  // namespace korvane
