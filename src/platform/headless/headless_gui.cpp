#include "platform/headless/headless_gui.h"

#include "platform/control_geometry.h"

namespace korvane {

void HeadlessGui::BuildWindow(const WindowDescription& window) {
  WindowState& state = windows_[window.number];
  if (window.main) mainWindow_ = window.number;
  state.inner = {scale_.ScaledX(window.innerWidth), scale_.ScaledY(window.innerHeight)};
  state.hasStatusBar = !window.statusFields.empty();
  for (const ControlDescription& description : window.controls) {
    HeadlessControl& control = controls_[description.number];
    control.description = description;
    control.text = description.kind == ControlKind::ListView ? Text() : description.text;
    control.enabled = description.enabled;
    control.visible = description.visible;
    control.checked = description.checked;
    control.window = window.number;
    control.rect = InitialRect(description, scale_, state.inner);
  }
  for (const auto& [number, group] : OptionGroups(window)) controls_[number].optionGroup = group;
  for (std::size_t i = 0; i < window.statusFields.size(); ++i) {
    status_[static_cast<int>(i)] = window.statusFields[i].text;
  }
  for (const MenuItem& item : window.optionsMenu) menu_[item.number] = item.checked;
}

void HeadlessGui::FreezeDrawing(int, bool frozen) { freezeDepth_ += frozen ? 1 : -1; }

Event HeadlessGui::WaitEvent() {
  std::unique_lock lock(mutex_);
  for (;;) {
    RunInvokes(lock);
    if (!events_.empty()) {
      Event event = std::move(events_.front());
      events_.pop_front();
      return event;
    }
    if (closeWhenIdle_) return {kEventCloseWindow, mainWindow_, -1, kIdleCloseType, {}};
    queued_.wait(lock);
  }
}

void HeadlessGui::RunInvokes(std::unique_lock<std::mutex>& lock) {
  while (!invokes_.empty()) {
    InvokeRequest* request = invokes_.front();
    invokes_.pop_front();
    lock.unlock();
    // The error goes back to the thread that asked, as on Windows.
    try {
      (*request->work)();
      if (betweenInvokes_) betweenInvokes_();
    } catch (...) {
      request->error = std::current_exception();
    }
    lock.lock();
    request->done = true;
    invoked_.notify_all();
  }
}

void HeadlessGui::QueueEvent(const Event& event) {
  const std::lock_guard lock(mutex_);
  events_.push_back(event);
  queued_.notify_all();
}

void HeadlessGui::Invoke(const std::function<void()>& work) {
  if (std::this_thread::get_id() == loopThread_) {
    work();
    return;
  }
  InvokeRequest request{&work, false, nullptr};
  std::unique_lock lock(mutex_);
  invokes_.push_back(&request);
  queued_.notify_all();
  invoked_.wait(lock, [&request] { return request.done; });
  lock.unlock();
  if (request.error) std::rethrow_exception(request.error);
}

void HeadlessGui::SetCloseWhenIdle(bool close) {
  const std::lock_guard lock(mutex_);
  closeWhenIdle_ = close;
  queued_.notify_all();
}

int HeadlessGui::WindowOf(int control) const {
  const auto found = controls_.find(control);
  return found == controls_.end() ? mainWindow_ : found->second.window;
}

void HeadlessGui::Click(int control, int type) {
  const auto found = controls_.find(control);
  if (found != controls_.end() && type == kTypeClick) {
    const ControlKind kind = found->second.description.kind;
    if (kind == ControlKind::CheckBox) SetChecked(control, !found->second.checked);
    if (kind == ControlKind::OptionButton) SetChecked(control, true);
  }
  QueueEvent({kEventControl, WindowOf(control), control, type, {}});
}

int HeadlessGui::AddItem(int combo, const Text& text) {
  auto& items = controls_.at(combo).items;
  items.push_back(text);
  return static_cast<int>(items.size()) - 1;
}

void HeadlessGui::ClearItems(int combo) {
  HeadlessControl& target = controls_.at(combo);
  target.items.clear();
  target.selectedItem = -1;
  target.text.clear();
}

Text HeadlessGui::ItemText(int combo, int item) {
  const auto& items = controls_.at(combo).items;
  return item >= 0 && item < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(item)] : Text();
}

void HeadlessGui::SelectItem(int combo, int item) {
  HeadlessControl& target = controls_.at(combo);
  const bool exists = item >= 0 && item < static_cast<int>(target.items.size());
  target.selectedItem = exists ? item : -1;
  target.text = exists ? target.items[static_cast<std::size_t>(item)] : Text();
}

void HeadlessGui::SetChecked(int control, bool checked) {
  HeadlessControl& target = controls_.at(control);
  if (checked && target.optionGroup != -1) {
    for (auto& [number, other] : controls_) {
      if (other.optionGroup == target.optionGroup) other.checked = false;
    }
  }
  target.checked = checked;
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
  if (selectionChanged) QueueEvent({kEventControl, WindowOf(list), list, kTypeChanged, {}});
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

void HeadlessGui::RaiseControl(int control) {
  controls_.at(control).visible = true;
  raised_.push_back(control);
}

void HeadlessGui::SetText(int control, const Text& text) {
  HeadlessControl& target = controls_.at(control);
  target.text = text;
  if (target.description.kind == ControlKind::TextField) {
    QueueEvent({kEventControl, target.window, control, kTypeChanged, {}});
  }
}

void HeadlessGui::Resize(Size inner) {
  windows_[mainWindow_].inner = inner;
  if (sizeHandler_) sizeHandler_();
}

MessageBoxAnswer HeadlessGui::ShowMessage(int window, const Text& caption, const Text& text, MessageBoxKind kind,
                                          MessageBoxIcon icon) {
  messages_.push_back({window, caption, text, kind, icon});
  if (!answers_.empty()) {
    const MessageBoxAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  return kind == MessageBoxKind::Ok ? MessageBoxAnswer::Ok : MessageBoxAnswer::No;
}

}  // namespace korvane
