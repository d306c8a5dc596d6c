// The WebBrowser control as a page source.
#include "platform/win32/browser_page_source.h"

#include <exdispid.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "platform/win32/ansi_code_page.h"
#include "platform/win32/browser_host.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_gui.h"

namespace korvane::win32 {
namespace {

constexpr int kReadyLoading = 1;      // READYSTATE_LOADING
constexpr int kReadyInteractive = 3;  // READYSTATE_INTERACTIVE
constexpr int kReadyComplete = 4;     // READYSTATE_COMPLETE

// NavigateError's status code: its fourth argument of five; DISPPARAMS lists them last first.
long NavigateErrorStatus(const DISPPARAMS* arguments) {
  if (arguments == nullptr || arguments->rgvarg == nullptr || arguments->cArgs < 5) return 0;
  const VARIANT& status = arguments->rgvarg[arguments->cArgs - 4];
  if (status.vt == (VT_BYREF | VT_VARIANT) && status.pvarVal != nullptr && status.pvarVal->vt == VT_I4) {
    return status.pvarVal->lVal;
  }
  if (status.vt == VT_I4) return status.lVal;
  return 0;
}

std::vector<std::uint8_t> StreamBytes(IStream* stream) {
  STATSTG stat{};
  if (stream->Stat(&stat, STATFLAG_NONAME) != S_OK) return {};
  HGLOBAL memory = nullptr;
  if (GetHGlobalFromStream(stream, &memory) != S_OK || memory == nullptr) return {};
  const auto size = static_cast<std::size_t>(stat.cbSize.QuadPart);
  const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(memory));
  if (bytes == nullptr) return {};
  std::vector<std::uint8_t> copy(bytes, bytes + size);
  GlobalUnlock(memory);
  return copy;
}

}  // namespace

Text SavedDocumentText(IWebBrowser2* browser) {
  if (browser == nullptr) return {};
  IDispatch* document = nullptr;
  if (browser->get_Document(&document) != S_OK || document == nullptr) return {};
  IPersistStreamInit* persist = nullptr;
  const HRESULT found = document->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist));
  document->Release();
  if (found != S_OK || persist == nullptr) return {};
  IStream* stream = nullptr;
  std::vector<std::uint8_t> bytes;
  if (CreateStreamOnHGlobal(nullptr, TRUE, &stream) == S_OK && stream != nullptr) {
    if (persist->Save(stream, FALSE) == S_OK) bytes = StreamBytes(stream);
    stream->Release();
  }
  persist->Release();
  return DecodeSystemAnsi(bytes);
}

BrowserPageSource::BrowserPageSource(BrowserHost& host, Win32Gui& gui, PageLoadHandler onLoad)
    : host_(host), gui_(gui), onLoad_(std::move(onLoad)) {
  host_.SetNotification([this](DISPID member, DISPPARAMS* arguments) { OnNotification(member, arguments); });
}

BrowserPageSource::~BrowserPageSource() { host_.SetNotification(nullptr); }

void BrowserPageSource::Navigate(const Text& address) {
  if (address.empty()) return;
  gui_.Invoke([&] {
    IWebBrowser2* browser = host_.Browser();
    BSTR url = SysAllocString(ToWide(address).c_str());
    if (browser == nullptr || url == nullptr) return;
    loading_ = true;  // a running load is replaced: its end is not reported
    failure_.reset();
    VARIANT none;
    VariantInit(&none);
    browser->Navigate(url, &none, &none, &none, &none);
    SysFreeString(url);
  });
}

int BrowserPageSource::ReadyState() {
  int state = 0;
  gui_.Invoke([&] {
    READYSTATE ready = READYSTATE_UNINITIALIZED;
    if (IWebBrowser2* browser = host_.Browser(); browser != nullptr && browser->get_ReadyState(&ready) == S_OK) {
      state = static_cast<int>(ready);
    }
  });
  return state;
}

bool BrowserPageSource::Busy() {
  const int state = ReadyState();
  return state == kReadyLoading || state == kReadyInteractive;
}

Text BrowserPageSource::PageText() {
  Text text;
  gui_.Invoke([&] { text = SavedDocumentText(host_.Browser()); });
  return text;
}

Text BrowserPageSource::Address() {
  Text address;
  BSTR location = nullptr;
  if (IWebBrowser2* browser = host_.Browser(); browser != nullptr && browser->get_LocationURL(&location) == S_OK) {
    if (location != nullptr) address = FromWide(std::wstring(location, SysStringLen(location)));
    SysFreeString(location);
  }
  return address;
}

bool BrowserPageSource::WaitUntilComplete(int milliseconds) {
  for (int waited = 0; waited <= milliseconds; ++waited) {
    if (ReadyState() == kReadyComplete) return true;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));  // the loop still has to see it
        return false;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(1);
  }
  return false;
}

// Runs on the window's thread, inside the browser's own call. Whether the load has ended is decided
// once that call has returned (the control may still call itself busy inside it): each notification of
// a load asks again then. A navigation error is kept whenever it comes, also while the control goes on
// to show its own error page, so the load that ends then ends as failed.
void BrowserPageSource::OnNotification(DISPID member, DISPPARAMS* arguments) {
  switch (member) {
    case DISPID_NAVIGATEERROR:
      failure_ = u"HTTP " + DecimalText(NavigateErrorStatus(arguments));
      break;
    case DISPID_DOCUMENTCOMPLETE:
    case DISPID_DOWNLOADCOMPLETE:
    case DISPID_TITLECHANGE:
    case DISPID_STATUSTEXTCHANGE:
    case DISPID_DOWNLOADBEGIN:
    case DISPID_PROGRESSCHANGE:
      break;
    default:
      return;  // not a notification of a load
  }
  if (!loading_) return;  // the start page, or a load whose end was reported already
  // The source may be gone when the deferred call runs (one that never saw its start page complete).
  gui_.Defer([this, alive = std::weak_ptr<bool>(alive_)] {
    if (!alive.expired()) EndIfComplete();
  });
}

// A load has ended when the control is no longer busy; its end is reported once.
void BrowserPageSource::EndIfComplete() {
  if (!loading_ || Busy()) return;
  loading_ = false;
  PageLoad end{Address(), failure_.has_value(), failure_.value_or(Text())};
  failure_.reset();
  if (onLoad_) onLoad_(end);
}

}  // namespace korvane::win32
