#include "docs/pages.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>
#include <string>

#include "docs/generic_function.h"
#include "text/text_ops.h"

namespace korvane {
namespace {

constexpr TextView kSearchPath = u"/search/en-us?query=%22";
constexpr TextView kLibraryPath = u"/en-us/library/";
constexpr TextView kSegmentEnd = u".aspx";

bool IsSegmentCharacter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
         c == u'-' || c == u'.';
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

// Undoes the percent-encoding of ReferenceSegment; a "%" not followed by two hex digits stays.
Text PercentDecode(TextView text) {
  std::string utf8;
  const std::string raw = TextToUtf8(text);
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '%' && i + 2 < raw.size() && HexValue(static_cast<char16_t>(raw[i + 1])) >= 0 &&
        HexValue(static_cast<char16_t>(raw[i + 2])) >= 0) {
      utf8 += static_cast<char>(HexValue(static_cast<char16_t>(raw[i + 1])) * 16 +
                                HexValue(static_cast<char16_t>(raw[i + 2])));
      i += 2;
    } else {
      utf8 += raw[i];
    }
  }
  return Utf8ToText(utf8);
}

// Text as page content. "<" would open a tag for every reader of the page, and the lookup's reader
// decodes no entities, so "&lt;" would reach the catalogue as it is: "<" is written as the look-alike
// U+2039, which every reader keeps and which Windows-1252 can encode.
Text Escaped(TextView text) { return ReplaceAll(text, u"<", u"\u2039"); }

// The part of `address` before `path`, when it is an absolute web address; else the default base.
Text BaseOf(TextView address, std::size_t pathPosition) {
  const Text base = TextFromTo(address, 1, static_cast<std::ptrdiff_t>(pathPosition));
  return LowerCase(Left(base, 4)) == u"http" ? base : Text(kDefaultDocsBase);
}

Text ReferenceAddress(TextView base, TextView functionName) {
  return Text(base) + Text(kLibraryPath) + ReferenceSegment(functionName);
}

Text SearchPage(TextView base, const DocFunction& function) {
  Text page = u"<HTML><HEAD><TITLE>Search results</TITLE></HEAD><BODY>\r\n<DIV class=\"results\">\r\n";
  page += u"<DIV class=\"result\"><A class=\"resultTitleLink\" href=\"" + ReferenceAddress(base, function.name) +
          u"\"><B>" + Escaped(function.name) + u" function</B> (Windows)</A>\r\n";
  page += u"<P>" + Escaped(FirstField(Utf8ToText(function.description), u"\n")) + u"</P></DIV>\r\n";
  page += u"</DIV></BODY></HTML>\r\n";
  return page;
}

std::vector<Text> Words(TextView text) {
  std::vector<Text> words;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t end = std::min(text.size(), text.find(u' ', i));
    if (end > i) words.emplace_back(text.substr(i, end - i));
    i = end + 1;
  }
  return words;
}

// The lookup reads the return type as the syntax's first word, so the type is written as one word:
// qualifiers and tag keywords dropped (they say nothing about the value a caller gets back), C's
// multi-word integer types written as their Windows names, and "*" joined to the type ('void*').
Text SyntaxReturnType(TextView type) {
  static constexpr std::array<std::pair<TextView, TextView>, 10> kIntegerNames = {{
      {u"unsigned int", u"UINT"}, {u"unsigned long long", u"ULONGLONG"}, {u"unsigned long", u"ULONG"},
      {u"unsigned short", u"USHORT"}, {u"unsigned char", u"UCHAR"}, {u"signed char", u"CHAR"},
      {u"long long", u"LONGLONG"}, {u"long int", u"LONG"}, {u"short int", u"SHORT"}, {u"unsigned", u"UINT"},
  }};
  Text words;
  for (const Text& word : Words(type)) {
    if (word == u"const" || word == u"volatile" || word == u"struct" || word == u"union" || word == u"enum") continue;
    words += (words.empty() ? u"" : u" ") + word;
  }
  for (const auto& [c, windows] : kIntegerNames) {
    if (words == c || TextView(words).starts_with(Text(c) + u" *")) {
      words = Text(windows) + words.substr(c.size());
      break;
    }
  }
  words = ReplaceAll(words, u" *", u"*");
  while (words.find(u" *") != Text::npos) words = ReplaceAll(words, u" *", u"*");
  return ReplaceAll(words, u" ", u"_");
}

// One prototype as the syntax shows it: 'BOOL Beep(\r\n  DWORD dwFreq,\r\n  DWORD dwDuration\r\n);'.
Text Prototype(const DocFunction& function) {
  Text text = Escaped(SyntaxReturnType(function.returnType)) + u" " + Escaped(function.name) + u"(";
  if (function.parameters.empty()) return text + u"void);";
  for (std::size_t i = 0; i < function.parameters.size(); ++i) {
    text += u"\r\n  " + Escaped(function.parameters[i]);
    if (i + 1 < function.parameters.size()) text += u",";
  }
  return text + u"\r\n);";
}

// The syntax of `function`; for a pair whose forms take different parameters, both forms' prototypes,
// from which the lookup reads the one of the function it looks up.
Text SyntaxBlock(const DocFunction& function, const std::vector<const DocFunction*>& forms) {
  Text block = u"<div class=\"codeSnippetContainerCode\"><PRE>";
  if (forms.empty()) return block + Prototype(function) + u"</PRE></div>\r\n";
  for (std::size_t i = 0; i < forms.size(); ++i) block += (i == 0 ? u"" : u"\r\n") + Prototype(*forms[i]);
  return block + u"</PRE></div>\r\n";
}

// A paragraph as page content that the lookup's reader gives back unchanged. The reader tidies what a
// page's markup leaves behind, and would also change plain prose: it joins " ." ('the .exe file' would
// become 'the.exe file') and adds a colon to ". Note " and ". Caution " ('Note that' would become
// 'Note: that'). A no-break space in those places keeps the words as written.
Text DescriptionText(TextView paragraph) {
  Text text = ReplaceAll(Escaped(paragraph), u" .", u"\u00A0.");
  text = ReplaceAll(text, u". Note ", u". Note\u00A0");
  return ReplaceAll(text, u". Caution ", u". Caution\u00A0");
}

// Paragraphs of the description; a function known only from its header says where it is declared.
Text DescriptionBlock(const DocFunction& function) {
  Text description = Utf8ToText(function.description);
  if (description.empty()) {
    description = u"Declared in " + function.header + u".";
    if (!function.library.empty()) description += u" Library: " + function.library + u".";
  }
  Text block = u"<div class=\"clsServerSDKContent\">";
  for (std::size_t start = 0; start <= description.size();) {
    std::size_t end = description.find(u'\n', start);
    if (end == Text::npos) end = description.size();
    const Text paragraph = Trim(description.substr(start, end - start));
    if (!paragraph.empty()) block += u"<P>" + DescriptionText(paragraph) + u"</P>";
    start = end + 1;
  }
  return block + u"</div>\r\n<h2>Syntax</h2>\r\n";
}

// The table of contents: the group's title, which the lookup takes for the function's Group, and no
// members. Listing the members would let the lookup spread the group and each member's address to its
// siblings, but offline every sibling gets its own lookup and its own page anyway (and a spread address
// leads a wide function without an "A" twin, such as Module32FirstW, to its ANSI neighbour's page); and
// a page as long as its header (411 functions in winbase.h) made every lookup cost as much as the
// header is long.
Text TableOfContents(const DocGroup& group) {
  return u"<DIV class=\"toc\">\r\n<DIV class=\"toclevel1\">" + Escaped(group.title) + u"</DIV>\r\n</DIV>\r\n";
}

Text ReferencePage(const DocGroup& group, const DocFunction& function, const std::vector<const DocFunction*>& forms = {}) {
  Text page = u"<HTML><HEAD><TITLE>" + Escaped(function.name) + u" function</TITLE></HEAD><BODY>\r\n";
  page += TableOfContents(group);
  page += u"<DIV class=\"content\">\r\n<H1>" + Escaped(function.name) + u" function</H1>\r\n";
  page += DescriptionBlock(function);
  page += u"<DIV class=\"codeSnippetContainer\">" + SyntaxBlock(function, forms) + u"</DIV>\r\n";
  page += u"<H2>Requirements</H2>\r\n<P>Header: " + Escaped(function.header) + u"</P>\r\n";
  if (!function.library.empty()) page += u"<P>Library: " + Escaped(function.library) + u".lib</P>\r\n";
  return page + u"</DIV></BODY></HTML>\r\n";
}

// The query name: from the end of the search path to the query's first escape or parameter separator.
Text QueryName(TextView query) {
  std::size_t end = query.size();
  for (const TextView stop : {TextView(u"%20"), TextView(u"%22"), TextView(u"&")}) {
    end = std::min(end, query.find(stop));
  }
  return Text(query.substr(0, end));
}

}  // namespace

Text ReferenceSegment(TextView functionName) {
  Text segment;
  for (const char c : TextToUtf8(functionName)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80 && IsSegmentCharacter(byte)) {
      segment += static_cast<char16_t>(byte);
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      segment += u'%';
      segment += static_cast<char16_t>(kHex[byte >> 4]);
      segment += static_cast<char16_t>(kHex[byte & 0x0F]);
    }
  }
  return segment + Text(kSegmentEnd);
}

Text NotFoundPage() {
  // Without the result marker the lookup reads from the page's 30th character on: what it then takes for
  // the first bold word ('ts</TITLE>...') can never equal a function name or the word after '">'.
  return u"<HTML><HEAD><TITLE>Search results</TITLE></HEAD><BODY>\r\n<DIV class=\"results\"><P>No results "
         u"were found.</P></DIV>\r\n</BODY></HTML>\r\n";
}

std::optional<Text> AnswerAddress(const DocumentationSet& set, const Text& address) {
  if (const std::size_t search = Find(address, kSearchPath); search != 0) {
    const Text name = QueryName(TextView(address).substr(search - 1 + kSearchPath.size()));
    // A pair's generic name answers with the generic form, which is right for both of its widths.
    if (const auto generic = GenericFunction(set, name)) return SearchPage(BaseOf(address, search), *generic);
    const auto ref = ResolveFunction(set, name);
    if (!ref) return NotFoundPage();
    return SearchPage(BaseOf(address, search), FunctionAt(set, *ref));
  }
  if (const std::size_t library = Find(address, kLibraryPath); library != 0) {
    Text segment(TextView(address).substr(library - 1 + kLibraryPath.size()));
    segment = FirstField(FirstField(segment, u"?"), u"#");
    if (!TextView(segment).ends_with(kSegmentEnd)) return NotFoundPage();
    const Text name = PercentDecode(TextView(segment).substr(0, segment.size() - kSegmentEnd.size()));
    DocFunctionRef groupForm;
    if (const auto generic = GenericFunction(set, name, &groupForm)) {
      return ReferencePage(GroupAt(set, groupForm), *generic, PairFormsApart(set, name));
    }
    const auto ref = FindFunction(set, name);
    if (!ref) return NotFoundPage();
    return ReferencePage(GroupAt(set, *ref), FunctionAt(set, *ref));
  }
  return std::nullopt;
}

}  // namespace korvane
