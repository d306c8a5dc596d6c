#include <algorithm>
#include <cstdint>
#include <cstring>
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

// Code-unit order, as Text's own operator< (char16_t is unsigned), but faster: the common beginning
// of two names (often most of them: 'GetWindowTextA', 'GetWindowTextW') is passed over four code units
// at a time instead of one.
bool UnitLess(const Text& a, const Text& b) {
  const std::size_t common = std::min(a.size(), b.size());
  const char16_t* left = a.data();
  const char16_t* right = b.data();
  std::size_t i = 0;
  for (; i + 4 <= common; i += 4) {
    std::uint64_t x = 0, y = 0;
    std::memcpy(&x, left + i, sizeof x);
    std::memcpy(&y, right + i, sizeof y);
    if (x != y) break;
  }
  for (; i < common; ++i) {
    if (left[i] != right[i]) return left[i] < right[i];
  }
  return a.size() < b.size();
}

bool Contains(const std::vector<Text>& sorted, const Text& name) {
  return std::binary_search(sorted.begin(), sorted.end(), name, UnitLess);
}

// The first four code units, the first in the highest bits, missing ones as 0: a key whose order never
// contradicts UnitLess, so only names with equal keys need comparing whole.
std::uint64_t LeadingUnits(const Text& name) {
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < 4; ++i) key = (key << 16) | (i < name.size() ? name[i] : 0u);
  return key;
}

// Sorts by code unit. Directories often list their names in order already (a linker sorts the second
// linker member); otherwise small records of key and position are sorted, not the texts themselves.
void SortByUnits(std::vector<Text>& names) {
  if (std::is_sorted(names.begin(), names.end(), UnitLess)) return;
  struct Keyed {
    std::uint64_t key;
    std::size_t index;
  };
  std::vector<Keyed> order(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) order[i] = {LeadingUnits(names[i]), i};
  std::sort(order.begin(), order.end(), [&names](const Keyed& a, const Keyed& b) {
    return a.key != b.key ? a.key < b.key : UnitLess(names[a.index], names[b.index]);
  });
  std::vector<Text> sorted;
  sorted.reserve(names.size());
  for (const Keyed& entry : order) sorted.push_back(std::move(names[entry.index]));
  names = std::move(sorted);
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
  SortByUnits(stems);
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
  SortByUnits(names);
  names.erase(std::unique(names.begin(), names.end()), names.end());

  const std::vector<Text> stems = PairStems(names);
  // Each pair gains its generic entry when the library does not list it itself.
  const std::size_t listed = names.size();
  for (const Text& stem : stems) {
    if (!std::binary_search(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(listed), stem, UnitLess)) {
      names.push_back(stem);
    }
  }
  std::inplace_merge(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(listed), names.end(), UnitLess);

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
