// The OLE drop target for files dragged from the shell.
#include "platform/win32/drop_target.h"

#include <string>

#include "platform/win32/wide_text.h"

namespace korvane::win32 {
namespace {

FORMATETC FileNamesFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

bool CarriesFileNames(IDataObject* data) {
  FORMATETC format = FileNamesFormat();
  return data != nullptr && data->QueryGetData(&format) == S_OK;
}

// Files are linked, not copied or moved: the program only reads them where they are. A source that
// does not allow a link gets no drop.
DWORD LinkEffect(bool acceptable, const DWORD* allowed) {
  return acceptable && allowed != nullptr && (*allowed & DROPEFFECT_LINK) != 0 ? DROPEFFECT_LINK : DROPEFFECT_NONE;
}

}  // namespace

Text DroppedPaths(HDROP drop) {
  Text paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    const UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
    path.resize(copied);
    if (i != 0) paths += u'\n';
    paths += FromWide(path);
  }
  return paths;
}

HRESULT FileDropTarget::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG FileDropTarget::AddRef() { return ++references_; }

ULONG FileDropTarget::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT FileDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  if (effect == nullptr) return E_INVALIDARG;
  acceptable_ = onDrop_ != nullptr && CarriesFileNames(data);
  *effect = LinkEffect(acceptable_, effect);
  return S_OK;
}

HRESULT FileDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  if (effect == nullptr) return E_INVALIDARG;
  *effect = LinkEffect(acceptable_, effect);
  return S_OK;
}

HRESULT FileDropTarget::DragLeave() {
  acceptable_ = false;
  return S_OK;
}

HRESULT FileDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  acceptable_ = false;
  if (effect == nullptr) return E_INVALIDARG;
  const DWORD allowed = *effect;
  *effect = DROPEFFECT_NONE;
  if (onDrop_ == nullptr || !CarriesFileNames(data) || LinkEffect(true, &allowed) == DROPEFFECT_NONE) return S_OK;
  FORMATETC format = FileNamesFormat();
  STGMEDIUM medium{};
  if (data->GetData(&format, &medium) != S_OK) return S_OK;
  // Called from OLE's drag loop: nothing may be thrown across it.
  HRESULT result = S_OK;
  try {
    const Text paths = DroppedPaths(static_cast<HDROP>(medium.hGlobal));
    if (!paths.empty()) {
      onDrop_(paths);
      *effect = DROPEFFECT_LINK;
    }
  } catch (...) {
    result = E_UNEXPECTED;
  }
  ReleaseStgMedium(&medium);
  return result;
}

}  // namespace korvane::win32
