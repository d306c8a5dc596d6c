#pragma once
// Where the tests find real import libraries: the MSVC-format fixtures beside the project (optional)
// and the GNU-format libraries that Debian's mingw-w64 packages install.

#include <optional>

#include "text/text.h"

namespace korvane::testing {

// A path on the build machine ("/usr/..."), in the form the tested binary opens it: unchanged on
// Linux, "Z:\usr\..." under Wine.
Text HostPath(std::string_view posixPath);

// The folder of the MSVC-format fixture libraries (ending in a separator), when it exists. The
// KORVANE_FIXTURES environment variable overrides the default beside the source tree.
std::optional<std::string> FixtureFolder();

// True when a file exists on the build machine.
bool HostFileExists(std::string_view posixPath);

}  // namespace korvane::testing
