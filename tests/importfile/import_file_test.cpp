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
            "  ; Beep_: not declared: the declaration's symbol _Beep@4 differs from the library's _Beep@8\n"
            "  ; GetTickCount_: not declared: the IDE imports GetTickCount_ itself\n"
            "  ; MessageBox_: not declared: the IDE imports MessageBox_ itself\n"
            "  MessageBoxA_.l(hWnd.i, lpText.p-ascii, lpCaption.p-ascii, uType.l) As \"_MessageBoxA@16\"\n"
            "EndImport\n"
            "\n"
            "ImportC \"user32.lib\"\n"
            "  strlen_.i(str.p-ascii) As \"_strlen\"\n"
            "  wsprintfA_.l(a.i, b.p-ascii, v1.i = 0, v2.i = 0, v3.i = 0, v4.i = 0, v5.i = 0, v6.i = 0, v7.i = 0, "
            "v8.i = 0) As \"_wsprintfA\"\n"
            "EndImport\n");
  EXPECT_EQ(file.bytes.find('\n'), file.bytes.find("\r\n") + 1) << "every line ends in CR LF";
  EXPECT_EQ(file.declared, 3);
  EXPECT_EQ(file.variadic, 1);
  EXPECT_EQ(file.commented, 3);
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
      {u"HUGE", TypeFacts{TypeKind::kRecord, {100000, 4}, {100000, 4}, PointeeText::kNone}},
      {u"COLOR", TypeFacts{TypeKind::kEnum, {4, 4}, {4, 4}, PointeeText::kNone}},
  };
  const struct {
    Text parameters;
    Text returned;
    std::string x86;
    std::string x64;
  } kCases[] = {
      {u"POINT pt, HWND hWnd", u"BOOL", "F_.l(pt_1.l, pt_2.l, hWnd.i) As \"_F@12\"", "F_.l(pt.q, hWnd.i) As \"F\""},
      {u"BIG b", u"BOOL", "F_.l(b_1.l, b_2.l, b_3.l) As \"_F@12\"", "F_.l(b.i) As \"F\""},
      {u"ODD o", u"BOOL", "F_.l(o_1.l, o_2.l) As \"_F@8\"",
       "; F_: not declared: parameter o is a structure of 6 bytes passed by value"},
      {u"HUGE h", u"BOOL", "; F_: not declared: parameter h is a structure of 100000 bytes passed by value",
       "; F_: not declared: parameter h is a structure of 100000 bytes passed by value"},
      {u"int Data, int data, int next, LPVOID, int Data_", u"void",
       "F_(Data_.l, data__.l, next_.l, d.i, Data___.l) As \"_F@20\"",
       "F_(Data_.l, data__.l, next_.l, d.i, Data___.l) As \"F\""},
      // Every keyword of the IDE, not only the common ones, is no parameter name.
      {u"int align, int EndImport, int includefile, int Runtime, int as", u"void",
       "F_(align_.l, EndImport_.l, includefile_.l, Runtime_.l, as_.l) As \"_F@20\"",
       "F_(align_.l, EndImport_.l, includefile_.l, Runtime_.l, as_.l) As \"F\""},
      {u"double x, __int64 y, float f, BYTE b, SHORT s, WCHAR c, unsigned char u, COLOR e", u"double",
       "F_.d(x.d, y.q, f.f, b.a, s.w, c.u, u.a, e.l) As \"_F@40\"",
       "F_.d(x.d, y.q, f.f, b.a, s.w, c.u, u.a, e.l) As \"F\""},
      {u"WPARAM wParam, LPARAM lParam, SIZE_T n, LONG_PTR p, DWORD d", u"LRESULT",
       "F_.i(wParam.i, lParam.i, n.i, p.i, d.l) As \"_F@20\"", "F_.i(wParam.i, lParam.i, n.i, p.i, d.l) As \"F\""},
      // Wide text goes by address; ANSI text read as text is converted.
      {u"[in] LPCWSTR name, [out] LPWSTR buffer, _In_reads_(n) const char *p, IN OUT LPCTSTR t", u"HANDLE",
       "F_.i(*name, buffer.i, p.p-ascii, t.p-ascii) As \"_F@16\"", "F_.i(*name, buffer.i, p.p-ascii, t.p-ascii) As \"F\""},
      {u"LPSOMETHING p, PFOO q, struct tagX *x", u"BOOLEAN", "F_.a(p.i, q.i, x.i) As \"_F@12\"",
       "F_.a(p.i, q.i, x.i) As \"F\""},
      {u"int (*compare)(const void *, const void *), char name[4]", u"VOID", "F_(compare.i, name.i) As \"_F@8\"",
       "F_(compare.i, name.i) As \"F\""},
      {u"FOO x", u"int", "; F_: not declared: the type 'FOO' of parameter x cannot be resolved",
       "; F_: not declared: the type 'FOO' of parameter x cannot be resolved"},
      // A variadic function is cdecl: its variable part becomes optional integer slots.
      {u"int x, ...", u"int",
       "F_.l(x.l, v1.i = 0, v2.i = 0, v3.i = 0, v4.i = 0, v5.i = 0, v6.i = 0, v7.i = 0, v8.i = 0) As \"_F\"",
       "F_.l(x.l, v1.i = 0, v2.i = 0, v3.i = 0, v4.i = 0, v5.i = 0, v6.i = 0, v7.i = 0, v8.i = 0) As \"F\""},
      {u"int x", u"POINT", "F_.q(x.l) As \"_F@4\"", "F_.q(x.l) As \"F\""},
      {u"int x", u"BIG", "; F_: not declared: returns a structure of 12 bytes by value",
       "; F_: not declared: returns a structure of 12 bytes by value"},
      {u"long double x", u"int", "; F_: not declared: the type 'long double' of parameter x cannot be resolved",
       "; F_: not declared: the type 'long double' of parameter x cannot be resolved"},
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
  // The compiler's built-in prototype: wchar_t as an integer, the pointee's text lost.
  DocFunction builtin = wide;
  builtin.name = u"wcschr";
  builtin.parameters = {u"const wchar_t *_Str", u"wchar_t _Ch"};
  builtin.call = CallingConvention::kCdecl;
  builtin.parameterTypes = {TypeFacts{TypeKind::kPointer, {4, 4}, {8, 8}, PointeeText::kNone},
                            TypeFacts{TypeKind::kUnsigned, {2, 2}, {2, 2}, PointeeText::kNone}};
  set.groups[0].functions.push_back(builtin);
  set.typedefs = {{u"MYHANDLE", TypeFacts{TypeKind::kPointer, {4, 4}, {8, 8}, PointeeText::kNone}}};
  IndexDocumentationSet(set);
  const struct {
    Text function;
    Text parameters;
    int x86;
    std::string line;
    std::unordered_map<Text, Text> symbols = {};  // the library's, when at hand
  } kCases[] = {
      {u"SetTextW", u"UNKNOWNTYPE a, UNKNOWNTYPE b", 1, "SetTextW_.l(a.i, *b) As \"_SetTextW@8\""},
      {u"SetText", u"HWND hWnd, LPCTSTR text", 1, "SetText_.l(hWnd.i, *text) As \"_SetTextW@8\""},
      {u"SetText", u"HWND hWnd, LPCTSTR text", 0, "SetText_.l(hWnd.i, *text) As \"SetTextW\""},
      {u"SetTextW", u"MYHANDLE h", 1, "SetTextW_.l(h.i) As \"_SetTextW@4\""},
      {u"wcschr", u"const wchar_t *_Str, wchar_t _Ch", 0, "wcschr_.l(*_Str, _Ch.u) As \"wcschr\""},
      // A library that exports the generic name itself is not redirected to the wide form.
      {u"SetText", u"HWND hWnd, LPCTSTR text", 0, "SetText_.l(hWnd.i, text.p-ascii) As \"SetText\"", {{u"SetText", u"SetText"}}},
      {u"SetText", u"HWND hWnd, LPCTSTR text", 1, "SetText_.l(hWnd.i, text.p-ascii) As \"_SetText@8\"",
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

// One run over several libraries declares each IDE name once: the first file keeps it and the others
// say where it is, letter case ignored as the IDE ignores it.
TEST(ImportFileTest, ARunDeclaresEachNameOnce) {
  LibraryEntry kernel;
  kernel.functions = {Record(u"CreateProcessAsUserW", u"HANDLE hToken, int x", u"BOOL"),
                      Record(u"OnlyKernel", u"", u"BOOL")};
  LibraryEntry advapi;
  advapi.functions = {Record(u"createprocessasuserw", u"HANDLE hToken, int x", u"BOOL"),
                      Record(u"OnlyAdvapi", u"", u"BOOL")};
  std::unordered_map<Text, Text> runNames;
  std::string lines;
  for (LibraryEntry* entry : {&kernel, &advapi}) {
    ImportFileRequest request;
    request.library = entry;
    request.libraryFileName = entry == &kernel ? u"libkernel32.a" : u"libadvapi32.a";
    request.runNames = &runNames;
    lines += Lines(WriteImportFile(request).bytes);
  }
  EXPECT_NE(lines.find("  CreateProcessAsUserW_.l(hToken.i, x.l) As \"CreateProcessAsUserW\"\n"), std::string::npos) << lines;
  EXPECT_NE(lines.find("  ; createprocessasuserw_: not declared: declared in libkernel32.pbi\n"), std::string::npos) << lines;
  EXPECT_NE(lines.find("  OnlyAdvapi_.l() As \"OnlyAdvapi\"\n"), std::string::npos) << lines;
}

// A library none of whose functions was looked up is declared from the set's signatures; once a lookup
// has filled a function, only the looked-up ones are declared.
TEST(ImportFileTest, ALibraryNotLookedUpIsDeclaredFromTheSet) {
  DocumentationSet set;
  DocFunction function;
  function.name = u"GetStringTypeA";
  function.returnType = u"BOOL";
  function.parameters = {u"LCID Locale", u"DWORD dwInfoType", u"LPCSTR lpSrcStr", u"int cchSrc", u"LPWORD lpCharType"};
  function.call = CallingConvention::kStdcall;
  const TypeFacts integer{TypeKind::kUnsigned, {4, 4}, {4, 4}, PointeeText::kNone};
  const TypeFacts pointer{TypeKind::kPointer, {4, 4}, {8, 8}, PointeeText::kNone};
  function.returnFacts = integer;
  function.parameterTypes = {integer, integer, TypeFacts{TypeKind::kPointer, {4, 4}, {8, 8}, PointeeText::kChar},
                             integer, pointer};
  // A helper the import library holds as code: a privileged instruction, no function of the DLL.
  DocFunction intrinsic;
  intrinsic.name = u"__readcr0";
  intrinsic.returnType = u"unsigned long";
  intrinsic.header = u"psdk_inc/intrin-impl.h";
  set.groups.push_back(DocGroup{u"g", {function, intrinsic}});
  IndexDocumentationSet(set);
  LibraryEntry entry;
  entry.x86 = 1;
  entry.functions = {Record(u"GetStringTypeA", u"", u""), Record(u"NotInTheSet", u"", u""), Record(u"__readcr0", u"", u"")};
  ImportFileRequest request;
  request.library = &entry;
  request.libraryFileName = u"libkernel32.a";
  request.set = &set;
  ImportFile file = WriteImportFile(request);
  EXPECT_NE(Lines(file.bytes).find("  GetStringTypeA_.l(Locale.l, dwInfoType.l, lpSrcStr.p-ascii, cchSrc.l, "
                                   "lpCharType.i) As \"_GetStringTypeA@20\"\n"),
            std::string::npos)
      << Lines(file.bytes);
  EXPECT_NE(Lines(file.bytes).find("; __readcr0_: not declared: a compiler intrinsic"), std::string::npos);
  EXPECT_EQ(file.declared, 1);
  // A page read past the parameter list (a function returning a function pointer) leaves parentheses
  // that do not pair up: the set's parameters stand in for the text.
  entry.functions[0].Return = u"INT";
  entry.functions[0].Parameters = u"LCID Locale, DWORD dwInfoType, LPCSTR s, int n, LPWORD t))(void";
  file = WriteImportFile(request);
  EXPECT_NE(Lines(file.bytes).find("  GetStringTypeA_.l(Locale.l, dwInfoType.l, lpSrcStr.p-ascii, cchSrc.l, "
                                   "lpCharType.i) As \"_GetStringTypeA@20\"\n"),
            std::string::npos)
      << Lines(file.bytes);
  entry.functions[0].Return.clear();
  entry.functions[1].Return = u"int";  // looked up: the unfilled function is no longer declared
  file = WriteImportFile(request);
  EXPECT_EQ(file.declared, 1);
  EXPECT_NE(Lines(file.bytes).find("NotInTheSet_.l() As \"_NotInTheSet@0\""), std::string::npos) << Lines(file.bytes);
}

// Texts from a catalogue file stay inside their comment: no line break or other control character
// reaches the file, and a name that is a keyword still gets the IDE's trailing underscore.
TEST(ImportFileTest, CatalogueTextCannotBreakOutOfItsComment) {
  LibraryEntry entry;
  entry.functions = {Record(u"F", u"int x", u"\r\nEndImport\r\nIncludeFile \"evil.pbi\" ;"),
                     Record(u"G", u"EVIL\u2028EndImport\x0bx", u"int"),
                     Record(u"Bad\nName", u"", u"int"), Record(u"EndImport", u"", u"int")};
  ImportFileRequest request;
  request.library = &entry;
  request.libraryFileName = u"evil\".lib";
  const ImportFile file = WriteImportFile(request);
  const testing::ParsedImportFile parsed = testing::ParseImportFile(file.bytes);
  EXPECT_EQ(parsed.error, "") << Lines(file.bytes);
  ASSERT_EQ(parsed.declarations.size(), 1u) << Lines(file.bytes);
  EXPECT_EQ(parsed.declarations[0].name, "EndImport_");
  for (const char c : file.bytes) {
    EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 && c != '\r' && c != '\n') << "control byte " << int(c);
  }
  EXPECT_EQ(file.bytes.find("\xE2\x80\xA8"), std::string::npos) << "U+2028";
  EXPECT_NE(Lines(file.bytes).find("Import \"evil_.lib\"\n"), std::string::npos) << Lines(file.bytes);
}

// x86 functions whose symbol is fastcall ('@Name@N') or vectorcall ('Name@@N') are left as comments
// naming the symbol: the IDE calls stdcall and cdecl functions only.
TEST(ImportFileTest, FastcallAndVectorcallSymbolsAreNotDeclared) {
  LibraryEntry entry;
  entry.x86 = 1;
  entry.functions = {Record(u"ObfReferenceObject", u"PVOID Object", u"LONG_PTR"), Record(u"V", u"int x", u"int")};
  const std::unordered_map<Text, Text> symbols = {{u"ObfReferenceObject", u"@ObfReferenceObject@4"}, {u"V", u"V@@4"}};
  ImportFileRequest request;
  request.library = &entry;
  request.libraryFileName = u"libntoskrnl.a";
  request.symbols = &symbols;
  const std::string lines = Lines(WriteImportFile(request).bytes);
  EXPECT_NE(lines.find("; ObfReferenceObject_: not declared: fastcall (@ObfReferenceObject@4), which the IDE cannot "
                       "call\n"),
            std::string::npos)
      << lines;
  EXPECT_NE(lines.find("; V_: not declared: vectorcall (V@@4), which the IDE cannot call\n"), std::string::npos) << lines;
}

TEST(ImportFileTest, FileNameIsTheLibrarysBaseName) {
  EXPECT_EQ(ImportFileName(u"user32.lib"), u"user32.pbi");
  EXPECT_EQ(ImportFileName(u"libuser32.a"), u"libuser32.pbi");
  EXPECT_EQ(ImportFileName(u"d3dx9.dll.lib"), u"d3dx9.dll.pbi");
  EXPECT_EQ(ImportFileName(u"noextension"), u"noextension.pbi");
}

}  // namespace
}  // namespace korvane
