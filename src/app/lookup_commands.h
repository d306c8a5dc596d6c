#pragma once
// The documentation lookup in the main window: "msdn Selected", the function list's double click, the
// page source's events that drive the running lookup, and the window's states while lookups run.

#include <cstddef>

#include "app/session.h"

namespace korvane {

enum class UpdateMode { BatchEnded = 0, BatchRunning = 1, SingleRunning = 2, SingleEnded = 3 };

// Enables, disables and relabels the main window's controls for one phase of a lookup run, with the
// window's drawing suspended. The modes that end a run enable the commands that need a shown library
// only while one is shown, and "msdn Selected" only while a row is selected.
void SetUpdateMode(Session& session, UpdateMode mode);

// Starts the lookup of record `record` of the library `key` (which must be the shown one): navigates the
// page source and stores the lookup's state. False when there is no such record or no page source.
bool StartLookupOf(Session& session, const Text& key, std::size_t record);

// "msdn Selected": looks up the selected row's function; nothing without a selected row.
void LookUpSelectedFunction(Session& session);

// Double click on a function row: opens its Website, or the first search for its Function, in the
// default browser.
void OpenSelectedFunction(Session& session);

// Any event of the page source (control kBrowser): when a lookup waits and the source is not busy, the
// loaded page takes the lookup one step on.
void PageSourceEvent(Session& session, const Event& event);

// The status bar's message after a page that did not load: " Load failed: <address> (<reason>)".
Text LoadFailedText(const Text& address, const Text& reason);

}  // namespace korvane
