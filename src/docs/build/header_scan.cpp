// The header scanner. Function bodies are parsed, not skipped, so that inline definitions in headers can
// be told from declarations of imported functions. One translation unit includes windows.h and then every header of the folder, so
// the shared declarations are parsed once; errors in one header (a C++-only header, a header meant for
// another configuration) do not stop the others.

#include "docs/build/header_scan.h"

#include "docs/build/libclang_functions.h"

#include <algorithm>
#include <filesystem>
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
};

// The declaring file's name, when the file lies in the scanned folder (or below it).
std::optional<std::string> HeaderInFolder(CXCursor cursor, const std::filesystem::path& folder) {
  CXFile file = nullptr;
  clang_getSpellingLocation(clang_getCursorLocation(cursor), &file, nullptr, nullptr, nullptr);
  if (file == nullptr) return std::nullopt;
  const std::filesystem::path path = std::filesystem::path(Strings{}(clang_getFileName(file))).lexically_normal();
  const auto relative = path.lexically_relative(folder);
  if (relative.empty() || *relative.begin() == "..") return std::nullopt;
  return path.filename().string();
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

// windows.h first, then every other header of the folder in name order.
std::string UmbrellaSource(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (entry.is_regular_file(error) && lower.ends_with(".h") && lower != "windows.h") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  std::string source = "#include <windows.h>\n";
  for (const std::string& name : names) source += "#include \"" + (folder / name).string() + "\"\n";
  return source;
}

struct IndexDeleter {
  void operator()(void* index) const { clang_disposeIndex(index); }
};
struct UnitDeleter {
  void operator()(CXTranslationUnitImpl* unit) const { clang_disposeTranslationUnit(unit); }
};

}  // namespace

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

HeaderScan ScanHeaders(const std::string& folderText) {
  HeaderScan scan;
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::absolute(folderText, error).lexically_normal();
  if (error || !std::filesystem::is_directory(folder, error)) {
    scan.problems.push_back(folderText + ": not a folder");
    return scan;
  }
  if (const std::string problem = OpenLibClang(); !problem.empty()) {
    scan.problems.push_back(problem);
    return scan;
  }
  const std::string source = UmbrellaSource(folder);
  const std::string includeOption = "-I" + folder.string();
  const char* arguments[] = {"-x", "c", "-target", "x86_64-w64-mingw32", "-fms-extensions", "-ferror-limit=0",
                             "-w", includeOption.c_str()};
  CXUnsavedFile unsaved{"korvane_docs_headers.c", source.c_str(), static_cast<unsigned long>(source.size())};
  std::unique_ptr<void, IndexDeleter> index(clang_createIndex(0, 0));
  CXTranslationUnit raw = nullptr;
  const CXErrorCode code = clang_parseTranslationUnit2(
      index.get(), unsaved.Filename, arguments, static_cast<int>(std::size(arguments)), &unsaved, 1,
      CXTranslationUnit_KeepGoing, &raw);
  std::unique_ptr<CXTranslationUnitImpl, UnitDeleter> unit(raw);
  if (code != CXError_Success || !unit) {
    scan.problems.push_back(folderText + ": libclang could not parse the headers");
    return scan;
  }
  ScanState state{folder, unit.get(), &scan, {}, {}};
  clang_visitChildren(clang_getTranslationUnitCursor(unit.get()), Visit, &state);
  return scan;
}

}  // namespace korvane
