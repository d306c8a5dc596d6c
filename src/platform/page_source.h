#pragma once
// Where the documentation lookup gets its pages from. One interface, several implementations: the
// WebBrowser control (Windows), HTTP (WinHTTP on Windows, libcurl on Linux), the offline documentation
// set, and a scripted source for tests. The lookup cannot tell them apart.
//
// Every implementation reports the end of each load through the event loop: it queues an event of kind
// kEventControl for control kBrowser, with type kTypePageLoaded or kTypePageFailed, the loaded address in
// `Event::address` and, on failure, a short reason ("HTTP 500", "time-out", "connection refused") in
// `Event::reason`. A source may queue further events of other types for the same load (the browser
// control raises title and progress notifications); the lookup treats any event that arrives while the
// source is not busy as the end of the load.

#include <cstdint>

#include "text/text.h"

namespace korvane {

class PageSource {
 public:
  virtual ~PageSource() = default;

  // Starts loading `address` and returns at once; an empty address does nothing. From this call until
  // the load has ended (loaded or failed), Busy answers true. A navigation while one is running replaces
  // it: the earlier load's end is not reported.
  virtual void Navigate(const Text& address) = 0;

  // True while a load is running.
  virtual bool Busy() = 0;

  // The text of the last loaded page: its bytes decoded with the system's ANSI code page (Windows-1252
  // where there is none), as the browser control serialises a document. Empty when there is none or the
  // last load failed.
  virtual Text PageText() = 0;

  // One value kept with the source and handed back unchanged: the lookup attaches its record here.
  virtual void Attach(std::uintptr_t reference) = 0;
  virtual std::uintptr_t Attached() = 0;
};

}  // namespace korvane
