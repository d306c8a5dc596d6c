#pragma once
// The page source over the embedded WebBrowser control: its notifications become events of control
// kBrowser, its document is read back as the control serialises it.

#include <windows.h>
#include <exdisp.h>

#include <atomic>
#include <cstdint>

#include "platform/gui.h"
#include "platform/page_source.h"

namespace korvane::win32 {

class BrowserHost;

class BrowserPageSource final : public PageSource {
 public:
  // Attaches itself to the host's notifications until it is destroyed. `gui` queues the events and
  // carries calls from other threads to the window's thread (the browser lives there).
  BrowserPageSource(BrowserHost& host, Gui& gui);
  ~BrowserPageSource() override;
  BrowserPageSource(const BrowserPageSource&) = delete;
  BrowserPageSource& operator=(const BrowserPageSource&) = delete;

  void Navigate(const Text& address) override;
  bool Busy() override;
  Text PageText() override;
  void Attach(std::uintptr_t reference) override { attached_ = reference; }
  std::uintptr_t Attached() override { return attached_; }

  // Waits, handling the thread's window messages and sleeping 1 ms at a time, until the document has
  // completed (ready state 4); false when `milliseconds` passed first.
  bool WaitUntilComplete(int milliseconds);

 private:
  void OnNotification(DISPID member, DISPPARAMS* arguments);
  Text Address();
  int ReadyState();

  BrowserHost& host_;
  Gui& gui_;
  std::atomic<std::uintptr_t> attached_{0};
};

// The page text as the document serialises itself (IPersistStreamInit::Save into memory), decoded with
// the system's ANSI code page; empty without a document.
Text SavedDocumentText(IWebBrowser2* browser);

}  // namespace korvane::win32
