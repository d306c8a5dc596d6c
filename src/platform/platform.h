#pragma once
// Everything the program's commands need from the system, handed to them as one bundle.

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/gui.h"
#include "platform/shell.h"

namespace korvane {

struct Platform {
  Gui& gui;
  Dialogs& dialogs;
  FileSystem& files;
  Shell& shell;
  Clock& clock;
  SingleByteDecoder decodeSymbolName;  // the system ANSI code page on Windows
};

}  // namespace korvane
