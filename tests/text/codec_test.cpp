#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "text/text.h"

namespace korvane {
namespace {

using namespace std::string_literals;

struct Utf8Case {
  const char* name;
  std::string utf8;
  Text expected;
};

TEST(Utf8ToText, DecodesWellFormedInput) {
  const std::vector<Utf8Case> cases = {
      {"empty", "", u""},
      {"ascii", "MessageBoxW", u"MessageBoxW"},
      {"embedded nul", "a\0b"s, Text{u'a', 0, u'b'}},
      {"last one-byte", "\x7F", Text{0x7F}},
      {"first two-byte", "\xC2\x80", Text{0x80}},
      {"two-byte", "caf\xC3\xA9", u"caf\u00E9"},
      {"last two-byte", "\xDF\xBF", u"\u07FF"},
      {"first three-byte", "\xE0\xA0\x80", u"\u0800"},
      {"three-byte", "\xE2\x82\xAC", u"\u20AC"},
      {"below surrogates", "\xED\x9F\xBF", u"\uD7FF"},
      {"above surrogates", "\xEE\x80\x80", u"\uE000"},
      {"last BMP", "\xEF\xBF\xBF", u"\uFFFF"},
      {"first four-byte", "\xF0\x90\x80\x80", u"\U00010000"},
      {"four-byte emoji", "\xF0\x9F\x98\x80", Text{0xD83D, 0xDE00}},
      {"last code point", "\xF4\x8F\xBF\xBF", Text{0xDBFF, 0xDFFF}},
      {"mixed", "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80Z", u"A\u00E9\u20AC\U0001F600Z"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToText(c.utf8), c.expected) << c.name;
  }
}

TEST(Utf8ToText, ReplacesMalformedInput) {
  const Text r = u"\uFFFD";
  const std::vector<Utf8Case> cases = {
      {"stray continuation", "\x80", r},
      {"stray continuations each replaced", "\x80\xBF", r + r},
      {"continuation after complete sequence", "\xC3\xA9\xA9", u"\u00E9" + r},
      {"overlong C0", "\xC0\x80", r + r},
      {"overlong C1", "\xC1\xBF", r + r},
      {"overlong three-byte", "\xE0\x80\x80", r + r + r},
      {"overlong three-byte high", "\xE0\x9F\xBF", r + r + r},
      {"overlong four-byte", "\xF0\x80\x80\x80", r + r + r + r},
      {"overlong four-byte high", "\xF0\x8F\xBF\xBF", r + r + r + r},
      {"encoded high surrogate", "\xED\xA0\x80", r + r + r},
      {"encoded low surrogate", "\xED\xBF\xBF", r + r + r},
      {"above U+10FFFF via F4", "\xF4\x90\x80\x80", r + r + r + r},
      {"lead F5", "\xF5\x80\x80\x80", r + r + r + r},
      {"lead FF", "\xFF", r},
      {"lead FE between letters", "a\xFE" "b", u"a" + r + u"b"},
      {"two-byte lead at end", "\xC3", r},
      {"three-byte cut after two", "\xE2\x82", r},
      {"four-byte cut after three", "\xF0\x9F\x98", r},
      {"cut sequence then ascii", "\xE2\x82" "A", r + u"A"},
      {"cut sequence then valid sequence", "\xE2\xC3\xA9", r + u"\u00E9"},
      {"cut four-byte then lead", "\xF0\x9F\xF0\x9F\x98\x80", r + u"\U0001F600"},
      {"two cut sequences", "\xC3\xC3", r + r},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToText(c.utf8), c.expected) << c.name;
  }
}

TEST(FileNameBytesToText, KeepsTheBytesOfEveryName) {
  struct Case {
    std::string bytes;
    Text text;
  };
  const std::vector<Case> cases = {
      {"lib\xE9.a", u"lib\xDCE9.a"},                       // Windows-1252: one byte kept
      {"caf\xC3\xA9", u"caf\u00E9"},                        // UTF-8 decoded
      {"\xF0\x9F\x98\x80x", u"\U0001F600x"},                 // four bytes, a surrogate pair
      {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},              // an encoded surrogate is no UTF-8
      {"\xC3", u"\xDCC3"},                                 // cut short at the end
      {"\xE2\x82(", u"\xDCE2\xDC82("},                      // cut short before a byte below 0x80
      {"\xEF\xBF\xBD", u"\uFFFD"},                         // a real U+FFFD stays one
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileNameBytesToText(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(TextToFileNameBytes(c.text), c.bytes) << c.bytes;
  }
  // A surrogate pair whose low half looks like a kept byte is a character, not a byte.
  EXPECT_EQ(TextToFileNameBytes(u"\U00010080"), "\xF0\x90\x82\x80");
}

TEST(Utf8ToText, StopsAtTheEndOfTheView) {
  // The bytes after each view would complete its sequence; they must not be read.
  const std::string euro = "\xE2\x82\xAC";
  const std::string emoji = "\xF0\x9F\x98\x80";
  struct Case {
    const char* name;
    std::string_view view;
    Text expected;
  };
  const std::vector<Case> cases = {
      {"three-byte cut after one", std::string_view(euro).substr(0, 1), u"\uFFFD"},
      {"three-byte cut after two", std::string_view(euro).substr(0, 2), u"\uFFFD"},
      {"four-byte cut after three", std::string_view(emoji).substr(0, 3), u"\uFFFD"},
      {"nothing", std::string_view(emoji).substr(0, 0), u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToText(c.view), c.expected) << c.name;
  }
}

struct Utf16Case {
  const char* name;
  Text text;
  std::string expected;
};

TEST(TextToUtf8, EncodesText) {
  const std::string r = "\xEF\xBF\xBD";
  const std::vector<Utf16Case> cases = {
      {"empty", u"", ""},
      {"ascii", u"GetProcAddress", "GetProcAddress"},
      {"embedded nul", Text{u'a', 0, u'b'}, "a\0b"s},
      {"two-byte boundaries", Text{0x80, 0x7FF}, "\xC2\x80\xDF\xBF"},
      {"three-byte boundaries", Text{0x800, 0xFFFF}, "\xE0\xA0\x80\xEF\xBF\xBF"},
      {"around surrogates", Text{0xD7FF, 0xE000}, "\xED\x9F\xBF\xEE\x80\x80"},
      {"euro", u"\u20AC", "\xE2\x82\xAC"},
      {"first pair", Text{0xD800, 0xDC00}, "\xF0\x90\x80\x80"},
      {"emoji pair", Text{0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},
      {"last pair", Text{0xDBFF, 0xDFFF}, "\xF4\x8F\xBF\xBF"},
      {"lone high", Text{0xD800}, r},
      {"lone low", Text{0xDC00}, r},
      {"high then ascii", Text{0xD83D, u'A'}, r + "A"},
      {"low before high", Text{0xDE00, 0xD83D}, r + r},
      {"two highs then low", Text{0xD83D, 0xD83D, 0xDE00}, r + "\xF0\x9F\x98\x80"},
      {"pair then lone low", Text{0xD83D, 0xDE00, 0xDE00}, "\xF0\x9F\x98\x80" + r},
      {"literal replacement character", u"\uFFFD", r},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextToUtf8(c.text), c.expected) << c.name;
  }
}

TEST(Utf8RoundTrip, WellFormedUtf8SurvivesBothWays) {
  const std::vector<std::string> samples = {
      "",
      "kernel32.dll",
      "na\xC3\xAFve \xE2\x82\xAC 100",
      "\xF0\x9F\x98\x80\xF0\x9F\x98\x80",
      "\xF4\x8F\xBF\xBF",
      "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",
  };
  for (const auto& s : samples) {
    EXPECT_EQ(TextToUtf8(Utf8ToText(s)), s) << s;
  }
}

TEST(Utf8RoundTrip, EveryScalarValueSurvives) {
  Text all;
  for (std::uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    if (cp < 0x10000) {
      all.push_back(static_cast<char16_t>(cp));
    } else {
      all.push_back(static_cast<char16_t>(0xD7C0 + (cp >> 10)));
      all.push_back(static_cast<char16_t>(0xDC00 | (cp & 0x3FF)));
    }
  }
  const std::string utf8 = TextToUtf8(all);
  // 128 one-byte, 1920 two-byte, 61440 three-byte and 1048576 four-byte sequences.
  EXPECT_EQ(utf8.size(), 128u + 1920u * 2 + 61440u * 3 + 1048576u * 4);
  EXPECT_EQ(Utf8ToText(utf8), all);
}

TEST(DecodeWindows1252, MapsEveryByteFrom80To9F) {
  struct Case {
    std::uint8_t byte;
    char16_t expected;
  };
  const std::vector<Case> cases = {
      {0x80, u'\u20AC'},  // euro sign
      {0x81, 0x0081},     // undefined: same value
      {0x82, u'\u201A'},  // single low-9 quotation mark
      {0x83, u'\u0192'},  // f with hook
      {0x84, u'\u201E'},  // double low-9 quotation mark
      {0x85, u'\u2026'},  // horizontal ellipsis
      {0x86, u'\u2020'},  // dagger
      {0x87, u'\u2021'},  // double dagger
      {0x88, u'\u02C6'},  // modifier circumflex
      {0x89, u'\u2030'},  // per mille sign
      {0x8A, u'\u0160'},  // S with caron
      {0x8B, u'\u2039'},  // single left-pointing angle quotation mark
      {0x8C, u'\u0152'},  // OE ligature
      {0x8D, 0x008D},     // undefined: same value
      {0x8E, u'\u017D'},  // Z with caron
      {0x8F, 0x008F},     // undefined: same value
      {0x90, 0x0090},     // undefined: same value
      {0x91, u'\u2018'},  // left single quotation mark
      {0x92, u'\u2019'},  // right single quotation mark
      {0x93, u'\u201C'},  // left double quotation mark
      {0x94, u'\u201D'},  // right double quotation mark
      {0x95, u'\u2022'},  // bullet
      {0x96, u'\u2013'},  // en dash
      {0x97, u'\u2014'},  // em dash
      {0x98, u'\u02DC'},  // small tilde
      {0x99, u'\u2122'},  // trade mark sign
      {0x9A, u'\u0161'},  // s with caron
      {0x9B, u'\u203A'},  // single right-pointing angle quotation mark
      {0x9C, u'\u0153'},  // oe ligature
      {0x9D, 0x009D},     // undefined: same value
      {0x9E, u'\u017E'},  // z with caron
      {0x9F, u'\u0178'},  // Y with diaeresis
  };
  ASSERT_EQ(cases.size(), 32u);
  for (const auto& c : cases) {
    const std::uint8_t bytes[] = {c.byte};
    EXPECT_EQ(DecodeWindows1252(bytes), Text(1, c.expected)) << "byte 0x" << std::hex << int{c.byte};
  }
}

TEST(DecodeWindows1252, MapsOtherBytesToTheSameCodePoint) {
  for (int b = 0; b <= 0xFF; ++b) {
    if (b >= 0x80 && b <= 0x9F) continue;
    const std::uint8_t bytes[] = {static_cast<std::uint8_t>(b)};
    EXPECT_EQ(DecodeWindows1252(bytes), Text(1, static_cast<char16_t>(b))) << "byte " << b;
  }
}

TEST(DecodeWindows1252, DecodesSequences) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    Text expected;
  };
  const std::vector<Case> cases = {
      {"empty", {}, u""},
      {"ascii with nul", {'a', 0x00, 'b'}, Text{u'a', 0, u'b'}},
      {"mixed ranges", {'C', 'a', 'f', 0xE9, ' ', 0x80, 0x81, 0xFF}, u"Caf\u00E9 \u20AC\u0081\u00FF"},
      {"undefined bytes in a row", {0x81, 0x8D, 0x8F, 0x90, 0x9D},
       Text{0x81, 0x8D, 0x8F, 0x90, 0x9D}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeWindows1252(c.bytes), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace korvane
