#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "text/text_ops.h"

namespace korvane {
namespace {

constexpr std::ptrdiff_t kMin = std::numeric_limits<std::ptrdiff_t>::min();
constexpr std::ptrdiff_t kMax = std::numeric_limits<std::ptrdiff_t>::max();

struct FindCase {
  const char* name;
  Text text;
  Text what;
  std::ptrdiff_t from;
  std::size_t expected;
};

TEST(Find, ReturnsPositionFromOneOrZero) {
  const std::vector<FindCase> cases = {
      {"first occurrence", u"abcabc", u"bc", 1, 2},
      {"from the occurrence itself", u"abcabc", u"bc", 2, 2},
      {"from past the first", u"abcabc", u"bc", 3, 5},
      {"match ending at the last character", u"abcabc", u"bc", 5, 5},
      {"from past the last match", u"abcabc", u"bc", 6, 0},
      {"from zero means one", u"abcabc", u"ab", 0, 1},
      {"negative from means one", u"abcabc", u"ab", -7, 1},
      {"lowest from", u"abcabc", u"ab", kMin, 1},
      {"from past the end", u"abc", u"c", 4, 0},
      {"highest from", u"abc", u"c", kMax, 0},
      {"absent", u"abc", u"d", 1, 0},
      {"longer than text", u"ab", u"abc", 1, 0},
      {"whole text", u"abc", u"abc", 1, 1},
      {"case-sensitive", u"ABC", u"b", 1, 0},
      {"empty text", u"", u"a", 1, 0},
      {"empty what at start", u"abc", u"", 1, 1},
      {"empty what at from", u"abc", u"", 3, 3},
      {"empty what one past end", u"abc", u"", 4, 4},
      {"empty what two past end", u"abc", u"", 5, 0},
      {"empty what negative from", u"abc", u"", -3, 1},
      {"empty what in empty text", u"", u"", 1, 1},
      {"surrogate code units", u"a\U0001F600b", u"b", 1, 4},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Find(c.text, c.what, c.from), c.expected) << c.name;
  }
}

TEST(Find, DefaultsToPositionOne) { EXPECT_EQ(Find(u"xax", u"x"), 1u); }

TEST(FindNoCase, FoldsAsciiAndLatin1Capitals) {
  const std::vector<FindCase> cases = {
      {"ascii", u"MessageBoxA", u"BOXa", 1, 8},
      {"ascii with from", u"abcABC", u"ABC", 2, 4},
      {"no match", u"MessageBoxA", u"BoxW", 1, 0},
      {"latin-1 capitals match small", u"\u00C0\u00C9\u00DE", u"\u00E0\u00E9\u00FE", 1, 1},
      {"latin-1 small match capitals", u"x\u00E0\u00E9", u"\u00C0\u00C9", 1, 2},
      {"multiplication sign is not division sign", u"\u00D7", u"\u00F7", 1, 0},
      {"multiplication sign matches itself", u"a\u00D7b", u"\u00D7", 1, 2},
      {"sharp s is not folded", u"\u00DF", u"\u00FF", 1, 0},
      {"y with diaeresis outside Latin-1 is not folded", u"\u0178", u"\u00FF", 1, 0},
      {"bracket is not brace", u"[", u"{", 1, 0},
      {"at sign is not grave accent", u"@", u"`", 1, 0},
      {"greek capitals are not folded", u"\u0391", u"\u03B1", 1, 0},
      {"negative from", u"Abc", u"a", -1, 1},
      {"from past the end", u"Abc", u"a", 4, 0},
      {"empty what", u"Abc", u"", 2, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindNoCase(c.text, c.what, c.from), c.expected) << c.name;
  }
}

TEST(TextFromTo, TakesPositionsAUpToBMinusOne) {
  struct Case {
    const char* name;
    Text text;
    std::ptrdiff_t a;
    std::ptrdiff_t b;
    Text expected;
  };
  const std::vector<Case> cases = {
      {"middle", u"abcdef", 2, 4, u"bc"},
      {"one character", u"abcdef", 6, 7, u"f"},
      {"a equals b", u"abcdef", 3, 3, u""},
      {"b below a", u"abcdef", 4, 2, u""},
      {"from one", u"abcdef", 1, 4, u"abc"},
      {"a zero takes b characters", u"abcdef", 0, 3, u"abc"},
      {"a negative takes b characters", u"abcdef", -4, 3, u"abc"},
      {"a zero b zero", u"abcdef", 0, 0, u""},
      {"a zero b negative", u"abcdef", 0, -1, u""},
      {"both negative", u"abcdef", -5, -1, u""},
      {"a zero b past end", u"abcdef", 0, 100, u"abcdef"},
      {"to one past end", u"abcdef", 1, 7, u"abcdef"},
      {"b past end is clipped", u"abcdef", 4, 100, u"def"},
      {"a one past end", u"abcdef", 7, 9, u""},
      {"a far past end", u"abcdef", 100, 200, u""},
      {"empty text", u"", 1, 5, u""},
      {"lowest b", u"abcdef", 2, kMin, u""},
      {"lowest a highest b", u"abcdef", kMin, kMax, u"abcdef"},
      {"highest a and b", u"abcdef", kMax, kMax, u""},
      {"highest a lowest b", u"abcdef", kMax, kMin, u""},
      {"one highest b", u"abcdef", 3, kMax, u"cdef"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextFromTo(c.text, c.a, c.b), c.expected) << c.name;
  }
}

TEST(Left, TakesAtMostCountCharacters) {
  struct Case {
    Text text;
    std::size_t count;
    Text expected;
  };
  const std::vector<Case> cases = {
      {u"abc", 0, u""},
      {u"abc", 2, u"ab"},
      {u"abc", 3, u"abc"},
      {u"abc", 10, u"abc"},
      {u"abc", SIZE_MAX, u"abc"},
      {u"", 1, u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Left(c.text, c.count), c.expected) << "count " << c.count;
  }
}

struct ReplaceCase {
  const char* name;
  Text text;
  Text what;
  Text with;
  Text expected;
};

TEST(ReplaceAll, ReplacesLeftToRightInOnePass) {
  const std::vector<ReplaceCase> cases = {
      {"three blanks become two", u"a   b", u"  ", u" ", u"a  b"},
      {"four blanks become two", u"a    b", u"  ", u" ", u"a  b"},
      {"non-overlapping from the left", u"aaa", u"aa", u"b", u"ba"},
      {"replacement is not rescanned", u"ab", u"a", u"aa", u"aab"},
      {"replacement forms a new match", u"aab", u"ab", u"b", u"ab"},
      {"every occurrence", u"a.b.c", u".", u"::", u"a::b::c"},
      {"at both ends", u"xax", u"x", u"yy", u"yyayy"},
      {"whole text", u"abc", u"abc", u"z", u"z"},
      {"absent", u"abc", u"d", u"z", u"abc"},
      {"case-sensitive", u"aA", u"a", u"b", u"bA"},
      {"empty what leaves text", u"abc", u"", u"z", u"abc"},
      {"empty text", u"", u"a", u"b", u""},
      {"longer what than text", u"ab", u"abc", u"z", u"ab"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReplaceAll(c.text, c.what, c.with), c.expected) << c.name;
  }
}

TEST(ReplaceAll, HandlesLongTexts) {
  // One hundred thousand "ab" pairs; removing "a" must leave one hundred thousand "b".
  Text text;
  for (int i = 0; i < 100000; ++i) text += u"ab";
  EXPECT_EQ(ReplaceAll(text, u"a", u""), Text(100000, u'b'));
  EXPECT_EQ(ReplaceAll(text, u"ab", u"c"), Text(100000, u'c'));
}

TEST(RemoveAll, RemovesEveryOccurrence) {
  const std::vector<ReplaceCase> cases = {
      {"single character", u"a_b_c", u"_", u"", u"abc"},
      {"longer text", u"__imp___imp_x", u"__imp_", u"", u"x"},
      {"three blanks minus pairs", u"a   b", u"  ", u"", u"a b"},
      {"removal joins a new match", u"aabb", u"ab", u"", u"ab"},
      {"everything", u"xxxx", u"x", u"", u""},
      {"absent", u"abc", u"d", u"", u"abc"},
      {"empty what", u"abc", u"", u"", u"abc"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RemoveAll(c.text, c.what), c.expected) << c.name;
  }
}

TEST(CountOf, CountsNonOverlappingOccurrences) {
  struct Case {
    const char* name;
    Text text;
    Text what;
    std::size_t expected;
  };
  const std::vector<Case> cases = {
      {"four a in pairs", u"aaaa", u"aa", 2},
      {"three a in pairs", u"aaa", u"aa", 1},
      {"separate", u"a,b,c", u",", 2},
      {"at both ends", u"xax", u"x", 2},
      {"whole text", u"abc", u"abc", 1},
      {"absent", u"abc", u"d", 0},
      {"case-sensitive", u"aAa", u"A", 1},
      {"empty what", u"abc", u"", 0},
      {"empty text", u"", u"a", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CountOf(c.text, c.what), c.expected) << c.name;
  }
}

TEST(Fields, SplitOnFirstAndSecondSeparator) {
  struct Case {
    const char* name;
    Text text;
    Text separator;
    Text first;
    Text second;
  };
  const std::vector<Case> cases = {
      {"three fields", u"a,b,c", u",", u"a", u"b"},
      {"two fields", u"a,b", u",", u"a", u"b"},
      {"no separator", u"abc", u",", u"abc", u""},
      {"leading separator", u",b", u",", u"", u"b"},
      {"trailing separator", u"a,", u",", u"a", u""},
      {"empty second field", u"a,,b", u",", u"a", u""},
      {"separator only", u",", u",", u"", u""},
      {"empty text", u"", u",", u"", u""},
      {"long separator", u"a::b::c", u"::", u"a", u"b"},
      {"long separator is whole", u"a:b::c:d", u"::", u"a:b", u"c:d"},
      {"long separator overlapping run", u"a:::b", u"::", u"a", u":b"},
      {"long separator absent", u"a:b", u"::", u"a:b", u""},
      {"case-sensitive", u"aXbxc", u"x", u"aXb", u"c"},
      {"empty separator never occurs", u"abc", u"", u"abc", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FirstField(c.text, c.separator), c.first) << c.name;
    EXPECT_EQ(SecondField(c.text, c.separator), c.second) << c.name;
  }
}

TEST(Trim, RemovesOnlyBlanksAtBothEnds) {
  struct Case {
    const char* name;
    Text text;
    Text expected;
  };
  const std::vector<Case> cases = {
      {"both ends", u"  a b  ", u"a b"},
      {"leading only", u" a", u"a"},
      {"trailing only", u"a ", u"a"},
      {"inner blanks kept", u"a  b", u"a  b"},
      {"blanks only", u"   ", u""},
      {"empty", u"", u""},
      {"tabs kept", u"\ta\t", u"\ta\t"},
      {"line breaks kept", u"\r\na\n", u"\r\na\n"},
      {"no-break space kept", u"\u00A0a\u00A0", u"\u00A0a\u00A0"},
      {"ideographic space kept", u"\u3000a", u"\u3000a"},
      {"blank outside a tab", u" \t a \t ", u"\t a \t"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Trim(c.text), c.expected) << c.name;
  }
}

TEST(RemoveLeadingAndTrailing, RemoveTheWholeRun) {
  struct Case {
    const char* name;
    Text text;
    char16_t c;
    Text without_leading;
    Text without_trailing;
  };
  const std::vector<Case> cases = {
      {"runs at both ends", u"__a__", u'_', u"a__", u"__a"},
      {"inner characters kept", u"_a_b_", u'_', u"a_b_", u"_a_b"},
      {"absent", u"abc", u'_', u"abc", u"abc"},
      {"only the character", u"___", u'_', u"", u""},
      {"empty", u"", u'_', u"", u""},
      {"case-sensitive", u"Aaa", u'a', u"Aaa", u"A"},
      {"nul character", Text{0, 0, u'x', 0}, u'\0', Text{u'x', 0}, Text{0, 0, u'x'}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RemoveLeading(c.text, c.c), c.without_leading) << c.name;
    EXPECT_EQ(RemoveTrailing(c.text, c.c), c.without_trailing) << c.name;
  }
}

TEST(LetterCase, MapsAsciiAndLatin1LettersOnly) {
  struct Case {
    Text text, lower, upper;
  };
  const std::vector<Case> cases = {
      {u" int ", u" int ", u" INT "},
      {u"Dword_t9", u"dword_t9", u"DWORD_T9"},
      {u"\u00C9t\u00E9 \u00D7\u00F7", u"\u00E9t\u00E9 \u00D7\u00F7", u"\u00C9T\u00C9 \u00D7\u00F7"},
      {u"[@`{", u"[@`{", u"[@`{"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LowerCase(c.text), c.lower) << TextToUtf8(c.text);
    EXPECT_EQ(UpperCase(c.text), c.upper) << TextToUtf8(c.text);
  }
  EXPECT_TRUE(LessNoCase(u"A.lib", u"b.lib"));
  EXPECT_FALSE(LessNoCase(u"b.lib", u"A.lib"));
  EXPECT_FALSE(LessNoCase(u"a.lib", u"A.lib"));
  EXPECT_TRUE(LessNoCase(u"lib", u"LIBS"));
}

}  // namespace
}  // namespace korvane
