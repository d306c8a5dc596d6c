#pragma once
// How the catalogue reaches the two list views, and how the user's check boxes reach the records.

#include <functional>

#include "app/session.h"

namespace korvane {

// Empties the function list view and fills it with the entry's records, boxes from `checked`. The
// check-box hook is detached while the rows go in, so the fill's own notifications change no record.
void ShowLibrary(Session& session, const LibraryEntry& entry);

// Every change of what the function list view shows goes through here: drawing is frozen and the
// check-box hook detached, the function list emptied, the detail editor hidden and its record
// forgotten; then `fill` runs; then the hook is attached again and drawing resumes.
void RefillFunctionList(Session& session, const std::function<void()>& fill);

// RefillFunctionList's two halves, for a refill whose rows go in over several user-interface steps
// (ShowCatalogueLibraryInSteps): drawing stays frozen and the hook detached from the one to the other.
void BeginRefill(Session& session);
void EndRefill(Session& session);

// Appends the rows of the entry's records [begin, end) (end at most their count) to the function list
// view, boxes from `checked`.
void AddFunctionRows(Gui& gui, const LibraryEntry& entry, std::size_t begin, std::size_t end);

// The check-box hook: a state change of row i of the function list view sets `checked` of record i
// of the shown library (state image 1: 0, image 2: 1). Other lists and images change nothing.
void CheckBoxSync(Session& session, int list, int row, int stateImage);

void AttachCheckBoxHook(Session& session);
void DetachCheckBoxHook(Session& session);

// The function count of the status bar: " N Functions".
void ShowFunctionCount(Session& session, std::size_t count);

}  // namespace korvane
