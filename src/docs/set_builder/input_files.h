#pragma once
// The files the set builder reads, found below a folder. Only regular files are read: a pipe or a device
// among them would stop the build or never end. Everything that is passed over is named with its reason,
// so that a build from incomplete input is never taken for a whole one.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

struct InputFiles {
  // Depth first: a folder's own files by name, then each of its subfolders by name. Links to files
  // count as the files; links to folders are not followed (no loops, nothing outside the tree twice).
  std::vector<std::filesystem::path> files;
  std::vector<std::string> problems;  // 'PATH: not a regular file (a pipe, a device...)', one line each
};

// The regular files below `folder` whose path `wanted` accepts. A wanted entry that is no regular file
// (a pipe, a device, a socket, a link to one or to nothing) and a subfolder that cannot be listed are
// problems; unwanted entries are passed over silently.
InputFiles FindInputFiles(const std::filesystem::path& folder,
                          const std::function<bool(const std::filesystem::path&)>& wanted);

// The whole content of the regular file at `path`; nothing, with the reason in `problem`
// ('PATH: cannot be read (Permission denied)'), when it cannot be opened or read or is no regular file.
// A pipe is not waited on.
std::optional<std::string> ReadInputFile(const std::filesystem::path& path, std::string& problem);

// `path` as a message shows it: control characters (a line feed in a file name) as '\n', '\x7f'.
std::string ShownPath(const std::filesystem::path& path);

// Whether the regular file at `path` can be opened for reading; the reason in `problem` when not.
bool CanReadInputFile(const std::filesystem::path& path, std::string& problem);

}  // namespace korvane
