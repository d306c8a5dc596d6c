#include "helpers/import_grammar.h"

#include <regex>

namespace korvane::testing {
namespace {

const std::string kType = "(b|a|w|u|l|q|i|f|d|p-ascii|p-unicode)";
const std::string kIdentifier = "[A-Za-z_][A-Za-z0-9_]*";

std::optional<Declaration> ParseDeclaration(const std::string& line) {
  static const std::regex whole("  (" + kIdentifier + ")(\\." + kType + ")?\\(([^()]*)\\)( As \"([^\"]+)\")?");
  // 'name.type', 'name.type = 0' (an optional slot), '*name' (a pointer: no type of its own).
  static const std::regex parameter("(\\*" + kIdentifier + ")|(" + kIdentifier + ")\\." + kType + "( = 0)?");
  std::smatch match;
  if (!std::regex_match(line, match, whole)) return std::nullopt;
  Declaration declaration;
  declaration.name = match[1];
  declaration.returnType = match[3];
  declaration.symbol = match[6];
  const std::string list = match[4];
  std::size_t start = 0;
  while (!list.empty() && start <= list.size()) {
    std::size_t end = list.find(", ", start);
    if (end == std::string::npos) end = list.size();
    std::smatch item;
    const std::string text = list.substr(start, end - start);
    if (!std::regex_match(text, item, parameter)) return std::nullopt;
    if (item[1].matched) {
      declaration.parameters.push_back({item[1], "*", false});
    } else {
      declaration.parameters.push_back({item[2], item[3], item[4].matched});
    }
    start = end + 2;
  }
  return declaration;
}

}  // namespace

int StackBytes(const std::string& type) { return type == "q" || type == "d" ? 8 : 4; }

ParsedImportFile ParseImportFile(const std::string& bytes) {
  ParsedImportFile parsed;
  if (bytes.rfind("\xEF\xBB\xBF", 0) != 0) return parsed.error = "no byte-order mark", parsed;
  static const std::regex opening("(Import|ImportC) \"[^\"]+\"");
  std::size_t at = 3;
  int number = 0;
  bool inBlock = false;
  bool cBlock = false;
  while (at < bytes.size()) {
    ++number;
    const std::size_t end = bytes.find("\r\n", at);
    if (end == std::string::npos) return parsed.error = "line " + std::to_string(number) + ": no CR LF", parsed;
    const std::string line = bytes.substr(at, end - at);
    at = end + 2;
    const auto fail = [&](const std::string& why) { parsed.error = "line " + std::to_string(number) + ": " + why + ": " + line; };
    if (line.find('\r') != std::string::npos || line.find('\n') != std::string::npos) return fail("stray line end"), parsed;
    if (number == 1) {
      if (line.rfind("; ", 0) != 0) return fail("the first line is no comment"), parsed;
      continue;
    }
    if (!inBlock) {
      std::smatch match;
      if (line.empty() || line.rfind(";", 0) == 0) continue;
      if (!std::regex_match(line, match, opening)) return fail("neither a comment nor a block"), parsed;
      inBlock = true;
      cBlock = match[1] == "ImportC";
      continue;
    }
    if (line == "EndImport") {
      inBlock = false;
      continue;
    }
    if (line.rfind("  ;", 0) == 0) {
      parsed.comments.push_back(line.substr(2));
      continue;
    }
    auto declaration = ParseDeclaration(line);
    if (!declaration) return fail("not a declaration"), parsed;
    declaration->inImportC = cBlock;
    parsed.declarations.push_back(std::move(*declaration));
  }
  if (inBlock) parsed.error = "a block is not closed";
  return parsed;
}

}  // namespace korvane::testing
