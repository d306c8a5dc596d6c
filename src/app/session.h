#pragma once
// The state that the main window's commands share for the whole run: the catalogue, what the window
// shows of it, and the settings read at start-up. One per process, owned by the program and used on
// the user-interface thread.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

#include "catalogue/catalogue.h"
#include "lookup/lookup_machine.h"
#include "lookup/lookup_run.h"
#include "platform/page_source.h"
#include "platform/platform.h"

namespace korvane {

struct DocumentationSet;
struct BatchRun;

// The export window's choices as read from the settings file at start-up; the export window is built
// from them and keeps them up to date as the user changes them.
struct ExportSettings {
  bool listingUpdate = true;      // "Export" / "API" == 1: the export also updates the function listing
  int annotationMode = 1;         // "Export" / "SAL": 1 InOut, 2 _Inout_, 3 Remove
  std::vector<Text> rootFolders;  // every value of group "PBRoot", in file order
};

// The record the detail editor shows: row `row` of the library `key`. An index, not a pointer, so a
// reload can never leave it pointing at a freed record.
struct DetailTarget {
  Text key;
  std::size_t row = 0;
  // The texts the editable fields (Parameters, Return, Description, Group, Website) were filled with
  // or last saved from: a field whose text differs holds the user's typing.
  std::array<Text, 5> filled;
};

// The documentation lookup: where pages come from and the lookup that runs, single or batch. The page
// source and the worker thread belong to the user-interface thread; `state` and `stopRequested` are
// also read by the batch worker, which sleeps on `wake` while the user-interface thread walks a library.
// The page source reports each ended load into `loads` and queues a kEventPageLoaded event for it.
struct LookupSession {
  PageSource* source = nullptr;  // owned by the program; nullptr: lookups do nothing
  LookupEndpoints endpoints;     // "Lookup" / "SearchBase", "LibraryBase"
  Text engine;                   // "Lookup" / "Engine": browser, http or offline
  Text docsPath;                 // "Lookup" / "Docs": the offline documentation set
  std::atomic<LookupState> state{LookupState::Idle};
  RetryMarkers markers;    // of the running lookup
  Text key;                // the library that holds the lookup record
  std::size_t record = 0;  // the lookup record's index in that library
  std::atomic<bool> stopRequested{false};  // "Stop Update", a failed load or the window's close
  bool loadFailed = false;                 // a page of this batch did not load; its message stays
  std::thread worker;                      // the batch; joined, never detached
  BatchRun* batch = nullptr;               // the running batch's walk (user-interface thread only)
  std::mutex wakeMutex;
  std::condition_variable wake;
  PageLoadQueue loads;
};

struct Session {
  explicit Session(Platform& platformIn) : platform(platformIn) {}

  Platform& platform;
  Catalogue catalogue;
  // Where catalogue files are saved and looked for: the working directory at start-up + "Korvane.xml\".
  Text catalogueFolder;
  // The settings file found or written at start-up; later writes go there.
  Text settingsPath;
  // The folder the library requester opens in, as loaded from the settings at start-up.
  Text libraryFolder;
  ExportSettings exportSettings;
  // Stores the folder of the first chosen library in the settings (set by the program).
  std::function<void(const Text& folder)> rememberLibraryFolder;
  // True while the batch lookup runs; its worker thread reads it.
  std::atomic<bool> batchRunning{false};
  LookupSession lookup;
  // The functions of each library as its catalogue file holds them, as far as this run knows: as last
  // loaded, saved, or merged automatically after a load. A library whose functions differ (or that
  // has no entry here) holds changes that no catalogue file has.
  std::unordered_map<Text, std::vector<ApiFunction>> savedFunctions;
  // Set when the detail editor is filled; cleared whenever the function list is refilled.
  std::optional<DetailTarget> detail;
  // The folder of the program (ending in a separator), where the documentation set is looked for.
  Text programFolder;
  // The documentation set, once loaded (for the offline lookup or the import files' types).
  std::shared_ptr<const DocumentationSet> documentationSet;
  bool documentationSetTried = false;  // a load was tried, so a missing set is not read again
};

// The record the detail editor shows, or nullptr when it shows none or the record no longer exists.
ApiFunction* DetailRecord(Session& session);

}  // namespace korvane
