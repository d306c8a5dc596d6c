#include "docs/documentation_set.h"

namespace korvane {

void IndexDocumentationSet(DocumentationSet& set) {
  set.byName.clear();
  set.byName.reserve(FunctionCount(set));
  for (std::size_t g = 0; g < set.groups.size(); ++g) {
    const auto& functions = set.groups[g].functions;
    for (std::size_t f = 0; f < functions.size(); ++f) {
      set.byName.try_emplace(TextView(functions[f].name),
                             DocFunctionRef{static_cast<std::uint32_t>(g), static_cast<std::uint32_t>(f)});
    }
  }
}

std::optional<DocFunctionRef> FindFunction(const DocumentationSet& set, TextView name) {
  const auto found = set.byName.find(name);
  if (found == set.byName.end()) return std::nullopt;
  return found->second;
}

std::optional<DocFunctionRef> ResolveFunction(const DocumentationSet& set, TextView name) {
  if (name.empty()) return std::nullopt;
  if (auto exact = FindFunction(set, name)) return exact;
  if (auto wide = FindFunction(set, Text(name) + u"W")) return wide;
  return FindFunction(set, Text(name) + u"A");
}

std::size_t FunctionCount(const DocumentationSet& set) {
  std::size_t count = 0;
  for (const DocGroup& group : set.groups) count += group.functions.size();
  return count;
}

}  // namespace korvane
