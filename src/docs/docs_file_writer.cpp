// The documentation set writer. The layout is small and fixed, so the document is assembled as text.

#include <algorithm>
#include <string>
#include <string_view>

#include "docs/docs_file.h"
#include "docs/type_facts.h"

namespace korvane {
namespace {

// Code units that no XML 1.0 document can hold, not even as a character reference; they are dropped.
bool IsForbiddenInXml(char16_t c) {
  return (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF;
}

// Escapes for element content or a double-quoted attribute value. Line ends and tabs are escaped in
// attributes (a parser would turn them into blanks) and carriage returns everywhere (a parser would turn
// CR LF into LF).
void AppendEscaped(std::string& out, TextView value, bool attribute) {
  Text clean;
  clean.reserve(value.size());
  for (const char16_t c : value) {
    if (!IsForbiddenInXml(c)) clean += c;
  }
  const std::string utf8 = TextToUtf8(clean);
  for (const char c : utf8) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '\r': out += "&#13;"; break;
      case '"': out += attribute ? "&quot;" : "\""; break;
      case '\n': out += attribute ? "&#10;" : "\n"; break;
      case '\t': out += attribute ? "&#9;" : "\t"; break;
      default: out += c; break;
    }
  }
}

void AppendAttribute(std::string& out, std::string_view name, TextView value) {
  out += ' ';
  out += name;
  out += "=\"";
  AppendEscaped(out, value, true);
  out += '"';
}

void AppendFunction(std::string& out, const DocFunction& function) {
  out += "  <function";
  AppendAttribute(out, "name", function.name);
  AppendAttribute(out, "return", function.returnType);
  AppendAttribute(out, "header", function.header);
  AppendAttribute(out, "library", function.library);
  // The typed signature is written only when it is whole: a type for the return and every parameter.
  const bool typed = function.returnFacts.kind != TypeKind::kUnknown &&
                     function.parameterTypes.size() == function.parameters.size() &&
                     std::none_of(function.parameterTypes.begin(), function.parameterTypes.end(),
                                  [](const TypeFacts& facts) { return facts.kind == TypeKind::kUnknown; });
  if (typed && function.call != CallingConvention::kUnknown) {
    AppendAttribute(out, "call", Utf8ToText(CallingConventionText(function.call)));
  }
  if (typed) AppendAttribute(out, "return-type", Utf8ToText(TypeFactsText(function.returnFacts)));
  out += ">\n";
  for (std::size_t i = 0; i < function.parameters.size(); ++i) {
    const Text& parameter = function.parameters[i];
    out += "   <param";
    if (typed) AppendAttribute(out, "type", Utf8ToText(TypeFactsText(function.parameterTypes[i])));
    out += ">";
    AppendEscaped(out, parameter, false);
    out += "</param>\n";
  }
  if (!function.description.empty()) {
    out += "   <description>";
    AppendEscaped(out, Utf8ToText(function.description), false);
    out += "</description>\n";
  }
  out += "  </function>\n";
}

}  // namespace

std::string WriteDocumentationSet(const DocumentationSet& set) {
  std::string out;
  out.reserve(64 + FunctionCount(set) * 400);
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<";
  out += kDocsRootName;
  out += " version=\"" + std::to_string(kDocsFormatVersion) + "\">\n";
  for (const DocGroup& group : set.groups) {
    out += " <group";
    AppendAttribute(out, "title", group.title);
    // How many functions follow: a reader can make room for them at once.
    out += " functions=\"" + std::to_string(group.functions.size()) + "\"";
    out += ">\n";
    for (const DocFunction& function : group.functions) AppendFunction(out, function);
    out += " </group>\n";
  }
  for (const auto& [name, facts] : set.typedefs) {
    if (facts.kind == TypeKind::kUnknown) continue;
    out += " <typedef";
    AppendAttribute(out, "name", name);
    AppendAttribute(out, "type", Utf8ToText(TypeFactsText(facts)));
    out += "/>\n";
  }
  if (!set.cTypes.empty()) {
    // One element of plain text, which a reader keeps as it is: the lookup never pays for parsing it.
    out += " <types>";
    AppendEscaped(out, Utf8ToText(set.cTypes), false);
    out += "</types>\n";
  }
  out += "</";
  out += kDocsRootName;
  out += ">\n";
  return out;
}

}  // namespace korvane
