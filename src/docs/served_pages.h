#pragma once
// The documentation set's pages as an HTTP server hands them out (`korvane-cli docs serve`): the same
// pages the lookup reads in process, as Windows-1252 bytes, which is how the program's HTTP page source
// and the browser control decode a page without a declared character set.

#include <string>

#include "docs/documentation_set.h"
#include "text/text.h"

namespace korvane {

// Windows-1252 bytes of `text`; a character that Windows-1252 cannot encode is written as a decimal
// numeric character reference ('&#8805;'), which a browser shows as the character itself.
std::string EncodeWindows1252(TextView text);

struct ServedPage {
  int status = 200;   // 404 for a request that is no page of the set
  std::string body;   // Windows-1252
};

// The page for the request target ("/search/en-us?query=..." or "/en-us/library/NAME.aspx"); the page's
// links start with `base` ("http://127.0.0.1:8080").
ServedPage ServePage(const DocumentationSet& set, TextView base, const std::string& target);

}  // namespace korvane
