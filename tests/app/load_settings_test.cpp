#include "app/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/memory_file_system.h"

namespace korvane {
namespace {

const Text kPath = u"C:\\Work\\Korvane.ini";
const std::string kFirstStartFile =
    "\xEF\xBB\xBF\r\n[Korvane]\r\nLibDir = C:\\\r\n[Export]\r\nAPI = 1\r\nSAL = 1\r\n";

TEST(LoadSettings, FirstStartWritesDefaultsAndAppliesThemNextTime) {
  MemoryFileSystem files;
  const Settings first = LoadSettings(files);
  EXPECT_TRUE(first.firstStart);
  EXPECT_EQ(first.settingsPath, kPath);
  EXPECT_EQ(first.libraryFolder, u"");
  EXPECT_TRUE(first.listingUpdate);
  EXPECT_EQ(first.annotationMode, 1);
  EXPECT_TRUE(first.rootFolders.empty());
  EXPECT_EQ(files.Contents(kPath), kFirstStartFile);
  EXPECT_TRUE(files.FolderExists(u"C:\\Work\\Korvane.xml\\"));

  const Settings next = LoadSettings(files);
  EXPECT_FALSE(next.firstStart);
  EXPECT_EQ(next.libraryFolder, u"C:\\");
  EXPECT_EQ(files.Contents(kPath), kFirstStartFile);
}

TEST(LoadSettings, ReadsValuesLeniently) {
  struct Case {
    const char* name;
    std::string file;
    Text libraryFolder;
    bool listingUpdate;
    int annotationMode;
    std::vector<Text> rootFolders;
  };
  const std::vector<Case> cases = {
      {"empty file: read defaults", "", u"C:\\", true, 1, {}},
      {"names ignore case", "[korvane]\r\nlibdir = D:\\Libs\\ \r\n[export]\r\napi = 0\r\nsal = 2\r\n", u"D:\\Libs\\",
       false, 2, {}},
      {"API 2 is off", "[Export]\r\nAPI = 2\r\n", u"C:\\", false, 1, {}},
      {"API not a number is off", "[Export]\r\nAPI = x\r\n", u"C:\\", false, 1, {}},
      {"SAL 4 changes nothing", "[Export]\r\nSAL = 4\r\n", u"C:\\", true, 1, {}},
      {"SAL -2 changes nothing", "[Export]\r\nSAL = -2\r\n", u"C:\\", true, 1, {}},
      {"SAL not a number changes nothing", "[Export]\r\nSAL = x\r\n", u"C:\\", true, 1, {}},
      {"SAL with blanks around", "[Export]\r\nSAL =  3 \r\n", u"C:\\", true, 3, {}},
      {"no marker: E9 is e-acute", "[Korvane]\nLibDir=D:\\Caf\xE9\\\n", u"D:\\Caf\u00E9\\", true, 1, {}},
      {"every key of PBRoot in file order", "[PBRoot]\r\nRootDir1 = E:\\A\\\r\n;c\r\nOther = F:\\\r\n[Z]\r\nR = G:\\\r\n",
       u"C:\\", true, 1, {u"E:\\A\\", u"F:\\"}},
      {"PBRoot lines without a value name no folder",
       "[PBRoot]\r\nRootDir1 = E:\\A\\\r\nno equals sign\r\nEmpty =\r\nBlank =  \t\r\nLast = F:\\\r\n", u"C:\\", true, 1,
       {u"E:\\A\\", u"F:\\"}},
  };
  for (const auto& c : cases) {
    MemoryFileSystem files;
    files.AddFile(kPath, c.file);
    const Settings settings = LoadSettings(files);
    EXPECT_FALSE(settings.firstStart) << c.name;
    EXPECT_EQ(settings.libraryFolder, c.libraryFolder) << c.name;
    EXPECT_EQ(settings.listingUpdate, c.listingUpdate) << c.name;
    EXPECT_EQ(settings.annotationMode, c.annotationMode) << c.name;
    EXPECT_EQ(settings.rootFolders, c.rootFolders) << c.name;
    EXPECT_EQ(files.Contents(kPath), c.file) << c.name << ": loading never rewrites the file";
  }
}

TEST(LoadSettings, UnusableFilesGiveDefaultsSilently) {
  MemoryFileSystem folderFiles;
  folderFiles.AddFolder(kPath);
  for (int start = 0; start < 2; ++start) {
    const Settings settings = LoadSettings(folderFiles);
    EXPECT_TRUE(settings.firstStart);
    EXPECT_EQ(settings.libraryFolder, u"");
    EXPECT_TRUE(folderFiles.FolderExists(kPath));
  }

  MemoryFileSystem lockedFiles;
  lockedFiles.AddUnreadable(kPath);
  const Settings locked = LoadSettings(lockedFiles);
  EXPECT_FALSE(locked.firstStart);
  EXPECT_EQ(locked.libraryFolder, u"C:\\");
  EXPECT_FALSE(WriteSetting(lockedFiles, kPath, kGroupKorvane, kKeyLibDir, u"D:\\"));
  EXPECT_EQ(lockedFiles.Contents(kPath), "");
}

TEST(WriteSetting, WritesOneKeyToTheKeptPath) {
  MemoryFileSystem files;
  files.SetWorkingDirectory(u"D:\\Start\\");
  files.AddFile(u"D:\\Start\\Korvane.ini", "[Korvane]\r\nLibDir = caf\xE9\r\n");
  const Settings settings = LoadSettings(files);
  files.SetWorkingDirectory(u"E:\\Elsewhere\\");
  EXPECT_TRUE(WriteSetting(files, settings.settingsPath, kGroupPbRoot, u"RootDir1", u"F:\\PB\\"));
  EXPECT_TRUE(WriteSetting(files, settings.settingsPath, kGroupExport, kKeySal, 3));
  EXPECT_EQ(files.Contents(u"D:\\Start\\Korvane.ini"),
            "\xEF\xBB\xBF\r\n[Korvane]\r\nLibDir = caf\xC3\xA9\r\n[PBRoot]\r\nRootDir1 = F:\\PB\\\r\n"
            "[Export]\r\nSAL = 3\r\n");

  files.FailWritesTo(settings.settingsPath);
  const std::string before = files.Contents(settings.settingsPath);
  EXPECT_FALSE(WriteSetting(files, settings.settingsPath, kGroupExport, kKeyApi, 0));
  EXPECT_EQ(files.Contents(settings.settingsPath), before);
}

}  // namespace
}  // namespace korvane
