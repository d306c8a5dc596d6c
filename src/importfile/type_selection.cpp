// Which structures, callbacks and constants a library's import file carries: what its functions'
// signatures name, found through the set's type names ('LPWNDCLASSEXW' -> the record _WNDCLASSEXW).

#include <set>

#include "importfile/type_model.h"
#include "text/text_ops.h"

namespace korvane {
namespace {

// 'C:\x\libkernel32.a' -> 'kernel32'.
Text LibraryBaseName(TextView path) {
  const std::size_t slash = path.find_last_of(u"\\/");
  Text name = LowerCase(path.substr(slash == TextView::npos ? 0 : slash + 1));
  if (const std::size_t dot = name.find(u'.'); dot != Text::npos) name.resize(dot);
  if (name.starts_with(u"lib") && name.size() > 3) name.erase(0, 3);
  return name;
}

}  // namespace

TypeSelection SelectTypes(const LibraryEntry& library, const DocumentationSet& set, const CTypes& types,
                          bool tickedOnly) {
  std::set<Text> records;
  std::set<Text> callbacks;
  std::set<Text> headers;
  const std::set<Text> callbackNames = CallbackNames(types);
  for (const ApiFunction& record : library.functions) {
    if (tickedOnly && record.checked == 0) continue;
    // A generic entry stands for both forms of its pair.
    for (const Text& name : {record.Function, record.Function + u"W", record.Function + u"A"}) {
      const auto ref = FindFunction(set, name);
      if (!ref) continue;
      const DocFunction& function = FunctionAt(set, *ref);
      if (!function.header.empty()) headers.insert(function.header);
      for (const Text& parameter : function.parameters) {
        NoteNamedTypes(parameter, true, types, callbackNames, records, callbacks);
      }
      NoteNamedTypes(function.returnType, false, types, callbackNames, records, callbacks);
    }
  }
  const Text base = LibraryBaseName(library.path);
  if (base == u"kernel32" || base == u"advapi32") headers.insert(kWinntHeader);
  // The definitions-only headers a function header includes belong to it (winsock2.h: ws2def.h).
  for (const Text& header : std::set<Text>(headers)) {
    const auto owned = types.includes.find(header);
    if (owned != types.includes.end()) headers.insert(owned->second.begin(), owned->second.end());
  }
  // Every structure those headers define, for what a function takes through a plain pointer or a
  // message parameter (CREATESTRUCT, SOCKADDR_IN).
  for (const CRecord& record : types.x64.records) {
    if (headers.count(record.header) != 0 && IsProgramRecord(record.key)) records.insert(record.key);
  }
  return TypeSelection{{records.begin(), records.end()}, {callbacks.begin(), callbacks.end()},
                       {headers.begin(), headers.end()}};
}

}  // namespace korvane
