#include <string>

#include "catalogue/api_function.h"

namespace korvane {

Text ArchitectureText(const LibraryEntry& entry) { return entry.x86 != 0 ? u"x86" : u"x64"; }

RowTexts RowText(const ApiFunction& record) {
  Text parameters;
  if (!record.Parameters.empty()) {
    parameters = u"( " + record.Parameters + u" )";
  } else if (!record.Return.empty()) {
    parameters = u"( void )";
  }
  // The Website column shows only the page name: the part after the last "/" or "\".
  const std::size_t slash = record.Website.find_last_of(u"/\\");
  Text page = slash == Text::npos ? record.Website : record.Website.substr(slash + 1);
  return {record.Function, parameters, record.Return, record.Description, record.Group, page};
}

Text FunctionCountText(std::size_t count) {
  return u" " + DecimalText(static_cast<long long>(count)) + u" Functions";
}

}  // namespace korvane
