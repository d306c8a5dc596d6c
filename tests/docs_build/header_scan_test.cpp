#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include <sys/stat.h>

#include "docs/set_builder/header_scan.h"
#include "docs/set_builder/set_builder.h"

namespace korvane {
namespace {

std::string Prototype(const HeaderPrototype& p) {
  std::string text = TextToUtf8(p.returnType) + " " + TextToUtf8(p.name) + "(";
  for (std::size_t i = 0; i < p.parameters.size(); ++i) text += (i ? ", " : "") + TextToUtf8(p.parameters[i]);
  return text + ") [" + TextToUtf8(p.header) + "]";
}

std::map<std::string, std::string> ByName(const HeaderScan& scan) {
  std::map<std::string, std::string> out;
  for (const HeaderPrototype& p : scan.prototypes) out[TextToUtf8(p.name)] = Prototype(p);
  return out;
}

class HeaderFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("korvane-headers-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  void Write(const std::string& name, const std::string& text) { std::ofstream(folder_ / name) << text; }
  std::filesystem::path folder_;
};

// The linkage and calling-convention macros, typedefs and A/W macros of a Windows SDK, in small.
constexpr char kWindowsH[] = R"(
#define WINAPI __stdcall
#define WINAPIV __cdecl
#define CALLBACK __stdcall
#define DECLSPEC_IMPORT __declspec(dllimport)
#define WINUSERAPI DECLSPEC_IMPORT
#define WINBASEAPI DECLSPEC_IMPORT
#define EXTERN_C extern
#define STDAPICALLTYPE __stdcall
#define STDAPI_(type) EXTERN_C type STDAPICALLTYPE
#define CONST const
typedef int WINBOOL;
typedef unsigned long DWORD;
typedef unsigned int UINT;
typedef unsigned long ULONG;
typedef void *HWND;
typedef void *HANDLE;
typedef const char *LPCSTR;
typedef const unsigned short *LPCWSTR;
typedef long LONG;
typedef struct tagPOINT { LONG x; LONG y; } POINT;
typedef WINBOOL (CALLBACK *WNDENUMPROC)(HWND, long);
#include "user.h"
)";

constexpr char kUserH[] = R"(
WINUSERAPI int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
WINUSERAPI int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);
#ifdef UNICODE
#define MessageBox MessageBoxW
#else
#define MessageBox MessageBoxA
#endif
WINUSERAPI WINBOOL WINAPI MessageBeep(UINT);
WINUSERAPI HWND WINAPI WindowFromPoint(POINT Point);
WINUSERAPI WINBOOL WINAPI EnumWindows(WNDENUMPROC lpEnumFunc, long lParam);
WINBASEAPI DWORD WINAPI GetTickCount(void);
WINUSERAPI int WINAPIV wsprintfA(char *, LPCSTR, ...);
WINBASEAPI void WINAPI SortThings(int (*compare)(const void *, const void *), CONST char *name);
WINBASEAPI void * WINAPI HeapThing(HANDLE hHeap, char buffer[4]);
static __inline int Inline(int a) { return a; }
)";

constexpr char kComH[] = R"(
STDAPI_(ULONG) ReleaseThing(void);
)";

TEST_F(HeaderFolder, PrototypesAreSpelledAsDeclaredWithoutLinkageMacros) {
  Write("windows.h", kWindowsH);
  Write("user.h", kUserH);
  Write("com.h", kComH);
  const HeaderScan scan = ScanHeaders(folder_.string());
  EXPECT_TRUE(scan.problems.empty());
  const auto found = ByName(scan);
  const std::map<std::string, std::string> kExpected = {
      {"MessageBoxA", "int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) [user.h]"},
      {"MessageBoxW", "int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) [user.h]"},
      {"MessageBeep", "BOOL MessageBeep(UINT) [user.h]"},
      {"WindowFromPoint", "HWND WindowFromPoint(POINT Point) [user.h]"},
      {"EnumWindows", "BOOL EnumWindows(WNDENUMPROC lpEnumFunc, long lParam) [user.h]"},
      {"GetTickCount", "DWORD GetTickCount() [user.h]"},
      {"wsprintfA", "int wsprintfA(char *, LPCSTR, ...) [user.h]"},
      {"SortThings", "void SortThings(int (*compare)(const void *, const void *), CONST char *name) [user.h]"},
      {"HeapThing", "void * HeapThing(HANDLE hHeap, char buffer[4]) [user.h]"},
      {"ReleaseThing", "ULONG ReleaseThing() [com.h]"},
  };
  for (const auto& [name, prototype] : kExpected) {
    ASSERT_EQ(found.count(name), 1u) << name;
    EXPECT_EQ(found.at(name), prototype);
  }
  EXPECT_EQ(found.count("Inline"), 0u);  // a definition is not an imported function
  EXPECT_EQ(found.size(), kExpected.size());
}

// Headers in subfolders count, named by their path below the folder; a header that declares nothing is
// named as such.
TEST_F(HeaderFolder, SubfoldersAreScannedAndSilentHeadersNamed) {
  Write("windows.h", kWindowsH);
  Write("user.h", kUserH);
  std::filesystem::create_directories(folder_ / "GL" / "deeper");
  Write("GL/gl.h", "void WINAPI glBegin(UINT mode);\n");
  Write("GL/deeper/glu.h", "void WINAPI gluNothing(void);\n");
  Write("GL/types.h", "typedef float GLfloat;\n");
  const HeaderScan scan = ScanHeaders(folder_.string());
  EXPECT_TRUE(scan.problems.empty());
  const auto found = ByName(scan);
  ASSERT_EQ(found.count("glBegin"), 1u);
  EXPECT_EQ(found.at("glBegin"), "void glBegin(UINT mode) [GL/gl.h]");
  ASSERT_EQ(found.count("gluNothing"), 1u);
  EXPECT_EQ(found.at("gluNothing"), "void gluNothing() [GL/deeper/glu.h]");
  EXPECT_EQ(scan.silentHeaders, std::vector<Text>{u"GL/types.h"});
}

// What cannot be read, or cannot be named on an #include line, is named and nothing is parsed: a file
// name must never become C source, and a pipe or a device must never be read.
TEST_F(HeaderFolder, HeadersThatCannotBeReadAreNamedAndNothingIsParsed) {
  const struct {
    const char* what;
    std::function<void(const std::filesystem::path&)> make;
    const char* problem;
  } kCases[] = {
      {"a pipe", [](const auto& folder) { ASSERT_EQ(::mkfifo((folder / "sub" / "pipe.h").c_str(), 0644), 0); },
       "sub/pipe.h: not a regular file"},
      {"a link to a device", [](const auto& folder) { std::filesystem::create_symlink("/dev/zero", folder / "zero.h"); },
       "zero.h: not a regular file"},
      {"a link to nothing", [](const auto& folder) { std::filesystem::create_symlink(folder / "gone", folder / "gone.h"); },
       "gone.h: a link to nothing"},
      {"a line break in the name",
       [](const auto& folder) { std::ofstream(folder / "nl\n#define MessageBeep Injected\n.h") << "int x(void);"; },
       "nl\\n#define MessageBeep Injected\\n.h: a quote or control character"},
      {"a quote in the name", [](const auto& folder) { std::ofstream(folder / "q\"x.h") << "int q(void);"; },
       "q\"x.h: a quote or control character"},
  };
  for (const auto& c : kCases) {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_ / "sub");
    Write("windows.h", kWindowsH);
    Write("user.h", kUserH);
    c.make(folder_);
    const HeaderScan scan = ScanHeaders(folder_.string());
    ASSERT_EQ(scan.problems.size(), 1u) << c.what;
    EXPECT_NE(scan.problems[0].find((folder_ / c.problem).string()), std::string::npos) << scan.problems[0];
    EXPECT_TRUE(scan.prototypes.empty()) << c.what;
  }
}

TEST_F(HeaderFolder, ReferencePagesAddAnnotationsDescriptionGroupAndLibrary) {
  Write("windows.h", kWindowsH);
  Write("user.h", kUserH);
  Write("com.h", kComH);
  ReferenceImport reference;
  ReferenceFunction page{u"MessageBoxW", u"Displays a box.", {}, u"Dialog Boxes", u"winuser.h", u"User32"};
  page.parameters = {{u"hWnd", u"_In_opt_"}, {u"lpText", u"_In_opt_"}, {u"lpCaption", u"_In_opt_"}, {u"uType", u"_In_"}};
  reference.byName.emplace(page.name, page);
  // Parameter names the page does not share with the header: matched by position.
  ReferenceFunction beep{u"MessageBeep", u"Plays a sound.", {{u"uType", u"_In_"}}, u"Dialog Boxes", u"", u"User32"};
  reference.byName.emplace(beep.name, beep);
  const DocumentationSet set = BuildDocumentationSet(ScanHeaders(folder_.string()).prototypes, reference);

  const auto box = FindFunction(set, u"MessageBoxW");
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(FunctionAt(set, *box).parameters,
            (std::vector<Text>{u"_In_opt_ HWND hWnd", u"_In_opt_ LPCWSTR lpText", u"_In_opt_ LPCWSTR lpCaption", u"_In_ UINT uType"}));
  EXPECT_EQ(FunctionAt(set, *box).library, u"User32");
  EXPECT_EQ(GroupAt(set, *box).title, u"Dialog Boxes");
  EXPECT_EQ(GroupAt(set, *box).functions.size(), 2u);  // with MessageBeep
  EXPECT_EQ(FunctionAt(set, *FindFunction(set, u"MessageBeep")).parameters, std::vector<Text>{u"_In_ UINT"});

  // Without a page the header's data stays and the header names the group.
  const auto ansi = FindFunction(set, u"MessageBoxA");
  ASSERT_TRUE(ansi.has_value());
  EXPECT_EQ(GroupAt(set, *ansi).title, u"user.h");
  EXPECT_EQ(FunctionAt(set, *ansi).parameters.front(), u"HWND hWnd");
  // The generic name reaches the wide form.
  EXPECT_EQ(FunctionAt(set, *ResolveFunction(set, u"MessageBox")).name, u"MessageBoxW");
}

TEST(ParameterNameTest, FindsTheNameOrNothing) {
  const struct {
    Text spelling;
    Text name;
  } kCases[] = {
      {u"LPCWSTR lpText", u"lpText"}, {u"LPCWSTR", u""},       {u"const char *p", u"p"},
      {u"CONST WNDCLASSEXW *", u""},  {u"int (*cb)(int x)", u"cb"}, {u"char buffer[4]", u"buffer"},
      {u"void (*)(int)", u""},
  };
  for (const auto& c : kCases) EXPECT_EQ(ParameterName(c.spelling), c.name) << TextToUtf8(c.spelling);
}

// Debian's mingw-w64 headers, when installed.
TEST(DebianHeadersTest, KnownPrototypes) {
  const std::string folder = "/usr/x86_64-w64-mingw32/include";
  if (!std::filesystem::exists(folder + "/windows.h")) GTEST_SKIP() << "mingw-w64 headers not installed";
  const auto found = ByName(ScanHeaders(folder));
  const std::map<std::string, std::string> kExpected = {
      {"MessageBoxW", "int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) [winuser.h]"},
      {"Beep", "BOOL Beep(DWORD dwFreq, DWORD dwDuration) [utilapiset.h]"},
      {"CreateFileW",
       "HANDLE CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, LPSECURITY_ATTRIBUTES "
       "lpSecurityAttributes, DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) "
       "[fileapi.h]"},
      {"WindowFromPoint", "HWND WindowFromPoint(POINT Point) [winuser.h]"},
      {"DllGetClassObject", "HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID *ppv) [combaseapi.h]"},
      // The C runtime's own declarations, not mingw's inline replacements.
      {"printf", "int printf(const char *__restrict__ _Format, ...) [stdio.h]"},
      // Not hidden by dshow.h, which switches off shlwapi.h's string functions for itself.
      {"StrCmpW", "int StrCmpW(LPCWSTR psz1, LPCWSTR psz2) [shlwapi.h]"},
      {"glBegin", "void glBegin(GLenum mode) [GL/gl.h]"},
  };
  for (const auto& [name, prototype] : kExpected) {
    ASSERT_EQ(found.count(name), 1u) << name;
    EXPECT_EQ(found.at(name), prototype);
  }
  EXPECT_EQ(found.count("MessageBoxA"), 1u);
  EXPECT_GT(found.size(), 20000u);
}

}  // namespace
}  // namespace korvane
