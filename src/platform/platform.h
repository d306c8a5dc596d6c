#pragma once
// Everything the program's commands need from the system, handed to them as one bundle.

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/gui.h"
#include "platform/shell.h"
#include "text/text_ops.h"

namespace korvane {

struct Platform {
  Gui& gui;
  Dialogs& dialogs;
  FileSystem& files;
  Shell& shell;
  Clock& clock;
  SingleByteDecoder decodeSymbolName;  // the system ANSI code page on Windows
  // Upper case for what the user types (the detail editor's Return). Windows: the system's mapping. The
  // default, for the headless platform, maps ASCII and Latin-1 only (text_ops' UpperCase).
  Text (*upperCase)(TextView text) = UpperCase;
};

}  // namespace korvane
