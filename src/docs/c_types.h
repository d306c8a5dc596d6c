#pragma once
// The C facts behind an import file's structures, constants and callback prototypes, as the compiler
// front end gives them for one architecture: every struct and union with its fields' offsets and sizes,
// every integer or string constant with its value, and every function-pointer typedef with its
// signature. The set keeps them as one text (see WriteCTypes) and the import file writer reads them only
// when it needs them, so that loading a set for the lookup stays as fast as it was.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "docs/documentation_set.h"
#include "text/text.h"

namespace korvane {

// What a field (an array's element) holds once its typedefs are gone.
enum class CValueKind : std::uint8_t { kOther, kSigned, kUnsigned, kFloat, kPointer, kRecord };

struct CField {
  Text name;                // empty for an anonymous member (its record is an inline one)
  Text type;                // C spelling of the declared type: 'DWORD', 'WCHAR [260]', 'LPVOID'
  CValueKind kind = CValueKind::kOther;
  std::uint32_t offsetBits = 0;  // from the start of the record
  std::uint32_t size = 0;        // bytes of the whole member (all elements of an array)
  std::uint32_t count = 0;       // elements of an array (of every dimension); 0 when not an array
  std::uint32_t bitWidth = 0;    // bits of a bit-field; 0 when not one
  Text record;                   // kRecord: the key of the element's record
  friend bool operator==(const CField&, const CField&) = default;
};

struct CRecord {
  Text key;     // the struct's tag ('_WNDCLASSEXW'), else its first typedef; '<parent key>.<n>' inline
  Text header;  // 'winuser.h'
  bool isUnion = false;
  std::uint32_t size = 0;
  std::uint32_t align = 0;
  std::vector<CField> fields;  // in declaration order
  friend bool operator==(const CRecord&, const CRecord&) = default;
};

struct CConstant {
  Text name;
  Text header;
  bool isString = false;
  bool isUnsigned = false;   // the C type of an integer is unsigned
  std::uint32_t size = 0;    // bytes of the integer's C type; 0 for a string
  std::int64_t value = 0;    // an unsigned value is kept as its bits
  Text text;                 // a string's characters
  friend bool operator==(const CConstant&, const CConstant&) = default;
};

// A function-pointer typedef: a callback's prototype.
struct CCallback {
  Text name;
  Text header;
  CallingConvention call = CallingConvention::kUnknown;  // x86 only; x64 has one convention
  TypeFacts returned{};
  std::vector<TypeFacts> parameters;  // sizes on this architecture
  std::vector<Text> parameterNames;   // empty where the typedef names none
  friend bool operator==(const CCallback&, const CCallback&) = default;
};

struct CArchitectureTypes {
  std::vector<CRecord> records;
  std::vector<CConstant> constants;
  std::vector<CCallback> callbacks;
};

// A typedef or tag name that stands for a record or a callback, through `pointers` levels of pointer:
// 'WNDCLASSEXW' -> ('_WNDCLASSEXW', 0), 'LPWNDCLASSEXW' -> ('_WNDCLASSEXW', 1), the generic
// 'WNDCLASSEX' -> ('_WNDCLASSEXW', 0) since the headers are read as a Unicode program reads them.
struct CTypeName {
  Text target;  // a record key or a callback name
  std::uint8_t pointers = 0;
  bool tag = false;  // a struct or union tag, which C spells 'struct sockaddr', not a typedef name
  friend bool operator==(const CTypeName&, const CTypeName&) = default;
};

struct CTypes {
  CArchitectureTypes x86;
  CArchitectureTypes x64;
  std::map<Text, CTypeName> names;
  // The headers each header includes. In a set: for each header that declares functions, the headers
  // of definitions only (no functions) that it includes, directly or through others of their kind
  // (winsock2.h -> ws2def.h, _socket_types.h): their structures and constants belong to it.
  std::map<Text, std::set<Text>> includes;
};

// The records and callbacks a C declaration's spelling names ('const WNDCLASSEXW *lpwcx' -> the record
// _WNDCLASSEXW), found through `types.names`; a pointer to a callback pointer counts as neither. When
// `named`, the spelling's last word is the parameter's name ('SIZE_T Size'), not a type, unless it is
// the only word. `callbackNames` is CallbackNames(types).
void NoteNamedTypes(TextView spelling, bool named, const CTypes& types, const std::set<Text>& callbackNames,
                    std::set<Text>& records, std::set<Text>& callbacks);

// Whether a record key is a record a program fills in: not one defined inside another ('_X.1'), not
// a handle's (DECLARE_HANDLE's 'HWND__'), not a COM interface's method table ('IUnknownVtbl').
bool IsProgramRecord(TextView key);

// The names of the callbacks either architecture records.
std::set<Text> CallbackNames(const CTypes& types);

// Adds to `records` every record that the records in it contain, on either architecture.
void AddContainedRecords(const CTypes& types, std::set<Text>& records);

// Keeps what an import file can ask for: the records and callbacks the parameters in `spellings` and
// the `returnTypes` name, the records and constants of `headers` (those that declare functions) and of
// the definitions-only headers they include, the records all these contain, and the names that lead
// to them. `includes` becomes the definitions-only headers of each of `headers`.
void KeepNeededTypes(CTypes& types, const std::vector<Text>& spellings, const std::vector<Text>& returnTypes,
                     const std::set<Text>& headers);

// The text the set stores: one line per fact, fields separated by tabs; a record or constant that is the
// same on both architectures is written once. See docs/documentation-set.md.
std::string WriteCTypes(const CTypes& types);

// The set's types, read from its cTypes when first asked for and kept with the set; null when it has
// none or they cannot be read.
const CTypes* CTypesOf(const DocumentationSet& set);

// Reads WriteCTypes's text. Lines it does not understand are skipped, so a later minor addition stays
// readable; nothing when the text names a later format.
std::optional<CTypes> ReadCTypes(std::string_view text);

inline constexpr int kCTypesFormatVersion = 1;

// The header of the access-right, memory, file, registry and token flags that kernel32's and
// advapi32's functions take, though they are declared elsewhere.
inline constexpr char16_t kWinntHeader[] = u"winnt.h";

}  // namespace korvane
