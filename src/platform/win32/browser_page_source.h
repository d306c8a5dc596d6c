#pragma once
// The page source over the embedded WebBrowser control: its notifications tell when a load has ended,
// its document is read back as the control serialises it.

#include <windows.h>
#include <exdisp.h>

#include <memory>
#include <optional>

#include "platform/page_source.h"

namespace korvane {
class Win32Gui;
}

namespace korvane::win32 {

class BrowserHost;

class BrowserPageSource final : public PageSource {
 public:
  // Attaches itself to the host's notifications until it is destroyed. `gui` carries calls from other
  // threads to the window's thread (the browser lives there); `onLoad` hears the end of each load.
  BrowserPageSource(BrowserHost& host, Win32Gui& gui, PageLoadHandler onLoad);
  ~BrowserPageSource() override;
  BrowserPageSource(const BrowserPageSource&) = delete;
  BrowserPageSource& operator=(const BrowserPageSource&) = delete;

  void Navigate(const Text& address) override;
  bool Busy() override;
  Text PageText() override;

  // Waits, handling the thread's window messages and sleeping 1 ms at a time, until the document has
  // completed (ready state 4); false when `milliseconds` passed first.
  bool WaitUntilComplete(int milliseconds);

 private:
  void OnNotification(DISPID member, DISPPARAMS* arguments);
  void EndIfComplete();
  Text Address();
  int ReadyState();

  BrowserHost& host_;
  Win32Gui& gui_;
  PageLoadHandler onLoad_;
  // Touched on the window's thread only: a load runs from Navigate until its end is reported, and a
  // navigation error seen on the way makes that end a failure.
  bool loading_ = false;
  std::optional<Text> failure_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // expires with the source
};

// The page text as the document serialises itself (IPersistStreamInit::Save into memory), decoded with
// the system's ANSI code page; empty without a document.
Text SavedDocumentText(IWebBrowser2* browser);

}  // namespace korvane::win32
