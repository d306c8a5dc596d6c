#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "cli/cli.h"
#include "docs/set_builder/reference_import.h"
#include "platform/headless/memory_file_system.h"
#include "platform/headless/scripted_dialogs.h"

namespace korvane {
namespace {

TEST(ReferenceImportTest, DirectionTagsBecomeAnnotationWords) {
  const struct {
    const char* tag;
    Text annotation;
  } kCases[] = {{"[in]", u"_In_"},           {"[out]", u"_Out_"},
                {"[in, out]", u"_Inout_"},   {"[in, optional]", u"_In_opt_"},
                {"[out, optional]", u"_Out_opt_"}, {"[in, out, optional]", u"_Inout_opt_"},
                {"[In,Out]", u"_Inout_"},    {"[optional]", u""}, {"", u""}};
  for (const auto& c : kCases) EXPECT_EQ(AnnotationForDirection(c.tag), c.annotation) << c.tag;
}

TEST(ReferenceImportTest, MarkdownBecomesParagraphsOfPlainText) {
  const struct {
    const char* markdown;
    Text text;
  } kCases[] = {
      {"Shows a <b>box</b> with\r\nthe [text](/windows/x.md).\r\n\r\nSecond &amp; last.", u"Shows a box with the text.\nSecond & last."},
      {"> [!NOTE]\n> Keep it short.\n\n```cpp\nint x = 1 < 2;\n```\nAfter **code**.", u"Note: Keep it short.\nAfter code."},
      {"x < 5 and _In_ stays", u"x < 5 and _In_ stays"},
      {" - first item\n - second item", u"first item\nsecond item"},
  };
  for (const auto& c : kCases) EXPECT_EQ(MarkdownToPlainText(c.markdown), c.text) << c.markdown;
}

// The sample of the public reference beside the project (or where KORVANE_REFERENCE_SAMPLE says), when
// present.
TEST(ReferenceImportTest, FixtureSample) {
  const char* overridden = std::getenv("KORVANE_REFERENCE_SAMPLE");
  const std::string folder = overridden != nullptr
                                 ? std::string(overridden)
                                 : std::string(KORVANE_SOURCE_DIR) + "/../shared/fixtures/api-reference-sample";
  if (!std::filesystem::exists(folder)) GTEST_SKIP() << "reference sample not present";
  const ReferenceImport reference = ReadReference(folder);
  EXPECT_TRUE(reference.problems.empty());
  EXPECT_EQ(reference.byName.size(), 44u);  // the nf- pages; callbacks and legacy pages are no functions

  const ReferenceFunction& box = reference.byName.at(u"MessageBoxW");
  EXPECT_EQ(box.group, u"Dialog Boxes");
  EXPECT_EQ(box.library, u"User32");
  EXPECT_EQ(box.header, u"winuser.h");
  ASSERT_EQ(box.parameters.size(), 4u);
  EXPECT_EQ(box.parameters[0].name, u"hWnd");
  EXPECT_EQ(box.parameters[0].annotation, u"_In_opt_");
  EXPECT_EQ(box.parameters[3].annotation, u"_In_");
  EXPECT_TRUE(box.description.starts_with(u"Displays a modal dialog box")) << TextToUtf8(box.description);

  const struct {
    Text name;
    Text group;
    Text library;
  } kPages[] = {
      {u"Beep", u"Debugging and authoring support", u"Kernel32"},  // tech.root "Debug"
      {u"Sleep", u"System Services", u"Kernel32"},                 // "Kernel32.lib; WindowsPhoneCore.lib ..."
      {u"WSAStartup", u"Windows Sockets 2", u"Ws2_32"},             // no "#" heading
      {u"ImageList_Create", u"Windows Controls", u"Comctl32"},
  };
  for (const auto& page : kPages) {
    ASSERT_EQ(reference.byName.count(page.name), 1u) << TextToUtf8(page.name);
    EXPECT_EQ(reference.byName.at(page.name).group, page.group) << TextToUtf8(page.name);
    EXPECT_EQ(reference.byName.at(page.name).library, page.library) << TextToUtf8(page.name);
  }
  // Parameters without a direction have no annotation; the description ends at the next section even
  // where the remarks follow the see-also section.
  const ReferenceFunction& length = reference.byName.at(u"lstrlenA");
  EXPECT_EQ(length.description.find(u"Remarks"), Text::npos);
  for (const ReferenceParameter& parameter : reference.byName.at(u"ImageList_Create").parameters) {
    EXPECT_EQ(parameter.annotation, u"") << TextToUtf8(parameter.name);
  }
}

// A --reference folder that is not there fails the build before anything is scanned or written.
TEST(ReferenceImportTest, MissingReferenceFolderFailsTheBuild) {
  MemoryFileSystem files;
  files.AddFile(u"C:\\ref.md", "# not a folder");
  FixedClock clock;
  const std::pair<Text, std::string> cases[] = {
      {u"C:\\nowhere", "korvane-cli: C:\\nowhere: does not exist\nkorvane-cli: nothing written\n"},
      {u"C:\\ref.md", "korvane-cli: C:\\ref.md: is not a folder\nkorvane-cli: nothing written\n"},
  };
  for (const auto& [folder, err] : cases) {
    CliOutput output;
    EXPECT_EQ(RunCli({u"docs", u"build", u"--headers", u"/usr/x86_64-w64-mingw32/include", u"--reference", folder,
                      u"--out", u"C:\\set.docs"},
                     files, clock, output),
              kExitFailure);
    EXPECT_EQ(output.err, err);
    EXPECT_FALSE(files.FileExists(u"C:\\set.docs"));
  }
}

}  // namespace
}  // namespace korvane
