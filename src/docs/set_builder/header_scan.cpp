// The header scanner. Function bodies are parsed, not skipped, so that inline definitions in headers can
// be told from declarations of imported functions. One translation unit includes windows.h and then every header of the folder, so
// the shared declarations are parsed once; errors in one header (a C++-only header, a header meant for
// another configuration) do not stop the others.

#include "docs/set_builder/header_scan.h"

#include "docs/set_builder/input_files.h"
#include "docs/set_builder/libclang_functions.h"
#include "docs/set_builder/type_scan.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <cctype>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

namespace korvane {
namespace {

struct Strings {
  std::string operator()(CXString value) const {
    const char* text = clang_getCString(value);
    std::string out = text != nullptr ? text : "";
    clang_disposeString(value);
    return out;
  }
};

bool IsWordCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

std::string ReplaceWord(std::string text, std::string_view word, std::string_view with) {
  for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at)) {
    const bool startsWord = at == 0 || !IsWordCharacter(text[at - 1]);
    const bool endsWord = at + word.size() == text.size() || !IsWordCharacter(text[at + word.size()]);
    if (startsWord && endsWord) {
      text.replace(at, word.size(), with);
      at += with.size();
    } else {
      at += word.size();
    }
  }
  return text;
}

// Clang writes calling conventions of function pointer types as attributes ('__attribute__((cdecl))');
// the declarations name them by macro, which is gone, so the attribute goes too.
std::string WithoutAttributes(std::string text) {
  for (std::size_t at = text.find(" __attribute__(("); at != std::string::npos; at = text.find(" __attribute__((")) {
    const std::size_t end = text.find("))", at);
    text.erase(at, end == std::string::npos ? std::string::npos : end + 2 - at);
  }
  return text;
}

// Joins tokens as C is usually written: 'const char *name', 'int (*compare)(const void *, int)'.
std::string JoinTokens(const std::vector<std::string>& tokens) {
  std::string out;
  for (const std::string& token : tokens) {
    if (!out.empty()) {
      const char last = out.back();
      const bool glued = last == '(' || last == '[' || last == '*' || token == ")" || token == "]" ||
                         token == "," || token == "[" || (token == "(" && last == ')');
      if (!glued) out += ' ';
    }
    out += token;
  }
  return out;
}

// The tokens of one header file with their offsets, tokenised once when the first parameter of the
// file needs them: asking libclang for a location by offset per parameter is far slower.
struct FileTokens {
  std::vector<unsigned> offsets;  // ascending
  std::vector<std::string> spellings;
};

const FileTokens& TokensOf(CXTranslationUnit unit, CXFile file, std::unordered_map<CXFile, FileTokens>& cache) {
  const auto cached = cache.find(file);
  if (cached != cache.end()) return cached->second;
  FileTokens& tokens = cache[file];
  std::size_t size = 0;
  if (clang_getFileContents(unit, file, &size) == nullptr) return tokens;
  const CXSourceRange whole = clang_getRange(clang_getLocationForOffset(unit, file, 0),
                                             clang_getLocationForOffset(unit, file, static_cast<unsigned>(size)));
  CXToken* list = nullptr;
  unsigned count = 0;
  clang_tokenize(unit, whole, &list, &count);
  for (unsigned i = 0; i < count; ++i) {
    unsigned offset = 0;
    clang_getSpellingLocation(clang_getTokenLocation(unit, list[i]), nullptr, nullptr, nullptr, &offset);
    tokens.offsets.push_back(offset);
    tokens.spellings.push_back(Strings{}(clang_getTokenSpelling(unit, list[i])));
  }
  clang_disposeTokens(unit, list, count);
  return tokens;
}

// The parameter as its header writes it, type macros included ('REFIID riid' rather than the expanded
// 'const IID *const riid'). Nothing when the header does not write it out: a parameter produced by a
// macro, or a token range that does not hold the whole parameter.
std::optional<std::string> WrittenParameter(CXTranslationUnit unit, CXCursor function, CXCursor parameter,
                                            const std::string& name, std::unordered_map<CXFile, FileTokens>& cache) {
  const CXSourceRange extent = clang_getCursorExtent(parameter);
  CXFile startFile = nullptr;
  CXFile endFile = nullptr;
  CXFile functionFile = nullptr;
  unsigned startOffset = 0;
  unsigned endOffset = 0;
  unsigned functionOffset = 0;
  clang_getExpansionLocation(clang_getRangeStart(extent), &startFile, nullptr, nullptr, &startOffset);
  clang_getExpansionLocation(clang_getRangeEnd(extent), &endFile, nullptr, nullptr, &endOffset);
  clang_getExpansionLocation(clang_getCursorLocation(function), &functionFile, nullptr, nullptr, &functionOffset);
  if (startFile == nullptr || clang_File_isEqual(startFile, endFile) == 0 ||
      clang_File_isEqual(startFile, functionFile) == 0 || startOffset <= functionOffset || endOffset < startOffset) {
    return std::nullopt;
  }
  const FileTokens& tokens = TokensOf(unit, startFile, cache);
  const auto first = std::lower_bound(tokens.offsets.begin(), tokens.offsets.end(), startOffset);
  auto last = std::lower_bound(first, tokens.offsets.end(), endOffset);
  // The range ends after its last token, or at its start when libclang reports a token range.
  if (last != tokens.offsets.end() && *last == endOffset &&
      tokens.spellings[static_cast<std::size_t>(last - tokens.offsets.begin())] == name) {
    ++last;
  }
  std::vector<std::string> words;
  for (auto it = first; it != last; ++it) {
    words.push_back(tokens.spellings[static_cast<std::size_t>(it - tokens.offsets.begin())]);
  }
  const auto opened = std::count(words.begin(), words.end(), "(");
  const auto closed = std::count(words.begin(), words.end(), ")");
  if (words.empty() || opened != closed || (!name.empty() && words.back() != name && opened == 0) ||
      std::find(words.begin(), words.end(), ",") != words.end()) {
    return std::nullopt;
  }
  return JoinTokens(words);
}

struct ScanState {
  std::filesystem::path folder;
  CXTranslationUnit unit = nullptr;
  HeaderScan* scan = nullptr;
  std::unordered_map<CXFile, FileTokens> tokens;
  std::unordered_set<std::string> seen;
  bool x86 = false;  // the target parsed: its sizes go to TypeFacts::x86, else to x64
};

TypeKind KindOf(CXTypeKind kind) {
  switch (kind) {
    case CXType_Void: return TypeKind::kVoid;
    case CXType_Bool: case CXType_Char_U: case CXType_UChar: case CXType_Char16: case CXType_Char32:
    case CXType_UShort: case CXType_UInt: case CXType_ULong: case CXType_ULongLong: case CXType_UInt128:
    case CXType_WChar:
      return TypeKind::kUnsigned;
    case CXType_Char_S: case CXType_SChar: case CXType_Short: case CXType_Int: case CXType_Long:
    case CXType_LongLong: case CXType_Int128:
      return TypeKind::kSigned;
    case CXType_Float: case CXType_Double: case CXType_LongDouble:
      return TypeKind::kFloat;
    case CXType_Pointer: case CXType_BlockPointer: case CXType_IncompleteArray: case CXType_ConstantArray:
    case CXType_VariableArray: case CXType_FunctionProto: case CXType_FunctionNoProto:
      return TypeKind::kPointer;
    case CXType_Enum: return TypeKind::kEnum;
    case CXType_Record: return TypeKind::kRecord;
    default: return TypeKind::kUnknown;
  }
}

// One step of sugar removed: a typedef to what it names, an elaborated 'struct x' to 'x'; the type
// itself when it has no sugar left.
CXType Desugared(CXType type) {
  if (type.kind == CXType_Typedef) return clang_getTypedefDeclUnderlyingType(clang_getTypeDeclaration(type));
  if (type.kind == CXType_Elaborated) return clang_Type_getNamedType(type);
  return type;
}

bool IsWideCharName(std::string_view name) { return name == "wchar_t" || name == "WCHAR"; }

// Whether a pointer points at a const char or const wchar_t. In C, wchar_t is a typedef of unsigned
// short, so only the typedef names along the way tell a wide string from an array of numbers.
PointeeText PointeeTextOf(CXType type) {
  for (int step = 0; step < 32 && (type.kind == CXType_Typedef || type.kind == CXType_Elaborated); ++step) {
    type = Desugared(type);
  }
  CXType pointee = clang_getPointeeType(type.kind == CXType_Pointer ? type : clang_getCanonicalType(type));
  if (pointee.kind == CXType_Invalid || clang_isConstQualifiedType(clang_getCanonicalType(pointee)) == 0) {
    return PointeeText::kNone;
  }
  for (int step = 0; step < 32 && (pointee.kind == CXType_Typedef || pointee.kind == CXType_Elaborated); ++step) {
    if (pointee.kind == CXType_Typedef && IsWideCharName(Strings{}(clang_getTypedefName(pointee)))) {
      return PointeeText::kWideChar;
    }
    pointee = Desugared(pointee);
  }
  const CXTypeKind kind = clang_getCanonicalType(pointee).kind;
  if (kind == CXType_Char_S || kind == CXType_Char_U) return PointeeText::kChar;
  return kind == CXType_WChar ? PointeeText::kWideChar : PointeeText::kNone;
}

// The facts of `type` with its size on the target parsed. Unknown when libclang cannot size it (an
// incomplete struct passed by value, a vector type).
TypeFacts FactsOf(CXType type, bool x86) {
  TypeFacts facts;
  const CXType canonical = clang_getCanonicalType(type);
  facts.kind = KindOf(canonical.kind);
  TypeLayout layout;
  if (facts.kind == TypeKind::kPointer) {
    // Array and function parameters are passed as pointers, whatever their own size.
    layout = x86 ? TypeLayout{4, 4} : TypeLayout{8, 8};
    facts.text = PointeeTextOf(type);
  } else if (facts.kind != TypeKind::kVoid && facts.kind != TypeKind::kUnknown) {
    const long long size = clang_Type_getSizeOf(canonical);
    const long long align = clang_Type_getAlignOf(canonical);
    if (size <= 0 || align <= 0 || size > (1 << 20)) return TypeFacts{};
    layout = TypeLayout{static_cast<std::uint32_t>(size), static_cast<std::uint32_t>(align)};
  }
  (x86 ? facts.x86 : facts.x64) = layout;
  return facts;
}

// Puts every typedef name of `type`'s sugar (and of its pointee's, one level) into the table.
void NoteTypedefs(CXType type, bool x86, std::map<Text, TypeFacts>& typedefs, int depth = 0) {
  for (int step = 0; step < 32 && (type.kind == CXType_Typedef || type.kind == CXType_Elaborated); ++step) {
    if (type.kind == CXType_Typedef) {
      const Text name = Utf8ToText(Strings{}(clang_getTypedefName(type)));
      const TypeFacts facts = FactsOf(type, x86);
      if (!name.empty() && facts.kind != TypeKind::kUnknown) typedefs.emplace(name, facts);
    }
    type = Desugared(type);
  }
  if (depth == 0 && type.kind == CXType_Pointer) NoteTypedefs(clang_getPointeeType(type), x86, typedefs, 1);
}

CallingConvention ConventionOf(CXType functionType) {
  switch (clang_getFunctionTypeCallingConv(functionType)) {
    case CXCallingConv_X86StdCall: return CallingConvention::kStdcall;
    case CXCallingConv_C: return CallingConvention::kCdecl;
    case CXCallingConv_X86FastCall: return CallingConvention::kFastcall;
    case CXCallingConv_X86VectorCall: return CallingConvention::kVectorcall;
    default: return CallingConvention::kUnknown;
  }
}

// The declaring file's path below the scanned folder ('winuser.h', 'GL/gl.h'), when it lies there.
std::optional<std::string> HeaderInFolder(CXCursor cursor, const std::filesystem::path& folder) {
  CXFile file = nullptr;
  clang_getSpellingLocation(clang_getCursorLocation(cursor), &file, nullptr, nullptr, nullptr);
  if (file == nullptr) return std::nullopt;
  const std::filesystem::path path = std::filesystem::path(Strings{}(clang_getFileName(file))).lexically_normal();
  const auto relative = path.lexically_relative(folder);
  if (relative.empty() || *relative.begin() == "..") return std::nullopt;
  return relative.generic_string();
}

HeaderPrototype Prototype(ScanState& state, CXCursor cursor, std::string header) {
  HeaderPrototype prototype;
  prototype.name = Utf8ToText(Strings{}(clang_getCursorSpelling(cursor)));
  const CXType type = clang_getCursorType(cursor);
  prototype.returnType = TypeSpelling(Strings{}(clang_getTypeSpelling(clang_getResultType(type))));
  const int count = clang_Cursor_getNumArguments(cursor);
  for (int i = 0; i < count; ++i) {
    const CXCursor argument = clang_Cursor_getArgument(cursor, static_cast<unsigned>(i));
    const std::string name = Strings{}(clang_getCursorSpelling(argument));
    const auto written = WrittenParameter(state.unit, cursor, argument, name, state.tokens);
    prototype.parameters.push_back(
        written ? TypeSpelling(*written)
                : ParameterSpelling(Strings{}(clang_getTypeSpelling(clang_getCursorType(argument))), name));
  }
  if (type.kind == CXType_FunctionProto && clang_isFunctionTypeVariadic(type) != 0) {
    prototype.parameters.push_back(u"...");
  }
  // The types as the function's type has them: arrays and functions already passed as pointers.
  const CXType result = clang_getResultType(type);
  prototype.returnFacts = FactsOf(result, state.x86);
  NoteTypedefs(result, state.x86, state.scan->typedefs);
  const int typed = clang_getNumArgTypes(type);
  for (int i = 0; i < count; ++i) {
    const CXType argument = i < typed ? clang_getArgType(type, static_cast<unsigned>(i))
                                      : clang_getCursorType(clang_Cursor_getArgument(cursor, static_cast<unsigned>(i)));
    prototype.parameterTypes.push_back(FactsOf(argument, state.x86));
    NoteTypedefs(argument, state.x86, state.scan->typedefs);
  }
  if (prototype.parameterTypes.size() < prototype.parameters.size()) {
    prototype.parameterTypes.push_back(TypeFacts{TypeKind::kVariadic, {}, {}, PointeeText::kNone});
  }
  if (state.x86) prototype.call = ConventionOf(type);
  prototype.header = Utf8ToText(header);
  return prototype;
}

CXChildVisitResult Visit(CXCursor cursor, CXCursor /*parent*/, CXClientData data) {
  auto& state = *static_cast<ScanState*>(data);
  const CXCursorKind kind = clang_getCursorKind(cursor);
  // Declarations inside extern "C" blocks or namespaces of C++-aware headers are one level down.
  if (kind == CXCursor_LinkageSpec || kind == CXCursor_UnexposedDecl) return CXChildVisit_Recurse;
  if (kind != CXCursor_FunctionDecl || clang_isCursorDefinition(cursor) != 0) return CXChildVisit_Continue;
  const auto header = HeaderInFolder(cursor, state.folder);
  if (!header) return CXChildVisit_Continue;
  const std::string name = Strings{}(clang_getCursorSpelling(cursor));
  if (name.empty() || !state.seen.insert(name).second) return CXChildVisit_Continue;
  state.scan->prototypes.push_back(Prototype(state, cursor, *header));
  return CXChildVisit_Continue;
}

// Settings that hold for the whole translation unit, where one header's choice would otherwise hide
// functions: the C runtime's own printf and scanf declarations rather than mingw's inline replacements
// (a DLL exports the former), and dshow.h kept from switching off shlwapi.h's string functions for
// every header after it.
constexpr std::string_view kUmbrellaSettings =
    "#define __USE_MINGW_ANSI_STDIO 0\n"
    "#define NO_DSHOW_STRSAFE\n";

// windows.h first, then every other header FindHeaders gives, in its order.
std::string UmbrellaSource(const std::filesystem::path& folder) {
  std::string source(kUmbrellaSettings);
  source += "#include <windows.h>\n";
  for (const std::string& path : FindHeaders(folder.string()).paths) source += "#include \"" + path + "\"\n";
  return source;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// An #include line carries the path between quotes, with no escapes: a quote or a line break in it
// would end the line early, and what follows would be read as C.
bool IncludableName(const std::string& path) {
  return std::none_of(path.begin(), path.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return c == '"' || byte < 0x20 || byte == 0x7F;
  });
}

struct IndexDeleter {
  void operator()(void* index) const { clang_disposeIndex(index); }
};
struct UnitDeleter {
  void operator()(CXTranslationUnitImpl* unit) const { clang_disposeTranslationUnit(unit); }
};

}  // namespace

TypeFacts ClangTypeFacts(CXType type, bool x86) { return FactsOf(type, x86); }
HeaderFiles FindHeaders(const std::string& folderText) {
  HeaderFiles headers;
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::absolute(folderText, error).lexically_normal();
  if (!IncludableName(folder.string())) {
    headers.problems.push_back(ShownPath(folder) + ": a quote or control character in the name, which an #include line cannot carry");
    return headers;
  }
  const auto isHeader = [](const std::filesystem::path& path) { return Lower(path.filename().string()).ends_with(".h"); };
  InputFiles found = FindInputFiles(folder, isHeader);
  headers.problems = std::move(found.problems);
  for (const std::filesystem::path& path : found.files) {
    if (Lower(path.lexically_relative(folder).generic_string()) == "windows.h") continue;  // included first
    std::string problem;
    if (!IncludableName(path.string())) {
      headers.problems.push_back(ShownPath(path) + ": a quote or control character in the name, which an #include line cannot carry; not read");
    } else if (!CanReadInputFile(path, problem)) {
      headers.problems.push_back(problem);
    } else {
      headers.paths.push_back(path.string());
    }
  }
  return headers;
}

Text TypeSpelling(const std::string& type) {
  return Utf8ToText(ReplaceWord(WithoutAttributes(type), "WINBOOL", "BOOL"));
}

Text ParameterSpelling(const std::string& type, const std::string& name) {
  if (name.empty()) return TypeSpelling(type);
  // A function pointer's name goes inside its parentheses, an array's before its brackets.
  if (const std::size_t star = type.find("(*)"); star != std::string::npos) {
    return TypeSpelling(type.substr(0, star + 2) + name + type.substr(star + 2));
  }
  if (const std::size_t bracket = type.find('['); bracket != std::string::npos) {
    std::string element = type.substr(0, bracket);
    while (!element.empty() && element.back() == ' ') element.pop_back();
    return TypeSpelling(element + " " + name + type.substr(bracket));
  }
  const bool pointer = !type.empty() && type.back() == '*';
  return TypeSpelling(type + (pointer ? "" : " ") + name);
}

namespace {

// Fills `scan` from one parse of the headers for `target`.
void ScanForTarget(const std::string& folderText, const std::filesystem::path& folder, bool x86, HeaderScan& scan) {
  const std::string source = WithPackingReset(UmbrellaSource(folder));
  const std::string includeOption = "-I" + folder.string();
  const char* target = x86 ? "i686-w64-mingw32" : "x86_64-w64-mingw32";
  // Read as a Unicode program reads them, so that a generic name (WNDCLASSEX) is its wide form.
  const char* arguments[] = {"-x", "c", "-target", target, "-fms-extensions", "-ferror-limit=0",
                             "-w", includeOption.c_str(), "-DUNICODE", "-D_UNICODE"};
  CXUnsavedFile unsaved{"korvane_docs_headers.c", source.c_str(), static_cast<unsigned long>(source.size())};
  std::unique_ptr<void, IndexDeleter> index(clang_createIndex(0, 0));
  CXTranslationUnit raw = nullptr;
  const CXErrorCode code = clang_parseTranslationUnit2(
      index.get(), unsaved.Filename, arguments, static_cast<int>(std::size(arguments)), &unsaved, 1,
      CXTranslationUnit_KeepGoing | CXTranslationUnit_DetailedPreprocessingRecord, &raw);
  std::unique_ptr<CXTranslationUnitImpl, UnitDeleter> unit(raw);
  if (code != CXError_Success || !unit) {
    scan.problems.push_back(folderText + ": libclang could not parse the headers" + (x86 ? " for x86" : ""));
    return;
  }
  ScanState state{folder, unit.get(), &scan, {}, {}, x86};
  clang_visitChildren(clang_getTranslationUnitCursor(unit.get()), Visit, &state);
  ScanTypes(ParsedHeaders{unit.get(), &folder, &source, {std::begin(arguments), std::end(arguments)}, x86}, scan.types);
}

// Copies the x86 sizes and conventions of `x86` into the x64 scan, function by function (same name,
// same number of parameters) and typedef by typedef.
void MergeX86(HeaderScan& scan, const HeaderScan& x86) {
  std::unordered_map<Text, const HeaderPrototype*> byName;
  for (const HeaderPrototype& prototype : x86.prototypes) byName.emplace(prototype.name, &prototype);
  for (HeaderPrototype& prototype : scan.prototypes) {
    const auto found = byName.find(prototype.name);
    if (found == byName.end() || found->second->parameterTypes.size() != prototype.parameterTypes.size()) continue;
    const HeaderPrototype& other = *found->second;
    prototype.call = other.call;
    prototype.returnFacts.x86 = other.returnFacts.x86;
    for (std::size_t i = 0; i < prototype.parameterTypes.size(); ++i) {
      prototype.parameterTypes[i].x86 = other.parameterTypes[i].x86;
    }
  }
  for (auto& [name, facts] : scan.typedefs) {
    const auto found = x86.typedefs.find(name);
    if (found != x86.typedefs.end()) facts.x86 = found->second.x86;
  }
}

}  // namespace

HeaderScan ScanHeaders(const std::string& folderText) {
  HeaderScan scan;
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::absolute(folderText, error).lexically_normal();
  if (error || !std::filesystem::is_directory(folder, error)) {
    scan.problems.push_back(folderText + ": not a folder");
    return scan;
  }
  const HeaderFiles headers = FindHeaders(folder.string());
  if (!headers.problems.empty()) {
    scan.problems = headers.problems;
    return scan;
  }
  if (const std::string problem = OpenLibClang(); !problem.empty()) {
    scan.problems.push_back(problem);
    return scan;
  }
  ScanForTarget(folderText, folder, false, scan);
  if (!scan.problems.empty()) return scan;
  HeaderScan x86;
  ScanForTarget(folderText, folder, true, x86);
  scan.problems.insert(scan.problems.end(), x86.problems.begin(), x86.problems.end());
  MergeX86(scan, x86);
  scan.types.x86 = std::move(x86.types.x86);
  std::unordered_set<Text> declaring;
  for (const HeaderPrototype& prototype : scan.prototypes) declaring.insert(prototype.header);
  for (const std::string& path : headers.paths) {
    const Text header = Utf8ToText(std::filesystem::path(path).lexically_relative(folder).generic_string());
    if (!declaring.contains(header)) scan.silentHeaders.push_back(header);
  }
  return scan;
}

}  // namespace korvane
