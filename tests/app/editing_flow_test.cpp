#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/detail_editor.h"
#include "app/library_commands.h"
#include "app/program_numbers.h"
#include "helpers/archive_writer.h"
#include "helpers/headless_program.h"

namespace korvane {
namespace {

using testing::HeadlessProgram;

class EditingFlowTest : public ::testing::Test {
 protected:
  EditingFlowTest() {
    program.files.AddFile(u"C:\\Sdk\\five.lib",
                          testing::MicrosoftLibrary({"Alpha", "Beta", "Gamma", "FooA", "FooW"}));  // + 'Foo'
    program.Start();
    program.gui.DropFiles(u"C:\\Sdk\\five.lib");
    program.Pump();
  }

  LibraryEntry& Shown() { return *program.session.catalogue.Shown(); }

  // "+" or "-" per row, and "*" for the selected row.
  std::string Marks() {
    std::string marks;
    for (int row = 0; row < program.gui.RowCount(kFunctionList); ++row) {
      const bool checked = program.gui.IsRowChecked(kFunctionList, row);
      EXPECT_EQ(Shown().functions[static_cast<std::size_t>(row)].checked, checked ? 1 : 0) << row;
      marks += checked ? '+' : '-';
      if (program.gui.SelectedRow(kFunctionList) == row) marks += '*';
    }
    return marks;
  }

  HeadlessProgram program;
};

TEST_F(EditingFlowTest, CheckCommandsSetRecordsAndRowsAndKeepTheSelection) {
  // Rows: Alpha Beta Foo FooA FooW Gamma.
  ASSERT_EQ(Marks(), "++++++");
  Shown().functions[0].Return = u"BOOL";
  Shown().functions[1].Return = u" ";  // blanks count as filled
  Shown().functions[2].Description = u"described, but no return type";
  program.gui.ClickCheckBox(kFunctionList, 4);
  program.gui.ClickRow(kFunctionList, 3);
  program.Pump();
  struct Step {
    int control;
    const char* marks;
  };
  const std::vector<Step> steps = {
      {kCheckNone, "---" "-*--"},  {kCheckAll, "+++" "+*++"},   {kCheckNone, "---" "-*--"},
      {kCheckInvert, "+++" "+*++"}, {kCheckFilled, "++-" "-*--"}, {kCheckInvert, "--+" "+*++"},
      {kCheckInvert, "++-" "-*--"},
  };
  for (const Step& step : steps) {
    program.gui.Click(step.control);
    program.Pump();
    EXPECT_EQ(Marks(), step.marks) << "after control " << step.control;
    EXPECT_TRUE(program.gui.IsVisible(kDetailPanel));
  }
  program.gui.ClickRow(kFunctionList, -1);
  program.gui.Click(kCheckAll);
  program.Pump();
  EXPECT_EQ(Marks(), "++++++");
  EXPECT_FALSE(program.gui.IsVisible(kDetailPanel));
}

TEST_F(EditingFlowTest, SelectingARowFillsTheEditorAndShowsIt) {
  Shown().functions[5].Website = u"https://docs.example/en-us/library/gamma.aspx";
  program.gui.ClickRow(kFunctionList, 5);
  program.Pump();
  EXPECT_TRUE(program.gui.IsVisible(kDetailPanel));
  EXPECT_TRUE(program.gui.IsEnabled(kMsdnSelected));
  EXPECT_EQ(program.gui.GetText(kDetailFunction), u"Gamma");
  EXPECT_EQ(program.gui.GetText(kDetailWebsite), u"https://docs.example/en-us/library/gamma.aspx");
  EXPECT_EQ(program.gui.GetRect(kFunctionList).height, 564 - 22 - 172);

  // A double click opens the page; without a page, the search for the function's own name.
  program.gui.Click(kFunctionList, kTypeDoubleClick);
  program.Pump();
  program.gui.ClickRow(kFunctionList, 3);  // 'FooA', AnsiUni 'Foo'
  program.gui.Click(kFunctionList, kTypeDoubleClick);
  program.Pump();
  ASSERT_EQ(program.shell.Opened().size(), 2u);
  EXPECT_EQ(program.shell.Opened()[0], u"https://docs.example/en-us/library/gamma.aspx");
  EXPECT_NE(program.shell.Opened()[1].find(u"query=%22FooA%20function%20%28Windows%29%22&refinement=117"), Text::npos);
}

TEST_F(EditingFlowTest, SaveTrimsUpperCasesAndTicks) {
  struct Case {
    Text parameters, returnType;
    Text storedParameters, storedReturn, parametersColumn;
  };
  const std::vector<Case> cases = {
      {u"  HWND hWnd  ", u" int ", u"HWND hWnd", u"INT", u"( HWND hWnd )"},
      {u"", u"", u"", u"VOID", u"( void )"},
      {u"x", u"   ", u"x", u"VOID", u"( x )"},
      {u"", u"dword\u00e9", u"", u"DWORD\u00c9", u"( void )"},
  };
  for (const auto& c : cases) {
    program.gui.ClickCheckBox(kFunctionList, 1);  // unticked before the save
    program.gui.ClickRow(kFunctionList, 1);
    program.Pump();
    program.gui.SetText(kDetailParameters, c.parameters);
    program.gui.SetText(kDetailReturn, c.returnType);
    program.gui.SetText(kDetailGroup, u"  Group  ");
    program.gui.Click(kDetailSave);
    program.Pump();
    const ApiFunction& beta = Shown().functions[1];
    EXPECT_EQ(beta.Parameters, c.storedParameters);
    EXPECT_EQ(beta.Return, c.storedReturn);
    EXPECT_EQ(beta.Group, u"Group");
    EXPECT_EQ(beta.checked, 1);
    EXPECT_EQ(program.gui.RowText(kFunctionList, 1, 1), c.parametersColumn);
    EXPECT_EQ(program.gui.GetText(kDetailReturn), c.storedReturn);  // filled again from the record
    program.gui.ClickRow(kFunctionList, -1);
    program.Pump();
  }
}

TEST_F(EditingFlowTest, ClearEmptiesTheFactsButKeepsThePair) {
  ApiFunction& fooA = Shown().functions[3];
  fooA.Parameters = u"int a";
  fooA.Return = u"BOOL";
  fooA.Website = u"https://docs.example/fooa";
  program.gui.ClickRow(kFunctionList, 3);
  program.Pump();
  program.gui.Click(kDetailClear);
  program.Pump();
  EXPECT_TRUE(fooA.Parameters.empty() && fooA.Return.empty() && fooA.Website.empty());
  EXPECT_EQ(fooA.AnsiUni, u"Foo");
  EXPECT_EQ(fooA.checked, 0);
  EXPECT_EQ(program.gui.RowText(kFunctionList, 3, 0), u"FooA");
  EXPECT_EQ(program.gui.RowText(kFunctionList, 3, 1), u"");
  EXPECT_EQ(program.gui.GetText(kDetailParameters), u"");
}

// What was typed into the editor stays when its row is left, as "Save" would keep it; Enter saves and
// Escape gives the typing up.
TEST_F(EditingFlowTest, LeavingARowKeepsWhatWasTypedEnterSavesEscapeGivesUp) {
  struct Case {
    const char* what;
    std::function<void(HeadlessProgram&)> leave;
    bool kept;
    const char16_t* description;  // leaving keeps only the typing; Enter saves what the editor shows
  };
  const Case cases[] = {
      {"Escape, then another row",
       [](HeadlessProgram& p) {
         p.gui.Click(kDetailParameters, kTypeEscapeKey);
         p.Pump();
         p.gui.ClickRow(kFunctionList, 2);
       },
       false, u"looked up again"},
      {"another row clicked", [](HeadlessProgram& p) { p.gui.ClickRow(kFunctionList, 2); }, true, u"looked up again"},
      {"empty space clicked", [](HeadlessProgram& p) { p.gui.ClickRow(kFunctionList, -1); }, true,
       u"looked up again"},
      {"Enter", [](HeadlessProgram& p) { p.gui.Click(kDetailWebsite, kTypeEnterKey); }, true, u"looked up"},
  };
  // Escape first: the row's texts are those of the loaded record only until a case keeps the typing.
  for (const Case& c : cases) {
    ApiFunction& beta = Shown().functions[1];
    beta = {u"Beta", u"", u"", u"looked up", u"", u"", u"", 0};
    program.gui.SetRowState(kFunctionList, 1, false, false);
    program.gui.ClickRow(kFunctionList, 1);
    program.Pump();
    program.gui.SetText(kDetailParameters, u" HWND hWnd ");
    program.gui.SetText(kDetailReturn, u"bool");
    // A lookup may fill a field the user did not touch while the editor shows the row.
    beta.Description = u"looked up again";
    c.leave(program);
    program.Pump();
    EXPECT_EQ(beta.Parameters, c.kept ? u"HWND hWnd" : u"") << c.what;
    EXPECT_EQ(beta.Return, c.kept ? u"BOOL" : u"") << c.what;
    EXPECT_EQ(beta.Description, c.description) << c.what;
    EXPECT_EQ(beta.checked, c.kept ? 1 : 0) << c.what;
    EXPECT_EQ(program.gui.IsRowChecked(kFunctionList, 1), c.kept) << c.what;
    EXPECT_EQ(program.gui.RowText(kFunctionList, 1, 1), c.kept ? u"( HWND hWnd )" : u"") << c.what;
    program.gui.ClickRow(kFunctionList, -1);
    program.Pump();
  }
}

// Another library shown, or the list refilled by a merge: the typed text is in its record.
TEST_F(EditingFlowTest, TypingIsKeptWhenTheListIsRefilled) {
  program.gui.ClickRow(kFunctionList, 0);
  program.Pump();
  program.gui.SetText(kDetailGroup, u"Typed group");
  ShowCatalogueLibrary(program.session, program.session.catalogue.ShownKey());
  program.Pump();
  EXPECT_EQ(Shown().functions[0].Group, u"Typed group");
}

TEST(ExpandParameterCount, OneDigitBecomesPlaceholderNames) {
  const std::vector<std::pair<Text, std::optional<Text>>> cases = {
      {u"3", u"a, b, c"}, {u"1", u"a"}, {u"9", u"a, b, c, d, e, f, g, h, i"},
      {u"0", std::nullopt}, {u"x", std::nullopt}, {u"33", std::nullopt}, {u"", std::nullopt},
      {u"\u0663", std::nullopt},  // other digits are not counts
  };
  for (const auto& [text, expanded] : cases) EXPECT_EQ(ExpandedParameterCount(text), expanded) << TextToUtf8(text);
}

TEST_F(EditingFlowTest, TypingADigitExpandsTheParametersField) {
  program.gui.ClickRow(kFunctionList, 0);
  program.Pump();
  program.gui.SetText(kDetailParameters, u"3");  // as typed
  program.Pump();
  EXPECT_EQ(program.gui.GetText(kDetailParameters), u"a, b, c");
  program.gui.SetText(kDetailParameters, u"a, b, c4");
  program.Pump();
  EXPECT_EQ(program.gui.GetText(kDetailParameters), u"a, b, c4");
}

}  // namespace
}  // namespace korvane
