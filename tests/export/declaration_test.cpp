#include <gtest/gtest.h>

#include "export/declaration.h"

namespace korvane {
namespace {

using enum AnnotationMode;

TEST(DeclarationText, ConvertsKeepsOrRemovesAnnotations) {
  const TextView kMessageBox = u"_In_ HWND hWnd, _In_opt_ LPCTSTR lpText, _In_ UINT uType";
  struct Case {
    TextView parameters;
    AnnotationMode mode;
    TextView declaration;
  };
  const Case cases[] = {
      {kMessageBox, Convert, u"( In HWND hWnd, InOpt LPCTSTR lpText, In UINT uType )"},
      {kMessageBox, Remove, u"( HWND hWnd, LPCTSTR lpText, UINT uType )"},
      {kMessageBox, Keep, u"( _In_ HWND hWnd, _In_opt_ LPCTSTR lpText, _In_ UINT uType )"},
      {u"__in HANDLE hFile, __out_opt LPDWORD lpFileSizeHigh", Convert, u"( In HANDLE hFile, OutOpt LPDWORD lpFileSizeHigh )"},
      {u"[in] HWND hwnd", Convert, u"( In HWND hwnd )"},
      {u"_Out_writes_(nSize) LPTSTR lpBuffer, _In_ DWORD nSize", Convert,
       u"( _Out_writes_(nSize) LPTSTR lpBuffer, In DWORD nSize )"},
      {u"_In_ int (*pfn)(int a, int b), _In_ DWORD x", Convert, u"( In int (*pfn)(int a. int b), In DWORD x )"},
      {u"", Convert, u"( )"},
      {u"", Remove, u"( )"},
      {u"", Keep, u"( )"},
      // The appended blank lets a final word match, and Remove takes it along.
      {u"int x, _Reserved_", Remove, u"( int x, )"},
      {u"_Reserved_", Remove, u"( )"},
      {u"int x, _Reserved_", Convert, u"( int x, Reserved )"},
      // Letter case is ignored; a word must be followed by a blank.
      {u"_IN_ a, _in_ b, _In_\tc, _In_,d", Convert, u"( In a, In b, _In_\tc, _In_,d )"},
      {u"_Inout_ a, _InOut_Opt_ b, _Out_ c", Convert, u"( InOut a, InOutOpt b, Out c )"},
      {u"__inout_opt a, __reserved b, _Reserved_ c", Convert, u"( InOutOpt a, Reserved b, Reserved c )"},
      {u"[out] a, _Inout_updates_ b", Convert, u"( [out] a, _Inout_updates_ b )"},
      // A first "(" closed without a following "," runs on to the next ")," further right.
      {u"int (a) b, int (*f)(x, y), z", Keep, u"( int (a) b. int (*f)(x. y), z )"},
      {u"int (a, b) c", Keep, u"( int (a, b) c )"},
      {u"void", Convert, u"( void )"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextToUtf8(DeclarationText(c.parameters, c.mode)), TextToUtf8(c.declaration))
        << TextToUtf8(c.parameters) << " mode " << static_cast<int>(c.mode);
  }
}

TEST(SignatureOf, CountsArgumentsAndFindsPointsByValue) {
  using enum ArgumentKind;
  struct Case {
    TextView parameters;
    std::size_t count;
    bool pointByValue;
    std::vector<ArgumentKind> kinds;
  };
  const Case cases[] = {
      {u"", 0, false, {}},
      {u"_In_ HWND hWnd", 1, false, {}},
      {u"_In_reads_(nCount) const POINT *lpPoints, _In_ int nCount", 2, false, {}},
      {u"_In_ HWND hWnd, _In_ POINT Point", 2, true, {Other, Point}},
      {u"_In_ int (*pfn)(int a, int b), _In_ DWORD x", 2, false, {}},
      {u"void", 1, false, {}},
      // Each argument is judged by its own type: at the start, alone, beside a pointer.
      {u"POINT pt, int x", 2, true, {Point, Other}},
      {u"POINT pt, DWORD dwFlags", 2, true, {Point, Other}},
      {u"POINT, DWORD", 2, true, {Point, Other}},
      {u"_In_ POINT a, _In_ POINT *b", 2, true, {Point, Other}},
      {u"_In_ POINT *a, _In_ const POINT b", 2, true, {Other, Point}},
      {u"POINT const *a, POINT* b, LPPOINT c, POINTL d", 4, false, {}},
      // Nesting is not tracked: '(a(b)' goes, the comma before 'c)' counts.
      {u"int (a(b), c) d", 2, false, {}},
      // The comma in parentheses does not count, nor cut the kind fields.
      {u"_In_ f(int a, int b) x, _In_ POINT p", 2, true, {Other, Point}},
      {u"_In_ POINT p, _In_ f(a, b) x", 2, true, {Point, Other}},
      // An attribute list in square brackets is one argument's, nested or beside parentheses.
      {u"[in, optional] DWORD dwFlags, [out] LPVOID p", 2, false, {}},
      {u"[in, size_is(n, m)] BYTE *b, [in, x[a, b]] POINT p, int (c, d) e", 3, true, {Other, Point, Other}},
      {u"int a], int b", 2, false, {}},  // a "]" without its "[" is text
  };
  for (const Case& c : cases) {
    const ArgumentSignature signature = SignatureOf(c.parameters);
    EXPECT_EQ(signature.count, c.count) << TextToUtf8(c.parameters);
    EXPECT_EQ(signature.pointByValue, c.pointByValue) << TextToUtf8(c.parameters);
    EXPECT_EQ(signature.kinds, c.kinds) << TextToUtf8(c.parameters);
  }
}

TEST(StripParenthesisedGroups, RemovesEveryCopyAndKeepsAnUnclosedGroup) {
  const std::pair<TextView, TextView> cases[] = {
      {u"a (x) b (x) c", u"a  b  c"},
      {u"(a(b), c)", u", c)"},
      {u"f(a, b", u"f(a, b"},
      {u"(a)(b)", u""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(StripParenthesisedGroups(in), out) << TextToUtf8(in);
}

}  // namespace
}  // namespace korvane
