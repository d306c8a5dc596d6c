#include "importfile/ide_names.h"

#include <string_view>
#include <unordered_set>

namespace korvane {
namespace {

constexpr std::u16string_view kKeywords[] = {
#include "importfile/data/ide_keywords.inc"
};
constexpr std::u16string_view kCommands[] = {
#include "importfile/data/ide_commands.inc"
};
constexpr std::u16string_view kImports[] = {
#include "importfile/data/ide_imports.inc"
};

template <std::size_t N>
std::unordered_set<Text> KeySet(const std::u16string_view (&names)[N]) {
  std::unordered_set<Text> keys;
  keys.reserve(N);
  for (const std::u16string_view name : names) keys.insert(IdeNameKey(name));
  return keys;
}

}  // namespace

Text IdeNameKey(TextView name) {
  Text key(name);
  for (char16_t& c : key) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return key;
}

bool IsIdeKeyword(TextView name) {
  static const std::unordered_set<Text> keys = KeySet(kKeywords);
  return keys.count(IdeNameKey(name)) != 0;
}

bool IsIdeCommand(TextView name) {
  static const std::unordered_set<Text> keys = KeySet(kCommands);
  return keys.count(IdeNameKey(name)) != 0;
}

bool IsIdeImport(TextView name) {
  static const std::unordered_set<Text> keys = KeySet(kImports);
  return keys.count(IdeNameKey(name)) != 0;
}

}  // namespace korvane
