#include "helpers/ide_layout.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace korvane::testing {
namespace {

std::string Trimmed(const std::string& line) {
  const std::size_t first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const std::size_t last = line.find_last_not_of(" \t\r");
  return line.substr(first, last - first + 1);
}

std::uint32_t BasicSize(const std::string& type, bool x86, bool& known) {
  known = true;
  if (type == "b" || type == "a") return 1;
  if (type == "c" || type == "w" || type == "u") return 2;
  if (type == "l" || type == "f") return 4;
  if (type == "q" || type == "d") return 8;
  if (type == "i") return x86 ? 4 : 8;
  known = false;
  return 0;
}

struct Reader {
  bool x86;
  LaidFile file;
  std::map<std::string, const LaidStructure*> byName;  // lower-case names, as the IDE compares them
  LaidStructure current;
  bool inStructure = false;
  bool inUnion = false;
  std::uint32_t unionStart = 0;
  std::uint32_t unionWidest = 0;
  std::uint32_t offset = 0;
  std::string header;  // of the constants that follow

  static std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  }

  void Fail(const std::string& line) {
    if (file.error.empty()) file.error = line;
  }

  void Field(const std::string& code, const std::string& comment) {
    LaidField field;
    std::string rest = code;
    bool pointer = false;
    if (!rest.empty() && rest[0] == '*') pointer = true, rest.erase(0, 1);
    std::uint32_t count = 1;
    if (const std::size_t open = rest.find('['); open != std::string::npos) {
      count = static_cast<std::uint32_t>(std::stoul(rest.substr(open + 1)));
      rest.resize(open);
    }
    const std::size_t dot = rest.find('.');
    field.name = rest.substr(0, dot);
    std::uint32_t size = 0;
    if (pointer) {
      size = x86 ? 4 : 8;
    } else {
      if (dot == std::string::npos) return Fail(code);
      const std::string type = rest.substr(dot + 1);
      bool known = false;
      size = BasicSize(type, x86, known);
      if (!known) {
        const auto nested = byName.find(Lower(type));
        if (nested == byName.end()) return Fail(code + ": unknown structure");
        size = nested->second->size;
      }
    }
    field.size = size * count;
    field.cName = field.name;
    if (const std::size_t c = comment.find("C: "); c != std::string::npos) field.cName = Trimmed(comment.substr(c + 3));
    field.bitFields = comment.find("bit-fields") != std::string::npos;
    field.padding = (field.name.rfind("pad", 0) == 0 && field.name.size() > 3 &&
                     std::isdigit(static_cast<unsigned char>(field.name[3]))) ||
                    comment.find("anonymous C member") != std::string::npos;
    field.offset = inUnion ? unionStart : offset;
    if (inUnion) {
      unionWidest = std::max(unionWidest, field.size);
    } else {
      offset += field.size;
    }
    current.fields.push_back(field);
  }

  void Line(const std::string& raw) {
    std::string line = Trimmed(raw);
    std::string comment;
    if (const std::size_t semicolon = line.find(';'); semicolon != std::string::npos && line[0] != '#') {
      comment = line.substr(semicolon + 1);
      line = Trimmed(line.substr(0, semicolon));
    }
    if (line.empty() && !inStructure && Trimmed(comment).ends_with(".h")) header = Trimmed(comment);
    if (line.empty() || line.rfind("CompilerIf", 0) == 0 || line == "CompilerEndIf") return;
    if (line.rfind("Structure ", 0) == 0) {
      current = LaidStructure{};
      offset = 0;
      std::string head = line.substr(10);
      const std::size_t extends = head.find(" Extends ");
      current.name = Trimmed(head.substr(0, extends));
      current.cNamed = comment.find("member") == std::string::npos;
      current.cSpelling = current.name;
      if (const std::size_t bytes = comment.find("bytes, "); bytes != std::string::npos) {
        current.header = Trimmed(comment.substr(bytes + 7, comment.find(',', bytes + 7) - bytes - 7));
      }
      if (const std::size_t c = comment.find("C: "); c != std::string::npos) current.cSpelling = Trimmed(comment.substr(c + 3));
      if (extends != std::string::npos) {
        std::string base = Trimmed(head.substr(extends + 9));
        const bool closed = base.find(": EndStructure") != std::string::npos;
        base = Trimmed(base.substr(0, base.find(':')));
        const auto found = byName.find(Lower(base));
        if (found == byName.end()) return Fail(line);
        current.fields = found->second->fields;
        offset = found->second->size;
        if (closed) return End();
      }
      inStructure = true;
      return;
    }
    if (!inStructure) {
      if (line[0] == '#') return Constant(line);
      if (line.rfind("Prototype", 0) == 0) {
        const std::size_t space = line.find(' ');
        file.prototypes.push_back(line.substr(space + 1, line.find('(') - space - 1));
        return;
      }
      return Fail(line);
    }
    if (line == "StructureUnion") {
      inUnion = true, unionStart = offset, unionWidest = 0;
    } else if (line == "EndStructureUnion") {
      inUnion = false, offset = unionStart + unionWidest;
    } else if (line == "EndStructure") {
      End();
    } else {
      Field(line, comment);
    }
  }

  void End() {
    current.size = offset;
    inStructure = false;
    file.structures.push_back(current);
    byName[Lower(current.name)] = &file.structures.back();
  }

  void Constant(const std::string& line) {
    const std::size_t equals = line.find(" = ");
    if (equals == std::string::npos) return Fail(line);
    LaidConstant constant;
    constant.header = header;
    constant.name = line.substr(1, equals - 1);
    const std::string value = line.substr(equals + 3);
    if (value[0] == '"') {
      constant.isString = true;
      constant.text = value.substr(1, value.size() - 2);
    } else if (value[0] == '$') {
      constant.value = static_cast<long long>(std::stoull(value.substr(1), nullptr, 16));
    } else {
      constant.value = std::stoll(value);
    }
    file.constants.push_back(constant);
  }
};

}  // namespace

LaidFile LayOutIdeFile(const std::string& text, bool x86) {
  Reader reader{x86, {}, {}, {}, false, false, 0, 0, 0, {}};
  reader.file.structures.reserve(text.size() / 16 + 1);  // byName points into it
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) reader.Line(line);
  return reader.file;
}

}  // namespace korvane::testing
