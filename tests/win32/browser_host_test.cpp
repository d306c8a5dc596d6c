// The WebBrowser control embedded in the main window's hidden browser host (control 17).
#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <mshtmhst.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "app/program_numbers.h"
#include "platform/win32/win32_gui.h"
#include "win32/win32_test_support.h"

namespace korvane {
namespace {

constexpr VARIANT_BOOL kTrue = -1;  // VARIANT_TRUE without the headers' C cast
constexpr VARIANT_BOOL kFalse = 0;

using BrowserHostTest = test::MainWindowTest;

// The browser's own top window (ieframe's "Shell Embedding"), as the object reports it.
HWND BrowserWindow(IWebBrowser2* browser) {
  IOleWindow* window = nullptr;
  if (browser->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)) != S_OK) return nullptr;
  HWND hwnd = nullptr;
  window->GetWindow(&hwnd);
  window->Release();
  return hwnd;
}

// The container's site object, reached through the browser as the browser itself reaches it.
template <typename Interface>
Interface* SiteInterface(IWebBrowser2* browser, REFIID iid) {
  IOleObject* object = nullptr;
  if (browser->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)) != S_OK) return nullptr;
  IOleClientSite* site = nullptr;
  object->GetClientSite(&site);
  object->Release();
  if (site == nullptr) return nullptr;
  Interface* wanted = nullptr;
  site->QueryInterface(iid, reinterpret_cast<void**>(&wanted));
  site->Release();
  return wanted;
}

// Every window of this thread, top-level and child.
int ThreadWindowCount() {
  int count = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND top, LPARAM counter) -> BOOL {
        ++*reinterpret_cast<int*>(counter);
        EnumChildWindows(
            top,
            [](HWND, LPARAM inner) -> BOOL {
              ++*reinterpret_cast<int*>(inner);
              return TRUE;
            },
            counter);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

TEST_F(BrowserHostTest, HostIsHiddenAndStaysHiddenWhenTheWindowIsShown) {
  HWND host = Control(kBrowser);
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(test::ClassName(host), L"KorvaneBrowserHost");
  EXPECT_FALSE(test::HasStyle(host, WS_VISIBLE));
  gui_->ShowWindow(kMainWindow, true);
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_FALSE(IsWindowVisible(host));
  EXPECT_FALSE(gui_->IsVisible(kBrowser));
  gui_->ShowWindow(kMainWindow, false);
}

TEST_F(BrowserHostTest, BrowserIsEmbeddedAndSilent) {
  IWebBrowser2* browser = gui_->Browser(kBrowser);
  ASSERT_NE(browser, nullptr);
  VARIANT_BOOL silent = kFalse;
  ASSERT_EQ(browser->get_Silent(&silent), S_OK);
  EXPECT_EQ(silent, kTrue);
  // Other controls have no browser.
  EXPECT_EQ(gui_->Browser(kFunctionList), nullptr);
  EXPECT_EQ(gui_->Browser(999), nullptr);
}

TEST_F(BrowserHostTest, BrowserWindowLivesInTheHostAndStaysInvisible) {
  IWebBrowser2* browser = gui_->Browser(kBrowser);
  ASSERT_NE(browser, nullptr);
  HWND host = Control(kBrowser);
  HWND shown = BrowserWindow(browser);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(GetParent(shown), host);
  // Activated in place at the host's client rectangle.
  RECT client{};
  GetClientRect(host, &client);
  const Rect placed = test::WindowsRect(shown);
  EXPECT_EQ(placed.x, 0);
  EXPECT_EQ(placed.y, 0);
  EXPECT_EQ(placed.width, client.right);
  EXPECT_EQ(placed.height, client.bottom);

  gui_->ShowWindow(kMainWindow, true);
  EXPECT_FALSE(IsWindowVisible(shown));
  gui_->ShowWindow(kMainWindow, false);
}

TEST_F(BrowserHostTest, BrowserFollowsTheHostSize) {
  IWebBrowser2* browser = gui_->Browser(kBrowser);
  ASSERT_NE(browser, nullptr);
  gui_->SetRect(kBrowser, {4, 340, 500, 150});
  const Rect placed = test::WindowsRect(BrowserWindow(browser));
  EXPECT_EQ(placed.width, 500);
  EXPECT_EQ(placed.height, 150);
}

TEST_F(BrowserHostTest, ContainerSuppressesTheBrowserContextMenu) {
  IWebBrowser2* browser = gui_->Browser(kBrowser);
  ASSERT_NE(browser, nullptr);
  IDocHostUIHandler* handler = SiteInterface<IDocHostUIHandler>(browser, IID_IDocHostUIHandler);
  ASSERT_NE(handler, nullptr);
  POINT where{10, 10};
  // S_OK: the host has dealt with the menu, the browser shows none.
  EXPECT_EQ(handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &where, nullptr, nullptr), S_OK);
  handler->Release();
}

TEST_F(BrowserHostTest, NewWindowRequestsAreCancelled) {
  IWebBrowser2* browser = gui_->Browser(kBrowser);
  ASSERT_NE(browser, nullptr);
  IDispatch* sink = SiteInterface<IDispatch>(browser, DIID_DWebBrowserEvents2);
  ASSERT_NE(sink, nullptr);

  // NewWindow2(ppDisp, Cancel): arguments arrive last first.
  {
    VARIANT_BOOL cancel = kFalse;
    IDispatch* created = nullptr;
    VARIANT arguments[2];
    VariantInit(&arguments[0]);
    VariantInit(&arguments[1]);
    arguments[0].vt = VT_BYREF | VT_BOOL;
    arguments[0].pboolVal = &cancel;
    arguments[1].vt = VT_BYREF | VT_DISPATCH;
    arguments[1].ppdispVal = &created;
    DISPPARAMS parameters{arguments, nullptr, 2, 0};
    EXPECT_EQ(sink->Invoke(DISPID_NEWWINDOW2, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(cancel, kTrue);
  }
  // NewWindow3(ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl).
  {
    VARIANT_BOOL cancel = kFalse;
    IDispatch* created = nullptr;
    VARIANT arguments[5];
    for (VARIANT& argument : arguments) VariantInit(&argument);
    arguments[4].vt = VT_BYREF | VT_DISPATCH;
    arguments[4].ppdispVal = &created;
    arguments[3].vt = VT_BYREF | VT_BOOL;
    arguments[3].pboolVal = &cancel;
    arguments[2].vt = VT_I4;
    arguments[2].lVal = 0;
    DISPPARAMS parameters{arguments, nullptr, 5, 0};
    EXPECT_EQ(sink->Invoke(DISPID_NEWWINDOW3, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(cancel, kTrue);
  }
  sink->Release();
}

TEST_F(BrowserHostTest, EventSinkIsConnectedToTheBrowser) {
  IWebBrowser2* browser = gui_->Browser(kBrowser);
  ASSERT_NE(browser, nullptr);
  IConnectionPointContainer* points = nullptr;
  ASSERT_EQ(browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points)), S_OK);
  IConnectionPoint* point = nullptr;
  ASSERT_EQ(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &point), S_OK);
  points->Release();
  IEnumConnections* connections = nullptr;
  const HRESULT listed = point->EnumConnections(&connections);
  point->Release();
  if (listed != S_OK || connections == nullptr) GTEST_SKIP() << "the connection point does not list its sinks";
  int count = 0;
  CONNECTDATA data{};
  while (connections->Next(1, &data, nullptr) == S_OK) {
    ++count;
    if (data.pUnk != nullptr) data.pUnk->Release();
  }
  connections->Release();
  EXPECT_EQ(count, 1);
}

TEST(BrowserHostLifetime, BuildingAndDestroyingTwiceLeavesNothingBehind) {
  test::PrepareProcessLikeTheProgram();
  int windowsBefore = -1;
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const int before = ThreadWindowCount();
    if (windowsBefore < 0) windowsBefore = before;
    HWND host = nullptr;
    HWND shown = nullptr;
    IWebBrowser2* kept = nullptr;
    {
      auto gui = std::make_unique<Win32Gui>();
      gui->BuildWindow(MainWindowDescription());
      host = gui->ControlHandle(kBrowser);
      ASSERT_NE(host, nullptr);
      kept = gui->Browser(kBrowser);
      ASSERT_NE(kept, nullptr);
      kept->AddRef();
      shown = BrowserWindow(kept);
      EXPECT_NE(shown, nullptr);
    }
    EXPECT_FALSE(IsWindow(host));
    EXPECT_FALSE(IsWindow(shown));
    // The container let go of every reference it held: ours is the last.
    EXPECT_EQ(kept->Release(), 0u);
    EXPECT_EQ(ThreadWindowCount(), windowsBefore);
  }
}

// A thread that never initialised COM cannot create the browser: the host stays as an empty hidden
// window and the rest of the main window is built all the same.
TEST(BrowserHostLifetime, WithoutComTheHostStaysEmpty) {
  test::PrepareProcessLikeTheProgram();
  bool hostHidden = false, noBrowser = false, hostEmpty = false, listBuilt = false;
  std::thread([&] {
    Win32Gui gui;
    gui.BuildWindow(MainWindowDescription());
    HWND host = gui.ControlHandle(kBrowser);
    hostHidden = host != nullptr && !test::HasStyle(host, WS_VISIBLE);
    hostEmpty = host != nullptr && GetWindow(host, GW_CHILD) == nullptr;
    noBrowser = gui.Browser(kBrowser) == nullptr;
    listBuilt = gui.ControlHandle(kFunctionList) != nullptr;
  }).join();
  EXPECT_TRUE(hostHidden);
  EXPECT_TRUE(hostEmpty);
  EXPECT_TRUE(noBrowser);
  EXPECT_TRUE(listBuilt);
}

}  // namespace
}  // namespace korvane
