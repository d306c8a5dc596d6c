// The embedded WebBrowser control and the small OLE container it lives in.
#include "platform/win32/browser_host.h"

#include <commctrl.h>
#include <exdispid.h>
#include <mshtmhst.h>
#include <ocidl.h>

#include <atomic>

namespace korvane::win32 {
namespace {

// VARIANT_TRUE is spelled with a C cast in the headers.
constexpr VARIANT_BOOL kVariantTrue = -1;
constexpr UINT_PTR kSubclassId = 1;
// The ambient property a container answers to make the browser silent (no script-error dialogs).
constexpr DISPID kAmbientSilent = -5502;

}  // namespace

// COM interfaces have no virtual destructor: the object ends through its own Release, never through a
// delete of an interface pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// The container side, one object for every interface the browser asks its site for: the client site,
// the in-place site and frame (the frame is needed by DoVerb's in-place activation, which asks the site
// for its window context), the document host's user-interface handler and the event sink.
class BrowserSite final : public IOleClientSite,
                          public IOleInPlaceSite,
                          public IOleInPlaceFrame,
                          public IDocHostUIHandler,
                          public DWebBrowserEvents2 {
 public:
  explicit BrowserSite(HWND host) : host_(host) {}
  BrowserSite(const BrowserSite&) = delete;
  BrowserSite& operator=(const BrowserSite&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
      *object = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
      *object = static_cast<IOleInPlaceSite*>(this);
    } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
      *object = static_cast<IOleInPlaceFrame*>(this);
    } else if (iid == IID_IDocHostUIHandler) {
      *object = static_cast<IDocHostUIHandler*>(this);
    } else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
      *object = static_cast<DWebBrowserEvents2*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker != nullptr) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    if (container != nullptr) *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow, for the in-place site and the frame alike: both are the host window.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (window == nullptr) return E_POINTER;
    *window = host_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    if (frame != nullptr) {
      *frame = static_cast<IOleInPlaceFrame*>(this);
      AddRef();
    }
    if (document != nullptr) *document = nullptr;
    if (position != nullptr) GetClientRect(host_, position);
    if (clip != nullptr) GetClientRect(host_, clip);
    if (info != nullptr) {
      info->fMDIApp = FALSE;
      info->hwndFrame = host_;
      info->haccel = nullptr;
      info->cAccelEntries = 0;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow and IOleInPlaceFrame: no toolbars, menus or status bar are shared.
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  // Shared by IOleInPlaceFrame and IDocHostUIHandler.
  HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IDocHostUIHandler
  // S_OK tells the browser the host has shown the menu, so the browser shows none of its own.
  HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override {
    if (info == nullptr) return E_POINTER;
    info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DISABLE_HELP_MENU;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                   IOleInPlaceUIWindow*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE HideUI() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD) override {
    if (key != nullptr) *key = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget** target) override {
    if (target != nullptr) *target = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override {
    if (external != nullptr) *external = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) override {
    if (translated != nullptr) *translated = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject** filtered) override {
    if (filtered != nullptr) *filtered = nullptr;
    return S_FALSE;
  }

  // IDispatch: the browser's events (DWebBrowserEvents2) and the ambient properties it reads from the
  // client site. Only the new-window events and the silent ambient property are answered.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    switch (member) {
      case DISPID_NEWWINDOW2:
      case DISPID_NEWWINDOW3:
        CancelRequest(parameters);
        return S_OK;
      case kAmbientSilent:
        if (result == nullptr) return E_POINTER;
        VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = kVariantTrue;
        return S_OK;
      default:
        if (!notification_) return DISP_E_MEMBERNOTFOUND;
        {
          const BrowserNotification notification = notification_;  // it may replace itself
          notification(member, parameters);
        }
        return S_OK;
    }
  }

  void SetNotification(BrowserNotification notification) { notification_ = std::move(notification); }

 private:
  virtual ~BrowserSite() = default;  // only Release ends the object

  // The Cancel argument is the only by-reference boolean of NewWindow2 and NewWindow3, whose argument
  // positions differ; setting it refuses the new window.
  static void CancelRequest(DISPPARAMS* parameters) {
    if (parameters == nullptr || parameters->rgvarg == nullptr) return;
    for (UINT i = 0; i < parameters->cArgs; ++i) {
      VARIANT& argument = parameters->rgvarg[i];
      if (argument.vt == (VT_BYREF | VT_BOOL) && argument.pboolVal != nullptr) *argument.pboolVal = kVariantTrue;
    }
  }

  std::atomic<ULONG> references_{1};
  HWND host_;
  BrowserNotification notification_;
};

#pragma GCC diagnostic pop

std::unique_ptr<BrowserHost> BrowserHost::Create(HWND host, const std::wstring& startPage) {
  if (host == nullptr) return nullptr;
  std::unique_ptr<BrowserHost> browser(new BrowserHost(host));
  if (!browser->Open(startPage)) return nullptr;  // the destructor releases what was created
  return browser;
}

BrowserHost::~BrowserHost() { Close(); }

bool BrowserHost::Open(const std::wstring& startPage) {
  if (CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                       reinterpret_cast<void**>(&object_)) != S_OK ||
      object_ == nullptr) {
    return false;
  }
  site_ = new BrowserSite(host_);
  if (object_->SetClientSite(site_) != S_OK) return false;
  object_->SetHostNames(L"Korvane", nullptr);
  // The browser is an embedding: it must not keep the process's objects alive on its own.
  OleSetContainedObject(object_, TRUE);
  RECT client{};
  GetClientRect(host_, &client);
  if (object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_, 0, host_, &client) < 0) return false;
  if (object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_)) != S_OK || browser_ == nullptr) {
    return false;
  }
  if (browser_->put_Silent(kVariantTrue) != S_OK) return false;

  // Without the event sink no new-window request could be refused: no browser then.
  IConnectionPointContainer* points = nullptr;
  if (browser_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points)) != S_OK ||
      points == nullptr) {
    return false;
  }
  const HRESULT found = points->FindConnectionPoint(DIID_DWebBrowserEvents2, &events_);
  points->Release();
  if (found != S_OK || events_ == nullptr) return false;
  if (events_->Advise(static_cast<IOleClientSite*>(site_), &cookie_) != S_OK) {
    cookie_ = 0;
    return false;
  }

  // The host's size changes reach the browser, and its destruction closes the browser first.
  subclassed_ = SetWindowSubclass(host_, HostProcedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this)) != FALSE;

  // Loading is asynchronous and may fail later (where no page renderer is installed); the browser
  // itself stays usable either way.
  BSTR url = SysAllocString(startPage.c_str());
  if (url != nullptr) {
    VARIANT none;
    VariantInit(&none);
    browser_->Navigate(url, &none, &none, &none, &none);
    SysFreeString(url);
  }
  return true;
}

void BrowserHost::SetNotification(BrowserNotification notification) {
  if (site_ != nullptr) site_->SetNotification(std::move(notification));
}

void BrowserHost::Close() {
  if (subclassed_) {
    RemoveWindowSubclass(host_, HostProcedure, kSubclassId);
    subclassed_ = false;
  }
  if (events_ != nullptr) {
    if (cookie_ != 0) events_->Unadvise(cookie_);
    cookie_ = 0;
    events_->Release();
    events_ = nullptr;
  }
  if (browser_ != nullptr) {
    browser_->Release();
    browser_ = nullptr;
  }
  if (object_ != nullptr) {
    // Deactivates the browser and destroys its windows; the site is let go only afterwards, because
    // deactivation still calls it.
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    object_->Release();
    object_ = nullptr;
  }
  if (site_ != nullptr) {
    site_->SetNotification(nullptr);
    site_->Release();
    site_ = nullptr;
  }
}

void BrowserHost::FitToHost() {
  if (object_ == nullptr) return;
  IOleInPlaceObject* inPlace = nullptr;
  if (object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)) != S_OK ||
      inPlace == nullptr) {
    return;
  }
  RECT client{};
  GetClientRect(host_, &client);
  inPlace->SetObjectRects(&client, &client);
  inPlace->Release();
}

LRESULT CALLBACK BrowserHost::HostProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR self) {
  auto* browser = reinterpret_cast<BrowserHost*>(self);
  switch (message) {
    case WM_SIZE:
      browser->FitToHost();
      break;
    case WM_DESTROY:
      // The browser's own windows are children of the host and still exist here: closing now lets it
      // take them down in order.
      browser->Close();
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace korvane::win32
