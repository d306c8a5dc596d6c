#include "app/detail_editor.h"

#include <array>
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
// The fields the user edits, in the order of DetailTarget::filled.
constexpr int kEditableFields[] = {kDetailParameters, kDetailReturn, kDetailDescription, kDetailGroup,
                                   kDetailWebsite};

std::array<Text, 5> EditableTexts(Gui& gui) {
  std::array<Text, 5> texts;
  for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = gui.GetText(kEditableFields[i]);
  return texts;
}

// Stores the text of editable field `i` in the record as "Save" does: trimmed, the return type in
// capitals and "VOID" for none.
void StoreField(Session& session, ApiFunction& record, std::size_t i, const Text& text) {
  Text* targets[] = {&record.Parameters, &record.Return, &record.Description, &record.Group, &record.Website};
  *targets[i] = Trim(text);
  if (i == 1) {
    record.Return = session.platform.upperCase(record.Return);
    if (record.Return.empty()) record.Return = u"VOID";
  }
}

// Shows the record in the editor's fields and remembers what they were filled with.
void FillFields(Session& session, const ApiFunction& record) {
  Gui& gui = session.platform.gui;
  const Text* values[] = {&record.Function, &record.Parameters, &record.Return,
                          &record.Description, &record.Group, &record.Website};
  for (std::size_t i = 0; i < std::size(kFields); ++i) gui.SetText(kFields[i], *values[i]);
  if (session.detail) session.detail->filled = EditableTexts(gui);
}

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
    KeepDetailEdits(session);
    ApiFunction& record = shown->functions[static_cast<std::size_t>(row)];
    session.detail = DetailTarget{session.catalogue.ShownKey(), static_cast<std::size_t>(row), {}};
    gui.SetEnabled(kMsdnSelected, true);
    FillFields(session, record);
    gui.SetVisible(kDetailPanel, true);
  } else {
    KeepDetailEdits(session);
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
  const std::array<Text, 5> texts = EditableTexts(session.platform.gui);
  for (std::size_t i = 0; i < texts.size(); ++i) StoreField(session, *record, i, texts[i]);
  session.detail->filled = texts;
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
  // The fields still show the old texts until the editor is filled again: they are no typing.
  session.detail->filled = EditableTexts(session.platform.gui);
  RewriteRow(session, row, *record, false);
}

void KeepDetailEdits(Session& session) {
  KORVANE_HERE();
  Gui& gui = session.platform.gui;
  ApiFunction* record = gui.IsVisible(kDetailPanel) ? DetailRecord(session) : nullptr;
  if (record == nullptr) return;
  // Only the fields the user changed are stored: a lookup may have filled the others in the record
  // since the editor showed them.
  const std::array<Text, 5> texts = EditableTexts(gui);
  bool changed = false;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (texts[i] == session.detail->filled[i]) continue;
    StoreField(session, *record, i, texts[i]);
    changed = true;
  }
  if (!changed) return;
  session.detail->filled = texts;
  // As "Save": the record is ticked and its row shows the stored facts. The row's selection stays as
  // it is: the selection may already have moved on.
  record->checked = 1;
  const int row = static_cast<int>(session.detail->row);
  if (row >= gui.RowCount(kFunctionList)) return;
  const RowTexts columns = RowText(*record);
  gui.SetRowTexts(kFunctionList, row, std::vector<Text>(columns.begin(), columns.end()));
  gui.SetRowState(kFunctionList, row, gui.SelectedRow(kFunctionList) == row, true);
}

void DetailFieldKey(Session& session, int type) {
  KORVANE_HERE();
  if (type == kTypeEnterKey) {
    SaveDetails(session);
  } else if (type == kTypeEscapeKey) {
    // Escape gives up what was typed: the fields show the record again.
    if (ApiFunction* record = session.platform.gui.IsVisible(kDetailPanel) ? DetailRecord(session) : nullptr) {
      FillFields(session, *record);
    }
  }
}

}  // namespace korvane
