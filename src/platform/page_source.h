#pragma once
// Where the documentation lookup gets its pages from. One interface, several implementations: the
// WebBrowser control (Windows), HTTP (WinHTTP on Windows, libcurl on Linux), the offline documentation
// set, and a scripted source for tests. The lookup cannot tell them apart.
//
// A source reports the end of each load, once, as a PageLoad to the handler it was given: the address,
// and whether and why the load failed ("HTTP 500", "time-out", "connection refused"). A load that a
// later Navigate replaced ends without a report. The handler may be called on any thread (an HTTP
// source calls it on its worker, the offline source inside Navigate), so it must only hand the value on.

#include <functional>

#include "text/text.h"

namespace korvane {

struct PageLoad {
  Text address;         // the address that was loaded or failed
  bool failed = false;  // the page did not load; PageText is then empty
  Text reason;          // why it failed
  bool operator==(const PageLoad&) const = default;
};

using PageLoadHandler = std::function<void(const PageLoad&)>;

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
};

}  // namespace korvane
