#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/catalogue_xml.h"
#include "catalogue/library_loader.h"
#include "catalogue/load_files.h"
#include "helpers/archive_writer.h"
#include "platform/headless/memory_file_system.h"

namespace korvane {
namespace {

using testing::GnuLibrary;
using testing::MicrosoftLibrary;

std::vector<Text> LibraryPaths(const LoadOutcome& outcome) {
  std::vector<Text> paths;
  for (const LoadedFile& file : outcome.libraries) paths.push_back(file.path);
  return paths;
}

std::vector<std::string> FunctionNames(const LibraryEntry& entry) {
  std::vector<std::string> names;
  for (const ApiFunction& record : entry.functions) names.push_back(TextToUtf8(record.Function));
  return names;
}

class LibraryLoaderTest : public ::testing::Test {
 protected:
  LibraryLoaderTest() {
    files.AddFile(u"C:\\Lib\\user32.lib", MicrosoftLibrary({"_MessageBoxA@16", "__imp__MessageBoxA@16", "_MessageBoxW@16"}));
    files.AddFile(u"C:\\Lib\\gdi32.lib", GnuLibrary({"GetDC", "__imp_GetDC", "__head_libgdi32_a", "_head_libgdi32_a",
                                                     "__libgdi32_a_iname"}));
    files.AddFile(u"C:\\Lib\\empty.lib", std::string_view());
    files.AddFile(u"C:\\Lib\\readme.lib", "This is not an archive.\r\n");
    files.AddFile(u"C:\\Lib\\thunks.lib", MicrosoftLibrary({"__IMPORT_DESCRIPTOR_x", "\x7Fx_NULL_THUNK_DATA", "??0A@@QAE@XZ"}));
    files.AddFile(u"D:\\x64\\user32.lib", MicrosoftLibrary({"MessageBoxA", "__imp_MessageBoxA", "Beep"}));
    files.AddUnreadable(u"C:\\Lib\\locked.lib");
  }

  LoadOutcome Load(const std::vector<Text>& paths) {
    return LoadFiles(catalogue, files, paths, FileKinds::Libraries);
  }

  MemoryFileSystem files;
  Catalogue catalogue;
};

TEST_F(LibraryLoaderTest, LoadsLibrariesInOrderAndShowsTheFirst) {
  const LoadOutcome outcome = Load({u"C:\\Lib\\gdi32.lib", u"C:\\Lib\\user32.lib"});
  EXPECT_EQ(LibraryPaths(outcome), (std::vector<Text>{u"C:\\Lib\\gdi32.lib", u"C:\\Lib\\user32.lib"}));
  ASSERT_FALSE(outcome.libraries.empty());
  EXPECT_EQ(outcome.libraries.front().path, u"C:\\Lib\\gdi32.lib");
  EXPECT_TRUE(outcome.skipped.empty());

  const LibraryEntry* gdi32 = catalogue.Find(u"gdi32");
  ASSERT_NE(gdi32, nullptr);
  EXPECT_EQ(FunctionNames(*gdi32), std::vector<std::string>{"GetDC"});
  EXPECT_EQ(gdi32->x86, 0);
  EXPECT_EQ(gdi32->path, u"C:\\Lib\\gdi32.lib");

  const LibraryEntry* user32 = catalogue.Find(u"user32");
  ASSERT_NE(user32, nullptr);
  EXPECT_EQ(FunctionNames(*user32), (std::vector<std::string>{"MessageBox", "MessageBoxA", "MessageBoxW"}));
  EXPECT_EQ(user32->x86, 1);
  for (const LibraryEntry* entry : {gdi32, user32}) {
    for (const ApiFunction& record : entry->functions) EXPECT_EQ(record.checked, 1) << TextToUtf8(record.Function);
  }
  EXPECT_EQ(catalogue.Shown(), gdi32);
  EXPECT_EQ(catalogue.shownLibraryRow, 0);
}

TEST_F(LibraryLoaderTest, SkipsFilesThatGiveNoLibraryWithTheReason) {
  const LoadOutcome outcome = Load({u"C:\\Lib\\missing.lib", u"C:\\Lib\\locked.lib", u"C:\\Lib\\empty.lib",
                                    u"C:\\Lib\\readme.lib", u"C:\\Lib\\thunks.lib", u"C:\\Lib\\user32.lib"});
  const std::vector<std::pair<Text, SkipReason>> expected = {
      {u"C:\\Lib\\missing.lib", SkipReason::Missing},      {u"C:\\Lib\\locked.lib", SkipReason::Unreadable},
      {u"C:\\Lib\\empty.lib", SkipReason::Empty},          {u"C:\\Lib\\readme.lib", SkipReason::NotArchive},
      {u"C:\\Lib\\thunks.lib", SkipReason::NoFunctionNames},
  };
  ASSERT_EQ(outcome.skipped.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(outcome.skipped[i].path, expected[i].first) << i;
    EXPECT_EQ(outcome.skipped[i].reason, expected[i].second) << TextToUtf8(expected[i].first);
  }
  // The first file that produced a library is the first library, however many were skipped before.
  EXPECT_EQ(LibraryPaths(outcome), std::vector<Text>{u"C:\\Lib\\user32.lib"});
  EXPECT_EQ(catalogue.Size(), 1u);
  EXPECT_EQ(catalogue.Shown(), catalogue.Find(u"user32"));
}

TEST_F(LibraryLoaderTest, NothingLoadedLeavesAnEmptyCatalogue) {
  Load({u"C:\\Lib\\user32.lib"});
  const LoadOutcome outcome = Load({u"C:\\Lib\\readme.lib"});
  EXPECT_TRUE(outcome.libraries.empty());
  EXPECT_TRUE(catalogue.Empty());
  EXPECT_EQ(catalogue.Shown(), nullptr);
}

TEST_F(LibraryLoaderTest, ALaterFileWithTheSameLibraryKeyIsSkipped) {
  const LoadOutcome outcome = Load({u"C:\\Lib\\user32.lib", u"D:\\x64\\user32.lib"});
  EXPECT_EQ(LibraryPaths(outcome), std::vector<Text>{u"C:\\Lib\\user32.lib"});
  ASSERT_EQ(outcome.skipped.size(), 1u);
  EXPECT_EQ(outcome.skipped[0].path, u"D:\\x64\\user32.lib");
  EXPECT_EQ(outcome.skipped[0].reason, SkipReason::DuplicateLibrary);
  EXPECT_EQ(files.ReadCount(u"D:\\x64\\user32.lib"), 0);

  const LibraryEntry* user32 = catalogue.Find(u"user32");
  ASSERT_NE(user32, nullptr);
  EXPECT_EQ(user32->path, u"C:\\Lib\\user32.lib");
  EXPECT_EQ(user32->x86, 1);
  EXPECT_EQ(FunctionNames(*user32), (std::vector<std::string>{"MessageBox", "MessageBoxA", "MessageBoxW"}));
}

TEST_F(LibraryLoaderTest, AKeyWhoseFirstFileFailedCanStillBeLoaded) {
  files.AddFile(u"C:\\Bad\\user32.lib", "garbage");
  const LoadOutcome outcome = Load({u"C:\\Bad\\user32.lib", u"D:\\x64\\user32.lib"});
  EXPECT_EQ(LibraryPaths(outcome), std::vector<Text>{u"D:\\x64\\user32.lib"});
  EXPECT_EQ(FunctionNames(*catalogue.Find(u"user32")), (std::vector<std::string>{"Beep", "MessageBoxA"}));
}

TEST_F(LibraryLoaderTest, KeysDifferingInCaseAreTwoLibraries) {
  files.AddFile(u"C:\\Other\\User32.lib", MicrosoftLibrary({"Beep"}));
  const LoadOutcome outcome = Load({u"C:\\Lib\\user32.lib", u"C:\\Other\\User32.lib"});
  EXPECT_EQ(outcome.libraries.size(), 2u);
  EXPECT_NE(catalogue.Find(u"User32"), catalogue.Find(u"user32"));
}

TEST_F(LibraryLoaderTest, ReloadingReplacesTheCatalogue) {
  Load({u"C:\\Lib\\user32.lib", u"C:\\Lib\\gdi32.lib"});
  catalogue.Find(u"user32")->functions[0].checked = 0;
  catalogue.Find(u"user32")->functions[0].Return = u"INT";
  catalogue.shownLibraryRow = 1;
  Load({u"C:\\Lib\\user32.lib"});
  EXPECT_EQ(catalogue.Size(), 1u);
  EXPECT_EQ(catalogue.shownLibraryRow, 0);
  const ApiFunction& first = catalogue.Find(u"user32")->functions[0];
  EXPECT_EQ(first.checked, 1);
  EXPECT_TRUE(first.Return.empty());
}

TEST_F(LibraryLoaderTest, ATruncatedDirectoryKeepsTheNamesBeforeTheCut) {
  const testing::Bytes whole = MicrosoftLibrary({"Alpha", "Beta", "Gamma"});
  const std::string image(whole.begin(), whole.end());
  // Cut inside the second linker member's "Gamma": the library still loads with the complete names.
  const std::size_t cut = image.rfind("Gamma") + 2;
  files.AddFile(u"C:\\Lib\\cut.lib", std::string_view(image).substr(0, cut));
  const LoadOutcome outcome = Load({u"C:\\Lib\\cut.lib"});
  ASSERT_EQ(outcome.libraries.size(), 1u);
  EXPECT_EQ(FunctionNames(*catalogue.Find(u"cut")), (std::vector<std::string>{"Alpha", "Beta"}));
  ASSERT_EQ(outcome.cutShort.size(), 1u);
  EXPECT_EQ(outcome.cutShort[0].path, u"C:\\Lib\\cut.lib");
  EXPECT_EQ(outcome.cutShort[0].archive.field, "symbol name");
}

// The files of a MemoryFileSystem, counting the bytes handed out.
class CountingFileSystem final : public FileSystem {
 public:
  explicit CountingFileSystem(MemoryFileSystem& files) : files_(files) {}
  FileContent ReadWholeFile(const Text& path) override { return Count(files_.ReadWholeFile(path)); }
  FileContent ReadFileRange(const Text& path, std::uint64_t offset, std::size_t count) override {
    return Count(files_.ReadFileRange(path, offset, count));
  }
  std::optional<std::uint64_t> FileSize(const Text& path) override { return files_.FileSize(path); }
  bool WriteWholeFile(const Text& path, std::span<const std::uint8_t> bytes) override {
    return files_.WriteWholeFile(path, bytes);
  }
  bool FileExists(const Text& path) override { return files_.FileExists(path); }
  bool FolderExists(const Text& path) override { return files_.FolderExists(path); }
  bool CreateFolder(const Text& path) override { return files_.CreateFolder(path); }
  Text WorkingDirectory() override { return files_.WorkingDirectory(); }

  std::size_t handedOut = 0;

 private:
  FileContent Count(FileContent content) {
    handedOut += content.bytes.size();
    return content;
  }
  MemoryFileSystem& files_;
};

TEST(LoadFiles, ReadsALibraryOnlyAsFarAsItsDirectoryWithTheWholeFilesResult) {
  std::vector<std::string> many;  // a directory past the first read
  for (int i = 0; i < 1000; ++i) many.push_back("SomeRatherLongFunctionName" + std::to_string(i));
  const std::string object(200000, 'o');
  testing::ArchiveWriter bigFirst;
  bigFirst.Member("/", std::string(30001, 'x')).Member("/", testing::MicrosoftDirectory({"Alpha", "Beta"}));
  const testing::Bytes gnu = testing::ArchiveWriter()
                                 .Member("/", testing::GnuDirectory(many))
                                 .Member("//", "")
                                 .Member("a.o/", object)
                                 .Build();
  LibraryEntry catalogueEntry;
  catalogueEntry.functions.resize(400);
  for (std::size_t i = 0; i < catalogueEntry.functions.size(); ++i) {
    catalogueEntry.functions[i].Function = Utf8ToText("Function" + std::to_string(i));
    catalogueEntry.functions[i].Description = Utf8ToText(std::string(60, 'd'));
  }
  const std::string xml = WriteCatalogueDocument(catalogueEntry);
  struct Case {
    const char* name;
    testing::Bytes image;
    bool partial;  // the object members after the directory stay unread
  };
  const std::vector<Case> cases = {
      {"GNU directory longer than the first read", gnu, true},
      {"second linker member beyond the first read", bigFirst.Member("b.o/", object).Build(), true},
      {"cut inside a long directory", testing::Bytes(gnu.begin(), gnu.begin() + 20000), false},
      {"catalogue file longer than the first read", testing::Bytes(xml.begin(), xml.end()), false},
  };
  ASSERT_GT(xml.size(), 20000u);
  for (const Case& c : cases) {
    MemoryFileSystem memory;
    const Text path = xml.size() == c.image.size() ? u"C:\\Lib\\[x64] [01.01.2020-00.00.00] big.lib.xml" : u"C:\\Lib\\big.lib";
    memory.AddFile(path, c.image);
    CountingFileSystem files(memory);
    Catalogue catalogue;
    const LoadOutcome outcome = LoadFiles(catalogue, files, {path}, FileKinds::Both);
    ASSERT_EQ(outcome.libraries.size(), 1u) << c.name;
    const LibraryEntry* entry = catalogue.Find(u"big");
    ASSERT_NE(entry, nullptr) << c.name;
    if (c.partial) {
      EXPECT_LT(files.handedOut, c.image.size() / 2) << c.name;
    }
    if (path.ends_with(u".xml")) {
      EXPECT_EQ(entry->functions.size(), catalogueEntry.functions.size()) << c.name;
      continue;
    }
    const LibraryRead whole = ReadLibrary(c.image, path);
    EXPECT_EQ(FunctionNames(*entry), FunctionNames(whole.entry)) << c.name;
    ASSERT_EQ(outcome.cutShort.size(), whole.archive.status == ArchiveStatus::Truncated ? 1u : 0u) << c.name;
    if (!outcome.cutShort.empty()) {
      EXPECT_EQ(outcome.cutShort[0].archive.offset, whole.archive.offset) << c.name;
      EXPECT_EQ(outcome.cutShort[0].namesRead, whole.namesRead) << c.name;
    }
  }
}

}  // namespace
}  // namespace korvane
