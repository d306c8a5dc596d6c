// The browser control as a page source: its notifications, raised here through the container's own
// event sink as the browser raises them, become events of control kBrowser with the address and, on a
// failed navigation, the status code. Wine's browser has no HTML engine in the test prefix, so the
// pages themselves cannot load; what needs no engine is tested.
#include <exdispid.h>

#include "platform/win32/browser_host.h"
#include "platform/win32/browser_page_source.h"
#include "win32/win32_test_support.h"

namespace korvane {
namespace {

class BrowserPageSourceTest : public test::MainWindowTest {
 protected:
  void SetUp() override {
    test::MainWindowTest::SetUp();
    host_ = win32::BrowserHost::Create(Control(kBrowser) == nullptr ? nullptr : CreateHostWindow(), L"about:blank");
    if (host_ == nullptr) GTEST_SKIP() << "no WebBrowser component in this system";
    source_ = std::make_unique<win32::BrowserPageSource>(*host_, *gui_);
  }
  void TearDown() override {
    source_.reset();
    host_.reset();
    test::MainWindowTest::TearDown();
  }
  HWND CreateHostWindow() {
    return CreateWindowExW(0, L"Static", L"", WS_CHILD, 0, 0, 200, 100, window_, nullptr, nullptr, nullptr);
  }

  // Calls the container's event sink as the browser does.
  void Raise(DISPID member, std::vector<VARIANT> arguments) {
    IOleObject* object = nullptr;
    ASSERT_EQ(host_->Browser()->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)), S_OK);
    IOleClientSite* site = nullptr;
    object->GetClientSite(&site);
    object->Release();
    ASSERT_NE(site, nullptr);
    IDispatch* sink = nullptr;
    site->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&sink));
    site->Release();
    ASSERT_NE(sink, nullptr);
    DISPPARAMS parameters{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
    EXPECT_EQ(sink->Invoke(member, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr), S_OK);
    sink->Release();
  }

  std::unique_ptr<win32::BrowserHost> host_;
  std::unique_ptr<win32::BrowserPageSource> source_;
};

TEST_F(BrowserPageSourceTest, NotificationsBecomeBrowserEvents) {
  // NavigateError(pDisp, URL, Frame, StatusCode, Cancel), listed last first.
  VARIANT status;
  VariantInit(&status);
  status.vt = VT_I4;
  status.lVal = 404;
  VARIANT_BOOL cancel = VARIANT_FALSE;
  std::vector<VARIANT> error(5);
  for (VARIANT& argument : error) VariantInit(&argument);
  error[0].vt = VT_BYREF | VT_BOOL;
  error[0].pboolVal = &cancel;
  error[1].vt = VT_BYREF | VT_VARIANT;
  error[1].pvarVal = &status;
  Raise(DISPID_NAVIGATEERROR, error);
  Raise(DISPID_TITLECHANGE, {});
  Raise(DISPID_DOCUMENTCOMPLETE, {});
  Raise(12345, {});  // not a notification of a load: no event

  const std::vector<Event> events = test::PendingEvents(*gui_);
  ASSERT_EQ(events.size(), 3u);
  for (const Event& event : events) {
    EXPECT_EQ(event.kind, kEventControl);
    EXPECT_EQ(event.control, kBrowser);
    EXPECT_EQ(event.window, kMainWindow);
  }
  EXPECT_EQ(events[0].type, kTypePageFailed);
  EXPECT_EQ(events[0].reason, u"HTTP 404");
  EXPECT_EQ(events[1].type, 0);
  // A completed document ends the load only when the browser is no longer busy.
  EXPECT_EQ(events[2].type, source_->Busy() ? 0 : kTypePageLoaded);
}

TEST_F(BrowserPageSourceTest, AttachedValueAndEmptyAddresses) {
  source_->Attach(0xC0FFEE);
  EXPECT_EQ(source_->Attached(), 0xC0FFEEu);
  source_->Navigate(u"");  // does nothing, and does not fail
  EXPECT_EQ(source_->Attached(), 0xC0FFEEu);
  EXPECT_EQ(win32::SavedDocumentText(nullptr), u"");
}

// Without an HTML engine the start page never completes: the program is told to read pages another way
// instead of waiting on a browser that will never load one. With an engine the source must work.
TEST_F(BrowserPageSourceTest, TheGuiOffersTheBrowserOnlyWhenItsStartPageCompleted) {
  PageSource* fromGui = gui_->BrowserPageSource();
  EXPECT_EQ(gui_->BrowserPageSource(), fromGui) << "asked once, answered the same afterwards";
  if (fromGui != nullptr) {
    EXPECT_FALSE(fromGui->Busy());
  }
}

}  // namespace
}  // namespace korvane
