#pragma once
// The parts of a path as the program names them. Paths are Windows paths; "/" separates as "\" does,
// so that paths of the POSIX file system work the same.

#include "text/text.h"

namespace korvane {

// 'user32' for 'C:\SDK\Lib\user32.lib' (and for '/usr/lib/user32.lib'): the file name after the last
// "\" or "/", without its last extension.
Text LibraryKeyFromPath(TextView path);

// 'user32.lib' for 'C:\SDK\Lib\user32.lib': the file name after the last "\" or "/".
Text FileNameFromPath(TextView path);

// The folder of a path including its last "\" or "/"; empty when it has none.
Text FolderFromPath(TextView path);

}  // namespace korvane
