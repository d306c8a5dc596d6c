#pragma once
// Files dropped from the shell: an OLE drop target that takes CF_HDROP data and hands the full paths on.

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <atomic>
#include <functional>

#include "text/text.h"

namespace korvane::win32 {

// The full paths of a shell drop, in the drop's order, joined by line feeds (no line feed at the end).
Text DroppedPaths(HDROP drop);

// COM interfaces have no virtual destructor: an object ends through its own Release, never through a
// delete of the interface pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// Accepts drops that carry file names (CF_HDROP) with the link effect and passes their paths to
// `onDrop`. Reference counted like any COM object: created with one reference, ended by Release.
class FileDropTarget final : public IDropTarget {
 public:
  explicit FileDropTarget(std::function<void(const Text&)> onDrop) : onDrop_(std::move(onDrop)) {}
  FileDropTarget(const FileDropTarget&) = delete;
  FileDropTarget& operator=(const FileDropTarget&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

  // The owner is gone: later drops are refused instead of calling it.
  void Detach() { onDrop_ = nullptr; }

 private:
  ~FileDropTarget() = default;  // only Release ends the object

  std::atomic<ULONG> references_{1};
  std::function<void(const Text&)> onDrop_;
  bool acceptable_ = false;  // the data being dragged over us carries file names
};

#pragma GCC diagnostic pop

}  // namespace korvane::win32
