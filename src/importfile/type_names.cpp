#include "importfile/type_names.h"

#include <algorithm>
#include <iterator>

#include "importfile/ide_names.h"
#include "text/text_ops.h"

namespace korvane {
namespace {

Text WithoutLeadingUnderscores(TextView name) {
  const std::size_t first = name.find_first_not_of(u'_');
  return first == TextView::npos ? Text(name) : Text(name.substr(first));
}

bool IsUpperCase(TextView name) {
  return std::none_of(name.begin(), name.end(), [](char16_t c) { return c >= u'a' && c <= u'z'; });
}

// Shorter first, then upper case first, then by code units: the same names always give the same choice.
bool Preferred(const Text& a, const Text& b) {
  if (IsUpperCase(a) != IsUpperCase(b)) return IsUpperCase(a);
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

}  // namespace

bool IsIdeKeywordName(TextView name) { return IsIdeKeyword(name); }

Text Joined(std::initializer_list<TextView> pieces) {
  Text joined;
  for (const TextView piece : pieces) joined.append(piece);
  return joined;
}

Text IdeIntegerType(std::uint32_t size, bool isSigned) {
  switch (size) {
    case 1: return isSigned ? u"b" : u"a";
    case 2: return isSigned ? u"w" : u"u";
    case 4: return u"l";
    case 8: return u"q";
    default: return {};
  }
}

Text IdeMemberName(TextView cName) {
  Text name(cName);
  while (IsIdeKeywordName(name)) name += u'_';
  return name;
}

std::map<Text, RecordNames> NameRecords(const CTypes& types) {
  std::map<Text, std::vector<Text>> typedefsByKey;
  std::map<Text, Text> tagByKey;
  for (const auto& [name, target] : types.names) {
    if (target.pointers != 0 || name.empty()) continue;
    if (target.tag) tagByKey.emplace(target.target, name);
    else if (name[0] != u'_') typedefsByKey[target.target].push_back(name);
  }
  std::map<Text, RecordNames> names;
  for (const auto& [key, tag] : tagByKey) {
    if (typedefsByKey.count(key) == 0) names.emplace(key, RecordNames{tag, true, {}});
  }
  for (auto& [key, candidates] : typedefsByKey) {
    std::sort(candidates.begin(), candidates.end(), Preferred);
    // 'tagWNDCLASSEXW' and '_WNDCLASSEXW' both name WNDCLASSEXW.
    Text stripped = WithoutLeadingUnderscores(key);
    if (stripped.starts_with(u"tag") && stripped.size() > 3) stripped.erase(0, 3);
    auto chosen = std::find_if(candidates.begin(), candidates.end(),
                               [&](const Text& c) { return LowerCase(c) == LowerCase(stripped) && IsUpperCase(c); });
    if (chosen == candidates.end()) chosen = candidates.begin();
    RecordNames entry{*chosen, false, {}};
    if (entry.name.size() > 1 && entry.name.back() == u'W') {
      const Text generic = entry.name.substr(0, entry.name.size() - 1);
      if (std::find(candidates.begin(), candidates.end(), generic) != candidates.end()) entry.others.push_back(generic);
    }
    names.emplace(key, std::move(entry));
  }
  return names;
}

}  // namespace korvane
