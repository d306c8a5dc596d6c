#include <algorithm>
#include <unordered_map>
#include <vector>

#include "catalogue/symbol_names.h"

namespace korvane {
namespace {

bool HasX86Decoration(const ApiFunction& record) {
  return !record.Function.empty() && (record.Function.front() == u'_' || record.Function.front() == u'@');
}

// '_MessageBoxA@16' -> 'MessageBoxA' for x86 libraries; a leading "@" (fastcall) becomes "_" first,
// whatever the architecture.
Text Undecorate(Text name, bool x86) {
  if (!name.empty() && name.front() == u'@') name.front() = u'_';
  if (!x86) return name;
  name.resize(std::min(name.size(), name.find(u'@')));
  if (!name.empty()) name.erase(0, 1);
  return name;
}

// Name set: function name -> AnsiUni. Hash-keyed so de-duplication and the pairing look-ups stay
// constant-time.
using NameSet = std::unordered_map<Text, Text>;

// For every 'xA' whose 'xW' is also present: both, and the generic 'x' (added when missing), get
// AnsiUni 'x'. Visiting only the names ending in "A" finds every pair exactly once. A name of one
// letter has no stem, so 'A' and 'W' alone do not produce a function without a name.
void PairAnsiAndWide(NameSet& names) {
  std::vector<Text> stems;
  for (const auto& [name, ansiUni] : names) {
    if (name.size() < 2 || name.back() != u'A') continue;
    Text stem = name.substr(0, name.size() - 1);
    if (names.contains(stem + u"W")) stems.push_back(std::move(stem));
  }
  // A name can be both the ANSI variant of one pair and the generic entry of another ('FooA' with
  // 'Foo'/'FooW' and with 'FooAA'/'FooAW'). Longer stems go first so that the shorter stem, the name's
  // own ANSI/wide pairing, is the one it keeps, whatever the hash order.
  std::sort(stems.begin(), stems.end(),
            [](const Text& a, const Text& b) { return a.size() != b.size() ? a.size() > b.size() : a < b; });
  for (const Text& stem : stems) {
    names[stem] = stem;
    names[stem + u"A"] = stem;
    names[stem + u"W"] = stem;
  }
}

}  // namespace

void NormaliseLibraryNames(LibraryEntry& entry) {
  const auto decorated = std::count_if(entry.functions.begin(), entry.functions.end(), HasX86Decoration);
  entry.x86 = static_cast<std::size_t>(decorated) == entry.functions.size() ? 1 : 0;

  NameSet names;
  names.reserve(entry.functions.size() * 2);
  for (ApiFunction& record : entry.functions) {
    names.try_emplace(Undecorate(std::move(record.Function), entry.x86 != 0));
  }
  PairAnsiAndWide(names);

  // Sort pointers to the set's entries rather than whole records: a record is seven texts wide.
  // Code-unit order: char16_t is unsigned, so the string comparison is by UTF-16 code unit.
  std::vector<NameSet::value_type*> sorted;
  sorted.reserve(names.size());
  for (auto& name : names) sorted.push_back(&name);
  std::sort(sorted.begin(), sorted.end(), [](const auto* a, const auto* b) { return a->first < b->first; });

  entry.functions.clear();
  entry.functions.resize(sorted.size());
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    entry.functions[i].Function = sorted[i]->first;
    entry.functions[i].AnsiUni = std::move(sorted[i]->second);
  }
}

}  // namespace korvane
