#pragma once
// A documentation server's answers in the old format, for a LocalHttpServer in the tests and the
// benchmarks of the batch lookup: every function is found, and its page gives one BOOL parameter list.

#include <string>

#include "platform/local_http_server.h"

namespace korvane::testing {

// The name between "%22" and the next "%" of a search target: the query's function name.
inline std::string QueryName(const std::string& target) {
  const std::size_t start = target.find("%22");
  if (start == std::string::npos) return {};
  return target.substr(start + 3, target.find('%', start + 3) - start - 3);
}

// A search page naming the function that was asked for, or a reference page giving it
// "_In_ HWND hWnd" and BOOL; 404 for any other target.
inline HttpReply DocumentationPage(const std::string& target) {
  if (target.starts_with("/search/")) {
    const std::string name = QueryName(target);
    return {200, "<html><div class=\"resultTitleLink\" href=\"http://x/a/" + name + ".aspx\"><b>" + name +
                     " function</b> <B>" + name + " function</B></div></html>", {}, false};
  }
  const std::string prefix = "/en-us/library/";
  if (!target.starts_with(prefix) || !target.ends_with(".aspx")) return {404, "none", {}, false};
  const std::string name = target.substr(prefix.size(), target.size() - prefix.size() - 5);
  return {200, "<html><DIV class=\"toclevel1\">Functions</DIV><div class=\"codeSnippetContainerCode\">BOOL WINAPI " +
                   name + "(\r\n  _In_ HWND hWnd\r\n);</div></html>", {}, false};
}

}  // namespace korvane::testing
