#pragma once
// The generic form of an ANSI/wide pair ('MessageBox' for 'MessageBoxA' and 'MessageBoxW'). A catalogue
// asks for the pair by its generic name and gives the answer to all three of its records, so the answer
// must be right for both widths: the wide form's declaration with its character-width types written in
// their generic (TCHAR) spelling, as the pair's generic macro declares it.

#include <optional>
#include <vector>

#include "docs/documentation_set.h"
#include "text/text.h"

namespace korvane {

// The generic function `stem` when the set has both `stem`A and `stem`W but not `stem` itself: named
// `stem`, with the description, header, library and annotation words of the documented form (the wide
// one when both or neither have a description). `groupForm` receives that form: its group is the
// generic function's group.
std::optional<DocFunction> GenericFunction(const DocumentationSet& set, TextView stem,
                                           DocFunctionRef* groupForm = nullptr);

// The ANSI and the wide form of the pair `stem` when they take different parameters (GetStringTypeA takes
// a locale that GetStringTypeW does not): no generic declaration is right for both, so its page shows
// each form's own prototype. Empty for any other name.
std::vector<const DocFunction*> PairFormsApart(const DocumentationSet& set, TextView stem);

// Whether `name` is the ANSI or wide form of a pair that has a generic form (GenericFunction of its stem).
bool IsPairMember(const DocumentationSet& set, TextView name);

// One declaration word pair made generic: the words of the ANSI and of the wide spelling at the same
// place. Equal words stay; 'xA'/'xW' become 'x'; the wide character types become their TCHAR names
// ('LPCWSTR' → 'LPCTSTR'); any other difference keeps the wide word.
Text GenericWord(TextView ansiWord, TextView wideWord);

// A declaration text (a parameter or a return type) made generic word by word; when the two texts do
// not have the same words in the same places, the wide text with its wide character types renamed.
Text GenericSpelling(TextView ansi, TextView wide);

}  // namespace korvane
