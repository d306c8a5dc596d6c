#pragma once
// How the catalogue reaches the two list views, and how the user's check boxes reach the records.

#include "app/session.h"

namespace korvane {

// Empties the function list view and fills it with the entry's records, boxes from `checked`. The
// check-box hook is detached while the rows go in, so the fill's own notifications change no record.
void ShowLibrary(Session& session, const LibraryEntry& entry);

// The check-box hook: a state change of row i of the function list view sets `checked` of record i
// of the shown library (state image 1: 0, image 2: 1). Other lists and images change nothing.
void CheckBoxSync(Session& session, int list, int row, int stateImage);

void AttachCheckBoxHook(Session& session);
void DetachCheckBoxHook(Session& session);

// The function count of the status bar: " N Functions".
void ShowFunctionCount(Session& session, std::size_t count);

}  // namespace korvane
