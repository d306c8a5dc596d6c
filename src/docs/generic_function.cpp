#include "docs/generic_function.h"

#include <array>
#include <utility>
#include <vector>

namespace korvane {
namespace {

// Wide character types and their generic names.
constexpr std::array<std::pair<TextView, TextView>, 13> kWideToGeneric = {{
    {u"LPCWSTR", u"LPCTSTR"}, {u"LPWSTR", u"LPTSTR"}, {u"PCWSTR", u"PCTSTR"}, {u"PWSTR", u"PTSTR"},
    {u"WCHAR", u"TCHAR"},     {u"PWCHAR", u"PTCHAR"}, {u"LPWCH", u"LPTCH"},   {u"LPCWCH", u"LPCTCH"},
    {u"PWCH", u"PTCH"},       {u"PCWCH", u"PCTCH"},   {u"wchar_t", u"TCHAR"}, {u"PZPWSTR", u"PZPTSTR"},
    {u"PCZPWSTR", u"PCZPTSTR"},
}};

bool IsWordCharacter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
}

// The text cut into words and the runs between them; words at the odd places when the text starts with
// a word character, else at the even ones: callers compare both texts piece by piece.
std::vector<Text> Pieces(TextView text) {
  std::vector<Text> pieces;
  for (std::size_t i = 0; i < text.size();) {
    const bool word = IsWordCharacter(text[i]);
    std::size_t end = i;
    while (end < text.size() && IsWordCharacter(text[end]) == word) ++end;
    pieces.emplace_back(text.substr(i, end - i));
    i = end;
  }
  return pieces;
}

Text RenameWideTypes(TextView wide) {
  Text out;
  for (const Text& piece : Pieces(wide)) out += GenericWord(piece, piece);
  return out;
}

// A parameter's annotation word ('_In_opt_') and the rest of its spelling; no annotation when the first
// word is not one.
std::pair<TextView, TextView> SplitAnnotation(TextView parameter) {
  const std::size_t blank = parameter.find(u' ');
  if (blank == TextView::npos || blank < 2 || parameter.front() != u'_' || parameter[blank - 1] != u'_') {
    return {TextView(), parameter};
  }
  return {parameter.substr(0, blank), parameter.substr(blank + 1)};
}

}  // namespace

Text GenericWord(TextView ansiWord, TextView wideWord) {
  for (const auto& [wideType, generic] : kWideToGeneric) {
    if (wideWord == wideType) return Text(generic);
  }
  if (ansiWord == wideWord) return Text(wideWord);
  if (ansiWord.size() == wideWord.size() && ansiWord.size() > 1 && ansiWord.back() == u'A' &&
      wideWord.back() == u'W' && ansiWord.substr(0, ansiWord.size() - 1) == wideWord.substr(0, wideWord.size() - 1)) {
    return Text(wideWord.substr(0, wideWord.size() - 1));
  }
  return Text(wideWord);
}

Text GenericSpelling(TextView ansi, TextView wide) {
  const std::vector<Text> a = Pieces(ansi);
  const std::vector<Text> w = Pieces(wide);
  if (a.size() != w.size()) return RenameWideTypes(wide);
  Text out;
  for (std::size_t i = 0; i < w.size(); ++i) out += GenericWord(a[i], w[i]);
  return out;
}

std::vector<const DocFunction*> PairFormsApart(const DocumentationSet& set, TextView stem) {
  if (stem.empty() || FindFunction(set, stem)) return {};
  const auto ansi = FindFunction(set, Text(stem) + u"A");
  const auto wide = FindFunction(set, Text(stem) + u"W");
  if (!ansi || !wide || FunctionAt(set, *ansi).parameters.size() == FunctionAt(set, *wide).parameters.size()) return {};
  return {&FunctionAt(set, *ansi), &FunctionAt(set, *wide)};
}

bool IsPairMember(const DocumentationSet& set, TextView name) {
  if (name.size() < 2 || (name.back() != u'A' && name.back() != u'W')) return false;
  const Text stem(name.substr(0, name.size() - 1));
  return !FindFunction(set, stem) && FindFunction(set, stem + u"A") && FindFunction(set, stem + u"W");
}

std::optional<DocFunction> GenericFunction(const DocumentationSet& set, TextView stem, DocFunctionRef* groupForm) {
  if (stem.empty() || FindFunction(set, stem)) return std::nullopt;
  const auto wideRef = FindFunction(set, Text(stem) + u"W");
  const auto ansiRef = FindFunction(set, Text(stem) + u"A");
  if (!wideRef || !ansiRef) return std::nullopt;
  const DocFunction& wide = FunctionAt(set, *wideRef);
  const DocFunction& ansi = FunctionAt(set, *ansiRef);
  // The form the reference documents (it has a description) gives the group, the description and the
  // annotation words; the wide form when both or neither are documented.
  const bool ansiDocumented = wide.description.empty() && !ansi.description.empty();
  if (groupForm != nullptr) *groupForm = ansiDocumented ? *ansiRef : *wideRef;
  DocFunction generic = ansiDocumented ? ansi : wide;
  generic.name = Text(stem);
  generic.returnType = GenericSpelling(ansi.returnType, wide.returnType);
  generic.parameters.clear();
  const bool sameCount = ansi.parameters.size() == wide.parameters.size();
  for (std::size_t i = 0; i < wide.parameters.size(); ++i) {
    const auto [wideAnnotation, wideRest] = SplitAnnotation(wide.parameters[i]);
    if (!sameCount) {
      generic.parameters.push_back(RenameWideTypes(wide.parameters[i]));
      continue;
    }
    const auto [ansiAnnotation, ansiRest] = SplitAnnotation(ansi.parameters[i]);
    const TextView annotation = ansiDocumented ? ansiAnnotation : wideAnnotation;
    const Text spelling = GenericSpelling(ansiRest, wideRest);
    generic.parameters.push_back(annotation.empty() ? spelling : Text(annotation) + u" " + spelling);
  }
  return generic;
}

}  // namespace korvane
