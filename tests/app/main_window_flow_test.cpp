#include <gtest/gtest.h>

#include <vector>

#include "app/program_numbers.h"
#include "helpers/headless_program.h"

namespace korvane {
namespace {

using testing::HeadlessProgram;

TEST(MainWindowFlow, StartsWithOnlyTheLoadAndDonationCommandsUsable) {
  HeadlessProgram program;
  program.Start();
  for (int control : {kLoadLibs, kLoadXml, kDonation}) EXPECT_TRUE(program.gui.IsEnabled(control)) << control;
  for (int control : {kOptionsButton, kMsdnChecked, kMsdnSelected, kMergeXml, kSaveXml, kExportPb, kCheckAll,
                      kCheckNone, kCheckInvert, kCheckFilled, kLibraryPath, kArchitecture, kDetailFunction}) {
    EXPECT_FALSE(program.gui.IsEnabled(control)) << control;
  }
  for (int control : {kLibrariesList, kDetailPanel, kBrowser}) EXPECT_FALSE(program.gui.IsVisible(control)) << control;
  EXPECT_TRUE(program.gui.WindowVisible(kMainWindow));
  EXPECT_EQ(program.gui.GetStatusText(kStatusCount), u" 0 Functions");
  EXPECT_TRUE(program.gui.IsMenuChecked(kMenuSkipFilled));
  EXPECT_TRUE(program.gui.HookAttached());
}

TEST(MainWindowFlow, KeepsTheExportSettingsReadAtStartUp) {
  HeadlessProgram program;
  program.files.AddFile(u"C:\\Work\\Korvane.ini",
                        "[Korvane]\r\nLibDir = D:\\Libs\\\r\n[Export]\r\nAPI = 0\r\nSAL = 3\r\n"
                        "[PBRoot]\r\nRootDir1 = C:\\PB\\\r\nOther = D:\\PB6\\\r\n");
  program.Start();
  EXPECT_EQ(program.session.settingsPath, u"C:\\Work\\Korvane.ini");
  EXPECT_EQ(program.session.libraryFolder, u"D:\\Libs\\");
  EXPECT_FALSE(program.session.exportSettings.listingUpdate);
  EXPECT_EQ(program.session.exportSettings.annotationMode, 3);
  EXPECT_EQ(program.session.exportSettings.rootFolders, (std::vector<Text>{u"C:\\PB\\", u"D:\\PB6\\"}));
}

TEST(MainWindowFlow, ScalesEveryDesignValueWithTheScreenResolution) {
  struct Case {
    int dpi;
    Rect loadLibs, loadXml;
  };
  const std::vector<Case> cases = {
      {96, {4, 10, 100, 27}, {108, 10, 100, 27}},
      {120, {5, 12, 125, 34}, {135, 12, 125, 34}},  // 12.5 rounds to 12, 33.75 to 34
      {144, {6, 15, 150, 40}, {162, 15, 150, 40}},  // 40.5 rounds to 40
  };
  for (const auto& c : cases) {
    HeadlessProgram program(Scale::FromPixelsPerInch(c.dpi, c.dpi));
    program.Start();
    EXPECT_EQ(program.gui.GetRect(kLoadLibs), c.loadLibs) << c.dpi;
    EXPECT_EQ(program.gui.GetRect(kLoadXml), c.loadXml) << c.dpi;
  }
}

TEST(MainWindowFlow, LayoutFollowsTheWindowAndThePanels) {
  struct Case {
    const char* name;
    bool libraries, panel;
    Rect functions, librariesList, detailPanel;
    int parametersWidth, clearX;
  };
  // 890 x 564 inside, status bar 22 pixels high, 96 pixels per inch.
  const std::vector<Case> cases = {
      {"lists only", false, false, {4, 68, 882, 470}, {}, {}, 0, 0},
      {"with libraries", true, false, {4, 68, 724, 470}, {732, 68, 154, 470}, {}, 0, 0},
      {"with panel", false, true, {4, 68, 882, 370}, {}, {4, 442, 882, 96}, 530, 820},
  };
  for (const auto& c : cases) {
    HeadlessProgram program;
    program.Start();
    program.gui.SetVisible(kLibrariesList, c.libraries);
    program.gui.SetVisible(kDetailPanel, c.panel);
    program.gui.Resize({890, 564});
    EXPECT_EQ(program.gui.GetRect(kFunctionList), c.functions) << c.name;
    if (c.libraries) {
      EXPECT_EQ(program.gui.GetRect(kLibrariesList), c.librariesList) << c.name;
    }
    if (c.panel) {
      EXPECT_EQ(program.gui.GetRect(kDetailPanel), c.detailPanel) << c.name;
      EXPECT_EQ(program.gui.GetRect(kDetailParameters).width, c.parametersWidth) << c.name;
      EXPECT_EQ(program.gui.GetRect(kDetailClear).x, c.clearX) << c.name;
    }
  }
}

TEST(MainWindowFlow, WideningMovesOnlyTheRightEdgeControls) {
  HeadlessProgram program;
  program.Start();
  const Rect donation = program.gui.GetRect(kDonation), path = program.gui.GetRect(kLibraryPath);
  const Rect exportButton = program.gui.GetRect(kExportPb);
  EXPECT_EQ(donation.x, 890 - 36);
  program.gui.Resize({990, 564});
  EXPECT_EQ(program.gui.GetRect(kDonation).x, donation.x + 100);
  EXPECT_EQ(program.gui.GetRect(kLibraryPath).width, path.width + 100);
  EXPECT_EQ(program.gui.GetRect(kExportPb), exportButton);
}

TEST(MainWindowFlow, OptionsMenuAndDonation) {
  HeadlessProgram program;
  program.Start();
  program.gui.Click(kOptionsButton);
  program.gui.ChooseMenuItem(kMenuSkipFilled);
  program.Pump();
  EXPECT_EQ(program.gui.MenuShownCount(), 1);
  EXPECT_FALSE(program.gui.IsMenuChecked(kMenuSkipFilled));
  program.gui.ChooseMenuItem(kMenuSkipFilled);
  program.Pump();
  EXPECT_TRUE(program.gui.IsMenuChecked(kMenuSkipFilled));

  program.gui.AnswerNextMessage(MessageBoxAnswer::No);
  program.gui.Click(kDonation);
  program.Pump();
  EXPECT_TRUE(program.shell.Opened().empty());
  program.gui.AnswerNextMessage(MessageBoxAnswer::Yes);
  program.gui.Click(kDonation);
  program.Pump();
  EXPECT_EQ(program.shell.Opened(), std::vector<Text>{kDonationAddress});
  ASSERT_EQ(program.gui.Messages().size(), 2u);
  EXPECT_EQ(program.gui.Messages()[0].caption, u"Korvane");
  EXPECT_EQ(program.gui.Messages()[0].kind, MessageBoxKind::YesNo);
}

}  // namespace
}  // namespace korvane
