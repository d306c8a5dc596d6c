#pragma once
// Builds a documentation set from header prototypes and, when given, reference pages.

#include <vector>

#include "docs/set_builder/header_scan.h"
#include "docs/set_builder/reference_import.h"
#include "docs/documentation_set.h"

namespace korvane {

// One function per prototype (the first of a name wins). A prototype with a reference page of the same
// name takes the page's description, group and library, and its parameters the page's annotation words
// (matched by parameter name, else by position when both lists are equally long); without a page the
// header's data stays and the group is the header's name. Groups are ordered by title, functions in a
// group by name. Reference pages without a prototype are left out: they carry no types. Each function
// keeps its prototype's typed signature; `typedefs` becomes the set's typedef table.
DocumentationSet BuildDocumentationSet(const std::vector<HeaderPrototype>& prototypes,
                                       const ReferenceImport& reference,
                                       const std::map<Text, TypeFacts>& typedefs = {});

// The set's types text (c_types.h) for `scan`: only what an import file can ask for, the records and
// callbacks the prototypes name with the records these contain, and the constants of the headers that
// declare prototypes and of winnt.h. Empty when the scan recorded no types.
std::string SetTypesText(const HeaderScan& scan);

// The parameter's name: the last identifier of its spelling outside any parentheses of a function
// pointer's parameter list ('lpText' in 'LPCWSTR lpText', 'cb' in 'int (*cb)(int)'); empty when unnamed
// is indistinguishable from the type, so callers match unknown names by position.
Text ParameterName(TextView spelling);

}  // namespace korvane
