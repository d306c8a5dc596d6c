#include "app/settings.h"

#include <string>
#include <utility>

#include "app/settings_file.h"
#include "text/text_ops.h"

namespace korvane {
namespace {

Text WorkingFolder(FileSystem& files) {
  Text folder = files.WorkingDirectory();
  if (!folder.empty() && folder.back() != u'\\') folder += u'\\';
  return folder;
}

// A first start: a file with the defaults for the next run. Its values are not applied in this one.
void WriteDefaultSettings(SettingsFile& file, const Text& path) {
  file.CreateSettings(path);
  file.SelectGroup(kGroupKorvane);
  file.WriteText(kKeyLibDir, u"C:\\");
  file.SelectGroup(kGroupExport);
  file.WriteInteger(kKeyApi, 1);
  file.WriteInteger(kKeySal, 1);
  file.SelectGroup(kGroupPbRoot);  // selected but never written, so no header is added
  file.CloseSettings();            // a failed write (path is a folder, read-only disk) is silent
}

// A base as the addresses are built from it: the paths that follow begin with "/". Empty when absent.
Text ReadBase(const SettingsFile& file, const Text& key) {
  Text base = Trim(file.ReadText(key, {}));
  while (!base.empty() && base.back() == u'/') base.pop_back();
  return base;
}

// An empty value counts as absent: a base without a host would make every lookup fail.
void ReadLookupSettings(SettingsFile& file, Settings& settings) {
  if (!file.SelectGroup(kGroupLookup)) return;
  settings.lookupEngine = LowerCase(Trim(file.ReadText(kKeyEngine, {})));
  if (Text base = ReadBase(file, kKeySearchBase); !base.empty()) settings.searchBase = base;
  if (Text base = ReadBase(file, kKeyLibraryBase); !base.empty()) settings.libraryBase = base;
  settings.docsPath = Trim(file.ReadText(kKeyDocs, {}));
}

void ReadSettings(SettingsFile& file, Settings& settings) {
  file.OpenSettings(settings.settingsPath);
  file.SelectGroup(kGroupKorvane);
  settings.libraryFolder = file.ReadText(kKeyLibDir, u"C:\\");
  file.SelectGroup(kGroupExport);
  settings.listingUpdate = file.ReadInteger(kKeyApi, 1) == 1;
  if (const int sal = file.ReadInteger(kKeySal, 1); sal >= 1 && sal <= 3) settings.annotationMode = sal;
  if (file.SelectGroup(kGroupPbRoot)) {
    // Every key counts, whatever its name; a line without a value (no "=", or nothing after it) names
    // no folder.
    for (bool more = file.FirstKey(); more; more = file.NextKey()) {
      if (Text folder = file.KeyValue(); !Trim(folder).empty()) settings.rootFolders.push_back(std::move(folder));
    }
  }
  ReadLookupSettings(file, settings);
  file.CloseSettings();
}

}  // namespace

Settings LoadSettings(FileSystem& files) {
  const Text folder = WorkingFolder(files);
  const Text catalogueFolder = folder + kCatalogueFolderName;
  if (!files.FolderExists(catalogueFolder)) files.CreateFolder(catalogueFolder);

  Settings settings;
  settings.settingsPath = folder + kSettingsFileName;
  SettingsFile file(files);
  if (!files.FileExists(settings.settingsPath)) {
    WriteDefaultSettings(file, settings.settingsPath);
    settings.firstStart = true;
    return settings;
  }
  ReadSettings(file, settings);
  return settings;
}

bool WriteSetting(FileSystem& files, const Text& settingsPath, const Text& group, const Text& key,
                  const Text& value) {
  SettingsFile file(files);
  file.OpenSettings(settingsPath);
  file.SelectGroup(group);
  const bool written = file.WriteText(key, value);
  return file.CloseSettings() && written;
}

bool WriteSetting(FileSystem& files, const Text& settingsPath, const Text& group, const Text& key, int value) {
  return WriteSetting(files, settingsPath, group, key, DecimalText(value));
}

}  // namespace korvane
