#include "app/lookup_commands.h"

#include <vector>

#include "app/batch_lookup.h"
#include "app/layout.h"
#include "app/library_commands.h"
#include "app/program_numbers.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

constexpr int kEditorFields[] = {kDetailFunction, kDetailParameters, kDetailReturn,
                                 kDetailDescription, kDetailGroup, kDetailWebsite};

// The commands a running lookup disables, apart from the lookup buttons themselves.
constexpr int kBusyCommands[] = {kLoadLibs,  kLoadXml,    kOptionsButton, kCheckAll, kCheckNone,
                                 kCheckInvert, kCheckFilled, kMergeXml,    kSaveXml,  kExportPb};

void EnableAll(Gui& gui, bool enabled) {
  for (const int control : kBusyCommands) gui.SetEnabled(control, enabled);
  gui.SetEnabled(kMsdnSelected, false);
}

// A run has ended: loading is possible again; what needs a shown library only when one is shown.
void EnableAfterRun(Session& session) {
  Gui& gui = session.platform.gui;
  gui.SetEnabled(kLoadLibs, true);
  gui.SetEnabled(kLoadXml, true);
  EnableLibraryCommands(gui, session.catalogue.Shown() != nullptr);
}

void ApplyEffect(Gui& gui, const RowEffect& effect, bool batch) {
  const int row = static_cast<int>(effect.row);
  if (batch && (effect.kind == RowEffect::Kind::SelectAndUncheck || effect.kind == RowEffect::Kind::TickAndDeselect)) {
    // In a batch the selection follows the row being looked up, at most every few tenths of a second
    // (the batch's display); a lookup's effects set only the check box. Moving the selection at every
    // function cost about 6 ms each under Wine, more than the lookup itself.
    gui.SetRowState(kFunctionList, row, gui.SelectedRow(kFunctionList) == row,
                    effect.kind == RowEffect::Kind::TickAndDeselect);
    return;
  }
  switch (effect.kind) {
    case RowEffect::Kind::SetRowTexts:
      gui.SetRowTexts(kFunctionList, row, std::vector<Text>(effect.texts.begin(), effect.texts.end()));
      break;
    case RowEffect::Kind::SetGroupWebsite: {
      std::vector<Text> columns;
      for (int column = 0; column < 6; ++column) columns.push_back(gui.RowText(kFunctionList, row, column));
      columns[4] = effect.texts[4];
      columns[5] = effect.texts[5];
      gui.SetRowTexts(kFunctionList, row, columns);
      break;
    }
    case RowEffect::Kind::SelectAndUncheck: gui.SetRowState(kFunctionList, row, true, false); break;
    case RowEffect::Kind::TickAndDeselect: gui.SetRowState(kFunctionList, row, false, true); break;
    case RowEffect::Kind::SelectAndSetCheck: gui.SetRowState(kFunctionList, row, true, effect.checked); break;
    case RowEffect::Kind::ShowInEditor:
      for (std::size_t i = 0; i < std::size(kEditorFields); ++i) gui.SetText(kEditorFields[i], effect.texts[i]);
      break;
  }
}

// A page that did not load ends the lookup with the record untouched; a batch stops, since the pages
// after it would most likely fail the same way.
void ReportLoadFailure(Session& session, const PageFailure& failure) {
  session.platform.gui.SetStatusText(kStatusMessage, LoadFailedText(failure.address, failure.reason));
  session.lookup.loadFailed = true;
  if (session.batchRunning.load()) session.lookup.stopRequested.store(true);
}

}  // namespace

Text LoadFailedText(const Text& address, const Text& reason) {
  return u" Load failed: " + address + u" (" + (reason.empty() ? Text(u"unknown reason") : reason) + u")";
}

void SetUpdateMode(Session& session, UpdateMode mode) {
  KORVANE_HERE();
  Gui& gui = session.platform.gui;
  gui.FreezeDrawing(kMainWindow, true);
  switch (mode) {
    case UpdateMode::BatchEnded:
      gui.SetEnabled(kLibrariesList, true);
      EnableAfterRun(session);
      gui.SetText(kMsdnChecked, u"msdn Checked");
      gui.SelectRow(kFunctionList, -1);
      break;
    case UpdateMode::BatchRunning:
      gui.SetEnabled(kLibrariesList, false);
      EnableAll(gui, false);
      gui.SetText(kMsdnChecked, u"Stop Update");
      gui.SetVisible(kDetailPanel, false);
      LayoutMainWindow(gui);
      break;
    case UpdateMode::SingleRunning:
      EnableAll(gui, false);
      gui.SetEnabled(kMsdnChecked, false);
      break;
    case UpdateMode::SingleEnded:
      EnableAfterRun(session);
      gui.SetEnabled(kMsdnSelected,
                     session.catalogue.Shown() != nullptr && gui.SelectedRow(kFunctionList) != -1);
      break;
  }
  gui.FreezeDrawing(kMainWindow, false);
}

bool StartLookupOf(Session& session, const Text& key, std::size_t record) {
  LookupSession& lookup = session.lookup;
  const LibraryEntry* entry = session.catalogue.Find(key);
  if (lookup.source == nullptr || entry == nullptr || record >= entry->functions.size()) return false;
  const LookupStart start = StartLookup(*entry, record, lookup.endpoints);
  lookup.key = key;
  lookup.record = record;
  lookup.markers = start.progress.markers;
  lookup.state.store(start.progress.state);
  lookup.source->Navigate(start.address);
  return true;
}

void LookUpSelectedFunction(Session& session) {
  KORVANE_HERE();
  const int row = session.platform.gui.SelectedRow(kFunctionList);
  if (row == -1 || session.catalogue.Shown() == nullptr || session.batchRunning.load() ||
      session.lookup.state.load() != LookupState::Idle) {
    return;
  }
  SetUpdateMode(session, UpdateMode::SingleRunning);
  // Without a page source (or a row past the records) nothing would ever end the lookup.
  if (!StartLookupOf(session, session.catalogue.ShownKey(), static_cast<std::size_t>(row))) {
    SetUpdateMode(session, UpdateMode::SingleEnded);
  }
}

void OpenSelectedFunction(Session& session) {
  KORVANE_HERE();
  const int row = session.platform.gui.SelectedRow(kFunctionList);
  const LibraryEntry* shown = session.catalogue.Shown();
  if (row == -1 || shown == nullptr || static_cast<std::size_t>(row) >= shown->functions.size()) return;
  const ApiFunction& record = shown->functions[static_cast<std::size_t>(row)];
  if (!record.Website.empty()) {
    session.platform.shell.OpenAddress(record.Website);
    return;
  }
  // The user asked about this very function, not its ANSI/wide pair: the search goes by Function.
  ApiFunction byFunction;
  byFunction.Function = record.Function;
  session.platform.shell.OpenAddress(
      SearchAddress(session.lookup.endpoints.searchBase, byFunction, SearchQuery::First));
}

PageLoadHandler PageLoadsToEventLoop(Session& session) {
  return [&session](const PageLoad& load) {
    session.lookup.loads.Push(load);
    session.platform.gui.QueueEvent({kEventPageLoaded, kMainWindow, -1, 0, {}});
  };
}

void PageLoadEvent(Session& session) {
  if (const std::optional<PageLoad> load = session.lookup.loads.Next(std::chrono::milliseconds(0))) {
    PageSourceEvent(session, *load);
  }
}

void PageSourceEvent(Session& session, const PageLoad& load) {
  KORVANE_HERE();
  LookupSession& lookup = session.lookup;
  if (lookup.state.load() == LookupState::Idle || lookup.source == nullptr || lookup.source->Busy()) return;
  const bool batch = session.batchRunning.load();
  LibraryEntry* entry = session.catalogue.Find(lookup.key);
  if (entry == nullptr || lookup.record >= entry->functions.size()) {
    // The catalogue was replaced under the lookup: there is nothing left to fill.
    lookup.markers = {};
    lookup.state.store(LookupState::Idle);
    if (!batch) SetUpdateMode(session, UpdateMode::SingleEnded);
    LookupEnded(session);
    return;
  }
  const LookupOutcome out = LookupStep({lookup.state.load(), lookup.markers}, ReadLoadedPage(load, *lookup.source), *entry, lookup.key,
                                       lookup.record, batch, lookup.endpoints);
  // The rows are the lookup library's; while another library is shown they are not on screen.
  if (session.catalogue.ShownKey() == lookup.key) {
    for (const RowEffect& effect : out.effects) ApplyEffect(session.platform.gui, effect, batch);
  }
  if (out.failure) ReportLoadFailure(session, *out.failure);
  if (!out.navigate.empty()) lookup.source->Navigate(out.navigate);
  lookup.markers = out.progress.markers;
  lookup.state.store(out.progress.state);
  if (out.ended() && !batch) SetUpdateMode(session, UpdateMode::SingleEnded);
  if (out.ended()) LookupEnded(session);
}

}  // namespace korvane
