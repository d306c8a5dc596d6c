// Real import libraries: the GNU-format archives that Debian's mingw-w64 packages install, and the
// Microsoft-format fixtures beside the project when present. Counts were checked against each file's
// own directory (its function imports plus one generic entry per ANSI/wide pair).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "catalogue/load_files.h"
#include "helpers/fixtures.h"

namespace korvane {
namespace {

const ApiFunction* FindFunction(const LibraryEntry& entry, TextView name) {
  auto found = std::find_if(entry.functions.begin(), entry.functions.end(),
                            [name](const ApiFunction& record) { return record.Function == name; });
  return found == entry.functions.end() ? nullptr : &*found;
}

// Sorted by code unit, unique, all ticked, and none of the symbols that are not functions.
void ExpectCleanList(const LibraryEntry& entry, const std::string& label) {
  for (std::size_t i = 0; i < entry.functions.size(); ++i) {
    const ApiFunction& record = entry.functions[i];
    EXPECT_EQ(record.checked, 1) << label;
    EXPECT_FALSE(IsDroppedSymbolName(record.Function)) << label << ": " << TextToUtf8(record.Function);
    EXPECT_FALSE(IsGnuImportHelper(record.Function)) << label << ": " << TextToUtf8(record.Function);
    if (i > 0) {
      EXPECT_LT(entry.functions[i - 1].Function, record.Function) << label;
    }
  }
}

TEST(RealLibraries, DebianMingwImportLibraries) {
  struct Case {
    std::string path;
    int x86;
    Text generic;  // an ANSI/wide pair's generic entry the library must have
    Text plain;    // a function without a pair
  };
  const std::vector<Case> cases = {
      {"/usr/i686-w64-mingw32/lib/libuser32.a", 1, u"MessageBox", u"GetDC"},
      {"/usr/x86_64-w64-mingw32/lib/libuser32.a", 0, u"MessageBox", u"GetDC"},
      {"/usr/i686-w64-mingw32/lib/libkernel32.a", 1, u"CreateFile", u"CloseHandle"},
      {"/usr/x86_64-w64-mingw32/lib/libkernel32.a", 0, u"CreateFile", u"CloseHandle"},
  };
  auto disk = MakeDiskFileSystem();
  for (const auto& c : cases) {
    if (!testing::HostFileExists(c.path)) GTEST_SKIP() << c.path << " is not installed";
    Catalogue catalogue;
    const LoadOutcome outcome = LoadFiles(catalogue, *disk, {testing::HostPath(c.path)}, FileKinds::Libraries);
    ASSERT_EQ(outcome.libraries.size(), 1u) << c.path;
    const LibraryEntry& entry = *catalogue.Shown();
    EXPECT_EQ(entry.x86, c.x86) << c.path;
    EXPECT_GT(entry.functions.size(), 500u) << c.path;
    ExpectCleanList(entry, c.path);
    for (const Text& suffix : {Text(), Text(u"A"), Text(u"W")}) {
      const ApiFunction* member = FindFunction(entry, c.generic + suffix);
      ASSERT_NE(member, nullptr) << c.path << ": " << TextToUtf8(c.generic + suffix);
      EXPECT_EQ(member->AnsiUni, c.generic) << c.path;
    }
    const ApiFunction* plain = FindFunction(entry, c.plain);
    ASSERT_NE(plain, nullptr) << c.path;
    EXPECT_TRUE(plain->AnsiUni.empty()) << c.path;
  }
}

TEST(RealLibraries, MicrosoftFormatFixtures) {
  const auto folder = testing::FixtureFolder();
  if (!folder) GTEST_SKIP() << "fixture libraries not present";
  struct Case {
    std::string file;
    int x86;
    std::size_t functions;  // 0: the file yields no library
    Text sample;
    Text sampleAnsiUni;
  };
  const std::vector<Case> cases = {
      {"fabrik-x86-tcl83.lib", 1, 748, u"TclAccess", u""},
      {"gameoflife-x64-sfml-system.lib", 0, 0, u"", u""},  // only C++-decorated names
      {"glfw3sample-x86-glew32.lib", 1, 8, u"glewInit", u""},
      {"sdl2windeps-x64-SDL2.lib", 0, 845, u"SDL_Init", u""},
      {"sdl2windeps-x86-SDL2.lib", 1, 536, u"SDL_Init", u""},
      {"teamrobot-x86-d3d8.lib", 1, 1, u"Direct3DCreate8", u""},
      {"teamrobot-x86-d3dx8d.lib", 1, 153 + 12, u"D3DXAssembleShaderFromFileW", u"D3DXAssembleShaderFromFile"},
      {"teamrobot-x86-dinput8.lib", 1, 6, u"DirectInput8Create", u""},
      {"teamrobot-x86-dsound.lib", 1, 10 + 2, u"DirectSoundEnumerate", u"DirectSoundEnumerate"},
      {"teamrobot-x86-glut32.lib", 1, 119, u"glutInit", u""},
      {"vbamdeps-x64-d3dx9.lib", 0, 329 + 44, u"D3DXCreateTextureFromFileA", u"D3DXCreateTextureFromFile"},
      {"vbamdeps-x64-dsound.lib", 0, 10 + 2, u"DirectSoundCaptureEnumerateW", u"DirectSoundCaptureEnumerate"},
  };
  auto disk = MakeDiskFileSystem();
  for (const auto& c : cases) {
    Catalogue catalogue;
    const LoadOutcome outcome = LoadFiles(catalogue, *disk, {testing::HostPath(*folder + c.file)}, FileKinds::Libraries);
    if (c.functions == 0) {
      ASSERT_EQ(outcome.skipped.size(), 1u) << c.file;
      EXPECT_EQ(outcome.skipped[0].reason, SkipReason::NoFunctionNames) << c.file;
      continue;
    }
    ASSERT_EQ(outcome.libraries.size(), 1u) << c.file;
    const LibraryEntry& entry = *catalogue.Shown();
    EXPECT_EQ(entry.x86, c.x86) << c.file;
    EXPECT_EQ(entry.functions.size(), c.functions) << c.file;
    ExpectCleanList(entry, c.file);
    const ApiFunction* sample = FindFunction(entry, c.sample);
    ASSERT_NE(sample, nullptr) << c.file << ": " << TextToUtf8(c.sample);
    EXPECT_EQ(sample->AnsiUni, c.sampleAnsiUni) << c.file;
  }
}

}  // namespace
}  // namespace korvane
