#include "importfile/text_parameters.h"

#include <algorithm>
#include <string_view>

#include "importfile/ide_names.h"

namespace korvane {
namespace {

bool Contains(const Text& text, std::u16string_view part) { return text.find(part) != Text::npos; }

bool OneOf(const Text& key, std::initializer_list<std::u16string_view> names) {
  return std::find(names.begin(), names.end(), key) != names.end();
}

// Functions whose every char pointer is bytes or a position, never text to convert.
bool TakesBytes(const Text& function) {
  return OneOf(function, {u"send", u"recv", u"sendto", u"recvfrom", u"setsockopt", u"getsockopt", u"ioctlsocket",
                          u"multibytetowidechar", u"widechartomultibyte", u"charpreva", u"charnexta",
                          u"charprevexa", u"charnextexa", u"_lwrite", u"_hwrite", u"_lread", u"_hread"});
}

// Names of parameters that take a resource name or type, which MAKEINTRESOURCE makes an integer.
bool NamesResource(const Text& function, const Text& parameter) {
  if (OneOf(parameter, {u"lpcursorname", u"lpiconname", u"lpbitmapname", u"lpmenuname", u"lptemplatename",
                        u"lptemplate", u"lptablename", u"lpresname", u"lpszresourcename"})) {
    return true;
  }
  const bool resource = Contains(function, u"resource") || function.starts_with(u"loadimage") ||
                        function.starts_with(u"loadstring") || function.starts_with(u"playsound") ||
                        function.starts_with(u"sndplaysound");
  return resource && OneOf(parameter, {u"lpname", u"lptype", u"lpsztype", u"lpszname", u"name", u"type",
                                       u"pszsound", u"lpszsound", u"lpstring"});
}

// Atoms stand in for class names and property names; OIDs in CryptoAPI may be integers.
bool TakesAtom(const Text& function, const Text& parameter) {
  if (OneOf(parameter, {u"lpclassname", u"lpszclass", u"lpszclassname", u"lpszstructtype"})) return true;
  const bool property = function.starts_with(u"setprop") || function.starts_with(u"getprop") ||
                        function.starts_with(u"removeprop");
  return property && parameter == u"lpstring";
}

bool IsList(const Text& parameter) {
  return Contains(parameter, u"dependencies") || parameter.starts_with(u"lpszz") || parameter.starts_with(u"pszz") ||
         parameter.starts_with(u"pzz") || parameter.starts_with(u"lpzz") || parameter.starts_with(u"mszz") ||
         parameter.starts_with(u"msz");
}

bool IsBuffer(const Text& parameter) {
  return Contains(parameter, u"buf") || OneOf(parameter, {u"optval", u"data", u"lpdata", u"pbdata"});
}

}  // namespace

bool ConvertsAnsiText(TextView function, TextView parameter) {
  const Text f = IdeNameKey(function);
  const Text p = IdeNameKey(parameter);
  return !(TakesBytes(f) || NamesResource(f, p) || TakesAtom(f, p) || IsList(p) || IsBuffer(p));
}

}  // namespace korvane
