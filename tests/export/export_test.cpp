// Whole exports into an installation on the in-memory file system.
#include <gtest/gtest.h>

#include <functional>

#include "export/export.h"
#include "export/listing.h"
#include "platform/headless/memory_file_system.h"

namespace korvane {
namespace {

const Text kRoot = u"C:\\PB\\";
const Text kDescriptors = u"C:\\PB\\PureLibraries\\Windows\\";
const Text kLibraries = u"C:\\PB\\PureLibraries\\Windows\\Libraries\\";
const Text kListing = u"C:\\PB\\Compilers\\APIFunctionListing.txt";
const std::string kListingBefore =
    "4\r\nAbortDoc (hdc)\r\nMessageBoxW (hWnd, lpText, lpCaption, uType)\r\n"
    "MessageBoxA (hWnd, lpText, lpCaption, uType)\r\nZwClose (Handle)\r\n";
const std::string kUser32Bytes = std::string("!<arch>\n__imp_MessageBoxA\0__imp_MessageBoxW\0", 44);

template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

LibraryEntry User32() {
  LibraryEntry library;
  library.path = u"C:\\sdk\\user32.lib";
  ApiFunction a{u"MessageBoxA",
                u"_In_opt_ HWND hWnd, _In_opt_ LPCTSTR lpText, _In_opt_ LPCTSTR lpCaption, _In_ UINT uType",
                u"int", u"Displays a modal dialog box.", u"Dialog Boxes", u"", u"MessageBox", 1};
  ApiFunction w = a;
  w.Function = u"MessageBoxW";
  w.checked = 0;
  library.functions = {a, w};
  return library;
}

LibraryEntry MyLib() {
  LibraryEntry library;
  library.path = u"C:\\sdk\\mylib.lib";
  library.functions = {{u"Alpha", u"_In_ HWND hWnd, _In_ UINT uMsg", u"BOOL", u"", u"", u"", u"", 1},
                       {u"Beta", u"", u"void", u"", u"", u"", u"Beta", 1},
                       {u"Gamma", u"", u"int", u"", u"", u"", u"", 0}};
  return library;
}

void AddInstallation(MemoryFileSystem& files, bool windowsFolders = true, bool compilers = true) {
  files.AddFolder(kRoot);
  if (windowsFolders) {
    for (const Text& folder : {kRoot + u"PureLibraries", kDescriptors, kLibraries}) files.AddFolder(folder);
  }
  if (compilers) {
    files.AddFolder(kRoot + u"Compilers");
    files.AddFile(kListing, kListingBefore);
  }
  files.AddFile(u"C:\\sdk\\user32.lib", kUser32Bytes);
  files.AddFile(u"C:\\sdk\\mylib.lib", "!<arch>\nmylib");
}

ExportResult Export(MemoryFileSystem& files, const Text& root, std::vector<const LibraryEntry*> libraries) {
  return ExportToPureBasic(files, libraries, {root, true, AnnotationMode::Convert, Text(kDefaultDescriptionTemplate)});
}

const std::string kMessageBoxLine =
    "MessageBoxA ( InOpt HWND hWnd, InOpt LPCTSTR lpText, InOpt LPCTSTR lpCaption, In UINT uType )  int  |  "
    "Displays a modal dialog box.  |  Dialog Boxes  |  \r\n";
const std::string kMyLibDescriptor = Bytes("ERUPLLDE\x03\0\0\0\0MYLIB\0Alpha\0\x02\0Beta\0\0\x01");

TEST(ExportToPureBasic, InstallsAndMergesEachLibraryInTurn) {
  MemoryFileSystem files;
  AddInstallation(files);
  const LibraryEntry user32 = User32();
  const LibraryEntry mylib = MyLib();
  // A root typed without its final backslash still names the installation.
  const ExportResult result = Export(files, u"C:\\PB", {&user32, &mylib});
  EXPECT_TRUE(result.rootIsFolder);
  EXPECT_TRUE(result.failures.empty());
  EXPECT_EQ(result.written, (std::vector<Text>{kLibraries + u"user32.lib", kDescriptors + u"USER32", kListing,
                                               kLibraries + u"mylib.lib", kDescriptors + u"MYLIB", kListing}));
  // The second library's run reads the first one's entries back and keeps them as they were.
  EXPECT_EQ(files.Contents(kListing),
            "5\r\nAbortDoc (hdc)\r\nAlpha ( In HWND hWnd, In UINT uMsg )  BOOL  |    |    |  \r\n"
            "Beta ( )  void  |    |    |  \r\n" +
                kMessageBoxLine + "ZwClose (Handle)\r\n");
  EXPECT_EQ(files.Contents(kDescriptors + u"MYLIB"), kMyLibDescriptor);
  EXPECT_EQ(files.Contents(kDescriptors + u"USER32"),
            Bytes("ERUPLLDE\x03\0\0\0\0USER32\0MessageBoxA\0\x04\x01"));
  EXPECT_EQ(files.Contents(kLibraries + u"user32.lib"), kUser32Bytes);
  EXPECT_EQ(ExportClosingMessage(result),
            u"Export finished!\n\nIn order for the changes to take effect, please restart the Purebasic IDE.");
}

TEST(ExportToPureBasic, ListingCases) {
  struct Case {
    const char* what;
    std::function<void(MemoryFileSystem&, LibraryEntry&)> change;
    TextView descriptionTemplate;
    std::string listingAfter;
  };
  const Case cases[] = {
      {"the example listing", [](MemoryFileSystem&, LibraryEntry&) {}, kDefaultDescriptionTemplate,
       "3\r\nAbortDoc (hdc)\r\n" + kMessageBoxLine + "ZwClose (Handle)\r\n"},
      {"a missing listing is created", [](MemoryFileSystem& f, LibraryEntry&) { f.RemoveFile(kListing); }, kDefaultDescriptionTemplate,
       "1\r\n" + kMessageBoxLine},
      {"a library none of whose functions qualifies still drops its imports",
       [](MemoryFileSystem&, LibraryEntry& l) { l.functions[0].Return.clear(); }, kDefaultDescriptionTemplate,
       "2\r\nAbortDoc (hdc)\r\nZwClose (Handle)\r\n"},
      {"an emptied template ends entries at the parenthesis",
       [](MemoryFileSystem&, LibraryEntry& l) { l.functions[0].Parameters = u"_In_ UINT uType"; }, u"",
       "3\r\nAbortDoc (hdc)\r\nMessageBoxA ( In UINT uType )\r\nZwClose (Handle)\r\n"},
  };
  for (const Case& c : cases) {
    MemoryFileSystem files;
    AddInstallation(files);
    LibraryEntry user32 = User32();
    c.change(files, user32);
    // The installed copy the listing update reads.
    files.AddFile(kLibraries + u"user32.lib", kUser32Bytes);
    const ExportResult result = UpdateFunctionListing(files, kRoot, user32, AnnotationMode::Convert, c.descriptionTemplate);
    EXPECT_TRUE(result.failures.empty()) << c.what;
    EXPECT_EQ(files.Contents(kListing), c.listingAfter) << c.what;
  }
}

TEST(ExportToPureBasic, FailuresAreNamedAndLeaveFilesWhole) {
  struct Case {
    const char* what;
    std::function<void(MemoryFileSystem&)> change;
    Text root;
    bool rootIsFolder;
    std::vector<Text> written;
    std::vector<std::pair<Text, Text>> failures;
  };
  const Text descriptor = kDescriptors + u"MYLIB";
  const Text copy = kLibraries + u"mylib.lib";
  const Case cases[] = {
      {"read-only listing", [](MemoryFileSystem& f) { AddInstallation(f); f.FailWritesTo(kListing); }, kRoot, true, {copy, descriptor},
       {{kListing, u"could not be written; the old file is unchanged"}}},
      {"unreadable listing", [](MemoryFileSystem& f) { AddInstallation(f); f.AddUnreadable(kListing); }, kRoot, true, {copy, descriptor},
       {{kListing, u"could not be read; it was left unchanged"}}},
      {"UTF-16 listing", [](MemoryFileSystem& f) {
         AddInstallation(f);
         f.AddFile(kListing, Bytes("\xFF\xFE" "1\0\r\0\n\0F\0o\0o\0 \0(\0)\0\r\0\n\0"));
       }, kRoot, true, {copy, descriptor},
       {{kListing, u"is UTF-16 text, which the IDE cannot read; it was left unchanged"}}},
      {"no Compilers folder: nothing is written", [](MemoryFileSystem& f) { AddInstallation(f, true, false); }, kRoot, true,
       {}, {{u"C:\\PB\\Compilers\\", u"folder missing: the root is not an installation"}}},
      {"no library folder", [](MemoryFileSystem& f) {
         AddInstallation(f, false);
         f.AddFolder(kDescriptors);
       }, kRoot, true,
       {}, {{kLibraries, u"folder missing: the root is not an installation"}}},
      {"not an installation", [](MemoryFileSystem& f) { AddInstallation(f, false, false); }, kRoot, true, {}, {{kDescriptors, u"folder missing: the root is not an installation"},
                         {u"C:\\PB\\Compilers\\", u"folder missing: the root is not an installation"}}},
      {"root is a file", [](MemoryFileSystem& f) { AddInstallation(f); f.AddFile(u"C:\\file", "x"); }, u"C:\\file", false, {},
       {{u"C:\\file", u"is not a folder"}}},
      {"root is missing", [](MemoryFileSystem& f) { AddInstallation(f); }, u"C:\\nowhere", false, {},
       {{u"C:\\nowhere", u"does not exist"}}},
      {"copy fails, no copy there: nothing of the library is written", [](MemoryFileSystem& f) { AddInstallation(f); f.FailWritesTo(kLibraries + u"mylib.lib"); }, kRoot, true,
       {}, {{copy, u"the library file C:\\sdk\\mylib.lib could not be copied here: the copy could not be written; the library was not exported"}}},
      {"library file gone, no copy there", [](MemoryFileSystem& f) { AddInstallation(f); f.RemoveFile(u"C:\\sdk\\mylib.lib"); }, kRoot, true,
       {}, {{copy, u"the library file C:\\sdk\\mylib.lib could not be copied here: it is missing or not a file; the library was not exported"}}},
      {"copy fails over an older copy, which is exported", [](MemoryFileSystem& f) {
         AddInstallation(f);
         f.AddFile(kLibraries + u"mylib.lib", "!<arch>\nolder");
         f.FailWritesTo(kLibraries + u"mylib.lib");
       }, kRoot, true,
       {descriptor, kListing}, {{copy, u"the library file C:\\sdk\\mylib.lib could not be copied here: the copy could not be written; the older copy there was exported"}}},
      {"descriptor write fails", [](MemoryFileSystem& f) { AddInstallation(f); f.FailWritesTo(kDescriptors + u"MYLIB"); }, kRoot, true,
       {copy, kListing}, {{descriptor, u"could not be written; the old file is unchanged"}}},
  };
  for (const Case& c : cases) {
    MemoryFileSystem files;
    c.change(files);
    const std::string listingBefore = files.Contents(kListing);
    const std::string descriptorBefore = files.Contents(descriptor);
    const LibraryEntry mylib = MyLib();
    const ExportResult result = Export(files, c.root, {&mylib});
    EXPECT_EQ(result.rootIsFolder, c.rootIsFolder) << c.what;
    EXPECT_EQ(result.written, c.written) << c.what;
    std::vector<std::pair<Text, Text>> failures;
    for (const ExportFailure& f : result.failures) failures.emplace_back(f.path, f.reason);
    EXPECT_EQ(failures, c.failures) << c.what;
    if (std::find(c.written.begin(), c.written.end(), kListing) == c.written.end()) {
      EXPECT_EQ(files.Contents(kListing), listingBefore) << c.what;
    }
    if (std::find(c.written.begin(), c.written.end(), descriptor) == c.written.end()) {
      EXPECT_EQ(files.Contents(descriptor), descriptorBefore) << c.what;
    }
    EXPECT_NE(ExportClosingMessage(result).find(c.failures[0].first + u": " + c.failures[0].second), Text::npos);
  }
}

TEST(ExportToPureBasic, OwnDescriptorInOtherLetterCaseIsNotAnotherLibrary) {
  MemoryFileSystem files;
  AddInstallation(files);
  files.AddFile(kDescriptors + u"MyLib", kMyLibDescriptor);  // the same file on a case-blind file system
  files.AddFile(kDescriptors + u"OTHER", Bytes("ERUPLLDE\x03\0\0\0\0OTHER\0Beta\0\0\0"));
  files.AddFile(kDescriptors + u"notes.txt", "Alpha");  // has an extension: not a descriptor
  files.AddFolder(kDescriptors + u"Alpha");
  const Text stale = kListing + Text(kTemporaryFileMark) + u"-x1Y2z3";
  files.AddFile(stale, "cut sh");
  const LibraryEntry mylib = MyLib();
  const ExportResult result = Export(files, kRoot, {&mylib});
  EXPECT_TRUE(result.failures.empty());
  // The existing descriptor is written under its own name: a second one beside it would give the IDE
  // the library twice where letter case counts.
  EXPECT_EQ(files.Contents(kDescriptors + u"MyLib"), Bytes("ERUPLLDE\x03\0\0\0\0MYLIB\0Alpha\0\x02\0"));
  EXPECT_FALSE(files.FileExists(kDescriptors + u"MYLIB"));
  EXPECT_FALSE(files.FileExists(stale));
}

TEST(ExportToPureBasic, LibrariesSharingADescriptorNameExportOnlyTheFirst) {
  MemoryFileSystem files;
  AddInstallation(files);
  files.AddFile(u"C:\\sdk\\MYLIB.LIB", "!<arch>\nsecond");
  const LibraryEntry first = MyLib();
  LibraryEntry second = MyLib();
  second.path = u"C:\\sdk\\MYLIB.LIB";
  second.functions = {{u"Other", u"", u"int", u"", u"", u"", u"", 1}};
  const ExportResult result = Export(files, kRoot, {&first, &second});
  ASSERT_EQ(result.failures.size(), 1u);
  EXPECT_EQ(result.failures[0].path, kDescriptors + u"MYLIB");
  EXPECT_EQ(result.failures[0].reason, u"not written for C:\\sdk\\MYLIB.LIB: the descriptor of C:\\sdk\\mylib.lib was "
                                       u"already written under that name; the library was not exported");
  EXPECT_EQ(files.Contents(kDescriptors + u"MYLIB"), kMyLibDescriptor);
  EXPECT_FALSE(files.FileExists(kLibraries + u"MYLIB.LIB"));
  EXPECT_EQ(files.Contents(kListing).find("Other"), std::string::npos);
}

TEST(ExportToPureBasic, SweepsOnlyItsOwnTemporariesAndOnlyWhenNoExportRuns) {
  const Text ours[] = {kListing + Text(kTemporaryFileMark) + u"-x1Y2z3", kLibraries + u"mylib.lib" + Text(kTemporaryFileMark)};
  const Text theirs[] = {kRoot + u"Compilers\\notes.korvane-tmp.txt", kListing + Text(kTemporaryFileMark) + u"-toolong1",
                         kDescriptors + Text(kTemporaryFileMark)};
  const LibraryEntry mylib = MyLib();
  for (const bool otherExportRuns : {false, true}) {
    MemoryFileSystem files;
    AddInstallation(files);
    for (const Text& path : ours) files.AddFile(path, "x");
    for (const Text& path : theirs) files.AddFile(path, "x");
    const FileLockResult other = otherExportRuns ? files.TryLockFile(kRoot + Text(kExportLockName)) : FileLockResult{};
    const ExportResult result = Export(files, kRoot, {&mylib});
    for (const Text& path : theirs) EXPECT_TRUE(files.FileExists(path)) << TextToUtf8(path);
    for (const Text& path : ours) EXPECT_EQ(files.FileExists(path), otherExportRuns) << TextToUtf8(path);
    if (otherExportRuns) {
      EXPECT_TRUE(result.written.empty());
      ASSERT_EQ(result.failures.size(), 1u);
      EXPECT_EQ(result.failures[0].reason, u"is busy: another export is writing to this installation; nothing was changed");
      EXPECT_EQ(files.Contents(kListing), kListingBefore);
    } else {
      EXPECT_TRUE(result.failures.empty());
      // The lock is given back: the next export runs.
      EXPECT_TRUE(Export(files, kRoot, {&mylib}).failures.empty());
    }
  }
}

TEST(ExportToPureBasic, ALockThatCannotBeTakenStopsTheExportBeforeAnyChange) {
  const Text lockPath = kRoot + Text(kExportLockName);
  const Text stale = kListing + Text(kTemporaryFileMark);
  const struct {
    const char* what;
    std::function<void(MemoryFileSystem&)> block;
    TextView reason;
  } cases[] = {
      {"a folder", [&](MemoryFileSystem& f) { f.AddFolder(lockPath); },
       u"cannot be locked for the export: it is a folder; nothing was changed"},
      {"not writable", [&](MemoryFileSystem& f) { f.FailWritesTo(lockPath); },
       u"cannot be locked for the export: it could not be opened for writing (a link is not followed, and a "
       u"read-only file or folder cannot be written); nothing was changed"},
  };
  const LibraryEntry mylib = MyLib();
  for (const auto& c : cases) {
    MemoryFileSystem files;
    AddInstallation(files);
    files.AddFile(stale, "x");
    c.block(files);
    const ExportResult result = Export(files, kRoot, {&mylib});
    EXPECT_TRUE(result.rootIsFolder) << c.what;
    EXPECT_TRUE(result.written.empty()) << c.what;
    ASSERT_EQ(result.failures.size(), 1u) << c.what;
    EXPECT_EQ(result.failures[0].path, lockPath) << c.what;
    EXPECT_EQ(result.failures[0].reason, c.reason) << c.what;
    EXPECT_EQ(files.Contents(kListing), kListingBefore) << c.what;
    EXPECT_FALSE(files.FileExists(kDescriptors + u"MYLIB")) << c.what;
    EXPECT_FALSE(files.FileExists(kLibraries + u"mylib.lib")) << c.what;
    EXPECT_TRUE(files.FileExists(stale)) << c.what;
  }
}

TEST(ExportToPureBasic, NamesTheIdeCannotRecogniseAreReportedOnceAndNeverAddLines) {
  MemoryFileSystem files;
  AddInstallation(files);
  LibraryEntry mylib = MyLib();
  const Text tooLong(kLongestListingName + 1, u'x');
  for (const Text& name : {Text(u"Two Words"), Text(u"Line\r\nBreak"), tooLong}) {
    mylib.functions.push_back({name, u"", u"int", u"", u"", u"", u"", 1});
  }
  for (int run = 0; run < 2; ++run) {
    const ExportResult result = Export(files, kRoot, {&mylib});
    std::vector<std::pair<Text, Text>> failures;
    for (const ExportFailure& f : result.failures) failures.emplace_back(f.path, f.reason);
    const Text notWord = u" was left out: only names of ASCII letters, digits and \"_\" can be recognised by the IDE "
                         u"and called";
    EXPECT_EQ(failures, (std::vector<std::pair<Text, Text>>{
                            {kDescriptors + u"MYLIB", u"\"Two Words\"" + notWord},
                            {kDescriptors + u"MYLIB", u"\"Line??Break\"" + notWord},
                            {kListing, u"\"" + tooLong + u"\" was left out: the IDE reads no more than 255 characters "
                                                        u"of a name"}}));
    // Only Alpha and Beta are new: the listing does not grow from one export to the next.
    EXPECT_EQ(files.Contents(kListing),
              "6\r\nAbortDoc (hdc)\r\nAlpha ( In HWND hWnd, In UINT uMsg )  BOOL  |    |    |  \r\n"
              "Beta ( )  void  |    |    |  \r\nMessageBoxA (hWnd, lpText, lpCaption, uType)\r\n"
              "MessageBoxW (hWnd, lpText, lpCaption, uType)\r\nZwClose (Handle)\r\n");
  }
  EXPECT_EQ(files.Contents(kDescriptors + u"MYLIB"),
            kMyLibDescriptor + TextToUtf8(tooLong) + Bytes("\0\0\0"));
}

}  // namespace
}  // namespace korvane
