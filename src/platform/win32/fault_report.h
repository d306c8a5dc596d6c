#pragma once
// The program's last word when it faults: a beep and a message box naming the fault and the last source
// location the program marked (KORVANE_HERE()), then the process ends at once with exit code 0.

#include <windows.h>

#include <string>

#include "platform/source_location.h"

namespace korvane {

enum class FaultReportMode {
  kMessageBox,     // what the user gets: MessageBeep(MB_ICONHAND), then a modal box with OK
  kStandardError,  // for tests: no sound and no box; the report's text goes to the standard error
};

// Installs the report as the process's unhandled-exception filter (for every thread).
void InstallFaultReport(FaultReportMode mode = FaultReportMode::kMessageBox);

// The words for an exception code; "Unknown error code" for codes without any.
const wchar_t* FaultText(DWORD code);

// The box's text: "Error :\t<fault>\n\n  File :\t<file name without folder>\n Line :\t<line>".
std::wstring FaultReportText(DWORD code, const SourceLocation& where);

}  // namespace korvane
