#include "docs/served_pages.h"

#include <string_view>

#include "docs/pages.h"

namespace korvane {
namespace {

// The characters of bytes 0x80 to 0x9F; 0 where Windows-1252 defines none.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int ByteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] != 0 && kHighControls[i] == c) return 0x80 + i;
  }
  return -1;
}

// The request target with every byte that may not stand in a web address percent-encoded ('"' as %22,
// '<' as %3C, spaces, control and non-ASCII bytes). The pages' links are built from the address asked
// for, so a quote or a tag in it must not reach the page as markup; a well-formed target is unchanged,
// and decoding gives the same text either way.
std::string SafeTarget(const std::string& target) {
  static constexpr std::string_view kAllowed = "-._~!$&()*+,;=:@/?#[]%";
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string safe;
  for (const char c : target) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       kAllowed.find(c) != std::string_view::npos;
    if (plain) {
      safe += c;
    } else {
      safe += '%';
      safe += kHex[byte >> 4];
      safe += kHex[byte & 15];
    }
  }
  return safe;
}

}  // namespace

std::string EncodeWindows1252(TextView text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    // A surrogate pair is one character; a lone surrogate is written as the code unit it is.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    const int byte = ByteOf(c);
    if (byte >= 0) {
      bytes += static_cast<char>(byte);
    } else {
      bytes += "&#" + std::to_string(static_cast<std::uint32_t>(c)) + ";";
    }
  }
  return bytes;
}

ServedPage ServePage(const DocumentationSet& set, TextView base, const std::string& target) {
  const std::optional<Text> page = AnswerAddress(set, Text(base) + Utf8ToText(SafeTarget(target)));
  if (!page) return ServedPage{404, EncodeWindows1252(NotFoundPage())};
  return ServedPage{200, EncodeWindows1252(*page)};
}

}  // namespace korvane
