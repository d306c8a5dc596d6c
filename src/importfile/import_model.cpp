#include "importfile/import_model.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "importfile/ide_names.h"
#include "importfile/parameter_text.h"
#include "importfile/text_parameters.h"
#include "importfile/type_names.h"

namespace korvane {
namespace {

// The IDE takes at most this many arguments in one call; a structure larger than this by value is
// no declaration anyone could call, and would only make a line megabytes long.
constexpr std::size_t kMostArguments = 255;
constexpr std::uint32_t kLargestStructureByValue = 64 * 1024;

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

// What one function resolves to before it is declared.
struct Resolved {
  CallingConvention call = CallingConvention::kStdcall;
  TypeFacts returned;
  std::vector<TypeFacts> types;
  std::vector<Text> names;  // as the text gives them; empty where it gives none
  Text problem;             // why it cannot be declared exactly; empty when it can
};

const Text* LibrarySymbol(const ImportFileRequest& request, const Text& name) {
  if (request.symbols == nullptr) return nullptr;
  const auto found = request.symbols->find(name);
  return found != request.symbols->end() ? &found->second : nullptr;
}

const DocFunction* SetFunction(const ImportFileRequest& request, const Text& name) {
  if (request.set == nullptr) return nullptr;
  const auto ref = FindFunction(*request.set, name);
  return ref ? &FunctionAt(*request.set, *ref) : nullptr;
}

TextFlavour FlavourOf(const ApiFunction& record, const Text& imported) {
  const bool pair = !record.AnsiUni.empty();
  return pair && !imported.empty() && imported.back() == u'W' ? TextFlavour::kWide : TextFlavour::kAnsi;
}

// The typed signature the set records for `imported`, when it has one for as many parameters as the
// text names; otherwise the text's own types, resolved through the set's typedefs and the built-in table.
Resolved Resolve(const ImportFileRequest& request, const ApiFunction& record, const Text& imported) {
  Resolved resolved;
  const DocFunction* doc = SetFunction(request, imported);
  const bool recorded = doc != nullptr && doc->returnFacts.kind != TypeKind::kUnknown &&
                        doc->parameterTypes.size() == doc->parameters.size();
  // A text whose parentheses do not pair up is a page's syntax read past the parameter list (a function
  // that returns a function pointer): the set's own parameters stand in for it.
  const bool garbled = std::count(record.Parameters.begin(), record.Parameters.end(), u'(') !=
                       std::count(record.Parameters.begin(), record.Parameters.end(), u')');
  std::vector<TextParameter> written;
  if (recorded && garbled) {
    for (const Text& parameter : doc->parameters) {
      const std::vector<TextParameter> one = SplitParameterText(parameter);
      written.push_back(one.empty() ? TextParameter{} : one.front());
    }
  } else {
    written = SplitParameterText(record.Parameters);
  }
  for (const TextParameter& parameter : written) resolved.names.push_back(parameter.name);
  const bool typed = recorded && doc->parameterTypes.size() == written.size();
  const Text* symbol = request.library->x86 != 0 ? LibrarySymbol(request, imported) : nullptr;
  if (typed && doc->call != CallingConvention::kUnknown) {
    resolved.call = doc->call;
  } else if (symbol != nullptr) {
    resolved.call = symbol->find(u'@') != Text::npos ? CallingConvention::kStdcall : CallingConvention::kCdecl;
  }
  if (typed) {
    resolved.returned = doc->returnFacts;
    resolved.types = doc->parameterTypes;
    // The compiler's built-in prototypes of C library functions (wcschr, wcscmp) spell wchar_t as the
    // integer it is, so only the written type tells a wide string from a pointer to numbers.
    for (std::size_t i = 0; i < written.size(); ++i) {
      TypeFacts& facts = resolved.types[i];
      if (facts.kind != TypeKind::kPointer || facts.text != PointeeText::kNone) continue;
      const auto spelled = ResolveTypeText(written[i].type, nullptr, FlavourOf(record, imported));
      if (spelled && spelled->kind == TypeKind::kPointer) facts.text = spelled->text;
    }
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
  // A variadic function is cdecl whatever the text says; its tail is declared as optional slots.
  if (!resolved.types.empty() && resolved.types.back().kind == TypeKind::kVariadic) {
    resolved.call = CallingConvention::kCdecl;
  }
  return resolved;
}

std::uint32_t SizeOn(const TypeFacts& facts, bool x86) {
  const std::uint32_t size = x86 ? facts.x86.size : facts.x64.size;
  return size != 0 ? size : (x86 ? facts.x64.size : facts.x86.size);
}

// The IDE's type of an integer or float; empty when it has none of that size.
Text ScalarType(const TypeFacts& facts, bool x86) {
  const bool integer = facts.kind == TypeKind::kSigned || facts.kind == TypeKind::kUnsigned || facts.kind == TypeKind::kEnum;
  // Pointer-sized integers (INT_PTR, SIZE_T, WPARAM, LRESULT ...) follow the pointer's size.
  if (integer && facts.x86.size == 4 && facts.x64.size == 8) return u"i";
  const std::uint32_t size = SizeOn(facts, x86);
  if (integer) return IdeIntegerType(size, facts.kind != TypeKind::kUnsigned);
  if (facts.kind == TypeKind::kFloat) return size == 4 ? u"f" : size == 8 ? u"d" : Text();
  return {};
}

// A structure of 1, 2, 4 or 8 bytes travels in a register, as the integer of its size.
Text RecordRegisterType(std::uint32_t size) {
  switch (size) {
    case 1: return u"b";
    case 2: return u"w";
    case 4: return u"l";
    case 8: return u"q";
    default: return {};
  }
}

// The declaration's parameters for `resolved`, or nothing with `problem` set.
std::optional<std::vector<ImportParameter>> Parameters(const Resolved& resolved, const Text& function, bool x86,
                                                       Text& problem) {
  if (resolved.types.size() > kMostArguments) {
    problem = DecimalText(resolved.types.size()) + u" parameters, more than the IDE passes";
    return std::nullopt;
  }
  std::vector<ImportParameter> parameters;
  for (std::size_t i = 0; i < resolved.types.size(); ++i) {
    const TypeFacts& facts = resolved.types[i];
    const Text& written = resolved.names[i];
    const Text name = IsIdentifier(written) ? written : PositionName(i);
    if (facts.kind == TypeKind::kVariadic) {
      if (i + 1 != resolved.types.size() || (x86 && resolved.call != CallingConvention::kCdecl)) {
        return problem = u"variadic", std::nullopt;
      }
      // The caller removes cdecl arguments, so slots the function does not read are harmless.
      for (int slot = 1; slot <= kVariadicSlots; ++slot) {
        Text slotName = u"v";  // appended: GCC 12 at -O3 warns about a literal + string (a false positive)
        slotName += DecimalText(slot);
        parameters.push_back({std::move(slotName), u"i", false, true});
      }
      continue;
    }
    if (facts.kind == TypeKind::kPointer) {
      // Text goes by address ('*lpText'), which takes a string as well as an integer ID; ANSI text the
      // function reads as text gets the IDE's converted copy. Other pointers and handles are integers.
      if (facts.text == PointeeText::kChar && ConvertsAnsiText(function, written)) {
        parameters.push_back({name, u"p-ascii"});
      } else if (facts.text != PointeeText::kNone) {
        parameters.push_back({name, {}, true});
      } else {
        parameters.push_back({name, u"i"});
      }
      continue;
    }
    if (facts.kind == TypeKind::kRecord) {
      const std::uint32_t size = SizeOn(facts, x86);
      if (size == 0) return problem = u"parameter " + name + u" is a structure of unknown size", std::nullopt;
      if (size > kLargestStructureByValue) {
        return problem = u"parameter " + name + u" is a structure of " + DecimalText(size) + u" bytes passed by value",
               std::nullopt;
      }
      if (!x86) {
        // Larger structures are passed by the address of a copy.
        const Text type = size > 8 ? Text(u"i") : RecordRegisterType(size);
        if (type.empty()) {
          return problem = u"parameter " + name + u" is a structure of " + DecimalText(size) + u" bytes passed by value",
                 std::nullopt;
        }
        parameters.push_back({name, type});
        continue;
      }
      // On the x86 stack a structure takes its size rounded up to 4 bytes: one 32-bit field per 4.
      const std::uint32_t slots = (size + 3) / 4;
      for (std::uint32_t slot = 1; slot <= slots; ++slot) {
        parameters.push_back({slots == 1 ? name : name + u"_" + DecimalText(slot), u"l"});
      }
      continue;
    }
    const Text type = ScalarType(facts, x86);
    if (type.empty()) return problem = u"parameter " + name + u" has a type without an equivalent of its size", std::nullopt;
    parameters.push_back({name, type});
  }
  if (parameters.size() > kMostArguments) {
    problem = DecimalText(parameters.size()) + u" arguments, more than the IDE passes";
    return std::nullopt;
  }
  // Keywords and repeated names (the IDE ignores letter case) get a trailing underscore.
  std::unordered_set<Text> seen;
  for (ImportParameter& parameter : parameters) {
    while (IsIdeKeyword(parameter.name) || seen.count(IdeNameKey(parameter.name)) != 0) parameter.name += u'_';
    seen.insert(IdeNameKey(parameter.name));
  }
  return parameters;
}

// The return type, empty for void; nothing with `problem` set when the IDE has no equivalent.
std::optional<Text> ReturnType(const TypeFacts& facts, bool x86, Text& problem) {
  if (facts.kind == TypeKind::kVoid) return Text();
  if (facts.kind == TypeKind::kPointer) return Text(u"i");
  if (facts.kind == TypeKind::kRecord) {
    const std::uint32_t size = SizeOn(facts, x86);
    const Text type = RecordRegisterType(size);
    if (type.empty()) return problem = u"returns a structure of " + DecimalText(size) + u" bytes by value", std::nullopt;
    return type;
  }
  const Text type = ScalarType(facts, x86);
  if (type.empty()) return problem = u"the return type has no equivalent of its size", std::nullopt;
  return type;
}

std::uint32_t StackBytes(const std::vector<ImportParameter>& parameters) {
  std::uint32_t bytes = 0;
  for (const ImportParameter& parameter : parameters) {
    bytes += parameter.type == u"q" || parameter.type == u"d" ? 8u : 4u;
  }
  return bytes;
}

// Why a symbol of the library cannot be called by the IDE, which knows stdcall and cdecl only:
// '@Name@8' is fastcall, 'Name@@8' vectorcall. Empty for any other symbol.
Text UncallableConvention(const Text& symbol) {
  if (!symbol.empty() && symbol.front() == u'@') return u"fastcall";
  if (symbol.find(u"@@") != Text::npos) return u"vectorcall";
  return {};
}

// The intrinsic helpers that the x86 and x64 kernel32 import libraries hold as code (__readcr0,
// __writemsr, __inbyte ...): privileged instructions or inline code, not functions of the DLL.
bool IsIntrinsic(const DocFunction* doc) {
  if (doc == nullptr) return false;
  const std::size_t slash = doc->header.find_last_of(u"/\\");
  return TextView(doc->header).substr(slash == Text::npos ? 0 : slash + 1).starts_with(u"intrin");
}

ImportDeclaration Declare(const ImportFileRequest& request, const ApiFunction& record, ImportModel& model) {
  const bool x86 = request.library->x86 != 0;
  // A generic entry stands for its pair and has no symbol of its own: it imports the wide form.
  const bool generic = !record.AnsiUni.empty() && record.AnsiUni == record.Function &&
                       LibrarySymbol(request, record.Function) == nullptr;
  const Text imported = generic ? record.Function + u"W" : record.Function;
  ImportDeclaration declaration;
  declaration.function = record.Function;
  declaration.name = record.Function + u"_";
  if (!IsIdentifier(record.Function)) return declaration.omitted = u"the name is no identifier", declaration;
  const Text* own = LibrarySymbol(request, imported);
  if (x86 && own != nullptr && !UncallableConvention(*own).empty()) {
    declaration.omitted = UncallableConvention(*own) + u" (" + *own + u"), which the IDE cannot call";
    return declaration;
  }
  if (IsIntrinsic(SetFunction(request, imported))) {
    declaration.omitted = u"a compiler intrinsic that the library holds as code, not a function of the DLL";
    return declaration;
  }
  const Resolved resolved = Resolve(request, record, imported);
  if (x86 && (resolved.call == CallingConvention::kFastcall || resolved.call == CallingConvention::kVectorcall)) {
    declaration.omitted = Text(resolved.call == CallingConvention::kFastcall ? u"fastcall" : u"vectorcall") +
                          u", which the IDE cannot call";
    return declaration;
  }
  declaration.cdecl = x86 && resolved.call == CallingConvention::kCdecl;
  Text problem = resolved.problem;
  std::optional<std::vector<ImportParameter>> parameters;
  std::optional<Text> returned;
  if (problem.empty()) parameters = Parameters(resolved, imported, x86, problem);
  if (problem.empty()) returned = ReturnType(resolved.returned, x86, problem);
  if (!problem.empty()) return declaration.omitted = problem, declaration;
  declaration.parameters = std::move(*parameters);
  declaration.returnType = std::move(*returned);
  declaration.symbol = imported;
  if (x86) {
    declaration.symbol = u"_" + imported;
    if (!declaration.cdecl) declaration.symbol += u"@" + DecimalText(StackBytes(declaration.parameters));
    if (own != nullptr && *own != declaration.symbol) {
      model.mismatches.push_back({record.Function, declaration.symbol, *own});
      declaration.omitted = u"the declaration's symbol " + declaration.symbol + u" differs from the library's " + *own;
    }
  }
  return declaration;
}

// The record as a lookup would have left it, from the set's signature; nothing when the set does not
// know the function.
std::optional<ApiFunction> FromSet(const ImportFileRequest& request, const ApiFunction& record) {
  const bool generic = !record.AnsiUni.empty() && record.AnsiUni == record.Function &&
                       LibrarySymbol(request, record.Function) == nullptr;
  const DocFunction* doc = SetFunction(request, generic ? record.Function + u"W" : record.Function);
  if (doc == nullptr || doc->returnType.empty()) return std::nullopt;
  ApiFunction filled = record;
  filled.Return = doc->returnType;
  filled.Parameters.clear();
  for (const Text& parameter : doc->parameters) {
    if (!filled.Parameters.empty()) filled.Parameters += u", ";
    filled.Parameters += parameter;
  }
  return filled;
}

bool AnyLookedUp(const LibraryEntry& library) {
  return std::any_of(library.functions.begin(), library.functions.end(),
                     [](const ApiFunction& record) { return !record.Return.empty(); });
}

}  // namespace

ImportModel BuildImportModel(const ImportFileRequest& request) {
  ImportModel model;
  const bool fromSet = request.set != nullptr && !AnyLookedUp(*request.library);
  std::unordered_set<Text> inFile;
  const Text fileName = request.importFileName.empty() ? ImportFileName(request.libraryFileName) : request.importFileName;
  for (const ApiFunction& record : request.library->functions) {
    if (record.checked == 0) continue;
    std::optional<ApiFunction> filled;
    if (fromSet) {
      filled = FromSet(request, record);
      if (!filled) continue;
    } else if (record.Return.empty()) {
      continue;
    }
    ImportDeclaration declaration = Declare(request, filled ? *filled : record, model);
    const Text key = IdeNameKey(declaration.name);
    if (!inFile.insert(key).second) continue;  // the same function listed twice
    if (declaration.omitted.empty() && IsIdeImport(declaration.name)) {
      declaration.omitted = u"the IDE imports " + declaration.name + u" itself";
    }
    if (declaration.omitted.empty() && request.runNames != nullptr) {
      const auto [at, added] = request.runNames->emplace(key, fileName);
      if (!added) declaration.omitted = u"declared in " + at->second;
    }
    model.declarations.push_back(std::move(declaration));
  }
  return model;
}

}  // namespace korvane
