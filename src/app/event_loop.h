#pragma once
// The loop that receives every event of the main window and hands it to its command.

#include "app/session.h"

namespace korvane {

// The two halves of the loop: applying the loaded settings to the session, and dispatching events
// until the main window's close event.
void ApplySettings(Session& session);
void DispatchUntilClosed(Session& session);

// Handles one event of the main window; returns false when the window was closed.
bool DispatchMainWindowEvent(Session& session, const Event& event);

// Hides the export window and enables the main window again ("Cancel", the close box).
void HideExportWindow(Session& session);

// Handles one event of the export window; closing it hides it and enables the main window again.
// Always returns true: closing the export window never ends the program.
bool DispatchExportWindowEvent(Session& session, const Event& event);

// Hands an event to the dispatch function of its window (events of other windows are ignored);
// returns false when the event ended the program (the main window's close event).
bool DispatchEvent(Session& session, const Event& event);

// The donation button: a question, and on Yes the donation page in the default browser.
void AskForDonation(Session& session);

inline constexpr char16_t kDonationAddress[] = u"https://www.paypal.com/donate";

}  // namespace korvane
