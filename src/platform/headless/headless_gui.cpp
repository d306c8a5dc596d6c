#include "platform/headless/headless_gui.h"

#include "platform/control_geometry.h"

namespace korvane {

void HeadlessGui::BuildWindow(const WindowDescription& window) {
  WindowState& state = windows_[window.number];
  state.inner = {scale_.ScaledX(window.innerWidth), scale_.ScaledY(window.innerHeight)};
  state.hasStatusBar = !window.statusFields.empty();
  for (const ControlDescription& description : window.controls) {
    HeadlessControl& control = controls_[description.number];
    control.description = description;
    control.text = description.kind == ControlKind::ListView ? Text() : description.text;
    control.enabled = description.enabled;
    control.visible = description.visible;
    control.rect = InitialRect(description, scale_, state.inner);
  }
  for (std::size_t i = 0; i < window.statusFields.size(); ++i) {
    status_[static_cast<int>(i)] = window.statusFields[i].text;
  }
  for (const MenuItem& item : window.optionsMenu) menu_[item.number] = item.checked;
}

void HeadlessGui::FreezeDrawing(int, bool frozen) { freezeDepth_ += frozen ? 1 : -1; }

Event HeadlessGui::WaitEvent() {
  if (events_.empty()) return {kEventCloseWindow, kMainWindow, -1, 0, {}, {}, {}};
  Event event = events_.front();
  events_.pop_front();
  return event;
}

HeadlessRow* HeadlessGui::Row(int list, int row) {
  auto& rows = controls_.at(list).rows;
  if (row < 0 || row >= static_cast<int>(rows.size())) return nullptr;
  return &rows[static_cast<std::size_t>(row)];
}

void HeadlessGui::ChangeRowState(int list, int row, bool selected, bool checked) {
  HeadlessRow* target = Row(list, row);
  if (target == nullptr) return;
  const bool selectionChanged = target->selected != selected;
  const bool stateChanged = selectionChanged || target->checked != checked;
  target->selected = selected;
  target->checked = checked;
  if (!stateChanged) return;
  if (hook_) hook_(list, row, checked ? kStateImageChecked : kStateImageUnchecked);
  if (selectionChanged) QueueEvent({kEventControl, kMainWindow, list, kTypeChanged, {}, {}, {}});
}

int HeadlessGui::AddRow(int list, const std::vector<Text>& columns, bool checked) {
  auto& rows = controls_.at(list).rows;
  if (freezeDepth_ == 0) ++rowsAddedUnfrozen_;
  rows.push_back({columns, false, false});
  const int row = static_cast<int>(rows.size()) - 1;
  // Windows inserts the row unticked and reports the tick as a state change.
  if (hook_) hook_(list, row, kStateImageUnchecked);
  ChangeRowState(list, row, false, checked);
  return row;
}

void HeadlessGui::SetRowTexts(int list, int row, const std::vector<Text>& columns) {
  if (HeadlessRow* target = Row(list, row)) target->columns = columns;
}

Text HeadlessGui::RowText(int list, int row, int column) {
  const HeadlessRow* target = Row(list, row);
  if (target == nullptr || column < 0 || column >= static_cast<int>(target->columns.size())) return {};
  return target->columns[static_cast<std::size_t>(column)];
}

int HeadlessGui::SelectedRow(int list) {
  const auto& rows = controls_.at(list).rows;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].selected) return static_cast<int>(i);
  }
  return -1;
}

void HeadlessGui::SetRowState(int list, int row, bool selected, bool checked) {
  // A single-selection list keeps at most one selected row.
  if (selected) {
    const int previous = SelectedRow(list);
    if (previous != -1 && previous != row) ChangeRowState(list, previous, false, Row(list, previous)->checked);
  }
  ChangeRowState(list, row, selected, checked);
}

bool HeadlessGui::IsRowChecked(int list, int row) {
  const HeadlessRow* target = Row(list, row);
  return target != nullptr && target->checked;
}

void HeadlessGui::SelectRow(int list, int row) {
  const int previous = SelectedRow(list);
  if (previous == row) return;
  if (previous != -1) ChangeRowState(list, previous, false, Row(list, previous)->checked);
  if (HeadlessRow* target = Row(list, row)) ChangeRowState(list, row, true, target->checked);
}

void HeadlessGui::ClickCheckBox(int list, int row) {
  if (HeadlessRow* target = Row(list, row)) ChangeRowState(list, row, target->selected, !target->checked);
}

void HeadlessGui::ClickRow(int list, int row) { SelectRow(list, Row(list, row) != nullptr ? row : -1); }

void HeadlessGui::SetText(int control, const Text& text) {
  HeadlessControl& target = controls_.at(control);
  target.text = text;
  if (target.description.kind == ControlKind::TextField) {
    QueueEvent({kEventControl, kMainWindow, control, kTypeChanged, {}, {}, {}});
  }
}

void HeadlessGui::Resize(Size inner) {
  windows_[kMainWindow].inner = inner;
  if (sizeHandler_) sizeHandler_();
}

MessageBoxAnswer HeadlessGui::ShowMessage(const Text& caption, const Text& text, MessageBoxKind kind,
                                          MessageBoxIcon) {
  messages_.push_back({caption, text, kind});
  if (!answers_.empty()) {
    const MessageBoxAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  return kind == MessageBoxKind::YesNo ? MessageBoxAnswer::No : MessageBoxAnswer::Ok;
}

}  // namespace korvane
