#pragma once
// The common dialogs on Windows: the open-file dialog and the shell's folder browser.

#include <string>
#include <string_view>
#include <vector>

#include "platform/dialogs.h"

namespace korvane {

class Win32Dialogs final : public Dialogs {
 public:
  std::vector<Text> OpenFiles(const Text& title, const Text& startFolder, const Text& filter, bool multiple) override;
  Text ChooseFolder(const Text& title, const Text& startFolder) override;
  Text SaveFile(const Text& title, const Text& startFolder, const Text& defaultName, const Text& filter) override;
};

namespace win32 {

// "label|pattern|label|pattern" as the open-file dialog takes it: each part ends in a zero character
// and the list ends in one more. "All files (*.*)" follows the given filters unless one of them is "*.*".
std::wstring DialogFilter(const Text& filter);

// The full paths in an open-file dialog's result buffer. One selected file: "path\0\0". Several (with
// OFN_EXPLORER): "folder\0name\0name\0\0", names in the order the dialog reports them.
std::vector<Text> SelectedPaths(std::wstring_view buffer);

}  // namespace win32
}  // namespace korvane
