#include "platform/win32/fault_report.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <span>

namespace korvane {
namespace {

struct FaultName {
  DWORD code;
  const wchar_t* text;
};

// Word for word as the program has always shown them, blanks and spelling included: users quote these
// texts in their reports.
constexpr FaultName kFaultNames[] = {
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
};

// Long enough for any fault text and a long path; a longer file name is cut, never overrun.
constexpr std::size_t kReportCapacity = 1024;

// Appends to a fixed buffer without allocating, always leaving room for the terminating zero.
class ReportWriter {
 public:
  // `out` holds at least the terminating zero.
  explicit ReportWriter(std::span<wchar_t> out) : out_(out) {}

  void Append(const wchar_t* text) {
    for (; *text != L'\0'; ++text) Put(*text);
  }

  // The compiler's file names are UTF-8 bytes; ASCII, as ours are, needs no more than widening.
  void AppendFileName(const char* path) {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
      if (*p == '/' || *p == '\\') name = p + 1;
    }
    const int available = static_cast<int>(out_.size() - used_ - 1);
    // A size of 0 would ask for the needed length instead of converting.
    const int written =
        available > 0 ? MultiByteToWideChar(CP_UTF8, 0, name, -1, out_.data() + used_, available) : 0;
    if (written > 0) {
      used_ += static_cast<std::size_t>(written - 1);  // the count includes the terminating zero
      return;
    }
    for (; *name != '\0'; ++name) Put(static_cast<wchar_t>(static_cast<unsigned char>(*name)));
  }

  void AppendDecimal(int value) {
    if (value < 0) Put(L'-');
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    std::array<wchar_t, 12> digits{};
    std::size_t count = 0;
    do {
      digits[count++] = static_cast<wchar_t>(L'0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    while (count > 0) Put(digits[--count]);
  }

  std::size_t Finish() {
    out_[used_] = L'\0';
    return used_;
  }

 private:
  void Put(wchar_t c) {
    if (used_ + 1 < out_.size()) out_[used_++] = c;
  }

  std::span<wchar_t> out_;
  std::size_t used_ = 0;
};

// Writes the report's text with its terminating zero into `out`; returns its length.
std::size_t FormatFaultReport(std::span<wchar_t> out, DWORD code, const SourceLocation& where) {
  ReportWriter writer(out);
  writer.Append(L"Error :\t");
  writer.Append(FaultText(code));
  writer.Append(L"\n\n  File :\t");
  writer.AppendFileName(where.file != nullptr ? where.file : "");
  writer.Append(L"\n Line :\t");
  writer.AppendDecimal(where.line);
  return writer.Finish();
}

// Everything the filter needs lives in static storage: it may run with a corrupt heap, or on a thread
// whose stack is used up.
std::atomic<FaultReportMode> g_mode{FaultReportMode::kMessageBox};
std::atomic<bool> g_reporting{false};
std::array<wchar_t, kReportCapacity> g_report{};
std::array<char, kReportCapacity * 3> g_report_utf8{};

void WriteToStandardError() {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, g_report.data(), -1, g_report_utf8.data(),
                                        static_cast<int>(g_report_utf8.size()), nullptr, nullptr);
  if (bytes <= 1) return;  // the count includes the terminating zero
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), g_report_utf8.data(), static_cast<DWORD>(bytes - 1),
            &written, nullptr);
}

DWORD WINAPI PresentReport(void*) {
  if (g_mode.load() == FaultReportMode::kStandardError) {
    WriteToStandardError();
    return 0;
  }
  MessageBeep(MB_ICONHAND);
  // No icon: it would play a second sound. Task-modal, as there is no owner window to block.
  MessageBoxW(nullptr, g_report.data(), L"Error", MB_OK | MB_TASKMODAL);
  return 0;
}

LONG WINAPI ReportFault(EXCEPTION_POINTERS* info) {
  // The first fault reports; a fault on another thread meanwhile waits for the end of the process.
  if (g_reporting.exchange(true)) Sleep(INFINITE);
  const DWORD code = info != nullptr && info->ExceptionRecord != nullptr
                         ? info->ExceptionRecord->ExceptionCode
                         : 0;
  FormatFaultReport(std::span<wchar_t>(g_report), code, CurrentSourceLocation());
  // A fresh thread with its own stack presents the report: after a stack overflow the faulting thread
  // has only a few kilobytes left, far too few for a message box.
  HANDLE presenter = CreateThread(nullptr, 256 * 1024, PresentReport, nullptr, 0, nullptr);
  if (presenter != nullptr) {
    WaitForSingleObject(presenter, INFINITE);
  } else {
    PresentReport(nullptr);
  }
  // At once: no atexit handlers or static destructors of a program in an unknown state.
  TerminateProcess(GetCurrentProcess(), 0);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void InstallFaultReport(FaultReportMode mode) {
  g_mode.store(mode);
  SetUnhandledExceptionFilter(ReportFault);
}

const wchar_t* FaultText(DWORD code) {
  for (const FaultName& fault : kFaultNames) {
    if (fault.code == code) return fault.text;
  }
  return L"Unknown error code";
}

std::wstring FaultReportText(DWORD code, const SourceLocation& where) {
  std::array<wchar_t, kReportCapacity> text{};
  return std::wstring(text.data(), FormatFaultReport(std::span<wchar_t>(text), code, where));
}

}  // namespace korvane
