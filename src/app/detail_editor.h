#pragma once
// The detail editor: the panel below the function list in which one function's facts are read and
// corrected by hand.

#include <optional>

#include "app/session.h"

namespace korvane {

// Runs when the function list view's selection changes: fills the editor from the selected row's
// record and shows it, or hides it when no row is selected.
void FunctionSelectionChanged(Session& session);

// A single digit 1 to 9 typed as the whole parameters text becomes that many placeholder names:
// "3" -> "a, b, c". Returns the expanded text, or nothing when the text is anything else.
std::optional<Text> ExpandedParameterCount(const Text& text);
void ExpandParameterCount(Session& session);

// "Save": stores the edited fields in the record and ticks it. "Clear": empties them and unticks it.
void SaveDetails(Session& session);
void ClearDetails(Session& session);

// Keeps what the user typed into the editor's fields in the record they show, as "Save" would (the
// row ticked); nothing when no field was changed. Runs when the editor leaves its row (another row
// selected, none, the list refilled) and before the catalogue is replaced or the program ends.
void KeepDetailEdits(Session& session);

// Enter in one of the editor's fields saves as "Save" does; Escape shows the record's texts again.
void DetailFieldKey(Session& session, int type);

}  // namespace korvane
