// Folder listing, copying, removing and partial reads: the same cases against the disk file system
// of the system the tests run on and against the in-memory one, so the two cannot drift apart.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "platform/file_system.h"
#include "platform/headless/memory_file_system.h"

namespace korvane {
namespace {

// A folder holding: 'b.txt' ("bee"), 'Notes.TXT' ("notes!"), 'MYLIB' ("lib"), 'readme.txt2' ("r"),
// and the folder 'sub'.
struct FileSystemUnderTest {
  std::string label;
  FileSystem* files = nullptr;
  Text folder;  // ends in a backslash
  std::function<std::string(const Text&)> contents;
};

Text ToText(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return Utf8ToText(std::string(utf8.begin(), utf8.end()));
}

std::string Names(const std::optional<std::vector<FolderEntry>>& entries) {
  if (!entries) return "(none)";
  std::string out;
  for (const FolderEntry& entry : *entries) out += TextToUtf8(entry.name) + (entry.isFolder ? "/ " : " ");
  return out;
}

void RunCases(FileSystemUnderTest& s) {
  SCOPED_TRACE(s.label);
  FileSystem& files = *s.files;
  struct ListCase {
    const char16_t* folder;  // relative to the set-up folder
    const char16_t* pattern;
    std::string names;
  };
  const ListCase lists[] = {
      {u"", u"", "MYLIB Notes.TXT b.txt readme.txt2 sub/ "},
      {u"", u"*.txt", "Notes.TXT b.txt "},  // letter case ignored, '.txt2' is another extension
      {u"", u"*.", "MYLIB sub/ "},          // names without an extension
      {u"", u"?.TXT", "b.txt "},
      {u"", u"*.lib", ""},
      {u"sub", u"*", ""},
      {u"none", u"", "(none)"},      // missing folder
      {u"b.txt", u"", "(none)"},     // a file is not a folder
  };
  for (const ListCase& c : lists) {
    SCOPED_TRACE(TextToUtf8(c.folder) + " " + TextToUtf8(c.pattern));
    EXPECT_EQ(Names(files.ListFolder(s.folder + c.folder, c.pattern)), c.names);
  }

  // Copies replace the target whole; a failed copy leaves it as it was.
  struct CopyCase {
    const char16_t* from;
    const char16_t* to;
    bool copied;
    std::string targetAfter;
  };
  const CopyCase copies[] = {
      {u"b.txt", u"Notes.TXT", true, "bee"},
      {u"MYLIB", u"new.lib", true, "lib"},
      {u"missing", u"MYLIB", false, "lib"},
      {u"sub", u"MYLIB", false, "lib"},        // a folder is not copied
      {u"b.txt", u"sub", false, ""},           // nor replaced
  };
  for (const CopyCase& c : copies) {
    SCOPED_TRACE(TextToUtf8(c.from) + " -> " + TextToUtf8(c.to));
    EXPECT_EQ(files.CopyFileReplacing(s.folder + c.from, s.folder + c.to), c.copied);
    EXPECT_EQ(s.contents(s.folder + c.to), c.targetAfter);
  }
  // No temporary file is left beside the targets.
  EXPECT_EQ(Names(files.ListFolder(s.folder, u"")), "MYLIB Notes.TXT b.txt new.lib readme.txt2 sub/ ");

  struct RangeCase {
    std::uint64_t offset;
    std::size_t count;
    std::string bytes;
  };
  const RangeCase ranges[] = {{0, 3, "not"}, {2, 100, "tes!"}, {6, 1, ""}, {1000, 5, ""}, {0, 0, ""}};
  files.WriteWholeFile(s.folder + u"Notes.TXT", AsBytes("notes!"));
  for (const RangeCase& c : ranges) {
    const FileContent part = files.ReadFileRange(s.folder + u"Notes.TXT", c.offset, c.count);
    EXPECT_EQ(part.status, FileReadStatus::Ok);
    EXPECT_EQ(std::string(part.bytes.begin(), part.bytes.end()), c.bytes) << c.offset << "+" << c.count;
  }
  EXPECT_EQ(files.ReadFileRange(s.folder + u"missing", 0, 4).status, FileReadStatus::Missing);
  EXPECT_EQ(files.ReadFileRange(s.folder + u"sub", 0, 4).status, FileReadStatus::Unreadable);
  EXPECT_EQ(files.FileSize(s.folder + u"Notes.TXT"), std::optional<std::uint64_t>(6));
  EXPECT_EQ(files.FileSize(s.folder + u"sub"), std::nullopt);
  EXPECT_EQ(files.FileSize(s.folder + u"missing"), std::nullopt);

  EXPECT_TRUE(files.RemoveFile(s.folder + u"new.lib"));
  EXPECT_FALSE(files.RemoveFile(s.folder + u"new.lib"));
  EXPECT_FALSE(files.RemoveFile(s.folder + u"sub"));
  EXPECT_TRUE(files.FolderExists(s.folder + u"sub"));
  EXPECT_FALSE(files.FileExists(s.folder + u"new.lib"));
}

const std::pair<const char*, const char*> kFiles[] = {
    {"b.txt", "bee"}, {"Notes.TXT", "notes!"}, {"MYLIB", "lib"}, {"readme.txt2", "r"}};

TEST(FolderAndCopy, DiskFileSystem) {
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "korvane-folder-test";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "sub");
  for (const auto& [name, bytes] : kFiles) std::ofstream(root / name, std::ios::binary) << bytes;
  auto disk = MakeDiskFileSystem();
  FileSystemUnderTest setup{"disk", disk.get(), ToText(root) + u"\\", [](const Text& path) {
                const FileContent content = MakeDiskFileSystem()->ReadWholeFile(path);
                return std::string(content.bytes.begin(), content.bytes.end());
              }};
  RunCases(setup);

  // A read-only target is left alone: the installation's files may be protected on purpose.
  std::filesystem::permissions(root / "MYLIB", std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                                   std::filesystem::perms::others_read);
  EXPECT_FALSE(disk->CopyFileReplacing(setup.folder + u"b.txt", setup.folder + u"MYLIB"));
  EXPECT_FALSE(disk->WriteWholeFile(setup.folder + u"MYLIB", AsBytes("x")));
  EXPECT_EQ(setup.contents(setup.folder + u"MYLIB"), "lib");
  std::filesystem::permissions(root / "MYLIB", std::filesystem::perms::owner_all);
  std::filesystem::remove_all(root);
}

TEST(FolderAndCopy, MemoryFileSystem) {
  MemoryFileSystem memory;
  const Text folder = u"C:\\Inst\\";
  memory.AddFolder(folder);
  memory.AddFolder(folder + u"sub");
  for (const auto& [name, bytes] : kFiles) memory.AddFile(folder + Utf8ToText(name), bytes);
  // Two levels down: an entry of neither 'C:\Inst' nor 'C:\Inst\sub'.
  memory.AddFile(u"C:\\Inst\\sub\\deeper\\inner.txt", "x");
  FileSystemUnderTest setup{"memory", &memory, folder, [&](const Text& path) { return memory.Contents(path); }};
  RunCases(setup);
}

}  // namespace
}  // namespace korvane
