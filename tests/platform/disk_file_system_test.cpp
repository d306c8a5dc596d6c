#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/file_system.h"

namespace korvane {
namespace {

Text ToText(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return Utf8ToText(std::string(utf8.begin(), utf8.end()));
}

TEST(DiskFileSystem, ReadsWholeFilesAndTellsMissingFromUnreadable) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "korvane-disk-test-\u00E9";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / "sub");
  {
    std::ofstream(folder / "data.lib", std::ios::binary) << std::string("!<arch>\n\0\xFF\r\n", 12);
    std::ofstream(folder / "empty.lib", std::ios::binary);
  }
  auto files = MakeDiskFileSystem();

  const FileContent data = files->ReadWholeFile(ToText(folder / "data.lib"));
  EXPECT_EQ(data.status, FileReadStatus::Ok);
  EXPECT_EQ(std::string(data.bytes.begin(), data.bytes.end()), std::string("!<arch>\n\0\xFF\r\n", 12));

  const FileContent empty = files->ReadWholeFile(ToText(folder / "empty.lib"));
  EXPECT_EQ(empty.status, FileReadStatus::Ok);
  EXPECT_TRUE(empty.bytes.empty());

  EXPECT_EQ(files->ReadWholeFile(ToText(folder / "none.lib")).status, FileReadStatus::Missing);
  EXPECT_EQ(files->ReadWholeFile(ToText(folder / "nofolder" / "none.lib")).status, FileReadStatus::Missing);
  EXPECT_EQ(files->ReadWholeFile(ToText(folder / "sub")).status, FileReadStatus::Unreadable);

  // Windows-form separators work on every system.
  Text backslashed = ToText(folder / "data.lib");
  for (char16_t& c : backslashed) {
    if (c == u'/') c = u'\\';
  }
  EXPECT_EQ(files->ReadWholeFile(backslashed).status, FileReadStatus::Ok);
  // Writes replace a file whole and leave no temporary file behind; a folder is never overwritten.
  const std::string replacement = "\xEF\xBB\xBF\r\n[Korvane]\r\n";
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(replacement.data()),
                                            replacement.size());
  EXPECT_TRUE(files->WriteWholeFile(ToText(folder / "data.lib"), bytes));
  const FileContent rewritten = files->ReadWholeFile(ToText(folder / "data.lib"));
  EXPECT_EQ(std::string(rewritten.bytes.begin(), rewritten.bytes.end()), replacement);
  EXPECT_FALSE(files->WriteWholeFile(ToText(folder / "sub"), bytes));
  EXPECT_FALSE(files->WriteWholeFile(ToText(folder / "nofolder" / "x.ini"), bytes));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 3);

  EXPECT_TRUE(files->FileExists(ToText(folder / "empty.lib")));
  EXPECT_FALSE(files->FileExists(ToText(folder / "sub")));
  EXPECT_TRUE(files->FolderExists(ToText(folder / "sub")));
  EXPECT_TRUE(files->CreateFolder(ToText(folder / "made")));
  EXPECT_TRUE(files->CreateFolder(ToText(folder / "made")));  // already there
  EXPECT_FALSE(files->CreateFolder(ToText(folder / "data.lib")));
  const Text working = files->WorkingDirectory();
  ASSERT_FALSE(working.empty());
  EXPECT_EQ(working.back(), u'\\');
  std::filesystem::remove_all(folder);
}

#ifndef _WIN32
// Names that are not UTF-8 are opened and listed by their bytes; a symbolic link is written through;
// a lock is refused to a second holder, in this very process too, until the first lets it go.
TEST(DiskFileSystem, NamesInBytesLinksAndLocks) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "korvane-disk-bytes";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string raw = folder.string() + "/lib\xE9.a";
  std::ofstream(raw, std::ios::binary) << "bytes";
  auto files = MakeDiskFileSystem();
  const FileContent named = files->ReadWholeFile(FileNameBytesToText(raw));
  EXPECT_EQ(named.status, FileReadStatus::Ok);
  const auto entries = files->ListFolder(ToText(folder), u"*.a");
  ASSERT_TRUE(entries.has_value());
  ASSERT_EQ(entries->size(), 1u);
  EXPECT_EQ(TextToFileNameBytes((*entries)[0].name), "lib\xE9.a");
  EXPECT_EQ(files->ReadWholeFile(ToText(folder) + u"/" + (*entries)[0].name).status, FileReadStatus::Ok);

  std::ofstream(folder / "target.txt", std::ios::binary) << "old";
  std::filesystem::create_symlink("target.txt", folder / "link.txt");
  const std::string fresh = "new";
  EXPECT_TRUE(files->WriteWholeFile(ToText(folder / "link.txt"), AsBytes(fresh)));
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.txt"));
  const FileContent target = files->ReadWholeFile(ToText(folder / "target.txt"));
  EXPECT_EQ(std::string(target.bytes.begin(), target.bytes.end()), "new");

  const Text lockPath = ToText(folder / "x.lock");
  FileLockResult first = files->TryLockFile(lockPath);
  EXPECT_NE(first.lock, nullptr);
  const FileLockResult second = files->TryLockFile(lockPath);
  EXPECT_EQ(second.lock, nullptr);
  EXPECT_TRUE(second.busy);
  first.lock.reset();
  EXPECT_NE(files->TryLockFile(lockPath).lock, nullptr);
  const FileLockResult nowhere = files->TryLockFile(ToText(folder / "none" / "x.lock"));
  EXPECT_EQ(nowhere.lock, nullptr);
  EXPECT_FALSE(nowhere.busy);
  std::filesystem::remove_all(folder);
}
#endif

}  // namespace
}  // namespace korvane
