#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

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
