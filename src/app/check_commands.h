#pragma once
// "A", "N", "I" and "F": set the marks of all functions of the shown library at once, in the records
// and in the rows, keeping the selected row selected.

#include "app/session.h"

namespace korvane {

enum class CheckCommand { All, None, Invert, Filled };

void RunCheckCommand(Session& session, CheckCommand command);

}  // namespace korvane
