#include "app/function_list_view.h"

#include <vector>

#include "platform/events.h"
#include "platform/source_location.h"

namespace korvane {

void ShowLibrary(Session& session, const LibraryEntry& entry) {
  KORVANE_HERE();
  Gui& gui = session.platform.gui;
  DetachCheckBoxHook(session);
  gui.ClearRows(kFunctionList);
  for (const ApiFunction& record : entry.functions) {
    const RowTexts texts = RowText(record);
    gui.AddRow(kFunctionList, std::vector<Text>(texts.begin(), texts.end()), record.checked != 0);
  }
  AttachCheckBoxHook(session);
}

void RefillFunctionList(Session& session, const std::function<void()>& fill) {
  Gui& gui = session.platform.gui;
  // Row by row redraws cost seconds on a long list.
  gui.FreezeDrawing(kMainWindow, true);
  DetachCheckBoxHook(session);
  gui.ClearRows(kFunctionList);
  gui.SetVisible(kDetailPanel, false);
  session.detail.reset();
  fill();
  AttachCheckBoxHook(session);
  gui.FreezeDrawing(kMainWindow, false);
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
