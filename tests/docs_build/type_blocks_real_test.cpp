// The structures and constants written for ten real libraries, proven against the mingw-w64 C compilers
// of both architectures: every structure is laid out by the IDE's rules from the written text, and a C
// file of _Static_asserts of its size, each field's offset and size, and each constant's value is
// compiled with x86_64-w64-mingw32-gcc and i686-w64-mingw32-gcc over the same headers.

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>

#include "catalogue/archive_reader.h"
#include "catalogue/symbol_names.h"
#include "docs/set_builder/set_builder.h"
#include "helpers/ide_layout.h"
#include "importfile/type_model.h"

namespace korvane {
namespace {

constexpr char kHeaders[] = "/usr/x86_64-w64-mingw32/include";
constexpr const char* kLibraries[] = {"kernel32", "user32", "gdi32", "ws2_32", "setupapi",
                                      "winhttp", "dbghelp", "comctl32", "ole32", "advapi32"};

struct Built {
  DocumentationSet set;
  CTypes types;
};

// Scanning the headers for both targets takes a while: once per test binary.
const Built* BuiltTypes() {
  static const std::unique_ptr<Built> built = []() -> std::unique_ptr<Built> {
    if (!std::filesystem::exists(kHeaders)) return nullptr;
    const HeaderScan scan = ScanHeaders(kHeaders);
    if (!scan.problems.empty() || scan.types.x64.records.empty()) return nullptr;
    auto result = std::make_unique<Built>();
    result->set = BuildDocumentationSet(scan.prototypes, ReferenceImport{}, scan.typedefs);
    // Through the set's text, as an import file reads it.
    result->set.cTypes = SetTypesText(scan);
    result->types = ReadCTypes(result->set.cTypes).value_or(CTypes{});
    return result;
  }();
  return built.get();
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

LibraryEntry Library(const std::string& path) {
  LibraryEntry entry;
  std::vector<Text> names;
  ReadImportArchive(ReadBytes(path), [&names](Text&& name) {
    names.push_back(std::move(name));
    return true;
  });
  entry.functions = NormaliseNames(names, entry.x86);
  entry.path = Utf8ToText(path);
  return entry;
}

bool HaveCompilers() {
  return std::system("x86_64-w64-mingw32-gcc --version >/dev/null 2>&1") == 0 &&
         std::system("i686-w64-mingw32-gcc --version >/dev/null 2>&1") == 0;
}

// What one architecture's check found.
struct Tally {
  int checks = 0;     // assertions the compiler judged
  int failed = 0;     // of which failed
  int unjudged = 0;   // assertions the compiler could not judge: a header that does not compile alone
  int structures = 0;
  int constants = 0;
  int fields = 0;
  int memberFields = 0;
  std::set<std::string> names;  // structures and constants written, '<library>:<name>'
  std::string failures;         // the first few
};

// The assertions for each header, one per line: what the file says of the header's structures and
// constants. Each structure and constant is judged once per architecture, in the header that declares it.
using Groups = std::map<std::string, std::set<std::string>>;

void AddAssertions(const testing::LaidFile& file, const std::string& library, Tally& tally, Groups& groups) {
  for (const testing::LaidStructure& s : file.structures) {
    for (const testing::LaidField& f : s.fields) {
      ++tally.fields;
      if (!f.padding) ++tally.memberFields;
    }
    if (!s.cNamed) continue;
    tally.names.insert(library + ":" + s.name);
    std::set<std::string>& group = groups[s.header];
    auto check = [&](const std::string& condition, const std::string& label) {
      group.insert("_Static_assert(" + condition + ", \"" + label + "\");");
    };
    check("sizeof(" + s.cSpelling + ") == " + std::to_string(s.size), "sizeof " + s.name);
    for (const testing::LaidField& f : s.fields) {
      if (f.padding || f.bitFields) continue;
      check("offsetof(" + s.cSpelling + ", " + f.cName + ") == " + std::to_string(f.offset),
            "offsetof " + s.name + "." + f.cName);
      check("sizeof(((" + s.cSpelling + " *)0)->" + f.cName + ") == " + std::to_string(f.size),
            "sizeof " + s.name + "." + f.cName);
    }
  }
  for (const testing::LaidConstant& c : file.constants) {
    tally.names.insert(library + ":#" + c.name);
    std::set<std::string>& group = groups[c.header];
    if (c.isString) {
      group.insert("_Static_assert(sizeof(" + c.name + ") / sizeof((" + c.name + ")[0]) == " +
                   std::to_string(c.text.size() + 1) + ", \"length #" + c.name + "\");");
      continue;
    }
    // A pointer constant (a handle, a resource name) is compared as the pointer-sized integer it holds.
    group.insert("_Static_assert(__builtin_choose_expr(__builtin_classify_type(" + c.name +
                 ") == 5, (long long)(__INTPTR_TYPE__)(" + c.name + "), (long long)(" + c.name + ")) == " +
                 std::to_string(c.value) + "LL, \"value #" + c.name + "\");");
  }
}

std::string RunCompiler(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string output;
  if (!pipe) return "error: the compiler could not be started";
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) output += buffer;
  return output;
}

// Compiles the assertions of one header after windows.h and the header. An assertion the compiler
// cannot evaluate (a macro of another header, a type declared elsewhere) is taken out and counted as
// unjudged, and the rest compiled again; a header that does not compile at all leaves all unjudged.
void CompileGroup(const std::string& compiler, const std::string& header, const std::set<std::string>& group,
                  Tally& tally) {
  const std::string prelude = "#define UNICODE\n#define _UNICODE\n#include <winsock2.h>\n#include <ws2tcpip.h>\n"
                              "#include <windows.h>\n#include <stddef.h>\n#include <" + header + ">\n";
  const int preludeLines = 7;
  std::vector<std::string> lines(group.begin(), group.end());
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "korvane_type_blocks.c";
  for (int pass = 0; pass < 4 && !lines.empty(); ++pass) {
    std::string source = prelude;
    for (const std::string& line : lines) source += line + "\n";
    std::ofstream(file) << source;
    const std::string output = RunCompiler(compiler + " -fsyntax-only -w -fmax-errors=0 " + file.string() + " 2>&1");
    std::set<std::size_t> failed;
    std::set<std::size_t> unjudged;
    std::istringstream messages(output);
    std::string message;
    bool headerBroken = false;
    while (std::getline(messages, message)) {
      const std::size_t error = message.find(": error: ");
      if (error == std::string::npos) continue;
      const std::size_t colon = message.find(".c:");
      const long line = colon == std::string::npos ? 0 : std::strtol(message.c_str() + colon + 3, nullptr, 10);
      if (line <= preludeLines || message.find(file.filename().string()) == std::string::npos) {
        headerBroken = true;
        continue;
      }
      const std::size_t index = static_cast<std::size_t>(line - preludeLines - 1);
      if (message.find("static assertion failed") != std::string::npos) {
        if (failed.insert(index).second && tally.failures.size() < 6000) {
          tally.failures += compiler + " " + header + ": " + message.substr(error + 9) + "\n";
        }
      } else {
        unjudged.insert(index);
      }
    }
    if (headerBroken) {
      tally.unjudged += static_cast<int>(lines.size());
      return;
    }
    if (unjudged.empty()) {
      tally.checks += static_cast<int>(lines.size());
      tally.failed += static_cast<int>(failed.size());
      return;
    }
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (unjudged.count(i) == 0) kept.push_back(lines[i]);
    }
    tally.unjudged += static_cast<int>(lines.size() - kept.size());
    lines = std::move(kept);
  }
  tally.unjudged += static_cast<int>(lines.size());
}

Tally CheckArchitecture(const Built& built, bool x86) {
  Tally tally;
  const std::string triple = x86 ? "i686-w64-mingw32" : "x86_64-w64-mingw32";
  Groups groups;
  std::set<std::string> structures;
  std::set<std::string> constants;
  for (const char* name : kLibraries) {
    const std::string path = "/usr/" + triple + "/lib/lib" + name + ".a";
    if (!std::filesystem::exists(path)) continue;
    const LibraryEntry library = Library(path);
    EXPECT_EQ(library.x86 != 0, x86) << path;
    const testing::LaidFile laid = testing::LayOutIdeFile(LibraryTypeBlocks(library, built.set, false), x86);
    EXPECT_EQ(laid.error, "") << path;
    for (const testing::LaidStructure& s : laid.structures) {
      if (s.cNamed) structures.insert(s.name);
    }
    for (const testing::LaidConstant& c : laid.constants) constants.insert(c.name);
    AddAssertions(laid, name, tally, groups);
  }
  tally.structures = static_cast<int>(structures.size());
  tally.constants = static_cast<int>(constants.size());
  for (const auto& [header, group] : groups) CompileGroup(triple + "-gcc", header, group, tally);
  return tally;
}

void Report(const Tally& tally, const char* architecture) {
  const double equal = tally.checks == 0 ? 0 : 100.0 * (tally.checks - tally.failed) / tally.checks;
  std::cout << architecture << ": " << tally.structures << " structures, " << tally.constants << " constants, "
            << tally.checks << " compiler checks, " << tally.failed << " failed (" << equal << "% equal), "
            << tally.unjudged << " not judged (their header does not compile alone); " << tally.memberFields
            << " of " << tally.fields << " fields are C members\n";
  // Most of what is written must be judged, or the share equal says little. What is not comes from
  // headers that do not compile after windows.h alone (winddi.h needs the DDK's ddrawint.h, ole.h
  // clashes with ole2.h): about 5.5% of the checks with Debian's headers.
  EXPECT_LE(tally.unjudged * 10, tally.checks + tally.unjudged) << architecture;
  EXPECT_GE((tally.checks - tally.failed) * 1000, tally.checks * 995) << architecture << "\n" << tally.failures;
  EXPECT_GE(tally.structures, 200) << architecture;
  EXPECT_GE(tally.constants, 2000) << architecture;
  EXPECT_GE(tally.memberFields * 10, tally.fields * 9) << architecture;
}

TEST(TypeBlocksReal, LayoutsAndValuesAreTheCompilersOnBothArchitectures) {
  if (!HaveCompilers()) GTEST_SKIP() << "the mingw-w64 compilers for both architectures are needed";
  const Built* built = BuiltTypes();
  if (built == nullptr) GTEST_SKIP() << "no mingw-w64 headers or no libclang";
  const Tally x64 = CheckArchitecture(*built, false);
  const Tally x86 = CheckArchitecture(*built, true);
  Report(x64, "x64");
  Report(x86, "x86");
  // What a program written for these libraries uses every day is there, in its library's file.
  const std::vector<std::string> expected = {
      "user32:WNDCLASSEX", "user32:MSG", "user32:PAINTSTRUCT", "user32:RECT", "user32:POINT",
      "user32:CREATESTRUCT", "user32:MONITORINFO", "kernel32:SYSTEM_INFO", "kernel32:MEMORYSTATUSEX",
      "kernel32:WIN32_FIND_DATA", "kernel32:OVERLAPPED", "kernel32:SECURITY_ATTRIBUTES", "kernel32:STARTUPINFO",
      "kernel32:PROCESS_INFORMATION", "kernel32:FILETIME", "kernel32:SYSTEMTIME", "gdi32:LOGFONT",
      "gdi32:BITMAPINFOHEADER", "gdi32:PIXELFORMATDESCRIPTOR", "gdi32:TEXTMETRIC", "ws2_32:WSADATA",
      "ws2_32:SOCKADDR_IN", "ws2_32:FD_SET", "setupapi:SP_DEVINFO_DATA", "setupapi:SP_DEVICE_INTERFACE_DATA",
      "winhttp:URL_COMPONENTS", "dbghelp:SYMBOL_INFO", "dbghelp:IMAGEHLP_LINE64",
      "user32:#WM_PAINT", "user32:#WS_OVERLAPPEDWINDOW", "user32:#CW_USEDEFAULT", "user32:#MB_OK",
      "user32:#IDC_ARROW", "user32:#HWND_TOPMOST", "user32:#GWLP_WNDPROC", "kernel32:#GENERIC_READ",
      "kernel32:#OPEN_EXISTING", "kernel32:#INVALID_HANDLE_VALUE", "kernel32:#INFINITE", "kernel32:#MEM_COMMIT",
      "gdi32:#SRCCOPY", "ws2_32:#AF_INET", "ws2_32:#INVALID_SOCKET", "setupapi:#DIGCF_PRESENT",
      "winhttp:#WINHTTP_FLAG_SECURE", "dbghelp:#SYMOPT_UNDNAME", "advapi32:#HKEY_LOCAL_MACHINE",
      "advapi32:#KEY_READ", "advapi32:#REG_SZ", "advapi32:#TOKEN_QUERY"};
  for (const std::string& name : expected) {
    // A generic name counts when its wide form is written.
    const bool onX64 = x64.names.count(name) != 0 || x64.names.count(name + "W") != 0;
    const bool onX86 = x86.names.count(name) != 0 || x86.names.count(name + "W") != 0;
    EXPECT_TRUE(onX64 && onX86) << name << (onX64 ? "" : " missing on x64") << (onX86 ? "" : " missing on x86");
  }
}

}  // namespace
}  // namespace korvane
