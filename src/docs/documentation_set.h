#pragma once
// The offline documentation set: every function the documentation knows, grouped as its table of
// contents groups them. It is built once by `korvane-cli docs build` from C headers and a local copy of
// the API reference, kept in one file ("Korvane.docs", see docs_file.h) and answers the lookup's page
// requests in process (pages.h), so the lookup works without a network.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "text/text.h"

namespace korvane {

// What a C type is once its typedefs are gone, as far as a caller's declaration needs it.
enum class TypeKind : std::uint8_t {
  kUnknown,   // not recorded (a set written before types were recorded, or a type libclang could not size)
  kVoid,
  kSigned,    // signed integer (also plain char, which is signed on Windows)
  kUnsigned,  // unsigned integer (also wchar_t and _Bool)
  kFloat,     // float, double, long double
  kPointer,   // any pointer, array parameter or function pointer
  kEnum,
  kRecord,    // struct or union passed by value
  kVariadic,  // the "..." of a variadic function
};

// A pointer's pointee when it is a string passed in: const char or const wchar_t.
enum class PointeeText : std::uint8_t { kNone, kChar, kWideChar };

// Size and alignment in bytes on one target; 0 when unknown.
struct TypeLayout {
  std::uint32_t size = 0;
  std::uint32_t align = 0;
  friend bool operator==(const TypeLayout&, const TypeLayout&) = default;
};

struct TypeFacts {
  TypeKind kind = TypeKind::kUnknown;
  TypeLayout x86;  // i686-w64-mingw32
  TypeLayout x64;  // x86_64-w64-mingw32
  PointeeText text = PointeeText::kNone;
  friend bool operator==(const TypeFacts&, const TypeFacts&) = default;
};

// The calling convention on x86; x64 has one convention only. The IDE calls stdcall and cdecl only.
enum class CallingConvention : std::uint8_t { kUnknown, kStdcall, kCdecl, kFastcall, kVectorcall };

// One documented function.
struct DocFunction {
  Text name;                     // exact C name: 'MessageBoxW'
  Text returnType;               // as the declaration spells it: 'int', 'HANDLE', 'void *'
  std::vector<Text> parameters;  // one entry per parameter, annotation words first when known:
                                 // '_In_opt_ HWND hWnd'; empty for a function without parameters
  std::string description;       // UTF-8 plain text; paragraphs separated by a line feed. Kept as the
                                 // file holds it: only the pages rendered need it as Text.
  Text header;                   // 'winuser.h'
  Text library;                  // import library without extension ('User32'); empty when unknown
  // The typed signature, from the headers: empty `parameterTypes` and kUnknown kinds when the set does
  // not record it. When recorded, `parameterTypes` has one entry per entry of `parameters`.
  CallingConvention call = CallingConvention::kUnknown;
  TypeFacts returnFacts{};
  std::vector<TypeFacts> parameterTypes{};
};

// One group of the table of contents: its title and its functions. A function's group members are the
// other functions of its group.
struct DocGroup {
  Text title;
  std::vector<DocFunction> functions;
};

// Where a function lies: its group and its position in the group.
struct DocFunctionRef {
  std::uint32_t group = 0;
  std::uint32_t function = 0;
};

struct DocumentationSet;
struct CTypes;

// Rebuilds `byName` from the groups. Call after changing the groups: the index views their names.
void IndexDocumentationSet(DocumentationSet& set);

struct DocumentationSet {
  std::vector<DocGroup> groups;
  // Every typedef name the signatures use ('DWORD', 'LPCWSTR'), with what it stands for, so that a
  // parameter list typed by hand can be resolved. Empty in sets that do not record types.
  std::map<Text, TypeFacts> typedefs;
  // The headers' structures, constants and callback types for both architectures, as the file holds
  // them (c_types.h reads them): only an import file needs them, so loading a set does not parse them.
  // Empty in sets built before they were recorded.
  std::string cTypes;
  // cTypes read, once, by the first import file that needs them (c_types.h, CTypesOf); not copied.
  // Filled on the thread that writes import files.
  mutable std::shared_ptr<const CTypes> parsedCTypes;
  // Exact name to function; filled by IndexDocumentationSet. When a name occurs twice the first wins.
  // The keys view the functions' names, which stay in place when the set is moved; a copy indexes its
  // own names.
  std::unordered_map<TextView, DocFunctionRef> byName;

  DocumentationSet() = default;
  DocumentationSet(const DocumentationSet& other)
      : groups(other.groups), typedefs(other.typedefs), cTypes(other.cTypes) {
    IndexDocumentationSet(*this);
  }
  DocumentationSet& operator=(const DocumentationSet& other) {
    if (this != &other) {
      groups = other.groups;
      typedefs = other.typedefs;
      cTypes = other.cTypes;
      IndexDocumentationSet(*this);
    }
    return *this;
  }
  DocumentationSet(DocumentationSet&&) noexcept = default;
  DocumentationSet& operator=(DocumentationSet&&) noexcept = default;
  ~DocumentationSet() = default;
};

// The function of that exact name, or nothing.
std::optional<DocFunctionRef> FindFunction(const DocumentationSet& set, TextView name);

// The function a query names: the name itself when the set has it; otherwise, for a generic name
// ('MessageBox'), its wide form, else its ANSI form; nothing when none exists.
std::optional<DocFunctionRef> ResolveFunction(const DocumentationSet& set, TextView name);

// The function and the group a reference from FindFunction or ResolveFunction points at.
inline const DocGroup& GroupAt(const DocumentationSet& set, DocFunctionRef ref) { return set.groups[ref.group]; }
inline const DocFunction& FunctionAt(const DocumentationSet& set, DocFunctionRef ref) {
  return set.groups[ref.group].functions[ref.function];
}

// Total number of functions in all groups.
std::size_t FunctionCount(const DocumentationSet& set);

}  // namespace korvane
