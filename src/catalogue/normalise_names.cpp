#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
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

// Equality by comparing memory: Text's own == compares char16_t a unit at a time.
bool SameUnits(const Text& a, const Text& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0;
}

// The first eight code units, a byte each, the first in the highest bits, missing ones as 0. A unit of
// 0xFF or more gives 0xFF and ends the key (the rest 0), so the key never contradicts UnitLess: when two
// keys differ, the units before the first difference are equal and below 0xFF. Only names with equal
// keys need comparing whole, and eight units tell most names of a library apart ('GetWindowTextA').
std::uint64_t LeadingUnits(const Text& name) {
  std::uint64_t key = 0;
  std::size_t i = 0;
  for (; i < 8 && i < name.size() && name[i] < 0xFF; ++i) key = (key << 8) | name[i];
  if (i < 8 && i < name.size()) {
    key = (key << 8) | 0xFF;
    ++i;
  }
  // An empty name has the smallest key; shifting by all 64 bits would be undefined.
  return i == 0 ? 0 : key << (8 * (8 - i));
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

// The position of `target` among the sorted names after position `from`, if it is there. The wide
// twin of an ANSI name usually lies a few names further on, so the search gallops out from `from`.
std::optional<std::size_t> FindAfter(const std::vector<Text>& names, std::size_t from, const Text& target) {
  std::size_t low = from + 1;  // every name before `low` is below the target
  std::size_t high = low;
  for (std::size_t step = 1; high < names.size() && UnitLess(names[high], target); step *= 2) {
    low = high + 1;
    high = low + step;
  }
  const auto last = names.begin() + static_cast<std::ptrdiff_t>(std::min(high + 1, names.size()));
  const auto found = std::lower_bound(names.begin() + static_cast<std::ptrdiff_t>(low), last, target, UnitLess);
  if (found == last || !SameUnits(*found, target)) return std::nullopt;
  return static_cast<std::size_t>(found - names.begin());
}

// An ANSI/wide pair 'xA'/'xW' among the names: its stem 'x' and the two names' positions.
struct Pair {
  Text stem;
  std::size_t ansi;
  std::size_t wide;
};

// Every pair among the sorted, unique names, sorted by stem. A name of one letter has no stem, so 'A'
// and 'W' alone do not produce a function without a name.
std::vector<Pair> FindPairs(const std::vector<Text>& names) {
  std::vector<Pair> pairs;
  Text probe;  // reused, so the look-up allocates nothing per name
  for (std::size_t i = 0; i < names.size(); ++i) {
    const Text& name = names[i];
    if (name.size() < 2 || name.back() != u'A') continue;
    probe.assign(name, 0, name.size() - 1);
    probe += u'W';
    if (const std::optional<std::size_t> wide = FindAfter(names, i, probe)) {
      pairs.push_back({name.substr(0, name.size() - 1), i, *wide});
    }
  }
  // 'xA' order is not stem order ('a@A' sorts before 'aA', 'a' before 'a@').
  std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) { return UnitLess(a.stem, b.stem); });
  return pairs;
}

ApiFunction Record(Text function, Text ansiUni) {
  ApiFunction record;
  record.Function = std::move(function);
  record.AnsiUni = std::move(ansiUni);
  return record;
}

}  // namespace

std::vector<ApiFunction> NormaliseNames(std::vector<Text> names, int& x86) {
  // A control character would break every one-line form of the name (the list output, the listing);
  // a name left empty names no function, and it must not decide the architecture either.
  const auto empty = [](const Text& name) { return name.empty(); };
  for (Text& name : names) std::erase_if(name, [](char16_t c) { return c < 0x20; });
  std::erase_if(names, empty);
  x86 = std::all_of(names.begin(), names.end(), HasX86Decoration) ? 1 : 0;
  for (Text& name : names) Undecorate(name, x86 != 0);
  std::erase_if(names, empty);
  SortByUnits(names);
  names.erase(std::unique(names.begin(), names.end(), SameUnits), names.end());

  const std::vector<Pair> pairs = FindPairs(names);
  // A name can be the ANSI variant of one pair and the generic entry of another ('FooA' with 'Foo'/'FooW'
  // and with 'FooAA'/'FooAW'): its own ANSI/wide pairing, the shorter stem, wins.
  std::vector<const Text*> variantOf(names.size(), nullptr);
  for (const Pair& pair : pairs) variantOf[pair.ansi] = variantOf[pair.wide] = &pair.stem;

  // The names and the stems merged in order. Each pair gains its generic entry when the library does not
  // list it itself; a listed generic entry is its own AnsiUni.
  std::vector<ApiFunction> functions;
  functions.reserve(names.size() + pairs.size());
  auto stem = pairs.begin();
  for (std::size_t i = 0; i < names.size(); ++i) {
    for (; stem != pairs.end() && UnitLess(stem->stem, names[i]); ++stem) functions.push_back(Record(stem->stem, stem->stem));
    const bool generic = stem != pairs.end() && SameUnits(stem->stem, names[i]);
    if (generic) ++stem;
    Text ansiUni = variantOf[i] != nullptr ? *variantOf[i] : generic ? names[i] : Text();
    functions.push_back(Record(std::move(names[i]), std::move(ansiUni)));
  }
  for (; stem != pairs.end(); ++stem) functions.push_back(Record(stem->stem, stem->stem));
  return functions;
}

void NormaliseLibraryNames(LibraryEntry& entry) {
  std::vector<Text> names;
  names.reserve(entry.functions.size());
  for (ApiFunction& record : entry.functions) names.push_back(std::move(record.Function));
  entry.functions = NormaliseNames(std::move(names), entry.x86);
}

}  // namespace korvane
