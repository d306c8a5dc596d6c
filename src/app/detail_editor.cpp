#include "app/detail_editor.h"

#include <optional>
#include <vector>

#include "app/function_list_view.h"
#include "app/library_commands.h"
#include "app/program_numbers.h"
#include "text/text_ops.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

constexpr int kFields[] = {kDetailFunction, kDetailParameters, kDetailReturn,
                           kDetailDescription, kDetailGroup, kDetailWebsite};

// The record behind the selected row while the editor shows it; nullptr otherwise.
ApiFunction* EditedRecord(Session& session, int& row) {
  Gui& gui = session.platform.gui;
  row = gui.SelectedRow(kFunctionList);
  if (row == -1 || !gui.IsVisible(kDetailPanel)) return nullptr;
  return DetailRecord(session);
}

void RewriteRow(Session& session, int row, const ApiFunction& record, bool ticked) {
  Gui& gui = session.platform.gui;
  const RowTexts texts = RowText(record);
  gui.SetRowTexts(kFunctionList, row, std::vector<Text>(texts.begin(), texts.end()));
  // Through the check-box hook this also sets the record's mark.
  gui.SetRowState(kFunctionList, row, true, ticked);
  // Fill the editor again from the record, so it shows what was stored.
  gui.QueueEvent({kEventControl, kMainWindow, kFunctionList, kTypeChanged, {}});
}

}  // namespace

void FunctionSelectionChanged(Session& session) {
  KORVANE_HERE();
  Gui& gui = session.platform.gui;
  const bool batch = session.batchRunning.load();
  const int row = gui.SelectedRow(kFunctionList);
  LibraryEntry* shown = session.catalogue.Shown();
  if (row != -1 && shown != nullptr && static_cast<std::size_t>(row) < shown->functions.size()) {
    if (batch) return;
    ApiFunction& record = shown->functions[static_cast<std::size_t>(row)];
    session.detail = DetailTarget{session.catalogue.ShownKey(), static_cast<std::size_t>(row)};
    gui.SetEnabled(kMsdnSelected, true);
    const Text* values[] = {&record.Function, &record.Parameters, &record.Return,
                            &record.Description, &record.Group, &record.Website};
    for (std::size_t i = 0; i < std::size(kFields); ++i) gui.SetText(kFields[i], *values[i]);
    gui.SetVisible(kDetailPanel, true);
  } else {
    session.detail.reset();
    gui.SetEnabled(kMsdnSelected, false);
    gui.SetVisible(kDetailPanel, false);
  }
  if (!batch) RequestLayout(gui);
}

std::optional<Text> ExpandedParameterCount(const Text& text) {
  if (text.size() != 1 || text[0] < u'1' || text[0] > u'9') return std::nullopt;
  Text names;
  for (char16_t letter = u'a'; letter < u'a' + (text[0] - u'0'); ++letter) {
    if (!names.empty()) names += u", ";
    names += letter;
  }
  return names;
}

void ExpandParameterCount(Session& session) {
  KORVANE_HERE();
  Gui& gui = session.platform.gui;
  // The change this causes comes back here and is left alone: the text is then longer than one.
  if (auto names = ExpandedParameterCount(gui.GetText(kDetailParameters))) gui.SetText(kDetailParameters, *names);
}

void SaveDetails(Session& session) {
  KORVANE_HERE();
  int row = -1;
  ApiFunction* record = EditedRecord(session, row);
  if (record == nullptr) return;
  Gui& gui = session.platform.gui;
  record->Parameters = Trim(gui.GetText(kDetailParameters));
  record->Return = session.platform.upperCase(Trim(gui.GetText(kDetailReturn)));
  record->Description = Trim(gui.GetText(kDetailDescription));
  record->Group = Trim(gui.GetText(kDetailGroup));
  record->Website = Trim(gui.GetText(kDetailWebsite));
  if (record->Return.empty()) record->Return = u"VOID";
  RewriteRow(session, row, *record, true);
}

void ClearDetails(Session& session) {
  KORVANE_HERE();
  int row = -1;
  ApiFunction* record = EditedRecord(session, row);
  if (record == nullptr) return;
  record->Parameters.clear();
  record->Return.clear();
  record->Description.clear();
  record->Group.clear();
  record->Website.clear();
  RewriteRow(session, row, *record, false);
}

}  // namespace korvane
