#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helpers/import_grammar.h"
#include "importfile/import_file.h"

namespace korvane {
namespace {

ApiFunction Record(Text name, Text parameters, Text returned, Text ansiUni = {}, int checked = 1) {
  ApiFunction record;
  record.Function = std::move(name);
  record.Parameters = std::move(parameters);
  record.Return = std::move(returned);
  record.AnsiUni = std::move(ansiUni);
  record.checked = checked;
  return record;
}

// The lines of a file without its byte-order mark, CR LF turned into LF.
std::string Lines(const std::string& bytes) {
  std::string out;
  for (std::size_t i = 3; i < bytes.size(); ++i) {
    if (bytes[i] != '\r') out += bytes[i];
  }
  return out;
}

TEST(ImportFileTest, X86FileHasAnImportBlockForStdcallAndAnImportCBlockForCdecl) {
  LibraryEntry entry;
  entry.x86 = 1;
  entry.functions = {
      Record(u"Beep", u"_In_ DWORD dwFreq", u"BOOL"),
      Record(u"GetTickCount", u"", u"DWORD"),
      Record(u"Hidden", u"int a", u"int", {}, 0),  // not ticked
      Record(u"MessageBox", u"_In_opt_ HWND hWnd, _In_opt_ LPCTSTR lpText, _In_opt_ LPCTSTR lpCaption, _In_ UINT uType",
             u"INT", u"MessageBox"),
      Record(u"MessageBoxA", u"_In_opt_ HWND hWnd, _In_opt_ LPCTSTR lpText, _In_opt_ LPCTSTR lpCaption, _In_ UINT uType",
             u"INT", u"MessageBox"),
      Record(u"NotLookedUp", u"int a", u""),
      Record(u"strlen", u"const char *str", u"size_t"),
      Record(u"wsprintfA", u"LPSTR, LPCSTR, ...", u"int", u"wsprintf"),
  };
  // The library's own names: Beep's differs from what its text declares.
  const std::unordered_map<Text, Text> symbols = {
      {u"Beep", u"_Beep@8"}, {u"GetTickCount", u"_GetTickCount@0"}, {u"MessageBoxA", u"_MessageBoxA@16"},
      {u"MessageBoxW", u"_MessageBoxW@16"}, {u"strlen", u"_strlen"}, {u"wsprintfA", u"_wsprintfA"}};
  ImportFileRequest request;
  request.library = &entry;
  request.libraryFileName = u"user32.lib";
  request.symbols = &symbols;
  const ImportFile file = WriteImportFile(request);
  EXPECT_EQ(file.bytes.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(Lines(file.bytes),
            "; user32.lib (x86): import declarations written by Korvane\n"
            "\n"
            "Import \"user32.lib\"\n"
            "  ; Beep: not declared: the declaration's symbol _Beep@4 differs from the library's _Beep@8\n"
            "  GetTickCount.l() As \"_GetTickCount@0\"\n"
            "  MessageBox.l(hWnd.i, lpText.p-unicode, lpCaption.p-unicode, uType.l) As \"_MessageBoxW@16\"\n"
            "  MessageBoxA.l(hWnd.i, lpText.p-ascii, lpCaption.p-ascii, uType.l) As \"_MessageBoxA@16\"\n"
            "EndImport\n"
            "\n"
            "ImportC \"user32.lib\"\n"
            "  strlen.i(str.p-ascii) As \"_strlen\"\n"
            "  ; wsprintfA: not declared: variadic\n"
            "EndImport\n");
  EXPECT_EQ(file.bytes.find('\n'), file.bytes.find("\r\n") + 1) << "every line ends in CR LF";
  EXPECT_EQ(file.declared, 4);
  EXPECT_EQ(file.commented, 2);
  ASSERT_EQ(file.mismatches.size(), 1u);
  EXPECT_EQ(file.mismatches[0].library, u"_Beep@8");
  EXPECT_EQ(testing::ParseImportFile(file.bytes).error, "");
  EXPECT_EQ(WriteImportFile(request).bytes, file.bytes) << "the same input gives the same bytes";
}

// One declaration per case on x86 and on x64, types resolved through a small typedef table and the
// built-in one.
TEST(ImportFileTest, ParameterTextsBecomeTheIdesTypes) {
  DocumentationSet set;
  set.typedefs = {
      {u"POINT", TypeFacts{TypeKind::kRecord, {8, 4}, {8, 4}, PointeeText::kNone}},
      {u"BIG", TypeFacts{TypeKind::kRecord, {12, 4}, {12, 4}, PointeeText::kNone}},
      {u"ODD", TypeFacts{TypeKind::kRecord, {6, 2}, {6, 2}, PointeeText::kNone}},
      {u"COLOR", TypeFacts{TypeKind::kEnum, {4, 4}, {4, 4}, PointeeText::kNone}},
  };
  const struct {
    Text parameters;
    Text returned;
    std::string x86;
    std::string x64;
  } kCases[] = {
      {u"POINT pt, HWND hWnd", u"BOOL", "F.l(pt_1.l, pt_2.l, hWnd.i) As \"_F@12\"", "F.l(pt.q, hWnd.i)"},
      {u"BIG b", u"BOOL", "F.l(b_1.l, b_2.l, b_3.l) As \"_F@12\"", "F.l(b.i)"},
      {u"ODD o", u"BOOL", "F.l(o_1.l, o_2.l) As \"_F@8\"",
       "; F: not declared: parameter o is a structure of 6 bytes passed by value"},
      {u"int Data, int data, int next, LPVOID, int Data_", u"void",
       "F(Data_.l, data__.l, next_.l, d.i, Data___.l) As \"_F@20\"", "F(Data_.l, data__.l, next_.l, d.i, Data___.l)"},
      {u"double x, __int64 y, float f, BYTE b, SHORT s, WCHAR c, unsigned char u, COLOR e", u"double",
       "F.d(x.d, y.q, f.f, b.a, s.w, c.u, u.a, e.l) As \"_F@40\"", "F.d(x.d, y.q, f.f, b.a, s.w, c.u, u.a, e.l)"},
      {u"WPARAM wParam, LPARAM lParam, SIZE_T n, LONG_PTR p, DWORD d", u"LRESULT",
       "F.i(wParam.i, lParam.i, n.i, p.i, d.l) As \"_F@20\"", "F.i(wParam.i, lParam.i, n.i, p.i, d.l)"},
      {u"[in] LPCWSTR name, [out] LPWSTR buffer, _In_reads_(n) const char *p, IN OUT LPCTSTR t", u"HANDLE",
       "F.i(name.p-unicode, buffer.i, p.p-ascii, t.p-ascii) As \"_F@16\"",
       "F.i(name.p-unicode, buffer.i, p.p-ascii, t.p-ascii)"},
      {u"LPSOMETHING p, PFOO q, struct tagX *x", u"BOOLEAN", "F.a(p.i, q.i, x.i) As \"_F@12\"", "F.a(p.i, q.i, x.i)"},
      {u"int (*compare)(const void *, const void *), char name[4]", u"VOID",
       "F(compare.i, name.i) As \"_F@8\"", "F(compare.i, name.i)"},
      {u"FOO x", u"int", "; F: not declared: the type 'FOO' of parameter x cannot be resolved",
       "; F: not declared: the type 'FOO' of parameter x cannot be resolved"},
      {u"int x, ...", u"int", "; F: not declared: variadic", "; F: not declared: variadic"},
      {u"int x", u"POINT", "F.q(x.l) As \"_F@4\"", "F.q(x.l)"},
      {u"int x", u"BIG", "; F: not declared: returns a structure of 12 bytes by value",
       "; F: not declared: returns a structure of 12 bytes by value"},
      {u"long double x", u"int", "; F: not declared: the type 'long double' of parameter x cannot be resolved",
       "; F: not declared: the type 'long double' of parameter x cannot be resolved"},
  };
  for (const auto& c : kCases) {
    for (const int x86 : {1, 0}) {
      LibraryEntry entry;
      entry.x86 = x86;
      entry.functions = {Record(u"F", c.parameters, c.returned)};
      ImportFileRequest request;
      request.library = &entry;
      request.libraryFileName = u"f.lib";
      request.set = &set;
      const ImportFile file = WriteImportFile(request);
      const std::string lines = Lines(file.bytes);
      const std::string expected = "  " + (x86 != 0 ? c.x86 : c.x64) + "\n";
      EXPECT_NE(lines.find(expected), std::string::npos)
          << TextToUtf8(c.parameters) << (x86 != 0 ? " (x86)\n" : " (x64)\n") << lines;
      EXPECT_EQ(testing::ParseImportFile(file.bytes).error, "") << lines;
    }
  }
}

// The set's signature of the function wins when the text names as many parameters; a text that does
// not (typed by hand) is resolved through the set's typedefs. A generic entry imports the wide form,
// on x64 by its exported name.
TEST(ImportFileTest, TheSetsSignatureWinsWhenTheTextMatchesIt) {
  DocumentationSet set;
  set.groups.push_back(DocGroup{u"g", {}});
  DocFunction wide;
  wide.name = u"SetTextW";
  wide.returnType = u"BOOL";
  wide.parameters = {u"HWND hWnd", u"LPCWSTR text"};
  wide.call = CallingConvention::kStdcall;
  wide.returnFacts = TypeFacts{TypeKind::kSigned, {4, 4}, {4, 4}, PointeeText::kNone};
  wide.parameterTypes = {TypeFacts{TypeKind::kPointer, {4, 4}, {8, 8}, PointeeText::kNone},
                         TypeFacts{TypeKind::kPointer, {4, 4}, {8, 8}, PointeeText::kWideChar}};
  set.groups[0].functions.push_back(wide);
  set.typedefs = {{u"MYHANDLE", TypeFacts{TypeKind::kPointer, {4, 4}, {8, 8}, PointeeText::kNone}}};
  IndexDocumentationSet(set);
  const struct {
    Text function;
    Text parameters;
    int x86;
    std::string line;
    std::unordered_map<Text, Text> symbols = {};  // the library's, when at hand
  } kCases[] = {
      {u"SetTextW", u"UNKNOWNTYPE a, UNKNOWNTYPE b", 1, "SetTextW.l(a.i, b.p-unicode) As \"_SetTextW@8\""},
      {u"SetText", u"HWND hWnd, LPCTSTR text", 1, "SetText.l(hWnd.i, text.p-unicode) As \"_SetTextW@8\""},
      {u"SetText", u"HWND hWnd, LPCTSTR text", 0, "SetText.l(hWnd.i, text.p-unicode) As \"SetTextW\""},
      {u"SetTextW", u"MYHANDLE h", 1, "SetTextW.l(h.i) As \"_SetTextW@4\""},
      // A library that exports the generic name itself is not redirected to the wide form.
      {u"SetText", u"HWND hWnd, LPCTSTR text", 0, "SetText.l(hWnd.i, text.p-ascii)", {{u"SetText", u"SetText"}}},
      {u"SetText", u"HWND hWnd, LPCTSTR text", 1, "SetText.l(hWnd.i, text.p-ascii) As \"_SetText@8\"",
       {{u"SetText", u"_SetText@8"}}},
  };
  for (const auto& c : kCases) {
    LibraryEntry entry;
    entry.x86 = c.x86;
    entry.functions = {Record(c.function, c.parameters, u"BOOL", u"SetText")};
    ImportFileRequest request;
    request.library = &entry;
    request.libraryFileName = u"t.lib";
    request.set = &set;
    request.symbols = &c.symbols;
    const std::string lines = Lines(WriteImportFile(request).bytes);
    EXPECT_NE(lines.find("  " + c.line + "\n"), std::string::npos) << TextToUtf8(c.parameters) << "\n" << lines;
  }
}

TEST(ImportFileTest, FileNameIsTheLibrarysBaseName) {
  EXPECT_EQ(ImportFileName(u"user32.lib"), u"user32.pbi");
  EXPECT_EQ(ImportFileName(u"libuser32.a"), u"libuser32.pbi");
  EXPECT_EQ(ImportFileName(u"d3dx9.dll.lib"), u"d3dx9.dll.pbi");
  EXPECT_EQ(ImportFileName(u"noextension"), u"noextension.pbi");
}

}  // namespace
}  // namespace korvane
