#include <algorithm>
#include <vector>

#include "catalogue/symbol_names.h"

namespace korvane {
namespace {

bool HasX86Decoration(const Text& name) { return !name.empty() && (name.front() == u'_' || name.front() == u'@'); }

// '_MessageBoxA@16' -> 'MessageBoxA' for x86 libraries; a leading "@" (fastcall) becomes "_" first,
// whatever the architecture. Works in place: no allocation per name.
void Undecorate(Text& name, bool x86) {
  if (!name.empty() && name.front() == u'@') name.front() = u'_';
  if (!x86) return;
  name.resize(std::min(name.size(), name.find(u'@')));
  if (!name.empty()) name.erase(0, 1);
}

bool Contains(const std::vector<Text>& sorted, const Text& name) {
  return std::binary_search(sorted.begin(), sorted.end(), name);
}

// The stems 'x' of every pair 'xA'/'xW' among the sorted, unique names, sorted. A name of one letter
// has no stem, so 'A' and 'W' alone do not produce a function without a name.
std::vector<Text> PairStems(const std::vector<Text>& names) {
  std::vector<Text> stems;
  Text probe;  // reused, so the look-up allocates nothing per name
  for (const Text& name : names) {
    if (name.size() < 2 || name.back() != u'A') continue;
    probe.assign(name, 0, name.size() - 1);
    probe += u'W';
    if (Contains(names, probe)) stems.push_back(name.substr(0, name.size() - 1));
  }
  std::sort(stems.begin(), stems.end());
  return stems;
}

// A name can be the ANSI variant of one pair and the generic entry of another ('FooA' with 'Foo'/'FooW'
// and with 'FooAA'/'FooAW'): its own ANSI/wide pairing, the shorter stem, wins.
Text AnsiUniOf(const Text& name, const std::vector<Text>& stems, Text& probe) {
  if (name.size() >= 2 && (name.back() == u'A' || name.back() == u'W')) {
    probe.assign(name, 0, name.size() - 1);
    if (Contains(stems, probe)) return probe;
  }
  return Contains(stems, name) ? name : Text();
}

}  // namespace

std::vector<ApiFunction> NormaliseNames(std::vector<Text> names, int& x86) {
  x86 = std::all_of(names.begin(), names.end(), HasX86Decoration) ? 1 : 0;
  for (Text& name : names) Undecorate(name, x86 != 0);
  // Code-unit order: char16_t is unsigned, so the string comparison is by UTF-16 code unit.
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());

  const std::vector<Text> stems = PairStems(names);
  // Each pair gains its generic entry when the library does not list it itself.
  const std::size_t listed = names.size();
  for (const Text& stem : stems) {
    if (!std::binary_search(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(listed), stem)) {
      names.push_back(stem);
    }
  }
  std::inplace_merge(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(listed), names.end());

  std::vector<ApiFunction> functions(names.size());
  Text probe;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (!stems.empty()) functions[i].AnsiUni = AnsiUniOf(names[i], stems, probe);
    functions[i].Function = std::move(names[i]);
  }
  return functions;
}

void NormaliseLibraryNames(LibraryEntry& entry) {
  std::vector<Text> names;
  names.reserve(entry.functions.size());
  for (ApiFunction& record : entry.functions) names.push_back(std::move(record.Function));
  entry.functions = NormaliseNames(std::move(names), entry.x86);
}

}  // namespace korvane
