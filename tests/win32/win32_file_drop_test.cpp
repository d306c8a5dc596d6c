// Files dropped on the main window: the drop target that Win32Gui registered with OLE, found where OLE
// keeps it, is given a shell file list as Explorer offers one.
#include <shlobj.h>

#include <cstring>
#include <string>

#include "app/program_numbers.h"
#include "win32/win32_test_support.h"

namespace korvane {
namespace {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"  // COM objects end through Release

// A data object holding a CF_HDROP file list (or, without paths, offering nothing at all). It lives on
// the test's stack, so Release never deletes it.
class FileListData final : public IDataObject {
 public:
  explicit FileListData(std::vector<std::wstring> paths) : paths_(std::move(paths)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
      *object = static_cast<IDataObject*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = MakeFileList();
    medium->pUnkForRelease = nullptr;
    return medium->hGlobal != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    const bool fileList = format != nullptr && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) != 0;
    return fileList && !paths_.empty() ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out != nullptr) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  // DROPFILES, then each wide path with its terminator, then one more terminator.
  HGLOBAL MakeFileList() const {
    std::wstring list;
    for (const std::wstring& path : paths_) list += path + L'\0';
    list += L'\0';
    const std::size_t size = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (memory == nullptr) return nullptr;
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
  }

  std::vector<std::wstring> paths_;
};

#pragma GCC diagnostic pop

class Win32FileDrop : public test::MainWindowTest {
 protected:
  // OLE keeps a registered drop target in this window property, on Windows and in Wine alike.
  IDropTarget* RegisteredTarget() const {
    return static_cast<IDropTarget*>(GetPropW(window_, L"OleDropTargetInterface"));
  }
};

TEST_F(Win32FileDrop, DroppedPathsBecomeOneEventJoinedByLineFeeds) {
  IDropTarget* target = RegisteredTarget();
  ASSERT_NE(target, nullptr) << "the main window is not registered as a drop target";
  FileListData data({L"C:\\libs\\user32.lib", L"C:\\my libs\\kernel32.lib", L"D:\\\u00E9t\u00E9.lib"});
  const POINTL point{100, 100};
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  ASSERT_EQ(target->DragEnter(&data, MK_LBUTTON, point, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
  effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
  ASSERT_EQ(target->DragOver(MK_LBUTTON, point, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  ASSERT_EQ(target->Drop(&data, 0, point, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
  const std::vector<Event> events = test::PendingEvents(*gui_);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, kEventFilesDropped);
  EXPECT_EQ(events[0].window, kMainWindow);
  EXPECT_EQ(events[0].files, u"C:\\libs\\user32.lib\nC:\\my libs\\kernel32.lib\nD:\\\u00E9t\u00E9.lib");
}

TEST_F(Win32FileDrop, OnlyFileListsThatMayBeLinkedAreTaken) {
  IDropTarget* target = RegisteredTarget();
  ASSERT_NE(target, nullptr);
  const struct {
    const char* name;
    std::vector<std::wstring> paths;
    DWORD allowed;
    DWORD effect;
  } cases[] = {
      {"one file", {L"C:\\a.lib"}, DROPEFFECT_LINK, DROPEFFECT_LINK},
      {"no file names offered", {}, DROPEFFECT_COPY | DROPEFFECT_LINK, DROPEFFECT_NONE},
      {"the source allows no link", {L"C:\\a.lib"}, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_NONE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FileListData data(c.paths);
    DWORD effect = c.allowed;
    target->DragEnter(&data, MK_LBUTTON, {0, 0}, &effect);
    EXPECT_EQ(effect, c.effect);
    effect = c.allowed;
    target->Drop(&data, 0, {0, 0}, &effect);
    EXPECT_EQ(effect, c.effect);
    EXPECT_EQ(test::PendingEvents(*gui_).size(), c.effect == DROPEFFECT_NONE ? 0u : 1u);
  }
}

}  // namespace
}  // namespace korvane
