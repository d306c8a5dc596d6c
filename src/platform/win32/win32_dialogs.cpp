// The open-file dialog and the folder browser.
#include "platform/win32/win32_dialogs.h"

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>

#include "platform/win32/wide_text.h"

namespace korvane {
namespace win32 {
namespace {

// Room for many selected names: the dialog fails instead of truncating when they do not fit.
constexpr DWORD kFileBufferLength = 1u << 18;
// The longest path Windows can name.
constexpr DWORD kLongestPath = 32768;

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

// Starts the browser in `startFolder` (its lParam) once its window exists.
int CALLBACK BrowseCallback(HWND hwnd, UINT message, LPARAM, LPARAM startFolder) {
  if (message == BFFM_INITIALIZED && startFolder != 0) {
    SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, startFolder);
  }
  return 0;
}

}  // namespace

std::wstring DialogFilter(const Text& filter) {
  std::wstring result = ToWide(filter);
  // Every requester can also show every file: GNU import libraries end in ".a", and a file named
  // otherwise would stay hidden behind the program's own patterns.
  if ((L"|" + result + L"|").find(L"|*.*|") == std::wstring::npos) result += L"|All files (*.*)|*.*";
  for (wchar_t& c : result) {
    if (c == L'|') c = L'\0';
  }
  // The last part's terminator, then the list's; c_str() adds a third, which does no harm.
  result.push_back(L'\0');
  result.push_back(L'\0');
  return result;
}

std::vector<Text> SelectedPaths(std::wstring_view buffer) {
  std::vector<std::wstring_view> parts;
  std::size_t start = 0;
  while (start < buffer.size() && buffer[start] != L'\0') {
    std::size_t end = buffer.find(L'\0', start);
    if (end == std::wstring_view::npos) end = buffer.size();
    parts.push_back(buffer.substr(start, end - start));
    start = end + 1;
  }
  std::vector<Text> paths;
  if (parts.size() == 1) paths.push_back(FromWide(parts.front()));
  if (parts.size() < 2) return paths;
  // A folder that is a drive's root ("C:\") already ends in its separator.
  std::wstring folder(parts.front());
  if (folder.back() != L'\\') folder.push_back(L'\\');
  for (std::size_t i = 1; i < parts.size(); ++i) paths.push_back(FromWide(folder + std::wstring(parts[i])));
  return paths;
}

// What the open-file and the save-file dialogs share: owner, filter, start folder, title and the buffer
// for the chosen name. The dialog points into the strings, so it is neither copied nor moved.
struct FileDialog {
  FileDialog(const Text& titleText, const Text& startFolder, const Text& filterText, std::size_t bufferLength)
      : title(ToWide(titleText)),
        folder(ToWide(startFolder)),
        filter(filterText.empty() ? std::wstring() : DialogFilter(filterText)),
        buffer(bufferLength, L'\0') {}
  FileDialog(const FileDialog&) = delete;
  FileDialog& operator=(const FileDialog&) = delete;

  // Points the dialog at the strings; call once the buffer holds its initial name.
  OPENFILENAMEW& Dialog() {
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpstrFilter = OrNull(filter);
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrInitialDir = OrNull(folder);
    dialog.lpstrTitle = OrNull(title);
    return dialog;
  }

  std::wstring title, folder, filter, buffer;
  OPENFILENAMEW dialog{};
};

}  // namespace win32

std::vector<Text> Win32Dialogs::OpenFiles(const Text& title, const Text& startFolder, const Text& filter,
                                          bool multiple) {
  win32::FileDialog files(title, startFolder, filter, win32::kFileBufferLength);
  OPENFILENAMEW& dialog = files.Dialog();
  // OFN_NOCHANGEDIR: the settings file and the catalogue folder are found in the working directory,
  // which the dialog would otherwise move to the folder the user browsed to.
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (multiple) dialog.Flags |= OFN_ALLOWMULTISELECT;
  if (!GetOpenFileNameW(&dialog)) return {};
  return win32::SelectedPaths(files.buffer);
}

Text Win32Dialogs::ChooseFolder(const Text& title, const Text& startFolder) {
  const std::wstring wideTitle = win32::ToWide(title);
  const std::wstring wideFolder = win32::ToWide(startFolder);
  BROWSEINFOW browse{};
  browse.hwndOwner = GetActiveWindow();
  browse.lpszTitle = wideTitle.c_str();
  // BIF_EDITBOX: the user may also type the folder.
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
  browse.lpfn = win32::BrowseCallback;
  browse.lParam = wideFolder.empty() ? 0 : reinterpret_cast<LPARAM>(wideFolder.c_str());
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  if (chosen == nullptr) return {};
  std::wstring path(win32::kLongestPath, L'\0');
  const bool isFileSystemFolder = SHGetPathFromIDListEx(chosen, path.data(), win32::kLongestPath, GPFIDL_DEFAULT);
  CoTaskMemFree(chosen);
  path.resize(isFileSystemFolder ? std::wcslen(path.c_str()) : 0);
  // Folders without a file system path ("This PC") count as no choice.
  if (path.empty()) return {};
  if (path.back() != L'\\') path.push_back(L'\\');
  return win32::FromWide(path);
}

}  // namespace korvane

namespace korvane {
namespace {

std::wstring ToWideExtension(const Text& filter) {
  const std::size_t star = filter.find(u"|*.");
  if (star == Text::npos) return {};
  const std::size_t end = filter.find_first_of(u"|;", star + 3);
  const Text extension = filter.substr(star + 3, end == Text::npos ? Text::npos : end - star - 3);
  return extension == u"*" ? std::wstring() : win32::ToWide(extension);
}

}  // namespace

Text Win32Dialogs::SaveFile(const Text& title, const Text& startFolder, const Text& defaultName, const Text& filter) {
  win32::FileDialog save(title, startFolder, filter, win32::kLongestPath);
  std::wstring& buffer = save.buffer;
  const std::wstring name = win32::ToWide(defaultName);
  buffer.replace(0, std::min(name.size(), buffer.size() - 1), name.substr(0, buffer.size() - 1));
  OPENFILENAMEW& dialog = save.Dialog();
  // The first filter's extension ("label|*.pbi" gives "pbi") when the user types a name without one.
  const std::wstring pattern = ToWideExtension(filter);
  dialog.lpstrDefExt = win32::OrNull(pattern);
  // OFN_NOCHANGEDIR as for the open-file dialog: the working directory stays where the program started.
  dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) return {};
  buffer.resize(std::wcslen(buffer.c_str()));
  return win32::FromWide(buffer);
}

}  // namespace korvane
