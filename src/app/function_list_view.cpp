#include "app/function_list_view.h"

#include <vector>

#include "app/detail_editor.h"
#include "app/program_numbers.h"
#include "platform/source_location.h"

namespace korvane {

void ShowLibrary(Session& session, const LibraryEntry& entry) {
  KORVANE_HERE();
  Gui& gui = session.platform.gui;
  DetachCheckBoxHook(session);
  gui.ClearRows(kFunctionList);
  AddFunctionRows(gui, entry, 0, entry.functions.size());
  AttachCheckBoxHook(session);
}

void AddFunctionRows(Gui& gui, const LibraryEntry& entry, std::size_t begin, std::size_t end) {
  for (std::size_t i = begin; i < end; ++i) {
    const ApiFunction& record = entry.functions[i];
    const RowTexts texts = RowText(record);
    gui.AddRow(kFunctionList, std::vector<Text>(texts.begin(), texts.end()), record.checked != 0);
  }
}

void RefillFunctionList(Session& session, const std::function<void()>& fill) {
  BeginRefill(session);
  fill();
  EndRefill(session);
}

void BeginRefill(Session& session) {
  Gui& gui = session.platform.gui;
  // The row the editor shows goes with the rows; what was typed there stays in its record.
  KeepDetailEdits(session);
  // Row by row redraws cost seconds on a long list.
  gui.FreezeDrawing(kMainWindow, true);
  DetachCheckBoxHook(session);
  gui.ClearRows(kFunctionList);
  gui.SetVisible(kDetailPanel, false);
  session.detail.reset();
}

void EndRefill(Session& session) {
  AttachCheckBoxHook(session);
  session.platform.gui.FreezeDrawing(kMainWindow, false);
}

ApiFunction* DetailRecord(Session& session) {
  if (!session.detail) return nullptr;
  LibraryEntry* entry = session.catalogue.Find(session.detail->key);
  if (entry == nullptr || session.detail->row >= entry->functions.size()) return nullptr;
  return &entry->functions[session.detail->row];
}

void CheckBoxSync(Session& session, int list, int row, int stateImage) {
  if (list != kFunctionList || session.catalogue.Empty()) return;
  LibraryEntry* shown = session.catalogue.Shown();
  if (shown == nullptr || row < 0 || static_cast<std::size_t>(row) >= shown->functions.size()) return;
  ApiFunction& record = shown->functions[static_cast<std::size_t>(row)];
  if (stateImage == kStateImageUnchecked) record.checked = 0;
  if (stateImage == kStateImageChecked) record.checked = 1;
}

void AttachCheckBoxHook(Session& session) {
  session.platform.gui.SetCheckBoxHook(
      [&session](int list, int row, int stateImage) { CheckBoxSync(session, list, row, stateImage); });
}

void DetachCheckBoxHook(Session& session) { session.platform.gui.SetCheckBoxHook({}); }

void ShowFunctionCount(Session& session, std::size_t count) {
  session.platform.gui.SetStatusText(kStatusCount, FunctionCountText(count));
}

}  // namespace korvane
