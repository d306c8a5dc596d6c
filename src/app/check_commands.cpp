#include "app/check_commands.h"

#include "app/program_numbers.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

int NewMark(CheckCommand command, const ApiFunction& record) {
  switch (command) {
    case CheckCommand::All: return 1;
    case CheckCommand::None: return 0;
    case CheckCommand::Invert: return 1 - record.checked;
    case CheckCommand::Filled: return record.Return.empty() ? 0 : 1;
  }
  return record.checked;
}

}  // namespace

void RunCheckCommand(Session& session, CheckCommand command) {
  KORVANE_HERE();
  LibraryEntry* shown = session.catalogue.Shown();
  if (shown == nullptr) return;
  Gui& gui = session.platform.gui;
  const int selected = gui.SelectedRow(kFunctionList);
  const int rows = gui.RowCount(kFunctionList);
  for (std::size_t i = 0; i < shown->functions.size(); ++i) {
    ApiFunction& record = shown->functions[i];
    record.checked = NewMark(command, record);
    // The row's new state reaches the check-box hook too, which stores the same mark.
    if (static_cast<int>(i) < rows) gui.SetRowState(kFunctionList, static_cast<int>(i), false, record.checked != 0);
  }
  if (selected != -1 && selected < rows) {
    gui.SetRowState(kFunctionList, selected, true, gui.IsRowChecked(kFunctionList, selected));
  }
}

}  // namespace korvane
