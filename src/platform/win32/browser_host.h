#pragma once
// The embedded WebBrowser control: a minimal OLE container that places the browser object into one of
// our own child windows, in place, without a user interface of its own.

#include <windows.h>
#include <ole2.h>
#include <exdisp.h>

#include <functional>
#include <memory>
#include <string>

namespace korvane::win32 {

class BrowserSite;

// Receives the browser's DWebBrowserEvents2 notifications (other than the new-window requests, which
// the host refuses itself) with their arguments, on the thread that runs the window.
using BrowserNotification = std::function<void(DISPID member, DISPPARAMS* arguments)>;

// Owns one WebBrowser object activated in place inside `host`. The browser keeps no context menu of
// its own, reports no script errors in dialogs, and opens no windows: every new-window request
// (NewWindow2/NewWindow3) is cancelled.
class BrowserHost final {
 public:
  // Creates the browser in `host`'s client area and starts loading `startPage`. nullptr when any step
  // fails (COM not initialised on this thread, the component missing or refusing to activate): the
  // host window is then left as it was.
  static std::unique_ptr<BrowserHost> Create(HWND host, const std::wstring& startPage);
  ~BrowserHost();
  BrowserHost(const BrowserHost&) = delete;
  BrowserHost& operator=(const BrowserHost&) = delete;

  // nullptr once closed.
  IWebBrowser2* Browser() const { return browser_; }
  HWND Host() const { return host_; }

  // An empty function detaches it.
  void SetNotification(BrowserNotification notification);

  // Deactivates and releases the browser and the container, in that order. Runs again harmlessly; the
  // host's WM_DESTROY runs it too, so a host destroyed with its window never leaves a live browser.
  void Close();

 private:
  explicit BrowserHost(HWND host) : host_(host) {}
  bool Open(const std::wstring& startPage);
  void FitToHost();
  static LRESULT CALLBACK HostProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR self);

  HWND host_ = nullptr;
  BrowserSite* site_ = nullptr;
  IOleObject* object_ = nullptr;
  IWebBrowser2* browser_ = nullptr;
  IConnectionPoint* events_ = nullptr;
  DWORD cookie_ = 0;
  bool subclassed_ = false;
};

}  // namespace korvane::win32
