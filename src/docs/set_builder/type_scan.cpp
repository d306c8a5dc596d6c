// The type scan. Records and typedefs are read from the unit the header scanner parsed. Constants are
// left to clang: every object-like macro of the headers becomes a declaration initialised from it in a
// second unit over the same headers, and clang evaluates each initialiser; so casts, sizeof, nested
// macros and MAKEINTRESOURCE come out exactly as a program compiled for the target sees them.

#include "docs/set_builder/type_scan.h"

#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace korvane {
namespace {

std::string Spelled(CXString value) {
  const char* text = clang_getCString(value);
  std::string out = text != nullptr ? text : "";
  clang_disposeString(value);
  return out;
}

bool IsUnnamed(const std::string& name) { return name.empty() || name.find(' ') != std::string::npos; }

// A file's path below the scanned folder ('winuser.h', 'psdk_inc/_socket_types.h'), as the header
// scanner names a function's header, when it lies there.
std::optional<std::string> InFolder(CXFile file, const std::filesystem::path& folder) {
  if (file == nullptr) return std::nullopt;
  const std::filesystem::path path = std::filesystem::path(Spelled(clang_getFileName(file))).lexically_normal();
  const auto relative = path.lexically_relative(folder);
  if (relative.empty() || *relative.begin() == "..") return std::nullopt;
  return relative.generic_string();
}

// The declaring header of a cursor.
std::optional<std::string> HeaderOf(CXCursor cursor, const std::filesystem::path& folder) {
  CXFile file = nullptr;
  clang_getSpellingLocation(clang_getCursorLocation(cursor), &file, nullptr, nullptr, nullptr);
  return InFolder(file, folder);
}

CValueKind ValueKindOf(CXType canonical) {
  switch (ClangTypeFacts(canonical, false).kind) {
    case TypeKind::kSigned: case TypeKind::kEnum: return CValueKind::kSigned;
    case TypeKind::kUnsigned: return CValueKind::kUnsigned;
    case TypeKind::kFloat: return CValueKind::kFloat;
    case TypeKind::kPointer: return CValueKind::kPointer;
    case TypeKind::kRecord: return CValueKind::kRecord;
    default: return CValueKind::kOther;
  }
}

struct TypeState {
  const ParsedHeaders* parsed = nullptr;
  CTypes* types = nullptr;
  CArchitectureTypes* arch = nullptr;
  std::unordered_map<std::string, Text> keyByUsr;  // every record met, by clang's identity
  std::unordered_set<Text> recorded;
  std::unordered_set<Text> callbacks;
};

Text RecordKey(TypeState& state, CXCursor declaration, const Text& fallback, bool remember = true);
void RecordRecord(TypeState& state, CXCursor declaration, const Text& key);

struct FieldWalk {
  TypeState* state;
  CRecord* record;
  int anonymous = 0;
};

CField FieldOf(TypeState& state, CXCursor cursor, const Text& parentKey, int& anonymous) {
  CField field;
  field.name = Utf8ToText(Spelled(clang_getCursorSpelling(cursor)));
  const CXType type = clang_getCursorType(cursor);
  field.type = Utf8ToText(Spelled(clang_getTypeSpelling(type)));
  const long long offset = clang_Cursor_getOffsetOfField(cursor);
  field.offsetBits = offset > 0 ? static_cast<std::uint32_t>(offset) : 0;
  const long long size = clang_Type_getSizeOf(type);
  field.size = size > 0 ? static_cast<std::uint32_t>(size) : 0;
  if (clang_Cursor_isBitField(cursor) != 0) field.bitWidth = static_cast<std::uint32_t>(clang_getFieldDeclBitWidth(cursor));
  CXType element = clang_getCanonicalType(type);
  if (element.kind == CXType_ConstantArray || element.kind == CXType_IncompleteArray) {
    field.count = 1;
    while (element.kind == CXType_ConstantArray || element.kind == CXType_IncompleteArray) {
      const long long count = element.kind == CXType_ConstantArray ? clang_getArraySize(element) : 0;
      field.count *= static_cast<std::uint32_t>(count > 0 ? count : 0);
      element = clang_getCanonicalType(clang_getArrayElementType(element));
    }
  }
  field.kind = ValueKindOf(element);
  if (field.kind == CValueKind::kRecord) {
    const CXCursor declaration = clang_getTypeDeclaration(element);
    // A record without a tag defined in its member takes its parent's key and its position.
    Text inlineKey = parentKey + u"." + DecimalText(++anonymous);
    // Anonymous records spelled by one macro share clang's identity, so an inline one is not remembered.
    field.record = RecordKey(state, declaration, inlineKey, false);
    if (!field.record.empty()) RecordRecord(state, declaration, field.record);
  }
  return field;
}

CXVisitorResult VisitField(CXCursor cursor, CXClientData data) {
  auto& walk = *static_cast<FieldWalk*>(data);
  walk.record->fields.push_back(FieldOf(*walk.state, cursor, walk.record->key, walk.anonymous));
  return CXVisit_Continue;
}

// The key of a record declaration: its tag, else a name given earlier, else `fallback` (remembered for
// later references when `remember`).
Text RecordKey(TypeState& state, CXCursor declaration, const Text& fallback, bool remember) {
  const std::string usr = Spelled(clang_getCursorUSR(declaration));
  const auto known = state.keyByUsr.find(usr);
  if (known != state.keyByUsr.end()) return known->second;
  const std::string tag = Spelled(clang_getCursorSpelling(declaration));
  const Text key = IsUnnamed(tag) ? fallback : Utf8ToText(tag);
  if (!key.empty() && !usr.empty() && (remember || !IsUnnamed(tag))) state.keyByUsr.emplace(usr, key);
  return key;
}

void RecordRecord(TypeState& state, CXCursor declaration, const Text& key) {
  if (!state.recorded.insert(key).second) return;
  const CXType type = clang_getCanonicalType(clang_getCursorType(declaration));
  const long long size = clang_Type_getSizeOf(type);
  const long long align = clang_Type_getAlignOf(type);
  if (size <= 0 || align <= 0) return;  // incomplete: declared but not defined in these headers
  // A definition the compiler could not make sense of (a field of a type no header declared before it,
  // as in _mingw_stat64.h read on its own) has no layout to trust: clang sizes it as an empty struct.
  const CXCursor definition = clang_getTypeDeclaration(type);
  if (clang_isInvalidDeclaration(definition) != 0) return;
  const auto header = HeaderOf(declaration, *state.parsed->folder);
  CRecord record{key, Utf8ToText(header.value_or("")), clang_getCursorKind(declaration) == CXCursor_UnionDecl,
                 static_cast<std::uint32_t>(size), static_cast<std::uint32_t>(align), {}};
  FieldWalk walk{&state, &record};
  clang_Type_visitFields(type, VisitField, &walk);
  // Inline records were appended while the fields were read; this one goes before none of them
  // matters, since records are found by key.
  state.arch->records.push_back(std::move(record));
}

// A function-pointer typedef's signature.
void RecordCallback(TypeState& state, const Text& name, CXType function, CXCursor typedefCursor) {
  if (!state.callbacks.insert(name).second) return;
  const bool x86 = state.parsed->x86;
  CCallback callback;
  callback.name = name;
  callback.header = Utf8ToText(HeaderOf(typedefCursor, *state.parsed->folder).value_or(""));
  if (x86) {
    const CXCallingConv call = clang_getFunctionTypeCallingConv(function);
    callback.call = call == CXCallingConv_X86StdCall ? CallingConvention::kStdcall
                    : call == CXCallingConv_C       ? CallingConvention::kCdecl
                                                    : CallingConvention::kUnknown;
  }
  callback.returned = ClangTypeFacts(clang_getResultType(function), x86);
  const int count = clang_getNumArgTypes(function);
  for (int i = 0; i < count; ++i) {
    callback.parameters.push_back(ClangTypeFacts(clang_getArgType(function, static_cast<unsigned>(i)), x86));
  }
  // The parameters' names, when the typedef writes them.
  struct Names {
    std::vector<Text> list;
  } names;
  clang_visitChildren(
      typedefCursor,
      [](CXCursor child, CXCursor, CXClientData data) {
        if (clang_getCursorKind(child) == CXCursor_ParmDecl) {
          static_cast<Names*>(data)->list.push_back(Utf8ToText(Spelled(clang_getCursorSpelling(child))));
        }
        return CXChildVisit_Continue;
      },
      &names);
  if (names.list.size() == callback.parameters.size()) callback.parameterNames = std::move(names.list);
  state.arch->callbacks.push_back(std::move(callback));
}

void RecordTypedef(TypeState& state, CXCursor cursor) {
  const Text name = Utf8ToText(Spelled(clang_getCursorSpelling(cursor)));
  if (name.empty()) return;
  CXType type = clang_getTypedefDeclUnderlyingType(cursor);
  // A typedef of a name already known (a generic name for its wide form, a pointer to a record's
  // typedef) stands for the same thing.
  std::uint8_t pointers = 0;
  for (int step = 0; step < 8; ++step) {
    if (type.kind == CXType_Elaborated) type = clang_Type_getNamedType(type);
    if (type.kind == CXType_Typedef) {
      const auto known = state.types->names.find(Utf8ToText(Spelled(clang_getTypedefName(type))));
      if (known != state.types->names.end()) {
        state.types->names.emplace(
            name, CTypeName{known->second.target, static_cast<std::uint8_t>(known->second.pointers + pointers)});
        return;
      }
    }
    const CXType canonical = clang_getCanonicalType(type);
    if (canonical.kind == CXType_Pointer) {
      ++pointers;
      type = clang_getPointeeType(type.kind == CXType_Pointer ? type : canonical);
      continue;
    }
    if (canonical.kind == CXType_Record) {
      const CXCursor declaration = clang_getTypeDeclaration(canonical);
      const Text key = RecordKey(state, declaration, pointers == 0 ? name : Text());
      if (key.empty()) return;
      RecordRecord(state, declaration, key);
      // A typedef two headers define differently (wininet.h and winhttp.h) keeps the first, which is
      // the one the unit uses.
      state.types->names.emplace(name, CTypeName{key, pointers});
      return;
    }
    if ((canonical.kind == CXType_FunctionProto || canonical.kind == CXType_FunctionNoProto) && pointers == 1) {
      RecordCallback(state, name, canonical, cursor);
      state.types->names.emplace(name, CTypeName{name, 0});
    }
    return;
  }
}

void RecordEnumConstants(TypeState& state, CXCursor enumeration) {
  const auto header = HeaderOf(enumeration, *state.parsed->folder);
  if (!header) return;
  const CXType integer = clang_getCanonicalType(clang_getEnumDeclIntegerType(enumeration));
  const bool isUnsigned = ClangTypeFacts(integer, false).kind == TypeKind::kUnsigned;
  const long long size = clang_Type_getSizeOf(integer);
  struct Walk {
    TypeState* state;
    Text header;
    bool isUnsigned;
    std::uint32_t size;
  } walk{&state, Utf8ToText(*header), isUnsigned, static_cast<std::uint32_t>(size > 0 ? size : 4)};
  clang_visitChildren(
      enumeration,
      [](CXCursor child, CXCursor, CXClientData data) {
        auto& w = *static_cast<Walk*>(data);
        if (clang_getCursorKind(child) != CXCursor_EnumConstantDecl) return CXChildVisit_Continue;
        CConstant constant;
        constant.name = Utf8ToText(Spelled(clang_getCursorSpelling(child)));
        constant.header = w.header;
        constant.isUnsigned = w.isUnsigned;
        constant.size = w.size;
        constant.value = w.isUnsigned ? static_cast<std::int64_t>(clang_getEnumConstantDeclUnsignedValue(child))
                                      : clang_getEnumConstantDeclValue(child);
        w.state->arch->constants.push_back(std::move(constant));
        return CXChildVisit_Continue;
      },
      &walk);
}

// Object-like macros of the folder's headers whose names a program can use, by name, with the header
// of their last definition.
struct Macros {
  std::map<std::string, std::string> headerByName;
  // The line of the unit's own source whose #include first brought each header in (0: unknown).
  std::map<std::string, unsigned> firstLineOfHeader;
};

// Where each header first came into the unit: the line of the unit's own #include at the bottom of its
// inclusion stack.
void NoteFirstInclusions(const ParsedHeaders& parsed, Macros& macros) {
  struct Walk {
    const ParsedHeaders* parsed;
    Macros* macros;
  } walk{&parsed, &macros};
  clang_getInclusions(
      parsed.unit,
      [](CXFile file, CXSourceLocation* stack, unsigned depth, CXClientData data) {
        auto& w = *static_cast<Walk*>(data);
        const auto header = InFolder(file, *w.parsed->folder);
        if (!header || depth == 0) return;
        unsigned line = 0;
        clang_getSpellingLocation(stack[depth - 1], nullptr, &line, nullptr, nullptr);
        w.macros->firstLineOfHeader.emplace(*header, line);
      },
      &walk);
}

// Whether a macro's replacement could be an expression: not empty and without the tokens of a
// declaration or a statement, which would only derail the evaluation unit.
bool MayBeExpression(CXTranslationUnit unit, CXCursor macro) {
  CXToken* tokens = nullptr;
  unsigned count = 0;
  clang_tokenize(unit, clang_getCursorExtent(macro), &tokens, &count);
  bool expression = count >= 2;
  int depth = 0;  // an unbalanced parenthesis would swallow the declarations after it
  for (unsigned i = 1; expression && i < count; ++i) {
    const std::string token = Spelled(clang_getTokenSpelling(unit, tokens[i]));
    depth += token == "(" || token == "[" ? 1 : token == ")" || token == "]" ? -1 : 0;
    if (depth < 0) expression = false;
    static const std::unordered_set<std::string> kRefused = {"{", "}", ";", "#", "##", "typedef", "extern",
        "__declspec", "__attribute__", "static", "inline", "__inline", "__forceinline", "do", "while", "if",
        "return", "__asm__", "__asm", "asm", "_Pragma", "__pragma", "__extension__"};
    expression = kRefused.count(token) == 0;
  }
  clang_disposeTokens(unit, tokens, count);
  return expression && depth == 0;
}

CXChildVisitResult VisitTop(CXCursor cursor, CXCursor, CXClientData data);

void CollectMacro(TypeState& state, CXCursor cursor, Macros& macros) {
  if (clang_Cursor_isMacroFunctionLike(cursor) != 0) return;
  const std::string name = Spelled(clang_getCursorSpelling(cursor));
  if (name.empty() || name[0] == '_') return;  // the headers' own machinery, not for programs
  const auto header = HeaderOf(cursor, *state.parsed->folder);
  if (!header) return;
  // The first definition is the one a program meets first (winuser.h's WM_PAINT, not winuser.rh's);
  // a later one that is no expression takes the name out.
  if (!MayBeExpression(state.parsed->unit, cursor)) {
    macros.headerByName.erase(name);
    return;
  }
  macros.headerByName.emplace(name, *header);
}

struct TopWalk {
  TypeState* state;
  Macros* macros;
};

CXChildVisitResult VisitTop(CXCursor cursor, CXCursor, CXClientData data) {
  auto& walk = *static_cast<TopWalk*>(data);
  TypeState& state = *walk.state;
  switch (clang_getCursorKind(cursor)) {
    case CXCursor_LinkageSpec: case CXCursor_UnexposedDecl: return CXChildVisit_Recurse;
    case CXCursor_MacroDefinition: CollectMacro(state, cursor, *walk.macros); break;
    case CXCursor_InclusionDirective: {
      const auto includer = HeaderOf(cursor, *state.parsed->folder);
      const auto included = InFolder(clang_getIncludedFile(cursor), *state.parsed->folder);
      if (includer && included) state.types->includes[Utf8ToText(*includer)].insert(Utf8ToText(*included));
      break;
    }
    case CXCursor_EnumDecl:
      if (clang_isCursorDefinition(cursor) != 0) RecordEnumConstants(state, cursor);
      break;
    case CXCursor_TypedefDecl:
      if (HeaderOf(cursor, *state.parsed->folder)) RecordTypedef(state, cursor);
      break;
    case CXCursor_StructDecl: case CXCursor_UnionDecl: {
      if (clang_isCursorDefinition(cursor) == 0 || !HeaderOf(cursor, *state.parsed->folder)) break;
      const Text key = RecordKey(state, cursor, Text());
      if (!key.empty()) {
        RecordRecord(state, cursor, key);
        state.types->names.emplace(key, CTypeName{key, 0, true});  // 'struct sockaddr' is named by its tag
      }
      break;
    }
    default: break;
  }
  return CXChildVisit_Continue;
}

// The evaluation unit: the same headers, and for each macro a variable of the macro's own type and one
// of its value as a pointer-sized integer (for handles and resource names, which are pointers). Each
// macro is evaluated right after the line of the unit that first brought its header in, before later
// headers can redefine what it uses (ntstatus.h's STATUS_ codes, signed, over winnt.h's, unsigned).
// TEXT() is made narrow there, so that a string constant is read as clang reads an ordinary string.
std::string EvaluationSource(const std::string& headers, const Macros& macros) {
  std::map<unsigned, std::vector<const std::string*>> byLine;
  for (const auto& [name, header] : macros.headerByName) {
    const auto line = macros.firstLineOfHeader.find(header);
    byLine[line != macros.firstLineOfHeader.end() ? line->second : 0].push_back(&name);
  }
  std::string source;
  unsigned lineNumber = 0;
  bool narrowed = false;
  auto declare = [&source](const std::vector<const std::string*>& names) {
    for (const std::string* name : names) {
      for (const std::string_view piece : {"static __auto_type korvane_v_", name->c_str(), " = (", name->c_str(), ");\n",
                                           "static long long korvane_p_", name->c_str(),
                                           " = (long long)(__INTPTR_TYPE__)(", name->c_str(), ");\n"}) {
        source += piece;
      }
    }
  };
  std::size_t start = 0;
  while (start < headers.size()) {
    std::size_t end = headers.find('\n', start);
    end = end == std::string::npos ? headers.size() : end + 1;
    source.append(headers, start, end - start);
    if (source.back() != '\n') source += '\n';
    start = end;
    ++lineNumber;
    const auto here = byLine.find(lineNumber);
    if (here == byLine.end()) continue;
    if (!narrowed) source += "#undef __TEXT\n#define __TEXT(quote) quote\n", narrowed = true;
    declare(here->second);
  }
  if (!narrowed) source += "#undef __TEXT\n#define __TEXT(quote) quote\n";
  const auto unknown = byLine.find(0);
  if (unknown != byLine.end()) declare(unknown->second);
  return source;
}

struct EvalDeleter {
  void operator()(void* result) const { clang_EvalResult_dispose(result); }
};

struct Evaluation {
  TypeState* state;
  const Macros* macros;
  std::map<std::string, CConstant> byName;
};

// A string constant the IDE can write between plain quotes.
bool IsPlainString(std::string_view text) {
  for (const char c : text) {
    if (c == '"' || static_cast<unsigned char>(c) < 0x20) return false;
  }
  return true;
}

void EvaluateVariable(Evaluation& evaluation, CXCursor cursor, const std::string& spelling) {
  const bool valueVariable = spelling.rfind("korvane_v_", 0) == 0;
  const bool pointerVariable = spelling.rfind("korvane_p_", 0) == 0;
  if (!valueVariable && !pointerVariable) return;
  const std::string name = spelling.substr(10);
  const auto macro = evaluation.macros->headerByName.find(name);
  if (macro == evaluation.macros->headerByName.end()) return;
  const CXType type = clang_getCanonicalType(clang_getCursorType(cursor));
  const TypeFacts facts = ClangTypeFacts(type, evaluation.state->parsed->x86);
  const bool pointerValued = facts.kind == TypeKind::kPointer;
  if (valueVariable && pointerValued && facts.text == PointeeText::kNone) return;  // its p variable counts
  if (pointerVariable && evaluation.byName.count(name) != 0) return;
  const std::unique_ptr<void, EvalDeleter> result(clang_Cursor_Evaluate(cursor));
  if (!result) return;
  CConstant constant;
  constant.name = Utf8ToText(name);
  constant.header = Utf8ToText(macro->second);
  const CXEvalResultKind kind = clang_EvalResult_getKind(result.get());
  if (kind == CXEval_StrLiteral && valueVariable && facts.text == PointeeText::kChar) {
    const char* text = clang_EvalResult_getAsStr(result.get());
    if (text == nullptr || !IsPlainString(text)) return;
    constant.isString = true;
    constant.text = Utf8ToText(text);
  } else if (kind == CXEval_Int && (valueVariable ? facts.kind != TypeKind::kPointer : true)) {
    const bool isUnsigned = valueVariable && clang_EvalResult_isUnsignedInt(result.get()) != 0;
    constant.isUnsigned = isUnsigned;
    const bool x86 = evaluation.state->parsed->x86;
    constant.size = valueVariable ? (x86 ? facts.x86.size : facts.x64.size) : (x86 ? 4 : 8);
    constant.value = isUnsigned ? static_cast<std::int64_t>(clang_EvalResult_getAsUnsigned(result.get()))
                                : clang_EvalResult_getAsLongLong(result.get());
  } else {
    return;
  }
  evaluation.byName[name] = std::move(constant);
}

void EvaluateMacros(TypeState& state, const Macros& macros) {
  if (macros.headerByName.empty()) return;
  const ParsedHeaders& parsed = *state.parsed;
  const std::string source = EvaluationSource(*parsed.source, macros);
  CXUnsavedFile unsaved{"korvane_docs_constants.c", source.c_str(), static_cast<unsigned long>(source.size())};
  CXIndex index = clang_createIndex(0, 0);
  CXTranslationUnit unit = nullptr;
  const CXErrorCode code = clang_parseTranslationUnit2(index, unsaved.Filename, parsed.arguments.data(),
                                                       static_cast<int>(parsed.arguments.size()), &unsaved, 1,
                                                       CXTranslationUnit_KeepGoing, &unit);
  if (code == CXError_Success && unit != nullptr) {
    Evaluation evaluation{&state, &macros, {}};
    clang_visitChildren(
        clang_getTranslationUnitCursor(unit),
        [](CXCursor cursor, CXCursor, CXClientData data) {
          if (clang_getCursorKind(cursor) != CXCursor_VarDecl ||
              clang_Location_isFromMainFile(clang_getCursorLocation(cursor)) == 0) {
            return CXChildVisit_Continue;
          }
          EvaluateVariable(*static_cast<Evaluation*>(data), cursor, Spelled(clang_getCursorSpelling(cursor)));
          return CXChildVisit_Continue;
        },
        &evaluation);
    for (auto& [name, constant] : evaluation.byName) state.arch->constants.push_back(std::move(constant));
    clang_disposeTranslationUnit(unit);
  }
  clang_disposeIndex(index);
}

}  // namespace

std::string WithPackingReset(const std::string& source) {
  std::string out;
  out.reserve(source.size() * 2);
  std::size_t start = 0;
  while (start < source.size()) {
    std::size_t end = source.find('\n', start);
    end = end == std::string::npos ? source.size() : end + 1;
    const std::string_view line(source.data() + start, end - start);
    if (line.starts_with("#include")) out += "#pragma pack()\n";
    out += line;
    start = end;
  }
  return out;
}

void ScanTypes(const ParsedHeaders& parsed, CTypes& types) {
  TypeState state;
  state.parsed = &parsed;
  state.types = &types;
  state.arch = parsed.x86 ? &types.x86 : &types.x64;
  Macros macros;
  NoteFirstInclusions(parsed, macros);
  TopWalk walk{&state, &macros};
  clang_visitChildren(clang_getTranslationUnitCursor(parsed.unit), VisitTop, &walk);
  // An enum constant keeps its own value; a macro of the same name is the same constant.
  for (const CConstant& constant : state.arch->constants) macros.headerByName.erase(TextToUtf8(constant.name));
  EvaluateMacros(state, macros);
}

}  // namespace korvane
