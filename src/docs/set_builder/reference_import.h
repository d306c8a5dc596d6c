#pragma once
// Function pages of a local copy of the public Win32 API reference in Markdown: one "nf-<header>-<name>.md"
// per function, YAML front matter, "## -description", "### -param NAME [direction]" headings, and one
// "_<tech.root>/index.md" per group whose front-matter title is the group's title.

#include <string>
#include <unordered_map>
#include <vector>

#include "text/text.h"

namespace korvane {

struct ReferenceParameter {
  Text name;        // 'hWnd'
  Text annotation;  // '_In_opt_'; empty when the page gives no direction
};

struct ReferenceFunction {
  Text name;         // from the page's UID ('NF:winuser.MessageBoxW'), else its title's first word
  Text description;  // the description section as plain text; paragraphs separated by a line feed
  std::vector<ReferenceParameter> parameters;
  Text group;    // title of the page's technology index; empty when the page or the index lacks it
  Text header;   // req.header: 'winuser.h'
  Text library;  // req.lib without ".lib" and without any further text: 'User32'
};

struct ReferenceImport {
  std::unordered_map<Text, ReferenceFunction> byName;
  std::vector<std::string> problems;
};

// Reads every function page below `folder` (the copy's root, or any folder inside its "content").
ReferenceImport ReadReference(const std::string& folder);

// One function page; `groupTitles` maps a lower-case tech.root to its group title.
ReferenceFunction ParseFunctionPage(std::string_view markdown,
                                    const std::unordered_map<std::string, Text>& groupTitles);

// The annotation word for a direction tag: "[in]" → "_In_", "[in, out, optional]" → "_Inout_opt_";
// empty for a tag it does not know.
Text AnnotationForDirection(std::string_view tag);

// Markdown with inline HTML as plain text: tags and link targets removed, entities decoded, each
// paragraph on one line, paragraphs separated by a line feed.
Text MarkdownToPlainText(std::string_view markdown);

}  // namespace korvane
