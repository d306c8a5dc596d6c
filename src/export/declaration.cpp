#include "export/declaration.h"

#include <array>

#include "text/text_ops.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

struct AnnotationRow {
  TextView find;
  TextView convert;
};

// Applied in this order, each on the result of the one before; every find text ends in one blank.
constexpr std::array<AnnotationRow, 15> kAnnotationRows = {{
    {u"[in] ", u"In "},
    {u"_In_ ", u"In "},
    {u"_Out_ ", u"Out "},
    {u"_InOut_ ", u"InOut "},
    {u"_In_Opt_ ", u"InOpt "},
    {u"_Out_Opt_ ", u"OutOpt "},
    {u"_InOut_Opt_ ", u"InOutOpt "},
    {u"_Reserved_ ", u"Reserved "},
    {u"__In ", u"In "},
    {u"__Out ", u"Out "},
    {u"__InOut ", u"InOut "},
    {u"__In_Opt ", u"InOpt "},
    {u"__Out_Opt ", u"OutOpt "},
    {u"__InOut_Opt ", u"InOutOpt "},
    {u"__Reserved ", u"Reserved "},
}};

char16_t FoldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

// ReplaceAll with ASCII letters compared without regard to case; the replacement goes in as written.
Text ReplaceAllAsciiNoCase(TextView text, TextView what, TextView with) {
  Text out;
  std::size_t at = 0;
  while (at < text.size()) {
    bool match = at + what.size() <= text.size();
    for (std::size_t i = 0; match && i < what.size(); ++i) match = FoldAscii(text[at + i]) == FoldAscii(what[i]);
    if (match) {
      out += with;
      at += what.size();
    } else {
      out += text[at++];
    }
  }
  return out;
}

// Field k (from 1) of `text` cut at every ","; empty past the last one.
Text CommaField(TextView text, std::size_t k) {
  std::size_t start = 0;
  for (std::size_t i = 1; i < k; ++i) {
    const std::size_t comma = text.find(u',', start);
    if (comma == TextView::npos) return {};
    start = comma + 1;
  }
  const std::size_t end = text.find(u',', start);
  return Text(text.substr(start, end == TextView::npos ? TextView::npos : end - start));
}

// The text with every "," inside square brackets turned into ";": an attribute list such as
// '[in, optional]' belongs to one argument. Brackets nest; a "]" without its "[" is plain text.
Text ProtectBracketCommas(TextView text) {
  Text out(text);
  std::size_t depth = 0;
  for (char16_t& c : out) {
    if (c == u'[') {
      ++depth;
    } else if (c == u']') {
      if (depth > 0) --depth;
    } else if (c == u',' && depth > 0) {
      c = u';';
    }
  }
  return out;
}

// One argument's text passes a POINT structure by value: its type is the word POINT (at the start,
// after an annotation or alone) with no "*" after it ('POINT *p', 'POINT const *p' are pointers).
// The caller passes 8 bytes for it where any other argument takes one slot.
bool PassesPointByValue(TextView field) {
  // Built by appending: GCC 12 at -O3 warns falsely about chained concatenations.
  Text padded = u" ";
  padded.append(field);
  padded.append(u" ");
  const std::size_t at = Find(padded, u" POINT ");
  return at != 0 && Find(padded, u"*", static_cast<std::ptrdiff_t>(at)) == 0;
}

}  // namespace

Text ConvertAnnotations(TextView parameters, AnnotationMode mode) {
  Text text(parameters);
  if (mode == AnnotationMode::Keep) return text;
  for (const AnnotationRow& row : kAnnotationRows) {
    text = ReplaceAllAsciiNoCase(text, row.find, mode == AnnotationMode::Convert ? row.convert : TextView());
  }
  return text;
}

Text ProtectFirstGroupCommas(TextView text) {
  const std::size_t open = text.find(u'(');
  if (open == TextView::npos) return Text(text);
  const std::size_t close = text.find(u"),", open);
  if (close == TextView::npos) return Text(text);
  const Text group(text.substr(open, close - open));
  return ReplaceAll(text, group, ReplaceAll(group, u",", u"."));
}

Text StripParenthesisedGroups(TextView text) {
  Text s(text);
  for (;;) {
    const std::size_t open = s.find(u'(');
    if (open == Text::npos) return s;
    const std::size_t close = s.find(u')', open);
    if (close == Text::npos) return s;
    s = RemoveAll(s, Text(s.substr(open, close - open + 1)));
  }
}

Text DeclarationText(TextView parameters, AnnotationMode mode) {
  KORVANE_HERE();
  Text t(parameters);
  // The blank lets an annotation word at the very end match too, and makes the list end in ' )'.
  if (!t.empty()) t += u' ';
  t = ProtectFirstGroupCommas(ConvertAnnotations(t, mode));
  return u"( " + t + u")";
}

ArgumentSignature SignatureOf(TextView parameters) {
  KORVANE_HERE();
  ArgumentSignature signature;
  if (parameters.empty()) return signature;
  // The fields are cut where the count is: each field is one argument, judged by its own type.
  const Text arguments = StripParenthesisedGroups(ProtectBracketCommas(parameters));
  signature.count = 1 + CountOf(arguments, u",");
  for (std::size_t k = 1; k <= signature.count; ++k) {
    const bool point = PassesPointByValue(CommaField(arguments, k));
    signature.kinds.push_back(point ? ArgumentKind::Point : ArgumentKind::Other);
    signature.pointByValue = signature.pointByValue || point;
  }
  if (!signature.pointByValue) signature.kinds.clear();
  return signature;
}

}  // namespace korvane
