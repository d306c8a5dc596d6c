#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "app/export_window.h"
#include "app/main_window.h"
#include "app/program_numbers.h"
#include "export/listing.h"
#include "platform/headless/headless_gui.h"

namespace korvane {
namespace {

class HeadlessExportWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gui.BuildWindow(MainWindowDescription());
    gui.BuildWindow(ExportWindowDescription());
  }
  Event Next() { return gui.WaitEvent(); }
  HeadlessGui gui{Scale{1.25, 1.25}};
};

// Every user action on the export window arrives from window 2, whatever the control kind; the main
// window's controls still report window 0.
TEST_F(HeadlessExportWindowTest, EventsComeFromTheControlsOwnWindow) {
  const struct {
    int control;
    int window;
  } cases[] = {{kExportRun, kExportWindow},   {kExportUpdateListing, kExportWindow},
               {kExportKeepSal, kExportWindow}, {kLoadLibs, kMainWindow}};
  for (const auto& c : cases) {
    gui.Click(c.control);
    const Event event = Next();
    EXPECT_EQ(event.kind, kEventControl) << c.control;
    EXPECT_EQ(event.control, c.control);
    EXPECT_EQ(event.window, c.window) << c.control;
  }
  gui.SetText(kExportTemplate, u"x");
  EXPECT_EQ(Next().window, kExportWindow);
  gui.Close(kExportWindow);
  const Event close = Next();
  EXPECT_EQ(close.kind, kEventCloseWindow);
  EXPECT_EQ(close.window, kExportWindow);
}

TEST_F(HeadlessExportWindowTest, BuiltHiddenAndPlacedFromTheRightAndBottomEdges) {
  EXPECT_FALSE(gui.WindowVisible(kExportWindow));
  EXPECT_EQ(gui.InnerSize(kExportWindow), (Size{625, 218}));
  // W − n and H − n are taken in scaled pixels: 625 − 168·1.25 = 415, 218 − 34·1.25 = 175.5 → 176.
  EXPECT_EQ(gui.GetRect(kExportRun), (Rect{415, 176, 100, 34}));
  EXPECT_EQ(gui.GetRect(kExportRoot), (Rect{75, 18, 512, 25}));
  EXPECT_EQ(gui.GetText(kExportTemplate), kDefaultDescriptionTemplate);
}

// A click switches a check box, and selecting an option (by a click or by the program) clears the
// rest of its group only.
TEST_F(HeadlessExportWindowTest, CheckBoxesToggleAndOptionsExcludeEachOther) {
  EXPECT_FALSE(gui.IsChecked(kExportUpdateListing));
  gui.Click(kExportUpdateListing);
  EXPECT_TRUE(gui.IsChecked(kExportUpdateListing));
  gui.Click(kExportUpdateListing);
  EXPECT_FALSE(gui.IsChecked(kExportUpdateListing));

  const int options[] = {kExportInOut, kExportKeepSal, kExportRemoveSal};
  const struct {
    bool byClick;
    int chosen;
  } steps[] = {{false, kExportInOut}, {true, kExportRemoveSal}, {false, kExportKeepSal}, {true, kExportKeepSal}};
  for (const auto& step : steps) {
    if (step.byClick) gui.Click(step.chosen); else gui.SetChecked(step.chosen, true);
    for (const int option : options) EXPECT_EQ(gui.IsChecked(option), option == step.chosen) << step.chosen;
    EXPECT_FALSE(gui.IsChecked(kExportUpdateListing));
  }
}

TEST_F(HeadlessExportWindowTest, DropDownItemsAndSelection) {
  EXPECT_EQ(gui.AddItem(kExportRoot, u"C:\\PB\\"), 0);
  EXPECT_EQ(gui.AddItem(kExportRoot, u"D:\\PB6\\"), 1);
  EXPECT_EQ(gui.SelectedItem(kExportRoot), -1);
  EXPECT_EQ(gui.GetText(kExportRoot), u"");
  gui.SelectItem(kExportRoot, 1);
  EXPECT_EQ(gui.GetText(kExportRoot), u"D:\\PB6\\");
  EXPECT_EQ(gui.ItemText(kExportRoot, 0), u"C:\\PB\\");
  EXPECT_EQ(gui.ItemText(kExportRoot, 2), u"");
  gui.SelectItem(kExportRoot, 5);
  EXPECT_EQ(gui.SelectedItem(kExportRoot), -1);
  gui.ClearItems(kExportRoot);
  EXPECT_EQ(gui.ItemCount(kExportRoot), 0);
}

// A worker's Invoke runs on the loop's thread, in the order the calls were made, and the worker goes on
// only after its work has run.
TEST(HeadlessInvokeTest, WorkerInvokesRunOnTheLoopThreadInOrderAndWait) {
  HeadlessGui gui;
  gui.SetCloseWhenIdle(false);
  const std::thread::id loop = std::this_thread::get_id();
  std::vector<int> ran;
  std::vector<bool> onLoop;
  std::vector<std::size_t> seenAfterReturn;
  std::thread worker([&] {
    for (int step = 0; step < 5; ++step) {
      gui.Invoke([&, step] {
        ran.push_back(step);
        onLoop.push_back(std::this_thread::get_id() == loop);
      });
      seenAfterReturn.push_back(ran.size());  // safe: the loop runs nothing of ours between Invokes
    }
    gui.QueueEvent({kEventCloseWindow, kMainWindow, -1, 0, {}});
  });
  EXPECT_EQ(gui.WaitEvent().kind, kEventCloseWindow);
  worker.join();
  EXPECT_EQ(ran, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(onLoop, std::vector<bool>(5, true));
  EXPECT_EQ(seenAfterReturn, (std::vector<std::size_t>{1, 2, 3, 4, 5}));
}

}  // namespace
}  // namespace korvane
