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

// The handler the page source reports its loads to: from any thread, it keeps the load and queues a
// kEventPageLoaded event of the main window for it.
PageLoadHandler PageLoadsToEventLoop(Session& session);

// A kEventPageLoaded event: takes the oldest load kept for it one step on.
void PageLoadEvent(Session& session);

// The end of a load: when a lookup waits for it, the page takes the lookup one step on. A load that
// ended while the source is busy again was replaced by a later navigation and is passed over.
void PageSourceEvent(Session& session, const PageLoad& load);

// The status bar's message after a page that did not load: " Load failed: <address> (<reason>)".
Text LoadFailedText(const Text& address, const Text& reason);

}  // namespace korvane
