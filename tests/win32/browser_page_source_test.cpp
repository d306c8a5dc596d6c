// The browser control as a page source: its notifications, raised here through the container's own
// event sink as the browser raises them, end a load once the control is no longer busy, failed with the
// status code when a navigation error came on the way. Wine's browser has no HTML engine in the test
// prefix, so the pages themselves cannot load; what needs no engine is tested.
#include <exdispid.h>

#include "app/program_numbers.h"
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
    source_ = std::make_unique<win32::BrowserPageSource>(*host_, *gui_,
                                                         [this](const PageLoad& load) { ends_.push_back(load); });
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
  std::vector<PageLoad> ends_;
};

// In the order a real control raises them when a page cannot be reached: the navigation error while the
// control is still busy, then its own error page's title and completion. The error must not be lost: the
// load ends once, as failed, whatever notifications follow.
TEST_F(BrowserPageSourceTest, ANavigationErrorMakesTheLoadThatEndsAFailure) {
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

  // Notifications without a load of ours end nothing.
  Raise(DISPID_DOCUMENTCOMPLETE, {});
  test::PendingEvents(*gui_);
  EXPECT_TRUE(ends_.empty());

  source_->Navigate(u"http://127.0.0.1:9/missing");
  Raise(DISPID_NAVIGATEERROR, error);
  Raise(DISPID_TITLECHANGE, {});
  Raise(DISPID_DOCUMENTCOMPLETE, {});
  Raise(12345, {});  // not a notification of a load
  EXPECT_TRUE(ends_.empty()) << "the end is decided after the control's own call has returned";
  test::PendingEvents(*gui_);
  if (source_->Busy()) {
    EXPECT_TRUE(ends_.empty());
    return;
  }
  ASSERT_EQ(ends_.size(), 1u);
  EXPECT_TRUE(ends_[0].failed);
  EXPECT_EQ(ends_[0].reason, u"HTTP 404");
  Raise(DISPID_TITLECHANGE, {});  // a later notification of the same load
  test::PendingEvents(*gui_);
  EXPECT_EQ(ends_.size(), 1u);
}

TEST_F(BrowserPageSourceTest, EmptyAddresses) {
  source_->Navigate(u"");  // does nothing, and does not fail
  test::PendingEvents(*gui_);
  EXPECT_TRUE(ends_.empty());
  EXPECT_EQ(win32::SavedDocumentText(nullptr), u"");
}

// Without an HTML engine the start page never completes: the program is told to read pages another way
// instead of waiting on a browser that will never load one. With an engine the source must work.
TEST_F(BrowserPageSourceTest, TheGuiOffersTheBrowserOnlyWhenItsStartPageCompleted) {
  PageSource* fromGui = gui_->BrowserPageSource({});
  EXPECT_EQ(gui_->BrowserPageSource({}), fromGui) << "asked once, answered the same afterwards";
  if (fromGui != nullptr) {
    EXPECT_FALSE(fromGui->Busy());
  }
}

}  // namespace
}  // namespace korvane
