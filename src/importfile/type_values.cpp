// The constants and callback prototypes of the typed model.

#include "importfile/type_values.h"

#include <optional>
#include <set>
#include <unordered_map>

#include "importfile/type_names.h"
#include "text/text_ops.h"

namespace korvane {
namespace {

// The IDE's type of a parameter or return value of a callback; empty when it has none of that size.
Text ScalarType(const TypeFacts& facts, bool x86) {
  const TypeLayout& layout = x86 ? facts.x86 : facts.x64;
  const TypeLayout& other = x86 ? facts.x64 : facts.x86;
  switch (facts.kind) {
    case TypeKind::kPointer: return u"i";
    case TypeKind::kSigned: case TypeKind::kUnsigned: case TypeKind::kEnum:
      if (other.size != 0 && other.size != layout.size) return u"i";  // INT_PTR, WPARAM, LRESULT
      return IdeIntegerType(layout.size, facts.kind != TypeKind::kUnsigned);
    case TypeKind::kFloat: return layout.size == 4 ? u"f" : layout.size == 8 ? u"d" : Text();
    case TypeKind::kRecord: return x86 ? Text() : layout.size > 8 ? Text(u"i") : IdeIntegerType(layout.size, true);
    default: return {};
  }
}

// 'a', 'b', ... for parameters the typedef leaves unnamed.
Text ParameterName(const CCallback& callback, std::size_t index) {
  Text name = index < callback.parameterNames.size() ? callback.parameterNames[index] : Text();
  if (name.empty()) name = index < 26 ? Text(1, static_cast<char16_t>(u'a' + index)) : Joined({u"p", DecimalText(index + 1)});
  return IdeMemberName(name);
}

// The prototype of `callback` named `name`; nothing when a parameter has no equivalent (a structure by
// value on x86, a variadic callback).
std::optional<IdePrototype> Prototype(const CCallback& callback, const Text& name, bool x86) {
  IdePrototype prototype;
  prototype.name = name;
  prototype.c = x86 && callback.call == CallingConvention::kCdecl;
  if (callback.returned.kind != TypeKind::kVoid) {
    const Text type = ScalarType(callback.returned, x86);
    if (type.empty()) return std::nullopt;
    prototype.returned = Joined({u".", type});
  }
  std::set<Text> seen;
  for (std::size_t i = 0; i < callback.parameters.size(); ++i) {
    const Text type = ScalarType(callback.parameters[i], x86);
    if (type.empty()) return std::nullopt;
    Text parameter = ParameterName(callback, i);
    while (!seen.insert(LowerCase(parameter)).second) parameter += u'_';
    prototype.parameters.push_back(Joined({parameter, u".", type}));
  }
  return prototype;
}

Text HexText(std::uint64_t value) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  Text digits;
  do {
    digits.insert(digits.begin(), kDigits[value & 15]);
    value >>= 4;
  } while (value != 0);
  return Joined({u"$", digits});
}

// An unsigned value of its C type's width in hexadecimal, as the headers mostly write flags; a signed
// or small one in decimal.
std::optional<IdeConstant> Constant(const CConstant& c) {
  if (c.isString) return IdeConstant{c.name, Joined({u"\"", c.text, u"\""}), c.header};
  if (!c.isUnsigned) return IdeConstant{c.name, DecimalText(c.value), c.header};
  const std::uint64_t bits = static_cast<std::uint64_t>(c.value);
  const std::uint64_t value = c.size >= 8 ? bits : bits & ((std::uint64_t{1} << (8 * c.size)) - 1);
  return IdeConstant{c.name, value < 10 ? DecimalText(value) : HexText(value), c.header};
}

}  // namespace

void AddConstants(const std::map<Text, std::vector<const CConstant*>>& byHeader, const TypeSelection& selection,
                  TypeBlocks& blocks) {
  std::vector<const CConstant*> selected;
  for (const Text& header : std::set<Text>(selection.headers.begin(), selection.headers.end())) {
    const auto found = byHeader.find(header);
    if (found != byHeader.end()) selected.insert(selected.end(), found->second.begin(), found->second.end());
  }
  // A name two of the headers give different values (winsock.h's and winsock2.h's IP_ADD_MEMBERSHIP)
  // depends on which one a program includes: it is left out rather than guessed. The IDE ignores
  // letter case, so names are compared in lower case.
  std::unordered_map<Text, std::optional<IdeConstant>> byName;
  std::vector<Text> order;
  for (const CConstant* c : selected) {
    const auto constant = Constant(*c);
    if (!constant) continue;
    const auto [found, added] = byName.emplace(LowerCase(c->name), constant);
    if (added) {
      order.push_back(found->first);
    } else if (found->second && found->second->value != constant->value) {
      found->second.reset();
    }
  }
  for (const Text& key : order) {
    if (const auto& constant = byName.at(key)) blocks.constants.push_back(*constant);
  }
}

// The callback with both architectures' sizes in its facts, so that a pointer-sized integer (LPARAM)
// is told from a fixed one.
CCallback BothSizes(const CCallback& callback, const CCallback* other, bool x86) {
  CCallback both = callback;
  if (other == nullptr || other->parameters.size() != callback.parameters.size()) return both;
  auto take = [x86](TypeFacts& into, const TypeFacts& from) { (x86 ? into.x64 : into.x86) = x86 ? from.x64 : from.x86; };
  take(both.returned, other->returned);
  for (std::size_t i = 0; i < both.parameters.size(); ++i) take(both.parameters[i], other->parameters[i]);
  return both;
}

void AddPrototypes(const CTypes& types, bool x86, const TypeSelection& selection, TypeBlocks& blocks) {
  std::unordered_map<Text, const CCallback*> byName;
  std::unordered_map<Text, const CCallback*> otherByName;
  for (const CCallback& callback : (x86 ? types.x86 : types.x64).callbacks) byName.emplace(callback.name, &callback);
  for (const CCallback& callback : (x86 ? types.x64 : types.x86).callbacks) otherByName.emplace(callback.name, &callback);
  for (const Text& name : selection.callbacks) {
    const auto target = types.names.find(name);
    const Text& callbackName = target != types.names.end() ? target->second.target : name;
    const auto found = byName.find(callbackName);
    if (found == byName.end() || IsIdeKeywordName(name)) continue;
    const auto other = otherByName.find(callbackName);
    const CCallback both = BothSizes(*found->second, other != otherByName.end() ? other->second : nullptr, x86);
    if (const auto prototype = Prototype(both, name, x86)) blocks.prototypes.push_back(*prototype);
  }
}

}  // namespace korvane
