// Markdown with inline HTML as plain text, for the description of a function page.

#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "docs/set_builder/reference_import.h"

namespace korvane {
namespace {

bool IsTagStart(std::string_view text, std::size_t at) {
  if (at + 1 >= text.size()) return false;
  const char next = text[at + 1];
  return (next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') || next == '/' || next == '!';
}

// One line of inline markup as text: tags dropped, links and images reduced to their text, emphasis
// and code marks dropped, the common entities decoded.
std::string InlineText(std::string_view line) {
  std::string out;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '<' && IsTagStart(line, i) && line.find('>', i) != std::string_view::npos) {
      i = line.find('>', i);
    } else if (c == ']' && i + 1 < line.size() && line[i + 1] == '(' && line.find(')', i) != std::string_view::npos) {
      i = line.find(')', i);
    } else if (c == '[' || c == '`' || (c == '!' && i + 1 < line.size() && line[i + 1] == '[')) {
      continue;
    } else if ((c == '*' || c == '_') && i + 1 < line.size() && line[i + 1] == c) {
      ++i;
    } else {
      out += c;
    }
  }
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kEntities = {{
      {"&nbsp;", " "}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&apos;", "'"}, {"&amp;", "&"}}};
  for (const auto& [entity, character] : kEntities) {
    for (std::size_t at = out.find(entity); at != std::string::npos; at = out.find(entity, at + character.size())) {
      out.replace(at, entity.size(), character);
    }
  }
  return out;
}

// Alert blocks ("> [!NOTE]") become their word followed by a colon.
std::string AlertWord(std::string_view line) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kAlerts = {{
      {"[!NOTE]", "Note:"}, {"[!WARNING]", "Warning:"}, {"[!TIP]", "Tip:"}, {"[!IMPORTANT]", "Important:"},
      {"[!CAUTION]", "Caution:"}}};
  for (const auto& [marker, word] : kAlerts) {
    if (line.starts_with(marker)) return std::string(word);
  }
  return {};
}

void AppendWords(std::string& paragraph, std::string_view words) {
  for (const char c : words) {
    const bool blank = c == ' ' || c == '\t';
    if (blank && (paragraph.empty() || paragraph.back() == ' ')) continue;
    paragraph += blank ? ' ' : c;
  }
}

void EndParagraph(std::string& out, std::string& paragraph) {
  while (!paragraph.empty() && paragraph.back() == ' ') paragraph.pop_back();
  if (paragraph.empty()) return;
  if (!out.empty()) out += '\n';
  out += paragraph;
  paragraph.clear();
}

}  // namespace

Text MarkdownToPlainText(std::string_view markdown) {
  std::string out;
  std::string paragraph;
  bool inCode = false;
  std::size_t start = 0;
  while (start <= markdown.size()) {
    std::size_t end = markdown.find('\n', start);
    if (end == std::string_view::npos) end = markdown.size();
    std::string_view line = markdown.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (line.starts_with("```")) {
      inCode = !inCode;
      EndParagraph(out, paragraph);
      continue;
    }
    if (inCode) continue;
    while (line.starts_with('>')) line = line.substr(line.find_first_not_of("> ") == std::string_view::npos
                                                         ? line.size()
                                                         : line.find_first_not_of("> "));
    const bool listItem = line.starts_with("- ") || line.starts_with("* ");
    const bool heading = line.starts_with('#');
    if (line.empty() || listItem || heading) EndParagraph(out, paragraph);
    if (heading) line = line.substr(std::min(line.find_first_not_of('#'), line.size()));
    if (listItem) line.remove_prefix(2);
    const std::string alert = AlertWord(line);
    AppendWords(paragraph, " ");
    AppendWords(paragraph, alert.empty() ? InlineText(line) : alert);
    if (heading) EndParagraph(out, paragraph);
  }
  EndParagraph(out, paragraph);
  return Utf8ToText(out);
}

}  // namespace korvane
