// The fault report: its words for each exception code, its layout, and a real fault in a child process
// that ends with exit code 0 after reporting the last marked source location.
#include "platform/win32/fault_report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "catalogue/symbol_names.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

TEST(FaultText, NamesEachExceptionCode) {
  struct Case {
    DWORD code;
    const wchar_t* text;
  };
  const Case cases[] = {
      {EXCEPTION_ACCESS_VIOLATION, L"Invalid memory access"},
      {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, L"Array bounds exceeded"},
      {EXCEPTION_BREAKPOINT, L"Debugger breakpoint reached"},
      {EXCEPTION_DATATYPE_MISALIGNMENT, L"Misaligned data access"},
      {EXCEPTION_FLT_DENORMAL_OPERAND, L"Denormal floating-point operand"},
      {EXCEPTION_FLT_DIVIDE_BY_ZERO, L"Division by zero (floating-point)"},
      {EXCEPTION_FLT_INEXACT_RESULT, L"Inexact floating-point result"},
      {EXCEPTION_FLT_INVALID_OPERATION, L"Invalid floating-point operation"},
      {EXCEPTION_FLT_OVERFLOW, L"Floating-point overflow (exponent to great)"},
      {EXCEPTION_FLT_STACK_CHECK, L"Floating-point stack overflow or underflow"},
      {EXCEPTION_FLT_UNDERFLOW, L"Floating-point underflow (exponent too small)"},
      {EXCEPTION_ILLEGAL_INSTRUCTION, L"Illegal instruction"},
      {EXCEPTION_IN_PAGE_ERROR, L"Memory page error"},
      {EXCEPTION_INT_DIVIDE_BY_ZERO, L"Division by zero "},
      {EXCEPTION_INT_OVERFLOW, L"Integer overflow"},
      {EXCEPTION_INVALID_DISPOSITION, L"Exception handler returned unknown value"},
      {EXCEPTION_NONCONTINUABLE_EXCEPTION,
       L"Exception handler tried to continue after non-continuable exception"},
      {EXCEPTION_PRIV_INSTRUCTION, L"Privileged instruction"},
      {EXCEPTION_SINGLE_STEP, L"Single step trap"},
      {EXCEPTION_STACK_OVERFLOW, L"Stack overflow"},
      // Codes without words of their own: none, a C++ exception, a failed stack cookie check.
      {0, L"Unknown error code"},
      {0xE06D7363, L"Unknown error code"},
      {0xC0000409, L"Unknown error code"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.code);
    EXPECT_STREQ(FaultText(c.code), c.text);
  }
}

TEST(FaultReportText, NamesTheFaultTheFileWithoutFolderAndTheLine) {
  EXPECT_EQ(FaultReportText(EXCEPTION_ACCESS_VIOLATION, {"C:\\work\\src\\app\\main_window.cpp", 42}),
            L"Error :\tInvalid memory access\n\n  File :\tmain_window.cpp\n Line :\t42");

  struct Case {
    const char* file;
    int line;
    const wchar_t* file_and_line;  // what follows "File :\t"
  };
  const Case cases[] = {
      {"/work/main/src/app/commands.cpp", 7, L"commands.cpp\n Line :\t7"},
      {"src\\platform/win32\\winmain.cpp", 1234567, L"winmain.cpp\n Line :\t1234567"},
      {"source.cpp", 2147483647, L"source.cpp\n Line :\t2147483647"},
      {"folder/", 3, L"\n Line :\t3"},
      {"", 0, L"\n Line :\t0"},  // no mark reached yet
      {nullptr, 0, L"\n Line :\t0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file != nullptr ? c.file : "(null)");
    EXPECT_EQ(FaultReportText(0xE0000001, {c.file, c.line}),
              std::wstring(L"Error :\tUnknown error code\n\n  File :\t") + c.file_and_line);
  }
}

TEST(FaultReportText, AVeryLongFileNameIsCutNotOverrun) {
  const std::string path = "folder/" + std::string(5000, 'x') + ".cpp";
  const std::wstring text = FaultReportText(EXCEPTION_STACK_OVERFLOW, {path.c_str(), 9});
  EXPECT_THAT(text, testing::StartsWith(L"Error :\tStack overflow\n\n  File :\txxxx"));
  EXPECT_LT(text.size(), 5000u);
}

TEST(FaultReportText, ReportsTheLocationMarkedLast) {
  KORVANE_HERE();
  const int marked_line = __LINE__ - 1;
  const std::wstring text = FaultReportText(EXCEPTION_ACCESS_VIOLATION, CurrentSourceLocation());
  EXPECT_THAT(text, testing::EndsWith(L"File :\tfault_report_test.cpp\n Line :\t" +
                                      std::to_wstring(marked_line)));
}

// The child process of each death test installs the report, marks this file and faults for real.
void WriteToAddressZero() {
  InstallFaultReport(FaultReportMode::kStandardError);
  KORVANE_HERE();
  // Read back through volatile so that the compiler cannot see the null address and emit a trap.
  volatile std::uintptr_t address = 0;
  *reinterpret_cast<volatile int*>(address) = 1;
}

void Raise(DWORD code) {
  InstallFaultReport(FaultReportMode::kStandardError);
  KORVANE_HERE();
  RaiseException(code, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

// A symbol directory whose last name runs into memory that cannot be read: the name table's bytes end
// at the end of a readable page, while the span handed to the reader claims the next page too. The
// fault happens inside the reader's loop over the names.
void ReadNamesIntoUnreadableMemory() {
  InstallFaultReport(FaultReportMode::kStandardError);
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const std::size_t page = system.dwPageSize;
  auto* base = static_cast<std::uint8_t*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE, PAGE_NOACCESS));
  VirtualAlloc(base, page, MEM_COMMIT, PAGE_READWRITE);
  // Member count 0, symbol count 1, one member index, then a name without its terminating zero.
  std::memset(base, 'A', page);
  const std::uint8_t head[] = {0, 0, 0, 0, 1, 0, 0, 0, 1, 0};
  std::memcpy(base, head, sizeof head);
  ScanSymbolNames(std::span<const std::uint8_t>(base, 2 * page), [](const Text&) { return true; },
                  DecodeWindows1252);
}

TEST(FaultReportDeathTest, AFaultInsideAReaderNamesTheReader) {
  EXPECT_EXIT(ReadNamesIntoUnreadableMemory(), testing::ExitedWithCode(0),
              "^Error :\tInvalid memory access\n\n  File :\tsymbol_names\\.cpp\n Line :\t\\d+$");
}

TEST(FaultReportDeathTest, ReportsAndEndsTheProcessWithExitCodeZero) {
  EXPECT_EXIT(WriteToAddressZero(), testing::ExitedWithCode(0),
              "^Error :\tInvalid memory access\n\n  File :\tfault_report_test\\.cpp\n Line :\t\\d+$");
  EXPECT_EXIT(Raise(EXCEPTION_INT_DIVIDE_BY_ZERO), testing::ExitedWithCode(0),
              "^Error :\tDivision by zero \n");
  EXPECT_EXIT(Raise(0xE0000001), testing::ExitedWithCode(0), "^Error :\tUnknown error code\n");
}

}  // namespace
}  // namespace korvane
