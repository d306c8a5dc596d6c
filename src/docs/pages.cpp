#include "docs/pages.h"

#include <algorithm>
#include <string>

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

// Text as page content: "<" would open a tag for every reader of the page.
Text Escaped(TextView text) { return ReplaceAll(text, u"<", u"&lt;"); }

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
  page += u"<P>" + Escaped(FirstField(function.description, u"\n")) + u"</P></DIV>\r\n";
  page += u"</DIV></BODY></HTML>\r\n";
  return page;
}

// The return type with the blanks before "*" removed, so that the syntax's first word is the whole
// type for pointer types ('void*').
Text SyntaxReturnType(TextView type) {
  Text out = ReplaceAll(type, u" *", u"*");
  while (out.find(u" *") != Text::npos) out = ReplaceAll(out, u" *", u"*");
  return out;
}

Text SyntaxBlock(const DocFunction& function) {
  Text block = u"<div class=\"codeSnippetContainerCode\"><PRE>" + Escaped(SyntaxReturnType(function.returnType)) +
               u" " + Escaped(function.name) + u"(";
  if (function.parameters.empty()) return block + u"void);</PRE></div>\r\n";
  for (std::size_t i = 0; i < function.parameters.size(); ++i) {
    block += u"\r\n  " + Escaped(function.parameters[i]);
    if (i + 1 < function.parameters.size()) block += u",";
  }
  return block + u"\r\n);</PRE></div>\r\n";
}

// Paragraphs of the description; a function known only from its header says where it is declared.
Text DescriptionBlock(const DocFunction& function) {
  Text description = function.description;
  if (description.empty()) {
    description = u"Declared in " + function.header + u".";
    if (!function.library.empty()) description += u" Library: " + function.library + u".";
  }
  Text block = u"<div class=\"clsServerSDKContent\">";
  for (std::size_t start = 0; start <= description.size();) {
    std::size_t end = description.find(u'\n', start);
    if (end == Text::npos) end = description.size();
    const Text paragraph = Trim(description.substr(start, end - start));
    if (!paragraph.empty()) block += u"<P>" + Escaped(paragraph) + u"</P>";
    start = end + 1;
  }
  return block + u"</div>\r\n<h2>Syntax</h2>\r\n";
}

Text TableOfContents(TextView base, const DocGroup& group) {
  Text toc = u"<DIV class=\"toc\">\r\n<DIV class=\"toclevel1\">" + Escaped(group.title) + u"</DIV>\r\n";
  for (const DocFunction& member : group.functions) {
    toc += u"<DIV class=\"toclevel2\"><A href=\"" + ReferenceAddress(base, member.name) + u"\">" +
           Escaped(member.name) + u"</A></DIV>\r\n";
  }
  return toc + u"</DIV>\r\n";
}

Text ReferencePage(TextView base, const DocGroup& group, const DocFunction& function) {
  Text page = u"<HTML><HEAD><TITLE>" + Escaped(function.name) + u" function</TITLE></HEAD><BODY>\r\n";
  page += TableOfContents(base, group);
  page += u"<DIV class=\"content\">\r\n<H1>" + Escaped(function.name) + u" function</H1>\r\n";
  page += DescriptionBlock(function);
  page += u"<DIV class=\"codeSnippetContainer\">" + SyntaxBlock(function) + u"</DIV>\r\n";
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
    const auto ref = ResolveFunction(set, name);
    if (!ref) return NotFoundPage();
    return SearchPage(BaseOf(address, search), FunctionAt(set, *ref));
  }
  if (const std::size_t library = Find(address, kLibraryPath); library != 0) {
    Text segment(TextView(address).substr(library - 1 + kLibraryPath.size()));
    segment = FirstField(FirstField(segment, u"?"), u"#");
    if (!TextView(segment).ends_with(kSegmentEnd)) return NotFoundPage();
    const Text name = PercentDecode(TextView(segment).substr(0, segment.size() - kSegmentEnd.size()));
    const auto ref = FindFunction(set, name);
    if (!ref) return NotFoundPage();
    return ReferencePage(BaseOf(address, library), GroupAt(set, *ref), FunctionAt(set, *ref));
  }
  return std::nullopt;
}

}  // namespace korvane
