#include "importfile/import_file.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "importfile/parameter_text.h"
#include "importfile/type_model.h"

namespace korvane {
namespace {

// The IDE's keywords, which cannot name a parameter.
constexpr std::u16string_view kKeywords[] = {
    u"and", u"array", u"break", u"case", u"continue", u"data", u"debug", u"declare", u"default",
    u"define", u"dim", u"else", u"elseif", u"end", u"endif", u"enumeration", u"for", u"foreach",
    u"forever", u"global", u"gosub", u"goto", u"if", u"import", u"interface", u"list", u"macro", u"map",
    u"module", u"newlist", u"newmap", u"next", u"not", u"or", u"procedure", u"procedurereturn",
    u"protected", u"prototype", u"read", u"redim", u"repeat", u"restore", u"return", u"select",
    u"shared", u"static", u"step", u"structure", u"swap", u"threaded", u"to", u"until", u"wend",
    u"while", u"with", u"xor"};

Text Lower(TextView text) {
  Text out(text);
  for (char16_t& c : out) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return out;
}

bool IsKeyword(TextView name) {
  const Text lower = Lower(name);
  return std::find(std::begin(kKeywords), std::end(kKeywords), lower) != std::end(kKeywords);
}

bool IsIdentifier(TextView name) {
  if (name.empty() || (name[0] >= u'0' && name[0] <= u'9')) return false;
  return std::all_of(name.begin(), name.end(), [](char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
  });
}

// 'a' for the first parameter, 'b' for the second ...; past 'z', 'p27', 'p28' ...
Text PositionName(std::size_t index) {
  if (index < 26) return Text(1, static_cast<char16_t>(u'a' + index));
  // Appended, not `u"p" + ...`: GCC 12 at -O3 warns about a literal + string (a false positive).
  Text name = u"p";
  name += DecimalText(index + 1);
  return name;
}

// What one function resolves to before it is written.
struct Resolved {
  CallingConvention call = CallingConvention::kStdcall;
  TypeFacts returned;
  std::vector<TypeFacts> types;
  std::vector<Text> names;  // as the text gives them; empty where it gives none
  Text problem;             // why it cannot be declared exactly; empty when it can
};

// The library's symbol for `name`, when the library is at hand and has one.
const Text* LibrarySymbol(const ImportFileRequest& request, const Text& name) {
  if (request.symbols == nullptr) return nullptr;
  const auto found = request.symbols->find(name);
  return found != request.symbols->end() ? &found->second : nullptr;
}

TextFlavour FlavourOf(const ApiFunction& record, const Text& imported) {
  const bool pair = !record.AnsiUni.empty();
  return pair && !imported.empty() && imported.back() == u'W' ? TextFlavour::kWide : TextFlavour::kAnsi;
}

// The typed signature the set records for `imported`, when it has one for as many parameters as the
// text names; otherwise the text's own types, resolved through the set's typedefs and the built-in table.
Resolved Resolve(const ImportFileRequest& request, const ApiFunction& record, const Text& imported) {
  Resolved resolved;
  const std::vector<TextParameter> written = SplitParameterText(record.Parameters);
  for (const TextParameter& parameter : written) resolved.names.push_back(parameter.name);
  const DocFunction* doc = nullptr;
  if (request.set != nullptr) {
    if (const auto ref = FindFunction(*request.set, imported)) doc = &FunctionAt(*request.set, *ref);
  }
  const bool typed = doc != nullptr && doc->returnFacts.kind != TypeKind::kUnknown &&
                     doc->parameterTypes.size() == doc->parameters.size() &&
                     doc->parameterTypes.size() == written.size();
  const Text* symbol = request.library->x86 != 0 ? LibrarySymbol(request, imported) : nullptr;
  if (typed && doc->call != CallingConvention::kUnknown) {
    resolved.call = doc->call;
  } else if (symbol != nullptr) {
    resolved.call = symbol->find(u'@') != Text::npos ? CallingConvention::kStdcall : CallingConvention::kCdecl;
  }
  if (typed) {
    resolved.returned = doc->returnFacts;
    resolved.types = doc->parameterTypes;
    return resolved;
  }
  const std::map<Text, TypeFacts>* typedefs = request.set != nullptr ? &request.set->typedefs : nullptr;
  const TextFlavour flavour = FlavourOf(record, imported);
  const auto returned = ResolveTypeText(record.Return, typedefs, flavour);
  if (!returned) resolved.problem = u"the return type '" + record.Return + u"' cannot be resolved";
  resolved.returned = returned.value_or(TypeFacts{});
  for (std::size_t i = 0; i < written.size(); ++i) {
    const auto type = ResolveTypeText(written[i].type, typedefs, flavour);
    if (!type && resolved.problem.empty()) {
      const Text name = written[i].name.empty() ? PositionName(i) : written[i].name;
      resolved.problem = u"the type '" + written[i].type + u"' of parameter " + name + u" cannot be resolved";
    }
    resolved.types.push_back(type.value_or(TypeFacts{}));
  }
  return resolved;
}

std::uint32_t SizeOn(const TypeFacts& facts, bool x86) {
  const std::uint32_t size = x86 ? facts.x86.size : facts.x64.size;
  return size != 0 ? size : (x86 ? facts.x64.size : facts.x86.size);
}

// The IDE's type of an integer, float or pointer; empty when it has none of that size.
Text ScalarSuffix(const TypeFacts& facts, bool x86) {
  const bool integer = facts.kind == TypeKind::kSigned || facts.kind == TypeKind::kUnsigned || facts.kind == TypeKind::kEnum;
  if (facts.kind == TypeKind::kPointer) {
    if (facts.text == PointeeText::kChar) return u"p-ascii";
    return facts.text == PointeeText::kWideChar ? u"p-unicode" : u"i";
  }
  // Pointer-sized integers (INT_PTR, SIZE_T, WPARAM, LRESULT ...) follow the pointer's size.
  if (integer && facts.x86.size == 4 && facts.x64.size == 8) return u"i";
  const std::uint32_t size = SizeOn(facts, x86);
  if (integer) {
    const bool isSigned = facts.kind != TypeKind::kUnsigned;
    switch (size) {
      case 1: return isSigned ? u"b" : u"a";
      case 2: return isSigned ? u"w" : u"u";
      case 4: return u"l";
      case 8: return u"q";
      default: return {};
    }
  }
  if (facts.kind == TypeKind::kFloat) return size == 4 ? u"f" : size == 8 ? u"d" : Text();
  return {};
}

// A structure of 1, 2, 4 or 8 bytes travels in a register, as the integer of its size.
Text RecordRegisterSuffix(std::uint32_t size) {
  switch (size) {
    case 1: return u"b";
    case 2: return u"w";
    case 4: return u"l";
    case 8: return u"q";
    default: return {};
  }
}

struct Piece {
  Text name;
  Text suffix;
};

// The declaration's parameters for `resolved`, or the reason there is none.
std::optional<std::vector<Piece>> Pieces(const Resolved& resolved, bool x86, Text& problem) {
  std::vector<Piece> pieces;
  for (std::size_t i = 0; i < resolved.types.size(); ++i) {
    const TypeFacts& facts = resolved.types[i];
    const Text& written = resolved.names[i];
    const Text name = IsIdentifier(written) ? written : PositionName(i);
    if (facts.kind == TypeKind::kVariadic) return problem = u"variadic", std::nullopt;
    if (facts.kind == TypeKind::kRecord) {
      const std::uint32_t size = SizeOn(facts, x86);
      if (size == 0) return problem = u"parameter " + name + u" is a structure of unknown size", std::nullopt;
      if (!x86) {
        // Larger structures are passed by the address of a copy.
        const Text suffix = size > 8 ? Text(u"i") : RecordRegisterSuffix(size);
        if (suffix.empty()) {
          return problem = u"parameter " + name + u" is a structure of " + DecimalText(size) + u" bytes passed by value",
                 std::nullopt;
        }
        pieces.push_back({name, suffix});
        continue;
      }
      // On the x86 stack a structure takes its size rounded up to 4 bytes: one 32-bit field per 4.
      const std::uint32_t slots = (size + 3) / 4;
      for (std::uint32_t slot = 1; slot <= slots; ++slot) {
        pieces.push_back({slots == 1 ? name : name + u"_" + DecimalText(slot), u"l"});
      }
      continue;
    }
    const Text suffix = ScalarSuffix(facts, x86);
    if (suffix.empty()) {
      return problem = u"parameter " + name + u" has a type without an equivalent of its size", std::nullopt;
    }
    pieces.push_back({name, suffix});
  }
  // Keywords and repeated names (the IDE ignores letter case) get a trailing underscore.
  std::unordered_set<Text> seen;
  for (Piece& piece : pieces) {
    while (IsKeyword(piece.name) || seen.count(Lower(piece.name)) != 0) piece.name += u'_';
    seen.insert(Lower(piece.name));
  }
  return pieces;
}

// The return type's suffix with its dot ('.l'), empty for void; nothing with `problem` set when the
// IDE has no equivalent.
std::optional<Text> ReturnSuffix(const TypeFacts& facts, bool x86, Text& problem) {
  if (facts.kind == TypeKind::kVoid) return Text();
  if (facts.kind == TypeKind::kPointer) return Text(u".i");
  if (facts.kind == TypeKind::kRecord) {
    const std::uint32_t size = SizeOn(facts, x86);
    const Text suffix = RecordRegisterSuffix(size);
    if (suffix.empty()) return problem = u"returns a structure of " + DecimalText(size) + u" bytes by value", std::nullopt;
    return u"." + suffix;
  }
  const Text suffix = ScalarSuffix(facts, x86);
  if (suffix.empty()) return problem = u"the return type has no equivalent of its size", std::nullopt;
  return u"." + suffix;
}

std::uint32_t StackBytes(const std::vector<Piece>& pieces) {
  std::uint32_t bytes = 0;
  for (const Piece& piece : pieces) bytes += piece.suffix == u"q" || piece.suffix == u"d" ? 8u : 4u;
  return bytes;
}

// One function's line in its block.
struct Line {
  bool cDeclared = false;  // in the ImportC block
  Text text;
  bool declared = false;
};

Line FunctionLine(const ImportFileRequest& request, const ApiFunction& record, ImportFile& file) {
  const bool x86 = request.library->x86 != 0;
  // A generic entry stands for its pair and has no symbol of its own: it imports the wide form.
  const bool generic = !record.AnsiUni.empty() && record.AnsiUni == record.Function &&
                       LibrarySymbol(request, record.Function) == nullptr;
  const Text imported = generic ? record.Function + u"W" : record.Function;
  const Resolved resolved = Resolve(request, record, imported);
  Line line;
  line.cDeclared = x86 && resolved.call == CallingConvention::kCdecl;
  Text problem = resolved.problem;
  if (!IsIdentifier(record.Function) && problem.empty()) problem = u"the name is no identifier";
  std::optional<std::vector<Piece>> pieces;
  std::optional<Text> returned;
  if (problem.empty()) pieces = Pieces(resolved, x86, problem);
  if (problem.empty()) returned = ReturnSuffix(resolved.returned, x86, problem);
  Text symbol;
  if (problem.empty() && x86) {
    symbol = u"_" + imported;
    if (!line.cDeclared) symbol += u"@" + DecimalText(StackBytes(*pieces));
    const Text* own = LibrarySymbol(request, imported);
    if (own != nullptr && *own != symbol) {
      file.mismatches.push_back({record.Function, symbol, *own});
      problem = u"the declaration's symbol " + symbol + u" differs from the library's " + *own;
    }
  } else if (problem.empty() && imported != record.Function) {
    symbol = imported;
  }
  if (!problem.empty()) {
    line.text = u"; " + record.Function + u": not declared: " + problem;
    ++file.commented;
    return line;
  }
  line.text = record.Function + *returned + u"(";
  for (std::size_t i = 0; i < pieces->size(); ++i) {
    line.text += (i == 0 ? u"" : u", ") + (*pieces)[i].name + u"." + (*pieces)[i].suffix;
  }
  line.text += u")";
  if (!symbol.empty()) line.text += u" As \"" + symbol + u"\"";
  line.declared = true;
  ++file.declared;
  return line;
}

void AppendLine(std::string& out, TextView line) {
  AppendTextAsUtf8(out, line);
  out += "\r\n";
}

void AppendBlock(std::string& out, TextView opening, const Text& fileName, const std::vector<Text>& lines) {
  if (lines.empty()) return;
  AppendLine(out, u"");
  AppendLine(out, Text(opening) + u" \"" + fileName + u"\"");
  for (const Text& line : lines) AppendLine(out, u"  " + line);
  AppendLine(out, u"EndImport");
}

}  // namespace

ImportFile WriteImportFile(const ImportFileRequest& request) {
  ImportFile file;
  std::vector<Text> standard;
  std::vector<Text> cLines;
  for (const ApiFunction& record : request.library->functions) {
    if (record.checked == 0 || record.Return.empty()) continue;
    Line line = FunctionLine(request, record, file);
    (line.cDeclared ? cLines : standard).push_back(std::move(line.text));
  }
  file.bytes = "\xEF\xBB\xBF";
  AppendLine(file.bytes, u"; " + request.libraryFileName + u" (" + ArchitectureText(*request.library) +
                             u"): import declarations written by Korvane");
  AppendBlock(file.bytes, u"Import", request.libraryFileName, standard);
  AppendBlock(file.bytes, u"ImportC", request.libraryFileName, cLines);
  if (request.types && request.set != nullptr) {
    file.bytes += LibraryTypeBlocks(*request.library, *request.set, request.typesOfTickedOnly);
  }
  return file;
}

Text ImportFileName(TextView libraryFileName) {
  const std::size_t dot = libraryFileName.rfind(u'.');
  const TextView base = dot == TextView::npos || dot == 0 ? libraryFileName : libraryFileName.substr(0, dot);
  return Text(base) + u".pbi";
}

}  // namespace korvane
