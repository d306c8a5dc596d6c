#include "lookup/reference_page.h"

#include <utility>
#include <vector>

#include "lookup/lookup_text.h"
#include "lookup/repeated_removal.h"
#include "text/text_ops.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

constexpr TextView kGroupMarker = u"<div class=\"toclevel1";
constexpr TextView kSiblingMarker = u"<div class=\"toclevel2";
constexpr TextView kSiblingMarkerExact = u"<DIV class=\"toclevel2";
constexpr TextView kDivEnd = u"</div>";

std::ptrdiff_t At(std::size_t position) { return static_cast<std::ptrdiff_t>(position); }

Text TextFrom(TextView text, std::size_t position) {
  return TextFromTo(text, At(position), At(text.size()) + 1);
}

// A page that declares the forms of an ANSI/wide pair apart (their parameters differ) shows one prototype
// per form, each ending in ");": the one that names the function is its own (`call` is the name and its
// "("). The whole syntax when none names the function.
TextView PrototypeNaming(TextView syntax, const Text& call, bool& apart) {
  for (std::size_t start = 0; start < syntax.size();) {
    std::size_t end = syntax.find(u");", start);
    end = end == TextView::npos ? syntax.size() : end + 2;
    const TextView prototype = syntax.substr(start, end - start);
    const std::size_t named = prototype.find(call);
    // The name must stand alone: 'GetStringTypeA(' is not found in 'GetStringTypeExA('.
    const bool alone = named != TextView::npos && (named == 0 || prototype[named - 1] == u' ' || prototype[named - 1] == u'*');
    if (alone) {
      apart = true;
      const std::size_t text = prototype.find_first_not_of(u' ');
      return prototype.substr(text == TextView::npos ? 0 : text);
    }
    start = end;
  }
  return syntax;
}

// The generic name of such a pair ('GetStringType') reads the wide form's, which it stands for in the
// IDE's Unicode programs.
TextView OwnPrototype(TextView syntax, TextView functionName, bool& apart) {
  apart = false;
  const std::size_t firstEnd = syntax.find(u");");
  if (firstEnd == TextView::npos || syntax.find(u");", firstEnd + 2) == TextView::npos) return syntax;
  const TextView own = PrototypeNaming(syntax, Text(functionName) + u"(", apart);
  return apart ? own : PrototypeNaming(syntax, Text(functionName) + u"W(", apart);
}

void ReadSyntax(TextView page, TextView lowered, TextView functionName, ReferencePageData& data) {
  KORVANE_HERE();
  const Text whole = ExtractSectionLowered(page, lowered, u"<div class=\"codeSnippetContainerCode\"",
                                           u"</div>", SectionMode::PlainMode);
  const Text syntax(OwnPrototype(whole, functionName, data.formsApart));
  data.Return = UpperCase(FirstField(syntax, u" "));
  const std::size_t open = Find(syntax, u"(");
  Text p = open == 0 ? syntax : TextFrom(syntax, open + 1);
  p = Trim(FirstField(p, u");"));
  // A syntax whose first "(" belongs to something before the function's own name.
  if (Find(p, Text(functionName) + u"(") != 0) p = Trim(SecondField(p, u"("));
  // Stray dots and commas at the end go, but the "..." of a variadic function is its last parameter
  // (the section's text has glued it to the comma before it).
  const bool variadic = p.ends_with(u"...");
  p = RemoveTrailing(RemoveTrailing(p, u'.'), u',');
  data.Parameters = !variadic ? p : Trim(p).empty() ? Text(u"...") : Trim(p) + u", ...";
}

Text ReadGroup(TextView page, TextView lowered, TextView libraryKey) {
  KORVANE_HERE();
  const std::size_t a = Find(lowered, kGroupMarker);
  if (a == 0) return Text();
  const std::size_t b = Find(lowered, kDivEnd, At(a));
  Text g = TextFromTo(page, At(a), At(b));
  const std::size_t tags = CountOf(g, u"<");
  if (tags != 0) {
    // The first repetition also drops every line feed and carriage return; the others find none left.
    const std::size_t first = Find(g, u"<");
    const std::size_t close = Find(g, u">", At(first));
    g = RemoveAll(g, TextFromTo(g, At(first), At(close)) + u">");
    g = RemoveTagsOutright(RemoveAll(RemoveAll(g, u"\n"), u"\r"), tags - 1);
  }
  if (g.empty() || g == u"Functions") g = UpperCase(Left(libraryKey, 1)) + TextFrom(libraryKey, 2) + u" Functions";
  return g;
}

// One table-of-contents entry E: its key and address, when the address is absolute.
void ReadSibling(TextView entry, std::map<Text, Text>& siblings) {
  const Text lowered = LowerCase(entry);
  const std::size_t h = Find(lowered, u"href=");
  if (h == 0) return;
  const std::size_t x = Find(lowered, u".aspx", At(h));
  const Text address = SecondField(TextFromTo(entry, At(h), At(x)), u"\"") + u".aspx";
  const Text title = RemoveTagsOutright(entry, CountOf(entry, u"<"));
  const Text key = Trim(LowerCase(FirstField(title, u"(")));
  if (LowerCase(Left(address, 4)) == u"http") siblings[key] = address;
}

// The entries are read in page order, each from the end of the previous one. An entry without "</DIV>"
// sends the next search back to the page's start, so the reading runs through the same entries again
// until its count is used up. A further full round assigns every key the address it already has; only
// the leftover partial round can change the map.
std::map<Text, Text> ReadSiblings(TextView page, TextView lowered) {
  KORVANE_HERE();
  std::map<Text, Text> siblings;
  const std::size_t count = CountOf(page, kSiblingMarkerExact);
  std::vector<std::pair<std::size_t, std::size_t>> round;  // start and end of each entry read
  std::size_t pos = 2;
  while (round.size() < count) {
    KORVANE_HERE();
    const std::size_t a = Find(lowered, kSiblingMarker, At(pos) - 1);
    if (a == 0) break;  // no entry is left: the remaining repetitions do nothing
    pos = Find(lowered, kDivEnd, At(a));
    round.emplace_back(a, pos);
    ReadSibling(TextFromTo(page, At(a), At(pos)), siblings);
    if (pos == 0) {
      const std::size_t partial = (count - round.size()) % round.size();
      for (std::size_t i = 0; i < partial; ++i) {
        ReadSibling(TextFromTo(page, At(round[i].first), At(round[i].second)), siblings);
      }
      break;
    }
  }
  return siblings;
}

}  // namespace

Text RemoveTagsOutright(TextView text, std::size_t repetitions) {
  KORVANE_HERE();
  const RepeatedRemoval pass{u"<", u">", u"", u"", u""};
  return ApplyRepeatedRemoval(text, pass, repetitions);
}

std::optional<ReferencePageData> ParseReferencePage(TextView page, TextView functionName,
                                                    TextView libraryKey) {
  const Text lowered = LowerCase(page);
  if (Find(lowered, u"toclevel") == 0) return std::nullopt;
  ReferencePageData data;
  ReadSyntax(page, lowered, functionName, data);
  data.Description = ExtractSectionLowered(page, lowered, u"<div class=\"clsServerSDKContent\">", u"<h2>",
                                           SectionMode::NoticeMode);
  if (data.Description.empty()) data.Description = u"This function is not implemented.";
  data.Group = ReadGroup(page, lowered, libraryKey);
  data.siblings = ReadSiblings(page, lowered);
  return data;
}

}  // namespace korvane
