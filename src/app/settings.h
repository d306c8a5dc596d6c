#pragma once
// The user choices kept between runs in "Korvane.ini" in the working directory: loaded once at start-up,
// and afterwards written key by key, each in its own open–select–write–close cycle.

#include <vector>

#include "lookup/search_page.h"
#include "platform/file_system.h"
#include "text/text.h"

namespace korvane {

inline constexpr char16_t kSettingsFileName[] = u"Korvane.ini";
inline constexpr char16_t kCatalogueFolderName[] = u"Korvane.xml\\";

// Groups and keys of the settings file.
inline constexpr char16_t kGroupKorvane[] = u"Korvane";
inline constexpr char16_t kKeyLibDir[] = u"LibDir";
inline constexpr char16_t kGroupExport[] = u"Export";
inline constexpr char16_t kKeyApi[] = u"API";
inline constexpr char16_t kKeySal[] = u"SAL";
inline constexpr char16_t kGroupPbRoot[] = u"PBRoot";
inline constexpr char16_t kKeyRootDirPrefix[] = u"RootDir";  // followed by the entry's number: RootDir1
// Written by hand only; a first start leaves them out and the defaults apply.
inline constexpr char16_t kGroupLookup[] = u"Lookup";
inline constexpr char16_t kKeyEngine[] = u"Engine";  // offline, browser or http; unset: the first that works, in that order
inline constexpr char16_t kKeySearchBase[] = u"SearchBase";
inline constexpr char16_t kKeyLibraryBase[] = u"LibraryBase";
inline constexpr char16_t kKeyDocs[] = u"Docs";  // path of the offline documentation set
inline constexpr char16_t kEngineBrowser[] = u"browser";
inline constexpr char16_t kEngineHttp[] = u"http";
inline constexpr char16_t kEngineOffline[] = u"offline";

struct Settings {
  // Where the file is: the working directory at load time + "Korvane.ini". Later writes use this path,
  // not the working directory of the moment.
  Text settingsPath;
  Text libraryFolder;        // "LibDir"; empty on a first start
  bool listingUpdate = true;  // "API" == 1
  int annotationMode = 1;     // "SAL": 1 InOut, 2 _Inout_, 3 Remove
  std::vector<Text> rootFolders;  // every value of group "PBRoot", in file order
  Text lookupEngine;  // lower case; empty: chosen by what works (the offline set first)
  Text searchBase{kDefaultSearchBase};
  Text libraryBase{kDefaultLibraryBase};
  Text docsPath;
  bool firstStart = false;        // no settings file was found; one with the defaults was written
};

// Creates the catalogue folder if needed, then reads the settings file, or writes a new one with the
// defaults when there is none. Every failure is silent and leaves the defaults.
Settings LoadSettings(FileSystem& files);

// One open–select–write–close cycle on the settings file. False when the write was lost.
bool WriteSetting(FileSystem& files, const Text& settingsPath, const Text& group, const Text& key,
                  const Text& value);
bool WriteSetting(FileSystem& files, const Text& settingsPath, const Text& group, const Text& key, int value);

}  // namespace korvane
