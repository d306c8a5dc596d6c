// Changes that no catalogue file has are never thrown away without a word: closing the window, "Load
// LIBs" and "Load XML" ask "Save changes?" then, and only then.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/event_loop.h"
#include "app/main_window.h"
#include "app/program_numbers.h"
#include "catalogue/catalogue_xml.h"
#include "helpers/archive_writer.h"
#include "helpers/headless_program.h"

namespace korvane {
namespace {

using testing::HeadlessProgram;

const Text kFolder = u"C:\\Work\\Korvane.xml\\";
const Text kSavedFile = kFolder + u"[x86] [12.07.2026-20.02.34] user32.lib.xml";

// The facts of GetDC in a catalogue file of `path`, for the merges.
std::string FactsFile(const Text& path) {
  LibraryEntry entry;
  entry.path = path;
  entry.x86 = 1;
  ApiFunction getDC;
  getDC.Function = u"GetDC";
  getDC.Return = u"HDC";
  getDC.checked = 1;
  entry.functions.push_back(getDC);
  return WriteCatalogueDocument(entry);
}

struct Program {
  Program() {
    p.files.SetWorkingDirectory(u"C:\\Work\\");
    p.files.AddFile(u"C:\\Sdk\\user32.lib", testing::MicrosoftLibrary({"_GetDC@4", "_MessageBoxA@16"}));
    p.files.AddFile(u"C:\\Sdk\\gdi32.lib", testing::MicrosoftLibrary({"_Arc@36"}));
    p.files.AddFile(u"C:\\Facts\\[x86] [12.06.2015-21.42.35] other.lib.xml", FactsFile(u"C:\\x\\other.lib"));
    p.Start();
  }
  void Load(int command, const Text& path) {
    p.dialogs.AnswerOpenFiles({path});
    p.gui.Click(command);
    p.Pump();
  }
  // The questions asked while `act` ran, with `answer` for each.
  std::vector<Text> Questions(const std::function<void()>& act, MessageBoxAnswer answer = MessageBoxAnswer::No) {
    const std::size_t before = p.gui.Messages().size();
    p.gui.AnswerNextMessage(answer);
    act();
    std::vector<Text> questions;
    for (std::size_t i = before; i < p.gui.Messages().size(); ++i) {
      const RecordedMessage& message = p.gui.Messages()[i];
      if (message.kind == MessageBoxKind::YesNoCancel) questions.push_back(message.text);
    }
    return questions;
  }
  bool Close() { return DispatchEvent(p.session, {kEventCloseWindow, kMainWindow, -1, 0, {}}); }
  const ApiFunction& GetDC() { return p.session.catalogue.Find(u"user32")->functions[0]; }
  void EditDescription(const Text& text) {
    p.gui.ClickRow(kFunctionList, 0);
    p.Pump();
    p.gui.SetText(kDetailDescription, text);
    p.gui.Click(kDetailSave);
    p.Pump();
  }

  HeadlessProgram p;
};

TEST(UnsavedChanges, OnlyChangesNoCatalogueFileHasAreAskedAbout) {
  const struct {
    const char* what;
    std::function<void(Program&)> change;
    bool asks;
  } cases[] = {
      {"nothing since the load", [](Program&) {}, false},
      {"an editor Save", [](Program& x) { x.EditDescription(u"typed"); }, true},
      {"a check command", [](Program& x) { x.p.gui.Click(kCheckNone); x.p.Pump(); }, true},
      {"a row's box", [](Program& x) { x.p.gui.ClickCheckBox(kFunctionList, 1); }, true},
      {"a merge the user chose",
       [](Program& x) { x.Load(kMergeXml, u"C:\\Facts\\[x86] [12.06.2015-21.42.35] other.lib.xml"); }, true},
      {"an edit saved as XML",
       [](Program& x) { x.EditDescription(u"typed"); x.p.gui.Click(kSaveXml); x.p.Pump(); }, false},
      {"text typed into the editor, not saved",
       [](Program& x) { x.p.gui.ClickRow(kFunctionList, 1); x.p.Pump(); x.p.gui.SetText(kDetailGroup, u"g"); }, true},
  };
  for (const auto& c : cases) {
    for (const int command : {-1, kLoadLibs, kLoadXml}) {
      Program x;
      x.Load(kLoadLibs, u"C:\\Sdk\\user32.lib");
      c.change(x);
      const std::vector<Text> questions = x.Questions([&] {
        if (command == -1) {
          EXPECT_FALSE(x.Close()) << c.what;  // No: the window goes
        } else {
          x.Load(command, command == kLoadLibs ? u"C:\\Sdk\\gdi32.lib" : kSavedFile);
        }
      });
      ASSERT_EQ(!questions.empty(), c.asks) << c.what << ", command " << command;
      if (c.asks) {
        EXPECT_EQ(questions[0], u"Save changes?") << c.what;
      }
    }
  }
}

// The master merge file's facts come with the load: no question for them.
TEST(UnsavedChanges, TheMergeAfterALoadIsNoChange) {
  Program x;
  x.p.files.AddFile(kFolder + u"Korvane", FactsFile(u"C:\\x\\master.lib"));
  x.Load(kLoadLibs, u"C:\\Sdk\\user32.lib");
  ASSERT_EQ(x.GetDC().Return, u"HDC");
  EXPECT_TRUE(x.Questions([&] { EXPECT_FALSE(x.Close()); }).empty());
}

TEST(UnsavedChanges, YesSavesNoDiscardsCancelStays) {
  for (const MessageBoxAnswer answer : {MessageBoxAnswer::Yes, MessageBoxAnswer::No, MessageBoxAnswer::Cancel}) {
    const int which = static_cast<int>(answer);
    {  // closing
      Program x;
      x.Load(kLoadLibs, u"C:\\Sdk\\user32.lib");
      x.EditDescription(u"typed");
      bool goes = false;
      ASSERT_EQ(x.Questions([&] { goes = x.Close(); }, answer).size(), 1u) << which;
      EXPECT_EQ(!goes, answer != MessageBoxAnswer::Cancel) << which;
      EXPECT_EQ(x.p.files.FileExists(kSavedFile), answer == MessageBoxAnswer::Yes) << which;
      if (answer == MessageBoxAnswer::Yes) {
        EXPECT_EQ(x.p.gui.Messages().back().text, u"Saving file(s) completed!");
        EXPECT_NE(x.p.files.Contents(kSavedFile).find("typed"), std::string::npos);
      }
    }
    for (const int command : {kLoadLibs, kLoadXml}) {
      Program x;
      x.Load(kLoadLibs, u"C:\\Sdk\\user32.lib");
      x.p.files.AddFile(u"C:\\Other\\[x86] [12.06.2015-21.42.35] gdi32.lib.xml", FactsFile(u"C:\\Sdk\\gdi32.lib"));
      x.EditDescription(u"typed");
      x.Questions([&] {
        x.Load(command, command == kLoadLibs ? u"C:\\Sdk\\gdi32.lib" : u"C:\\Other\\[x86] [12.06.2015-21.42.35] gdi32.lib.xml");
      }, answer);
      const bool replaced = x.p.session.catalogue.Find(u"user32") == nullptr;
      EXPECT_EQ(replaced, answer != MessageBoxAnswer::Cancel) << which << " command " << command;
      EXPECT_EQ(x.p.files.FileExists(kSavedFile), answer == MessageBoxAnswer::Yes) << which << " command " << command;
    }
  }
}

// A save that could not write a file stops the close: the typed facts are still there to save.
TEST(UnsavedChanges, AFailedSaveKeepsTheWindowOpen) {
  Program x;
  x.Load(kLoadLibs, u"C:\\Sdk\\user32.lib");
  x.EditDescription(u"typed");
  x.p.files.FailWritesTo(kSavedFile);
  bool goes = true;
  x.Questions([&] { goes = !x.Close(); }, MessageBoxAnswer::Yes);
  EXPECT_FALSE(goes);
  EXPECT_EQ(x.p.gui.Messages().back().icon, MessageBoxIcon::Error);
}

}  // namespace
}  // namespace korvane
