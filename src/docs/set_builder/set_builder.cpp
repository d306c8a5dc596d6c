#include "docs/set_builder/set_builder.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_set>

namespace korvane {
namespace {

bool IsIdentifierCharacter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
}

// The annotation of the page's parameter for header parameter `index`.
Text AnnotationFor(const std::vector<Text>& parameters, std::size_t index,
                   const std::vector<ReferenceParameter>& documented) {
  const Text name = ParameterName(parameters[index]);
  for (const ReferenceParameter& parameter : documented) {
    if (!name.empty() && parameter.name == name) return parameter.annotation;
  }
  if (parameters.size() == documented.size()) return documented[index].annotation;
  return {};
}

DocFunction Combine(const HeaderPrototype& prototype, const ReferenceFunction* page) {
  DocFunction function{prototype.name, prototype.returnType, prototype.parameters, {}, prototype.header, {},
                       prototype.call, prototype.returnFacts, prototype.parameterTypes};
  if (page == nullptr) return function;
  function.description = TextToUtf8(page->description);
  function.library = page->library;
  for (std::size_t i = 0; i < function.parameters.size(); ++i) {
    const Text annotation = AnnotationFor(prototype.parameters, i, page->parameters);
    if (!annotation.empty()) function.parameters[i] = annotation + u" " + function.parameters[i];
  }
  return function;
}

}  // namespace

Text ParameterName(TextView spelling) {
  // A function pointer names itself inside the first parentheses: 'int (*cb)(int)'.
  if (const auto open = spelling.find(u"(*"); open != TextView::npos) {
    const auto close = spelling.find(u')', open);
    if (close == TextView::npos) return {};
    const TextView inside = spelling.substr(open + 2, close - open - 2);
    const auto first = inside.find_first_not_of(u" ");
    return first == TextView::npos ? Text() : Text(inside.substr(first));
  }
  if (const auto bracket = spelling.find(u'['); bracket != TextView::npos) spelling = spelling.substr(0, bracket);
  std::size_t end = spelling.size();
  while (end > 0 && spelling[end - 1] == u' ') --end;
  std::size_t start = end;
  while (start > 0 && IsIdentifierCharacter(spelling[start - 1])) --start;
  // A lone word is a type without a name ('LPCWSTR').
  const TextView before = spelling.substr(0, start);
  if (before.find_first_not_of(u" ") == TextView::npos) return {};
  return Text(spelling.substr(start, end - start));
}

std::string SetTypesText(const HeaderScan& scan) {
  if (scan.types.x64.records.empty() && scan.types.x64.constants.empty()) return {};
  CTypes types = scan.types;
  std::vector<Text> spellings;
  std::vector<Text> returnTypes;
  std::set<Text> headers = {kWinntHeader};
  for (const HeaderPrototype& prototype : scan.prototypes) {
    spellings.insert(spellings.end(), prototype.parameters.begin(), prototype.parameters.end());
    returnTypes.push_back(prototype.returnType);
    headers.insert(prototype.header);
  }
  KeepNeededTypes(types, spellings, returnTypes, headers);
  return WriteCTypes(types);
}

DocumentationSet BuildDocumentationSet(const std::vector<HeaderPrototype>& prototypes,
                                       const ReferenceImport& reference,
                                       const std::map<Text, TypeFacts>& typedefs) {
  std::map<Text, std::vector<DocFunction>> groups;
  std::unordered_set<Text> seen;
  for (const HeaderPrototype& prototype : prototypes) {
    if (prototype.name.empty() || !seen.insert(prototype.name).second) continue;
    const auto page = reference.byName.find(prototype.name);
    const ReferenceFunction* found = page != reference.byName.end() ? &page->second : nullptr;
    DocFunction function = Combine(prototype, found);
    const Text title = found != nullptr && !found->group.empty() ? found->group : prototype.header;
    groups[title].push_back(std::move(function));
  }
  DocumentationSet set;
  set.typedefs = typedefs;
  for (auto& [title, functions] : groups) {
    std::sort(functions.begin(), functions.end(),
              [](const DocFunction& a, const DocFunction& b) { return a.name < b.name; });
    set.groups.push_back(DocGroup{title, std::move(functions)});
  }
  IndexDocumentationSet(set);
  return set;
}

}  // namespace korvane
