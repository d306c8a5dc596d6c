#include "lookup/literal_parser.h"

#include "text/text_ops.h"

namespace korvane::literal {
namespace {

using P = std::ptrdiff_t;
const Text M(1, kTagMark);
const Text PB = M + u" " + M;

// `n` repetitions: first opener, next closer from it, replace every copy of the piece.
Text Repeat(Text t, TextView open, TextView close, TextView with, bool paragraph, bool dropLineEnds) {
  const std::size_t n = CountOf(t, open);
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t a = Find(t, open);
    if (a == 0) continue;
    const std::size_t b = Find(t, close, P(a));
    const Text piece = TextFromTo(t, P(a), P(b));
    const bool special = paragraph && piece == u"</P";
    t = ReplaceAll(t, piece + Text(close), special ? M + u" " : Text(with));
    if (dropLineEnds) t = RemoveAll(RemoveAll(t, u"\n"), u"\r");
  }
  return t;
}

Text Mid(TextView t, std::size_t from) { return TextFromTo(t, P(from), P(t.size()) + 1); }

}  // namespace

Text ExtractSection(TextView page, TextView startMarker, TextView endMarker, SectionMode mode) {
  const std::size_t s = FindNoCase(page, startMarker);
  if (s == 0) return Text();
  const std::size_t e = FindNoCase(page, endMarker, P(s));
  Text t = Trim(TextFromTo(page, P(s), P(e)));
  if (Find(t, u"Syntax</") != 0) t = FirstField(t, u"Syntax</") + u"<>";
  t = Repeat(t, u"<", u">", M, true, false);
  t = Repeat(t, u"${", u"}", u"", false, false);
  t = Repeat(t, u"{{", u"}}", u"", false, false);
  t = RemoveAll(RemoveAll(RemoveAll(t, u"\t"), u"\n"), u"\r");
  for (const TextView nbsp : {u"&nbsp;&nbsp;&nbsp;", u"&nbsp;&nbsp;", u"&nbsp;"}) t = ReplaceAll(t, nbsp, u" ");
  for (const TextView blanks : {u"     ", u"    ", u"   ", u"  "}) t = ReplaceAll(t, blanks, u" ");
  t = Trim(t);
  if (mode == SectionMode::NoticeMode) {
    for (std::size_t run = 10; run >= 3; --run) t = RemoveAll(t, Text(run, kTagMark));
    if (Left(t, 1) == u"[") {
      const Text r = FirstField(t, u"]") + u"]";
      if (Find(t, u"]") != 0) t = RemoveAll(t, r) + u" Note: " + r + u"\r";
      t = RemoveAll(RemoveAll(t, u"["), u"]");
    } else if (Left(t, 5) == u"Note" + M) {
      const Text sep = Find(t, M + M) != 0 ? M + M : PB;
      const Text r = FirstField(t, sep) + sep;
      if (Find(t, sep) != 0) t = RemoveAll(t, r) + u" " + r + u"\r";
      t = ReplaceAll(t, u"Note" + M, u"Note:");
    } else if (Left(t, 10) == u"Important" + M) {
      const Text sep = Find(t, M + M) != 0 ? M + M : PB;
      const Text r = FirstField(t, sep) + sep;
      if (Find(t, sep) != 0) t = RemoveAll(t, r) + u" " + r + u"\r";
      t = ReplaceAll(t, u"Important", u" Important:");
    }
    t = RemoveLeading(RemoveLeading(RemoveLeading(t, kTagMark), u' '), kTagMark);
    if (Left(t, 11) == u"Applies to:") {
      const Text r = FirstField(t, PB) + PB;
      t = RemoveAll(t, r) + u"\r";
    }
    if (Left(t, 10) == u"(Obsolete;") {
      const Text r = FirstField(t, PB) + PB;
      if (Find(t, PB) != 0) t = RemoveAll(t, r) + u" " + r + u"\r";
    }
  }
  t = RemoveAll(ReplaceAll(t, PB, u" "), M);
  t = ReplaceAll(ReplaceAll(t, u"  ", u" "), u" .", u".");
  t = ReplaceAll(t, u"\u00C3\u00A9", u"\u00E9");
  t = ReplaceAll(t, u"\u00E2\u20AC\u2122", u"\u2019");
  t = ReplaceAll(t, u"\u00E2\u20AC\u201C", u"\u2013");
  t = Trim(t);
  if (Find(t, u". Note ") != 0) t = ReplaceAll(t, u". Note ", u". Note: ");
  if (Find(t, u". Caution ") != 0) t = ReplaceAll(t, u". Caution ", u". Caution: ");
  return t;
}

std::optional<ReferencePageData> ParseReferencePage(TextView page, TextView functionName, TextView libraryKey) {
  if (FindNoCase(page, u"toclevel") == 0) return std::nullopt;
  ReferencePageData d;
  const Text s = literal::ExtractSection(page, u"<div class=\"codeSnippetContainerCode\"", u"</div>", SectionMode::PlainMode);
  d.Return = UpperCase(FirstField(s, u" "));
  Text p = Find(s, u"(") == 0 ? s : Mid(s, Find(s, u"(") + 1);
  p = Trim(FirstField(p, u");"));
  if (Find(p, Text(functionName) + u"(") != 0) p = Trim(SecondField(p, u"("));
  d.Parameters = RemoveTrailing(RemoveTrailing(p, u'.'), u',');
  d.Description = literal::ExtractSection(page, u"<div class=\"clsServerSDKContent\">", u"<h2>", SectionMode::NoticeMode);
  if (d.Description.empty()) d.Description = u"This function is not implemented.";
  if (const std::size_t a = FindNoCase(page, u"<DIV class=\"toclevel1"); a != 0) {
    Text g = TextFromTo(page, P(a), P(FindNoCase(page, u"</DIV>", P(a))));
    g = Repeat(g, u"<", u">", u"", false, true);
    if (g == u"Functions" || g.empty()) g = UpperCase(Left(libraryKey, 1)) + Mid(libraryKey, 2) + u" Functions";
    d.Group = g;
  }
  const std::size_t n = CountOf(page, u"<DIV class=\"toclevel2");
  std::size_t pos = 2;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t a = FindNoCase(page, u"<DIV class=\"toclevel2", P(pos) - 1);
    if (a == 0) continue;
    pos = FindNoCase(page, u"</DIV>", P(a));
    Text e = TextFromTo(page, P(a), P(pos));
    const std::size_t h = FindNoCase(e, u"href=");
    if (h == 0) continue;
    const std::size_t x = FindNoCase(e, u".aspx", P(h));
    const Text l = SecondField(TextFromTo(e, P(h), P(x)), u"\"") + u".aspx";
    e = Repeat(e, u"<", u">", u"", false, false);
    const Text key = Trim(LowerCase(FirstField(e, u"(")));
    if (LowerCase(Left(l, 4)) == u"http") d.siblings[key] = l;
  }
  return d;
}

}  // namespace korvane::literal
