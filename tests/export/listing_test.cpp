#include <gtest/gtest.h>

#include "export/descriptor.h"
#include "export/listing.h"

namespace korvane {
namespace {

// A string literal's bytes, NULs included.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

std::string Rewritten(std::string_view before) {
  ListingMap map;
  ReadListing(AsBytes(before), map);
  const std::vector<std::uint8_t> bytes = ListingBytes(SortedListing(map));
  return std::string(bytes.begin(), bytes.end());
}

TEST(FunctionListing, ReadsAndWritesBackSorted) {
  struct Case {
    const char* what;
    std::string before;
    std::string after;
  };
  const Case cases[] = {
      {"count lines skipped wherever they stand", "7785\r\nFoo (x)\r\n0\r\n-3\r\n", "1\r\nFoo (x)\r\n"},
      {"numbers that are not their own plain text stay",
       "007\r\n+5\r\n 5\r\n\xEF\xBB\xBF" "12\r\n-0\r\n99999999999999999999\r\n",
       "6\r\n 5\r\n+5\r\n-0\r\n007\r\n99999999999999999999\r\n\xEF\xBB\xBF" "12\r\n"},
      {"lines come back byte for byte, blanks and all", "Foo   (x)  \r\nBar\r\n", "2\r\nBar\r\nFoo   (x)  \r\n"},
      {"bytes that are not UTF-8 stay, and tell names apart", "caf\xE9 (x)\r\ncaf\xE8 (y)\nna\xEFve\r\n",
       "3\r\ncaf\xE8 (y)\r\ncaf\xE9 (x)\r\nna\xEFve\r\n"},
      {"blank lines and lines beginning with a blank are one entry, the last wins", "\r\n a\r\nX 1\r\n b c\r\n",
       "2\r\n b c\r\nX 1\r\n"},
      {"the later of two lines with one name wins", "Foo 1\r\nFoo 2\r\n", "1\r\nFoo 2\r\n"},
      {"NUL, CR and LF end lines, CR LF is one end, a last line needs none", Bytes("D 4\0C 3\rB 2\nA 1"),
       "4\r\nA 1\r\nB 2\r\nC 3\r\nD 4\r\n"},
      {"CR CR LF leaves an empty line", "A 1\r\r\nB 2", "3\r\n\r\nA 1\r\nB 2\r\n"},
      {"'_' before letters, capitals folded, case-distinct names kept apart", "b\r\n_a\r\nA\r\na\r\nZ\r\n",
       "5\r\n_a\r\nA\r\na\r\nb\r\nZ\r\n"},
      {"tabs are not blanks", "F\tx y \r\n", "1\r\nF\tx y \r\n"},
      {"nothing", "", "0\r\n"},
      // The IDE takes its count from the first line, where a mark makes it 0.
      {"a byte-order mark at the start goes, and the count line it hid", "\xEF\xBB\xBF" "3\r\nB\r\nA\r\n",
       "2\r\nA\r\nB\r\n"},
      {"a byte-order mark before the first entry goes", "\xEF\xBB\xBF" "Foo (x)\r\n", "1\r\nFoo (x)\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Rewritten(c.before), c.after) << c.what;
}

TEST(FunctionListing, MergesALibraryWithTemplate) {
  LibraryEntry library;
  library.path = u"C:\\sdk\\user32.lib";
  ApiFunction box{u"MessageBoxA",
                  u"_In_opt_ HWND hWnd, _In_opt_ LPCTSTR lpText, _In_opt_ LPCTSTR lpCaption, _In_ UINT uType",
                  u"int", u"Displays a modal dialog box.", u"Dialog Boxes", u"", u"MessageBox", 1};
  ApiFunction wide = box;
  wide.Function = u"MessageBoxW";
  wide.checked = 0;
  library.functions = {box, wide};
  ListingMap map;
  ReadListing(AsBytes("4\r\nAbortDoc (hdc)\r\nMessageBoxW (hWnd, lpText, lpCaption, uType)\r\n"
                      "MessageBoxA (hWnd, lpText, lpCaption, uType)\r\nZwClose (Handle)\r\nmessageboxa (x)\r\n"),
              map);
  MergeLibrary(map, {u"MessageBoxA", u"MessageBoxW"}, library, AnnotationMode::Convert, kDefaultDescriptionTemplate);
  const std::vector<std::uint8_t> bytes = ListingBytes(SortedListing(map));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            "4\r\nAbortDoc (hdc)\r\n"
            "MessageBoxA ( InOpt HWND hWnd, InOpt LPCTSTR lpText, InOpt LPCTSTR lpCaption, In UINT uType )  int  |  "
            "Displays a modal dialog box.  |  Dialog Boxes  |  \r\n"
            "messageboxa (x)\r\nZwClose (Handle)\r\n");

  struct TemplateCase {
    TextView descriptionTemplate;
    TextView filled;
  };
  ApiFunction f{u"F", u"", u"BOOL", u"says %GRP%", u"G", u"http://x", u"", 1};
  const TemplateCase templates[] = {
      // A placeholder in a field's text is that text, not a place to fill.
      {kDefaultDescriptionTemplate, u"  BOOL  |  says %GRP%  |  G  |  http://x"},
      {u"%DSC%%RET%%%WEB%%%GRP", u"says %GRP%BOOL%http://x%%GRP"},
      {u"", u""},
      {u"%ret% %WEB%%WEB%", u"%ret% http://xhttp://x"},
  };
  for (const TemplateCase& c : templates) EXPECT_EQ(FillTemplate(c.descriptionTemplate, f), c.filled);
}

TEST(FunctionListing, MergedLinesStayOneLineAndFitADescriptor) {
  Text many = u"int a0";
  for (int i = 1; i < 256; ++i) many += u", int a";
  LibraryEntry library;
  library.functions = {
      {u"Broken", u"", u"int", Text(u"one\nline\r\nonly") + u'\0' + u"!", u"G", u"", u"", 1},
      {u"Huge", many, u"int", u"", u"", u"", u"", 1},
      {u"", u"", u"int", u"nameless", u"", u"", u"", 1},
  };
  ListingMap map;
  ReadListing(AsBytes("Huge (old)\r\nKept (x)\r\n"), map);
  MergeLibrary(map, {}, library, AnnotationMode::Convert, u"%DSC%|%GRP%");
  const std::vector<std::uint8_t> bytes = ListingBytes(SortedListing(map));
  // The too-long function is no new entry (its old line stays); the nameless one is none at all.
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            "3\r\nBroken ( )one line  only !|G\r\nHuge (old)\r\nKept (x)\r\n");
}

TEST(FunctionListing, NewLinesAreAsciiAsTheIdeShowsEachByte) {
  struct Case {
    Text text;
    std::string line;
  };
  const Case cases[] = {
      {T("Café’s — ü"), "Caf?'s - ?"},
      {T("‘a’ “b” x–y …\u00A0z"), "'a' \"b\" x-y ... z"},
      {T("one \U0001F600 mark for a pair"), "one ? mark for a pair"},
      {Text(u"lone \xD800 and \xDC00 halves"), "lone ? and ? halves"},
      {Text(u"a\rb\nc") + u'\0' + u"d\te\x7F", std::string("a b c d\te\x7F")},
  };
  for (const Case& c : cases) EXPECT_EQ(ListingLine(c.text), c.line) << TextToUtf8(c.text);
}

TEST(FunctionListing, UnreadableUtf16IsToldFromSingleBytes) {
  struct Case {
    const char* what;
    std::string bytes;
    bool utf16;
  };
  const Case cases[] = {
      {"little-endian mark", Bytes("\xFF\xFE" "1\0"), true},
      {"big-endian mark", Bytes("\xFE\xFF\0" "1"), true},
      {"little-endian without a mark", Bytes("2\0\r\0\n\0A\0b\0 \0(\0\xE9\0)\0\x19\x20"), true},
      {"big-endian without a mark", Bytes("\0" "2\0\r\0\n\0A"), true},
      {"NULs ending single-byte lines", Bytes("D 4\0C 3\0B\0\0A 1"), false},
      {"only NULs", Bytes("\0\0\0\0"), false},
      {"UTF-8 with its mark", "\xEF\xBB\xBF" "1\r\nF\xC3\xA9 (x)\r\n", false},
      {"one byte", "7", false},
      {"nothing", "", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsUtf16Listing(AsBytes(c.bytes)), c.utf16) << c.what;
}

TEST(FunctionListing, NamesTheIdeCannotRecogniseStayOut) {
  const Text longest(kLongestListingName, u'L');
  const Text tooLong = longest + u"L";
  LibraryEntry library;
  for (const Text& name : {Text(u"Two Words"), Text(u"?Dec@@YAXXZ"), T("Café"), Text(u"Tab\tName"), longest,
                           tooLong, Text(u"_9_ok")}) {
    library.functions.push_back({name, u"", u"int", u"", u"", u"", u"", 1});
  }
  ListingMap map;
  const std::vector<Text> leftOutForLength = MergeLibrary(map, {}, library, AnnotationMode::Convert, u"");
  EXPECT_EQ(leftOutForLength, std::vector<Text>{tooLong});
  std::vector<std::string> names;
  for (const auto& [name, line] : map) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{TextToUtf8(longest), "_9_ok"}));

  // The descriptor keeps the long word: only the IDE's reader cuts names short.
  const DescriptorBytes descriptor = BuildDescriptor(u"D", library.functions, {});
  EXPECT_EQ(descriptor.notWordNames, (std::vector<Text>{u"Two Words", u"?Dec@@YAXXZ", T("Café"), u"Tab\tName"}));
  const std::string bytes(descriptor.bytes.begin(), descriptor.bytes.end());
  EXPECT_EQ(bytes, Bytes("ERUPLLDE\x03\0\0\0\0D\0") + TextToUtf8(longest) + Bytes("\0\0\0") + TextToUtf8(tooLong) +
                       Bytes("\0\0\0_9_ok\0\0\0"));
}

TEST(ImportNamesOfLib, TakesTheNamesOfImportSymbols) {
  const std::string archive = Bytes(
      "__imp__MessageBoxA@16\0__imp_CreateFileW\0  __imp_Padded  \0?__imp_NotFirst\0__imp_?Member@@QAE@Z\0"
      "junk__imp_Hidden\0_Plain@4\r\n__imp_AfterCrLf\n__imp_CreateFileW");
  const std::set<Text> names = ImportNamesOfLib(AsBytes(archive));
  EXPECT_EQ(names, (std::set<Text>{u"AfterCrLf", u"CreateFileW", u"MessageBoxA", u"Member", u"Padded"}));
}

TEST(LibraryDescriptor, BytesOfTheRecords) {
  const ApiFunction alpha{u"Alpha", u"_In_ HWND hWnd, _In_ UINT uMsg", u"BOOL", u"", u"", u"", u"", 1};
  const ApiFunction beta{u"Beta", u"", u"void", u"", u"", u"", u"Beta", 1};
  const ApiFunction gamma{u"Gamma", u"", u"int", u"", u"", u"", u"", 0};
  const ApiFunction noReturn{u"Delta", u"", u"", u"", u"", u"", u"", 1};
  const ApiFunction point{u"ByPoint", u"_In_ HWND hWnd, _In_ POINT Point", u"BOOL", u"", u"", u"", u"X", 1};
  EXPECT_EQ(DescriptorName(u"C:\\sdk\\User32.Lib"), u"USER32");

  const DescriptorBytes mylib = BuildDescriptor(u"MYLIB", {alpha, beta, gamma, noReturn}, {});
  EXPECT_EQ(std::string(mylib.bytes.begin(), mylib.bytes.end()),
            Bytes("ERUPLLDE\x03\0\0\0\0MYLIB\0Alpha\0\x02\0Beta\0\0\x01"));
  const DescriptorBytes points = BuildDescriptor(u"P", {point}, {});
  EXPECT_EQ(std::string(points.bytes.begin(), points.bytes.end()),
            Bytes("ERUPLLDE\x03\0\0\0\0P\0ByPoint\0\x02\x04\x15\x0D"));
  const DescriptorBytes empty = BuildDescriptor(u"E", {}, {});
  EXPECT_EQ(empty.bytes.size(), 15u);

  // Functions another descriptor declares are left out; so are counts that do not fit in a byte.
  Text many = u"int a0";
  for (int i = 1; i < 256; ++i) many += u", int a";
  const ApiFunction huge{u"Huge", many, u"int", u"", u"", u"", u"", 1};
  const ApiFunction nameless{u"", u"", u"int", u"", u"", u"", u"", 1};
  const DescriptorBytes known = BuildDescriptor(u"K", {alpha, beta, huge, nameless}, {u"Alpha"});
  EXPECT_EQ(std::string(known.bytes.begin(), known.bytes.end()), Bytes("ERUPLLDE\x03\0\0\0\0K\0Beta\0\0\x01"));
  EXPECT_EQ(known.tooManyArguments, std::vector<Text>{u"Huge"});
}

TEST(LibraryDescriptor, NamesReadFromOtherDescriptors) {
  // A count of 32 or more is no control character: it joins the next name, which is then not known.
  std::set<Text> known;
  AddDescriptorNames(AsBytes(Bytes("ERUPLLDE\x03\0\0\0\0OTHER\0Wide\0\x28\x01Next\0\x02\0Pt\0\x02\x04\x15\x0D"
                               "AfterPt\0\x01\0")),
                     known);
  EXPECT_EQ(known, (std::set<Text>{u"ERUPLLDE", u"OTHER", u"Wide", u"(Next", u"Pt", u"AfterPt"}));
}

}  // namespace
}  // namespace korvane
