#include "lookup/lookup_text.h"
#include "lookup/reference_page.h"
#include "lookup/repeated_removal.h"
#include "text/text_ops.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

constexpr char16_t kCarriageReturn = u'\r';
const Text kMark(1, kTagMark);
const Text kParagraphBreak = kMark + u" " + kMark;

Text RemoveTags(TextView text) {
  static const Text kClosingParagraph = u"</P>";
  static const Text kMarkAndBlank = kMark + u" ";
  const RepeatedRemoval pass{u"<", u">", kMark, kClosingParagraph, kMarkAndBlank};
  return ApplyRepeatedRemoval(text, pass, CountOf(text, u"<"));
}

Text RemovePlaceholders(Text text) {
  const RepeatedRemoval dollar{u"${", u"}", u"", u"", u""};
  text = ApplyRepeatedRemoval(text, dollar, CountOf(text, u"${"));
  const RepeatedRemoval braces{u"{{", u"}}", u"", u"", u""};
  return ApplyRepeatedRemoval(text, braces, CountOf(text, u"{{"));
}

Text SquashBlanks(Text text) {
  text = ReplaceAll(text, u"&nbsp;&nbsp;&nbsp;", u" ");
  text = ReplaceAll(text, u"&nbsp;&nbsp;", u" ");
  text = ReplaceAll(text, u"&nbsp;", u" ");
  text = ReplaceAll(text, u"     ", u" ");
  text = ReplaceAll(text, u"    ", u" ");
  text = ReplaceAll(text, u"   ", u" ");
  return ReplaceAll(text, u"  ", u" ");
}

// Moves the notice `r` (a prefix of `text` ending in its closing text) behind the rest, after `joint`.
Text MoveNotice(TextView text, TextView r, TextView joint) {
  return RemoveAll(text, r) + Text(joint) + Text(r) + kCarriageReturn;
}

// The notice that opens a description up to and including `closing`; nothing when `closing` does not
// occur (moving the whole text would write the description twice).
std::optional<Text> LeadingNotice(TextView text, TextView closing) {
  if (Find(text, closing) == 0) return std::nullopt;
  return FirstField(text, closing) + Text(closing);
}

// Notices ("[This function is obsolete.]", "Note", "Important", "Applies to:", "(Obsolete;") that open
// a description go to its end, each followed by a carriage return.
Text MoveNotices(Text t) {
  KORVANE_HERE();
  for (int run = 10; run >= 3; --run) t = RemoveAll(t, Text(static_cast<std::size_t>(run), kTagMark));
  const TextView view(t);
  if (view.starts_with(u"[")) {
    if (auto r = LeadingNotice(t, u"]")) t = MoveNotice(t, *r, u" Note: ");
    t = RemoveAll(RemoveAll(t, u"["), u"]");
  } else if (view.substr(0, 5) == Text(u"Note") + kMark) {
    const Text separator = Find(t, kMark + kMark) != 0 ? kMark + kMark : kParagraphBreak;
    if (auto r = LeadingNotice(t, separator)) t = MoveNotice(t, *r, u" ");
    t = ReplaceAll(t, Text(u"Note") + kMark, u"Note:");
  } else if (view.substr(0, 10) == Text(u"Important") + kMark) {
    const Text separator = Find(t, kMark + kMark) != 0 ? kMark + kMark : kParagraphBreak;
    if (auto r = LeadingNotice(t, separator)) t = MoveNotice(t, *r, u" ");
    t = ReplaceAll(t, u"Important", u" Important:");
  }
  t = RemoveLeading(RemoveLeading(RemoveLeading(t, kTagMark), u' '), kTagMark);
  if (TextView(t).starts_with(u"Applies to:")) {
    // Without a paragraph break the whole text is the notice: it stays, followed by a carriage return.
    t = RemoveAll(t, FirstField(t, kParagraphBreak) + kParagraphBreak) + kCarriageReturn;
  }
  if (TextView(t).starts_with(u"(Obsolete;")) {
    if (auto r = LeadingNotice(t, kParagraphBreak)) t = MoveNotice(t, *r, u" ");
  }
  return t;
}

}  // namespace

Text ExtractSectionLowered(TextView page, TextView loweredPage, TextView startMarker, TextView endMarker,
                           SectionMode mode) {
  const std::size_t s = Find(loweredPage, LowerCase(startMarker));
  if (s == 0) return Text();
  const std::size_t e = Find(loweredPage, LowerCase(endMarker), static_cast<std::ptrdiff_t>(s));
  Text t = Trim(TextFromTo(page, static_cast<std::ptrdiff_t>(s), static_cast<std::ptrdiff_t>(e)));
  if (const std::size_t syntax = Find(t, u"Syntax</"); syntax != 0) t = Left(t, syntax - 1) + u"<>";
  t = RemovePlaceholders(RemoveTags(t));
  t = RemoveAll(RemoveAll(RemoveAll(t, u"\t"), u"\n"), u"\r");
  t = Trim(SquashBlanks(std::move(t)));
  if (mode == SectionMode::NoticeMode) t = MoveNotices(std::move(t));
  t = RemoveAll(ReplaceAll(t, kParagraphBreak, u" "), kMark);
  t = ReplaceAll(ReplaceAll(t, u"  ", u" "), u" .", u".");
  t = ReplaceAll(t, u"\u00C3\u00A9", u"\u00E9");
  t = ReplaceAll(t, u"\u00E2\u20AC\u2122", u"\u2019");
  t = ReplaceAll(t, u"\u00E2\u20AC\u201C", u"\u2013");
  t = Trim(t);
  t = ReplaceAll(t, u". Note ", u". Note: ");
  return ReplaceAll(t, u". Caution ", u". Caution: ");
}

Text ExtractSection(TextView page, TextView startMarker, TextView endMarker, SectionMode mode) {
  KORVANE_HERE();
  return ExtractSectionLowered(page, LowerCase(page), startMarker, endMarker, mode);
}

}  // namespace korvane
