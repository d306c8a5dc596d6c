#pragma once
// The IDE's own names, which an import file must neither reuse nor redeclare. The IDE ignores letter
// case in names, so every test here does too. The lists are data generated from the IDE's public source
// (scripts/ide-names.sh, src/importfile/data/).

#include "text/text.h"

namespace korvane {

// One of the IDE's keywords ('Select', 'EndImport', 'Align', 'XIncludeFile').
bool IsIdeKeyword(TextView name);

// One of the IDE's native commands ('CreateFile', 'Abs', 'CloseWindow').
bool IsIdeCommand(TextView name);

// A function the IDE already imports itself under this name ('CloseHandle_', 'MessageBox_').
bool IsIdeImport(TextView name);

// `name` in lower case (ASCII letters only): the form the IDE compares names in.
Text IdeNameKey(TextView name);

}  // namespace korvane
