// Import files for Debian's mingw-w64 import libraries, typed from a set built from the real headers:
// on x86 the declared parameters must take exactly the stack bytes of the library's own "@N"; on x64
// the mingw-w64 compiler must agree with every declared parameter's size.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <iterator>
#include <memory>
#include <unordered_map>

#include "catalogue/archive_reader.h"
#include "catalogue/symbol_names.h"
#include "docs/set_builder/set_builder.h"
#include "helpers/import_grammar.h"
#include "importfile/import_file.h"
#include "importfile/ide_names.h"
#include "importfile/import_model.h"
#include "importfile/library_symbols.h"

namespace korvane {
namespace {

constexpr char kHeaders[] = "/usr/x86_64-w64-mingw32/include";

// Scanning the headers for both targets takes a while: once per test binary.
const DocumentationSet* BuiltSet() {
  static const std::unique_ptr<DocumentationSet> set = []() -> std::unique_ptr<DocumentationSet> {
    if (!std::filesystem::exists(kHeaders)) return nullptr;
    const HeaderScan scan = ScanHeaders(kHeaders);
    return std::make_unique<DocumentationSet>(BuildDocumentationSet(scan.prototypes, ReferenceImport{}, scan.typedefs));
  }();
  return set.get();
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The library's functions, every one ticked and filled from the set as a lookup over it fills them:
// a pair's generic entry from its wide form.
struct Library {
  LibraryEntry entry;
  std::unordered_map<Text, Text> symbols;
  int withReturn = 0;
};

// The library read as "Load LIBs" reads it: every function ticked, none looked up.
Library Raw(const std::string& path) {
  Library library;
  const std::vector<std::uint8_t> image = ReadBytes(path);
  std::vector<Text> names;
  ReadImportArchive(image, [&names](Text&& name) {
    names.push_back(std::move(name));
    return true;
  });
  library.entry.functions = NormaliseNames(names, library.entry.x86);
  for (ApiFunction& record : library.entry.functions) record.checked = 1;
  library.entry.path = Utf8ToText(path);
  library.symbols = DecoratedSymbols(image, library.entry.x86 != 0);
  return library;
}

Library LookedUp(const DocumentationSet& set, const std::string& path) {
  Library library = Raw(path);
  for (ApiFunction& record : library.entry.functions) {
    const auto ref = ResolveFunction(set, record.Function);
    if (!ref) continue;
    const DocFunction& function = FunctionAt(set, *ref);
    record.Return = function.returnType;
    for (const Text& parameter : function.parameters) {
      record.Parameters += (record.Parameters.empty() ? u"" : u", ") + parameter;
    }
    ++library.withReturn;
  }
  return library;
}

ImportFile Write(const Library& library, const DocumentationSet& set, bool withSymbols) {
  ImportFileRequest request;
  request.library = &library.entry;
  request.libraryFileName = std::filesystem::path(TextToUtf8(library.entry.path)).filename().u16string();
  request.set = &set;
  request.symbols = withSymbols ? &library.symbols : nullptr;
  return WriteImportFile(request);
}

// x86: the file is written without the library's symbols, so no declaration is turned into a comment
// for a difference; each "@N" is then compared with the library's own symbol, and with the sum of the
// declared parameters' stack bytes.
void CheckX86(const DocumentationSet& set) {
  static constexpr const char* kLibraries[] = {"kernel32", "user32", "gdi32", "advapi32", "shell32",
                                               "ws2_32", "comctl32", "ole32", "winmm", "version"};
  int compared = 0;
  int exact = 0;
  std::string differences;  // the first few, shown when too many differ
  int declared = 0;
  int withReturn = 0;
  for (const char* name : kLibraries) {
    const std::string path = std::string("/usr/i686-w64-mingw32/lib/lib") + name + ".a";
    if (!std::filesystem::exists(path)) continue;
    const Library library = LookedUp(set, path);
    ASSERT_EQ(library.entry.x86, 1) << path;
    const ImportFile file = Write(library, set, false);
    const testing::ParsedImportFile parsed = testing::ParseImportFile(file.bytes);
    ASSERT_EQ(parsed.error, "") << path;
    withReturn += library.withReturn;
    // The functions the IDE imports itself are accounted for: they are left out on purpose.
    declared += static_cast<int>(parsed.declarations.size());
    for (const std::string& comment : parsed.comments) declared += comment.find(": the IDE imports ") != std::string::npos;
    for (const testing::Declaration& declaration : parsed.declarations) {
      const std::string& symbol = declaration.symbol;
      const std::size_t at = symbol.rfind('@');
      const Text imported = Utf8ToText(symbol.substr(1, at == std::string::npos ? std::string::npos : at - 1));
      const auto own = library.symbols.find(imported);
      if (own == library.symbols.end() || own->second.find(u'@') == Text::npos) continue;
      ++compared;
      int bytes = 0;
      for (const testing::DeclaredParameter& parameter : declaration.parameters) bytes += testing::StackBytes(parameter.type);
      const bool same = Utf8ToText(symbol) == own->second && "@" + std::to_string(bytes) == symbol.substr(at);
      if (same) ++exact;
      if (!same && compared - exact <= 20) {
        differences += std::string(name) + ": " + symbol + " with " + std::to_string(bytes) +
                       " bytes of parameters; the library has " + TextToUtf8(own->second) + "\n";
      }
    }
  }
  if (compared == 0) GTEST_SKIP() << "no 32-bit mingw-w64 import libraries";
  std::cout << exact << " of " << compared << " stdcall declarations match their library's symbol; " << declared
            << " of " << withReturn << " functions declared\n";
  EXPECT_GE(exact * 100, compared * 99) << exact << " of " << compared << " stdcall declarations match:\n"
                                        << differences;
  EXPECT_GE(declared * 100, withReturn * 95) << declared << " of " << withReturn << " functions declared";
}

// The C type of a parameter as a statement that gives its size: the header's spelling declares a
// local variable, or names the type itself when it is unnamed. Arrays are left out: a local array is
// not the pointer the call passes.
std::optional<std::string> SizeExpression(const Text& spelling, std::string& declaration) {
  if (spelling.find(u'[') != Text::npos || spelling == u"...") return std::nullopt;
  const Text name = ParameterName(spelling);
  if (name.empty()) return "sizeof(" + TextToUtf8(spelling) + ")";
  declaration = TextToUtf8(spelling) + ";";
  return "sizeof(" + TextToUtf8(name) + ")";
}

int DeclaredSize(const std::string& type) {
  if (type == "b" || type == "a") return 1;
  if (type == "w" || type == "u") return 2;
  if (type == "l" || type == "f") return 4;
  return 8;
}

// x64: one static assertion per declared parameter of kernel32 and user32, compiled by mingw-w64. Each
// declaring header gets a translation unit of its own after windows.h; a header that does not compile
// that way (some need others first) has its assertions left out, and at least 90% must be in.
void CheckX64(const DocumentationSet& set) {
  const char* compiler = "x86_64-w64-mingw32-gcc";
  if (std::system((std::string(compiler) + " --version >/dev/null 2>&1").c_str()) != 0) {
    GTEST_SKIP() << "no mingw-w64 compiler";
  }
  std::map<std::string, std::pair<std::string, int>> units;  // header -> assertions, their count
  int checks = 0;
  for (const char* name : {"kernel32", "user32"}) {
    const std::string path = std::string("/usr/x86_64-w64-mingw32/lib/lib") + name + ".a";
    if (!std::filesystem::exists(path)) continue;
    const Library library = LookedUp(set, path);
    const testing::ParsedImportFile parsed = testing::ParseImportFile(Write(library, set, false).bytes);
    ASSERT_EQ(parsed.error, "") << path;
    for (const testing::Declaration& declaration : parsed.declarations) {
      const Text imported = declaration.symbol.empty() ? Utf8ToText(declaration.name) : Utf8ToText(declaration.symbol);
      const auto ref = FindFunction(set, imported);
      if (!ref) continue;
      const DocFunction& function = FunctionAt(set, *ref);
      // Headers of an inner folder are included by others, under conditions of their own.
      const std::string header = TextToUtf8(function.header);
      if (!std::filesystem::exists(std::filesystem::path(kHeaders) / header)) continue;
      // A variadic function's "..." becomes the optional slots.
      const bool variadic = !function.parameters.empty() && function.parameters.back() == u"...";
      const std::size_t expected = function.parameters.size() + (variadic ? kVariadicSlots - 1 : 0);
      if (expected != declaration.parameters.size()) {
        ADD_FAILURE() << declaration.name << ": " << declaration.parameters.size() << " declared, "
                      << function.parameters.size() << " in C";
        continue;
      }
      auto& [body, count] = units[header];
      for (std::size_t i = 0; i < function.parameters.size(); ++i) {
        std::string local;
        const auto size = SizeExpression(function.parameters[i], local);
        if (!size) continue;
        const int declared = DeclaredSize(declaration.parameters[i].type);
        // A structure larger than 8 bytes is passed by address, declared as a pointer.
        const std::string byAddress = declaration.parameters[i].type == "i" ? " || " + *size + " > 8" : "";
        body += " { " + local + " _Static_assert(" + *size + " == " + std::to_string(declared) + byAddress +
                ", \"" + declaration.name + " parameter " + std::to_string(i + 1) + "\"); }\n";
        ++count;
        ++checks;
      }
    }
  }
  ASSERT_GT(checks, 1000);
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("korvane-pbi-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::string command = std::string(compiler) + " -fsyntax-only -w";
  std::vector<int> counts;
  for (const auto& [header, unit] : units) {
    const std::string file = (folder / ("check_" + std::to_string(counts.size()) + ".c")).string();
    std::ofstream(file) << "#include <windows.h>\n#include <" << header << ">\nvoid check(void) {\n" << unit.first << "}\n";
    command += " " + file;
    counts.push_back(unit.second);
  }
  command += " > " + (folder / "errors.txt").string() + " 2>&1";
  (void)std::system(command.c_str());
  // Diagnostics name their unit's file; errors other than a failed assertion make the unit unusable.
  std::ifstream errors(folder / "errors.txt");
  std::vector<bool> broken(counts.size(), false);
  std::vector<std::string> failures(counts.size());
  std::size_t current = 0;
  for (std::string line; std::getline(errors, line);) {
    const std::size_t at = line.find("/check_");
    if (at != std::string::npos) current = std::strtoul(line.c_str() + at + 7, nullptr, 10);
    if (current >= counts.size() || line.find("error:") == std::string::npos) continue;
    if (line.find("static assertion failed") != std::string::npos) {
      failures[current] += line + "\n";
    } else {
      broken[current] = true;
    }
  }
  int compiled = 0;
  for (std::size_t i = 0; i < counts.size(); ++i) {
    if (broken[i]) continue;
    compiled += counts[i];
    EXPECT_EQ(failures[i], "");
  }
  std::cout << compiled << " of " << checks << " parameter sizes checked by the compiler\n";
  EXPECT_GE(compiled * 10, checks * 9);
  std::filesystem::remove_all(folder);
}

bool IsPseudotype(const std::string& type) { return type == "p-ascii" || type == "p-unicode"; }

// One run over ten raw libraries per architecture, as a user who includes all ten files would: the files
// must compile together and every name must be one the IDE expects.
TEST(ImportFileRealTest, RawLibrariesGiveFilesTheIdeIncludesAsTheyAre) {
  const DocumentationSet* set = BuiltSet();
  if (set == nullptr) GTEST_SKIP() << "the mingw-w64 headers are not present";
  static constexpr const char* kLibraries[] = {"kernel32", "user32", "gdi32", "ws2_32", "msvcrt",
                                               "winmm", "advapi32", "ole32", "oleaut32", "opengl32"};
  // Parameters whose text is an ID, binary data, a position or a list: never a pseudotype.
  const std::map<std::string, std::vector<std::string>> kNotConverted = {
      {"LoadCursorW_", {"lpCursorName"}}, {"LoadCursorA_", {"lpCursorName"}}, {"LoadIconW_", {"lpIconName"}},
      {"FindResourceW_", {"lpName", "lpType"}}, {"FindResourceA_", {"lpName", "lpType"}},
      {"PlaySoundW_", {"pszSound"}}, {"send_", {"buf"}}, {"recv_", {"buf"}}, {"setsockopt_", {"optval"}},
      {"MultiByteToWideChar_", {"lpMultiByteStr"}}, {"CharPrevA_", {"lpStart", "lpCurrentChar"}},
      {"CreateServiceA_", {"lpDependencies"}}, {"CreateServiceW_", {"lpDependencies"}}};
  for (const bool x86 : {false, true}) {
    const std::string folder = x86 ? "/usr/i686-w64-mingw32/lib/lib" : "/usr/x86_64-w64-mingw32/lib/lib";
    std::unordered_map<Text, Text> runNames;
    std::set<std::string> seen;
    int glExports = 0;
    int glDeclared = 0;
    int rawDeclared = 0;
    int lookedUpDeclared = 0;
    for (const char* name : kLibraries) {
      const std::string path = folder + name + ".a";
      if (!std::filesystem::exists(path)) continue;
      const Library raw = Raw(path);
      ImportFileRequest request;
      request.library = &raw.entry;
      request.libraryFileName = Utf8ToText(std::string("lib") + name + ".a");
      request.set = set;
      request.symbols = &raw.symbols;
      request.runNames = &runNames;
      const ImportFile file = WriteImportFile(request);
      const testing::ParsedImportFile parsed = testing::ParseImportFile(file.bytes);
      ASSERT_EQ(parsed.error, "") << path;
      rawDeclared += file.declared;
      lookedUpDeclared += Write(LookedUp(*set, path), *set, true).declared;
      for (const testing::Declaration& declaration : parsed.declarations) {
        const Text ide = Utf8ToText(declaration.name);
        EXPECT_FALSE(IsIdeKeyword(ide) || IsIdeCommand(ide) || IsIdeImport(ide)) << path << ": " << declaration.name;
        EXPECT_TRUE(seen.insert(TextToUtf8(IdeNameKey(ide))).second) << "declared twice: " << declaration.name;
        for (const testing::DeclaredParameter& parameter : declaration.parameters) {
          EXPECT_FALSE(IsIdeKeyword(Utf8ToText(parameter.name))) << declaration.name << " " << parameter.name;
        }
        const auto rule = kNotConverted.find(declaration.name);
        for (const testing::DeclaredParameter& parameter : declaration.parameters) {
          if (rule == kNotConverted.end()) break;
          for (const std::string& text : rule->second) {
            EXPECT_FALSE(parameter.name == text && IsPseudotype(parameter.type)) << declaration.name << " " << text;
          }
        }
        const auto ref = FindFunction(*set, Utf8ToText(declaration.name.substr(0, declaration.name.size() - 1)));
        if (ref && !FunctionAt(*set, *ref).parameters.empty() && FunctionAt(*set, *ref).parameters.back() == u"...") {
          EXPECT_TRUE(!declaration.parameters.empty() && declaration.parameters.back().optional)
              << declaration.name << ": variadic without its slots";
        }
        if (!x86 && declaration.name == "GetStringTypeA_") {
          EXPECT_EQ(declaration.parameters.size(), 5u);
        }
        glDeclared += std::string(name) == "opengl32" && declaration.name.rfind("gl", 0) == 0;
      }
      if (std::string(name) == "opengl32") {
        for (const ApiFunction& record : raw.entry.functions) glExports += record.Function.starts_with(u"gl");
      }
    }
    std::cout << (x86 ? "x86: " : "x64: ") << rawDeclared << " declared from the set, " << lookedUpDeclared
              << " after a lookup; " << glDeclared << " of " << glExports << " gl functions\n";
    EXPECT_GE(rawDeclared * 10, lookedUpDeclared * 9);
    EXPECT_GE(glDeclared * 10, glExports * 9);
  }
}

TEST(ImportFileRealTest, DeclarationsMatchTheLibrariesOnX86AndTheCompilerOnX64) {
  const DocumentationSet* set = BuiltSet();
  if (set == nullptr) GTEST_SKIP() << "the mingw-w64 headers are not present";
  CheckX86(*set);
  CheckX64(*set);
}

}  // namespace
}  // namespace korvane
