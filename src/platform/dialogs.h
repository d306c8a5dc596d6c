#pragma once
// The common dialogs.

#include <vector>

#include "text/text.h"

namespace korvane {

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Open-file requester. `filter` is "label|pattern" pairs ("lib (*.lib)|*.lib"). Returns the chosen
  // full paths in the order the requester reports them; empty when cancelled.
  virtual std::vector<Text> OpenFiles(const Text& title, const Text& startFolder, const Text& filter,
                                      bool multiple) = 0;
  // The shell's folder browser; empty when cancelled. The result ends in a backslash.
  virtual Text ChooseFolder(const Text& title, const Text& startFolder) = 0;
  // Save-file requester opened in `startFolder` with `defaultName` filled in; it asks before replacing
  // an existing file. The chosen full path; empty when cancelled.
  virtual Text SaveFile(const Text& title, const Text& startFolder, const Text& defaultName, const Text& filter) = 0;
};

}  // namespace korvane
