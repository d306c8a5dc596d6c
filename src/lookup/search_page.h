#pragma once
// The documentation search: query addresses, the reading of a search result page and the address of
// a function's reference page.

#include "catalogue/api_function.h"
#include "text/text.h"

namespace korvane {

// The documentation search endpoint and the documentation library base; both can be replaced (a local
// server in tests, a mirror).
inline constexpr TextView kDefaultSearchBase = u"https://social.msdn.microsoft.com";
inline constexpr TextView kDefaultLibraryBase = u"https://msdn.microsoft.com";

struct LookupEndpoints {
  Text searchBase{kDefaultSearchBase};
  Text libraryBase{kDefaultLibraryBase};
};

enum class SearchQuery {
  First,            // AnsiUni when set, else Function
  WithoutSuffix,    // Function without its last character
  Macro,            // Function, as a macro
  FunctionRetry,    // Function, as a function without "(Windows)"
};

// The search address of one query for `record`. The name goes in unchanged (no percent-encoding).
Text SearchAddress(const Text& searchBase, const ApiFunction& record, SearchQuery query);

// What a search result page says about its first result.
struct SearchPageReading {
  Text resultAddress;  // the first result's address
  Text linkWord;       // first word of the result's link text
  Text titleWord;      // first bold word, lower case
};
SearchPageReading ReadSearchPage(TextView page);

// The first result names the function: its first bold word is Function, AnsiUni, Function + "A" or
// Function + "W" (compared in lower case). After the retry without suffix any result is taken.
bool PassesNameTest(const SearchPageReading& reading, const ApiFunction& record, bool triedWithoutSuffix);

// The first bold word opens the result's title.
bool PassesLinkTest(const SearchPageReading& reading);

// The reference page's address: the library base, "/en-us/library/" and the result address's last
// segment (after its last "/" or "\").
Text ReferenceAddress(const Text& libraryBase, TextView resultAddress);

}  // namespace korvane
