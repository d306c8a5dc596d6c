#pragma once
// The state that the main window's commands share for the whole run: the catalogue and what the
// window shows of it. One per process, owned by the program and used on the user-interface thread.

#include <atomic>
#include <functional>

#include "catalogue/catalogue.h"
#include "platform/platform.h"

namespace korvane {

struct Session {
  explicit Session(Platform& platformIn) : platform(platformIn) {}

  Platform& platform;
  Catalogue catalogue;
  // Where catalogue files are saved and looked for: the working directory at start-up + "Korvane.xml\".
  Text catalogueFolder;
  // The folder the library requester opens in, as loaded from the settings at start-up.
  Text libraryFolder;
  // Stores the folder of the first chosen library in the settings (set by the program).
  std::function<void(const Text& folder)> rememberLibraryFolder;
  // True while the batch lookup runs; its worker thread reads it.
  std::atomic<bool> batchRunning{false};
  // The record the detail editor shows; Save and Clear write to it.
  ApiFunction* detailRecord = nullptr;
};

}  // namespace korvane
