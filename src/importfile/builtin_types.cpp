#include "importfile/builtin_types.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace korvane {
namespace {

// How each entry's size varies between the targets.
enum class Shape : std::uint8_t {
  kFixed,        // the same size on x86 and x64
  kPointerSized  // 4 bytes on x86, 8 on x64 (pointers, handles, INT_PTR and its kin)
};

struct Entry {
  std::u16string_view name;
  TypeKind kind;
  std::uint32_t size;  // for kFixed; ignored for kPointerSized
  Shape shape;
  PointeeText text;
};

constexpr Entry Int(std::u16string_view name, std::uint32_t size) {
  return {name, TypeKind::kSigned, size, Shape::kFixed, PointeeText::kNone};
}
constexpr Entry Uint(std::u16string_view name, std::uint32_t size) {
  return {name, TypeKind::kUnsigned, size, Shape::kFixed, PointeeText::kNone};
}
constexpr Entry IntPtr(std::u16string_view name) {
  return {name, TypeKind::kSigned, 0, Shape::kPointerSized, PointeeText::kNone};
}
constexpr Entry UintPtr(std::u16string_view name) {
  return {name, TypeKind::kUnsigned, 0, Shape::kPointerSized, PointeeText::kNone};
}
constexpr Entry Ptr(std::u16string_view name, PointeeText text = PointeeText::kNone) {
  return {name, TypeKind::kPointer, 0, Shape::kPointerSized, text};
}
constexpr Entry Real(std::u16string_view name, std::uint32_t size) {
  return {name, TypeKind::kFloat, size, Shape::kFixed, PointeeText::kNone};
}
constexpr Entry Record(std::u16string_view name, std::uint32_t size) {
  return {name, TypeKind::kRecord, size, Shape::kFixed, PointeeText::kNone};
}

// Sorted by name (code units) for the binary search.
constexpr auto kEntries = [] {
  std::array table = {
      Int(u"BOOL", 4), Uint(u"BOOLEAN", 1), Uint(u"BYTE", 1), Int(u"CCHAR", 1), Int(u"CHAR", 1),
      Uint(u"COLORREF", 4), Uint(u"DWORD", 4), Uint(u"DWORD32", 4), Uint(u"DWORD64", 8),
      Uint(u"DWORDLONG", 8), UintPtr(u"DWORD_PTR"), Real(u"DOUBLE", 8), Real(u"FLOAT", 4),
      Ptr(u"FARPROC"), Uint(u"ATOM", 2), Uint(u"ACCESS_MASK", 4), Ptr(u"BSTR"),
      Record(u"FILETIME", 8), Ptr(u"HACCEL"), Ptr(u"HANDLE"), Ptr(u"HBITMAP"),
      Ptr(u"HBRUSH"), Ptr(u"HCOLORSPACE"), Ptr(u"HCURSOR"), Ptr(u"HDC"), Ptr(u"HDESK"), Ptr(u"HDROP"),
      Ptr(u"HDWP"), Ptr(u"HENHMETAFILE"), Int(u"HFILE", 4), Ptr(u"HFONT"), Ptr(u"HGDIOBJ"),
      Ptr(u"HGLOBAL"), Ptr(u"HGLRC"), Ptr(u"HHOOK"), Ptr(u"HICON"), Ptr(u"HINSTANCE"), Ptr(u"HKEY"),
      Ptr(u"HKL"), Ptr(u"HLOCAL"), Ptr(u"HMENU"), Ptr(u"HMETAFILE"), Ptr(u"HMODULE"), Ptr(u"HMONITOR"),
      Ptr(u"HPALETTE"), Ptr(u"HPEN"), Int(u"HRESULT", 4), Ptr(u"HRGN"), Ptr(u"HRSRC"), Ptr(u"HWINSTA"),
      Ptr(u"HWND"), Int(u"INT", 4), Int(u"INT16", 2), Int(u"INT32", 4), Int(u"INT64", 8), Int(u"INT8", 1),
      IntPtr(u"INT_PTR"), Uint(u"LANGID", 2), Record(u"LARGE_INTEGER", 8), Uint(u"LCID", 4),
      Uint(u"LCTYPE", 4), Int(u"LONG", 4), Int(u"LONG32", 4), Int(u"LONG64", 8), Int(u"LONGLONG", 8),
      IntPtr(u"LONG_PTR"), Ptr(u"LPBYTE"), Ptr(u"LPCOLESTR", PointeeText::kWideChar),
      Ptr(u"LPCSTR", PointeeText::kChar), Ptr(u"LPCVOID"), Ptr(u"LPCWSTR", PointeeText::kWideChar),
      Ptr(u"LPDWORD"), Ptr(u"LPHANDLE"), Ptr(u"LPINT"), Ptr(u"LPLONG"), Ptr(u"LPOLESTR"),
      IntPtr(u"LPARAM"), Ptr(u"LPSTR"), Ptr(u"LPVOID"), Ptr(u"LPWORD"), Ptr(u"LPWSTR"),
      IntPtr(u"LRESULT"), Int(u"LSTATUS", 4), Uint(u"MMRESULT", 4), Int(u"NTSTATUS", 4),
      Ptr(u"PBYTE"), Ptr(u"PCHAR"), Ptr(u"PCSTR", PointeeText::kChar), Ptr(u"PCWSTR", PointeeText::kWideChar),
      Ptr(u"PDWORD"), Ptr(u"PHANDLE"), Record(u"POINT", 8), Record(u"POINTL", 8), Record(u"POINTS", 4),
      Ptr(u"PROC"), Ptr(u"PSTR"), Ptr(u"PVOID"), Ptr(u"PWSTR"), Uint(u"QWORD", 8), Record(u"RECT", 16),
      Uint(u"REGSAM", 4), Ptr(u"SC_HANDLE"), Int(u"SHORT", 2), Record(u"SIZE", 8), IntPtr(u"SSIZE_T"),
      UintPtr(u"SIZE_T"), UintPtr(u"SOCKET"), Uint(u"UCHAR", 1), Uint(u"UINT", 4),
      Uint(u"UINT16", 2), Uint(u"UINT32", 4), Uint(u"UINT64", 8), Uint(u"UINT8", 1), UintPtr(u"UINT_PTR"),
      Uint(u"ULONG", 4), Uint(u"ULONG32", 4), Uint(u"ULONG64", 8), Uint(u"ULONGLONG", 8),
      UintPtr(u"ULONG_PTR"), Record(u"ULARGE_INTEGER", 8), Uint(u"USHORT", 2), Uint(u"WCHAR", 2),
      Int(u"WINBOOL", 4), Uint(u"WORD", 2), UintPtr(u"WPARAM"), Int(u"__int16", 2), Int(u"__int32", 4),
      Int(u"__int64", 8), Int(u"__int8", 1), Uint(u"bool", 1), Int(u"char", 1), Real(u"double", 8),
      Real(u"float", 4), Int(u"int", 4), Int(u"int16_t", 2), Int(u"int32_t", 4), Int(u"int64_t", 8),
      Int(u"int8_t", 1), IntPtr(u"intptr_t"), Int(u"long", 4), Int(u"long int", 4), Int(u"long long", 8),
      Int(u"long long int", 8), IntPtr(u"ptrdiff_t"), Int(u"short", 2), Int(u"short int", 2),
      Int(u"signed", 4), Int(u"signed char", 1), Int(u"signed int", 4), Int(u"signed long", 4),
      Int(u"signed short", 2), UintPtr(u"size_t"), Uint(u"uint16_t", 2), Uint(u"uint32_t", 4),
      Uint(u"uint64_t", 8), Uint(u"uint8_t", 1), UintPtr(u"uintptr_t"), Uint(u"unsigned", 4),
      Uint(u"unsigned __int64", 8), Uint(u"unsigned char", 1), Uint(u"unsigned int", 4),
      Uint(u"unsigned long", 4), Uint(u"unsigned long int", 4), Uint(u"unsigned long long", 8),
      Uint(u"unsigned short", 2), Uint(u"unsigned short int", 2),
      Entry{u"void", TypeKind::kVoid, 0, Shape::kFixed, PointeeText::kNone}, Uint(u"wchar_t", 2),
      Entry{u"VOID", TypeKind::kVoid, 0, Shape::kFixed, PointeeText::kNone}, Ptr(u"WNDPROC"), Ptr(u"DLGPROC"),
      Ptr(u"HOOKPROC"), Ptr(u"TIMERPROC"), Ptr(u"va_list"),
  };
  std::sort(table.begin(), table.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
  return table;
}();

// Alignment of a fixed-size entry: its size for scalars, 4 for the records of 32-bit fields, except
// the 8-byte integers' unions.
std::uint32_t AlignOf(const Entry& entry) {
  if (entry.kind != TypeKind::kRecord) return entry.size;
  if (entry.name == u"LARGE_INTEGER" || entry.name == u"ULARGE_INTEGER") return 8;
  return entry.name == u"POINTS" ? 2 : 4;
}

}  // namespace

std::optional<TypeFacts> BuiltInType(TextView name) {
  const auto found = std::lower_bound(kEntries.begin(), kEntries.end(), name,
                                      [](const Entry& entry, TextView key) { return entry.name < key; });
  if (found == kEntries.end() || found->name != name) return std::nullopt;
  TypeFacts facts;
  facts.kind = found->kind;
  facts.text = found->text;
  if (found->kind == TypeKind::kVoid) return facts;
  if (found->shape == Shape::kPointerSized) {
    facts.x86 = {4, 4};
    facts.x64 = {8, 8};
  } else {
    facts.x86 = facts.x64 = TypeLayout{found->size, AlignOf(*found)};
  }
  return facts;
}

}  // namespace korvane
