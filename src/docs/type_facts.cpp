#include "docs/type_facts.h"

#include <array>
#include <utility>

namespace korvane {
namespace {

struct KindName {
  TypeKind kind;
  PointeeText text;
  std::string_view name;
};

constexpr std::array<KindName, 10> kKindNames = {{
    {TypeKind::kVoid, PointeeText::kNone, "void"},
    {TypeKind::kSigned, PointeeText::kNone, "signed"},
    {TypeKind::kUnsigned, PointeeText::kNone, "unsigned"},
    {TypeKind::kFloat, PointeeText::kNone, "float"},
    {TypeKind::kPointer, PointeeText::kNone, "pointer"},
    {TypeKind::kPointer, PointeeText::kChar, "pointer-char"},
    {TypeKind::kPointer, PointeeText::kWideChar, "pointer-wchar"},
    {TypeKind::kEnum, PointeeText::kNone, "enum"},
    {TypeKind::kRecord, PointeeText::kNone, "record"},
    {TypeKind::kVariadic, PointeeText::kNone, "variadic"},
}};

// Sizes stay small; anything above this is not a type a function takes.
constexpr std::uint32_t kLargestSize = 1u << 20;

// "<size>/<align>" up to the next blank or the end.
std::optional<TypeLayout> ParseLayout(std::string_view& rest) {
  const std::size_t end = rest.find(' ');
  const std::string_view field = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  const std::size_t slash = field.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  std::uint32_t numbers[2] = {0, 0};
  const std::string_view parts[2] = {field.substr(0, slash), field.substr(slash + 1)};
  for (int i = 0; i < 2; ++i) {
    if (parts[i].empty()) return std::nullopt;
    for (const char c : parts[i]) {
      if (c < '0' || c > '9') return std::nullopt;
      numbers[i] = numbers[i] * 10 + static_cast<std::uint32_t>(c - '0');
      // Checked after each digit, so the cap is exact and the next digit cannot overflow.
      if (numbers[i] > kLargestSize) return std::nullopt;
    }
  }
  return TypeLayout{numbers[0], numbers[1]};
}

}  // namespace

std::string TypeFactsText(const TypeFacts& facts) {
  for (const KindName& entry : kKindNames) {
    if (entry.kind != facts.kind || entry.text != facts.text) continue;
    return std::string(entry.name) + " " + std::to_string(facts.x86.size) + "/" + std::to_string(facts.x86.align) +
           " " + std::to_string(facts.x64.size) + "/" + std::to_string(facts.x64.align);
  }
  return {};
}

std::optional<TypeFacts> ParseTypeFacts(std::string_view text) {
  const std::size_t blank = text.find(' ');
  if (blank == std::string_view::npos) return std::nullopt;
  const std::string_view name = text.substr(0, blank);
  std::string_view rest = text.substr(blank + 1);
  TypeFacts facts;
  bool known = false;
  for (const KindName& entry : kKindNames) {
    if (entry.name == name) {
      facts.kind = entry.kind;
      facts.text = entry.text;
      known = true;
    }
  }
  if (!known) return std::nullopt;
  const auto x86 = ParseLayout(rest);
  const auto x64 = x86 ? ParseLayout(rest) : std::nullopt;
  if (!x64 || !rest.empty()) return std::nullopt;
  facts.x86 = *x86;
  facts.x64 = *x64;
  return facts;
}

std::string_view CallingConventionText(CallingConvention call) {
  switch (call) {
    case CallingConvention::kStdcall: return "stdcall";
    case CallingConvention::kCdecl: return "cdecl";
    case CallingConvention::kFastcall: return "fastcall";
    case CallingConvention::kVectorcall: return "vectorcall";
    case CallingConvention::kUnknown: break;
  }
  return {};
}

CallingConvention ParseCallingConvention(std::string_view text) {
  if (text == "stdcall") return CallingConvention::kStdcall;
  if (text == "cdecl") return CallingConvention::kCdecl;
  if (text == "fastcall") return CallingConvention::kFastcall;
  if (text == "vectorcall") return CallingConvention::kVectorcall;
  return CallingConvention::kUnknown;
}

}  // namespace korvane
