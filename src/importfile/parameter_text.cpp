#include "importfile/parameter_text.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "importfile/builtin_types.h"
#include "text/text_ops.h"

namespace korvane {
namespace {

bool IsIdentifierStart(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_'; }
bool IsIdentifierPart(char16_t c) { return IsIdentifierStart(c) || (c >= u'0' && c <= u'9'); }

// Identifiers and single punctuation characters; blanks separate, anything else is kept as itself.
std::vector<Text> Tokens(TextView text) {
  std::vector<Text> tokens;
  for (std::size_t i = 0; i < text.size();) {
    if (IsIdentifierStart(text[i])) {
      std::size_t end = i;
      while (end < text.size() && IsIdentifierPart(text[end])) ++end;
      tokens.emplace_back(text.substr(i, end - i));
      i = end;
    } else if (text.substr(i, 3) == u"...") {
      tokens.emplace_back(u"...");
      i += 3;
    } else if (text[i] == u' ' || text[i] == u'\t') {
      ++i;
    } else {
      tokens.emplace_back(1, text[i]);
      ++i;
    }
  }
  return tokens;
}

bool StartsWith(TextView text, TextView prefix) { return text.substr(0, prefix.size()) == prefix; }

// SAL annotations ('_In_', '_Out_writes_bytes_opt_', '__in_opt', '__out_ecount'), the old annotation
// macros and the words that only decorate a type.
bool IsAnnotation(const Text& word) {
  if (word.size() >= 3 && word[0] == u'_' && word[1] >= u'A' && word[1] <= u'Z' && word.back() == u'_') return true;
  if (StartsWith(word, u"__") && word.size() > 2 && word[2] >= u'a' && word[2] <= u'z') {
    // __int64 and its kin are types, not annotations.
    const bool integer = StartsWith(word, u"__int") && word.size() > 5 && word[5] >= u'0' && word[5] <= u'9';
    return !integer;
  }
  static constexpr std::array<std::u16string_view, 12> kWords = {
      u"IN", u"OUT", u"OPTIONAL", u"FAR", u"NEAR", u"far", u"near", u"UNALIGNED", u"register",
      u"WINAPI", u"CALLBACK", u"APIENTRY"};
  return std::find(kWords.begin(), kWords.end(), word) != kWords.end() || StartsWith(word, u"__RPC");
}

bool IsQualifier(const Text& word) {
  return word == u"const" || word == u"CONST" || word == u"volatile" || word == u"struct" || word == u"union" ||
         word == u"enum";
}

bool IsCTypeWord(const Text& word) {
  static constexpr std::array<std::u16string_view, 13> kWords = {
      u"int", u"long", u"short", u"char", u"unsigned", u"signed", u"double", u"float", u"void",
      u"__int8", u"__int16", u"__int32", u"__int64"};
  return std::find(kWords.begin(), kWords.end(), word) != kWords.end();
}

// The tokens without annotations: annotation words with their parenthesised arguments, and bracketed
// attribute lists ('[in, optional]') before the type.
std::vector<Text> WithoutAnnotations(const std::vector<Text>& tokens) {
  std::vector<Text> kept;
  bool typeSeen = false;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const Text& token = tokens[i];
    const bool bracketList = token == u"[" && !typeSeen;
    const bool annotation = IsIdentifierStart(token[0]) && IsAnnotation(token);
    if (bracketList || annotation) {
      // Skips the balanced group that opens at `from`: the list itself, or the annotation's arguments.
      const std::size_t from = bracketList ? i : i + 1;
      if (from < tokens.size() && tokens[from] == (bracketList ? u"[" : u"(")) {
        const Text open = tokens[from];
        const Text close = bracketList ? Text(u"]") : Text(u")");
        std::size_t j = from + 1;
        for (int depth = 1; j < tokens.size() && depth > 0; ++j) {
          if (tokens[j] == open) ++depth;
          if (tokens[j] == close) --depth;
        }
        i = j - 1;
      }
      continue;
    }
    if (IsIdentifierStart(token[0]) && !IsQualifier(token)) typeSeen = true;
    kept.push_back(token);
  }
  return kept;
}

struct ParsedParameter {
  Text name;
  std::vector<Text> typeTokens;  // every token but the name
};

// Where the name is: inside a function pointer's first parentheses, else the last word when another
// type word or a '*' comes before it and it is no C type word.
ParsedParameter Parse(TextView text, bool named) {
  ParsedParameter parsed;
  std::vector<Text> tokens = WithoutAnnotations(Tokens(text));
  std::size_t nameAt = tokens.size();
  const auto open = std::find(tokens.begin(), tokens.end(), u"(");
  if (named && open != tokens.end()) {
    for (auto it = open + 1; it != tokens.end() && *it != u")"; ++it) {
      if (IsIdentifierStart((*it)[0]) && !IsAnnotation(*it)) nameAt = static_cast<std::size_t>(it - tokens.begin());
    }
  } else if (named) {
    std::size_t end = tokens.size();
    const auto bracket = std::find(tokens.begin(), tokens.end(), u"[");
    end = static_cast<std::size_t>(bracket - tokens.begin());
    if (end > 0 && IsIdentifierStart(tokens[end - 1][0]) && !IsCTypeWord(tokens[end - 1]) &&
        !IsQualifier(tokens[end - 1])) {
      int before = 0;
      for (std::size_t i = 0; i + 1 < end; ++i) {
        if (tokens[i] == u"*" || tokens[i] == u"&" || (IsIdentifierStart(tokens[i][0]) && !IsQualifier(tokens[i]))) ++before;
      }
      if (before > 0) nameAt = end - 1;
    }
  }
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (i == nameAt) {
      parsed.name = tokens[i];
    } else {
      parsed.typeTokens.push_back(tokens[i]);
    }
  }
  return parsed;
}

// 'const char *', 'int (*)(int)', 'char [4]'.
Text JoinTokens(const std::vector<Text>& tokens) {
  Text out;
  for (const Text& token : tokens) {
    const bool glued = out.empty() || out.back() == u'(' || out.back() == u'[' || token == u")" || token == u"]" ||
                       token == u"," || (token == u"*" && out.back() == u'*');
    if (!glued) out += u' ';
    out += token;
  }
  return out;
}

Text Flavoured(const Text& word, TextFlavour flavour) {
  struct Pair {
    std::u16string_view generic, ansi, wide;
  };
  static constexpr std::array<Pair, 10> kPairs = {{
      {u"TCHAR", u"CHAR", u"WCHAR"},
      {u"TBYTE", u"UCHAR", u"WCHAR"},
      {u"LPTSTR", u"LPSTR", u"LPWSTR"},
      {u"LPCTSTR", u"LPCSTR", u"LPCWSTR"},
      {u"PTSTR", u"PSTR", u"PWSTR"},
      {u"PCTSTR", u"PCSTR", u"PCWSTR"},
      {u"LPTCH", u"LPSTR", u"LPWSTR"},
      {u"PTCH", u"PSTR", u"PWSTR"},
      {u"PTCHAR", u"PSTR", u"PWSTR"},
      {u"LPCTCH", u"LPCSTR", u"LPCWSTR"},
  }};
  for (const Pair& pair : kPairs) {
    if (word == pair.generic) return Text(flavour == TextFlavour::kWide ? pair.wide : pair.ansi);
  }
  return word;
}

TypeFacts PointerFacts(PointeeText text) { return TypeFacts{TypeKind::kPointer, {4, 4}, {8, 8}, text}; }

std::optional<TypeFacts> LookUp(const Text& name, const std::map<Text, TypeFacts>* typedefs) {
  if (typedefs != nullptr) {
    const auto found = typedefs->find(name);
    if (found != typedefs->end()) return found->second;
  }
  return BuiltInType(name);
}

}  // namespace

std::vector<TextParameter> SplitParameterText(TextView text) {
  std::vector<TextParameter> parameters;
  const Text whole = Trim(text);
  if (whole.empty() || whole == u"void" || whole == u"VOID") return parameters;
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= whole.size(); ++i) {
    const char16_t c = i < whole.size() ? whole[i] : u',';
    if (c == u'(' || c == u'[') ++depth;
    if ((c == u')' || c == u']') && depth > 0) --depth;
    if (c != u',' || (depth > 0 && i < whole.size())) continue;
    const ParsedParameter parsed = Parse(TextView(whole).substr(start, i - start), true);
    parameters.push_back(TextParameter{parsed.name, JoinTokens(parsed.typeTokens)});
    start = i + 1;
  }
  return parameters;
}

std::optional<TypeFacts> ResolveTypeText(TextView type, const std::map<Text, TypeFacts>* typedefs,
                                         TextFlavour flavour) {
  const ParsedParameter parsed = Parse(type, false);
  const std::vector<Text>& tokens = parsed.typeTokens;
  if (tokens.size() == 1 && tokens[0] == u"...") return TypeFacts{TypeKind::kVariadic, {}, {}, PointeeText::kNone};
  if (std::find(tokens.begin(), tokens.end(), u"(") != tokens.end()) return PointerFacts(PointeeText::kNone);
  int pointers = 0;
  bool constPointee = false;
  std::vector<Text> words;
  for (const Text& token : tokens) {
    if (token == u"*" || token == u"[" || token == u"&") {
      ++pointers;
    } else if (pointers == 0 && (token == u"const" || token == u"CONST")) {
      constPointee = true;
    } else if (IsIdentifierStart(token[0]) && !IsQualifier(token) && pointers == 0) {
      words.push_back(Flavoured(token, flavour));
    } else if (IsQualifier(token)) {
      // 'struct', 'union', 'enum' and 'volatile' name nothing of their own
    } else if (token == u"]" || (pointers > 0 && (IsIdentifierStart(token[0]) || (token[0] >= u'0' && token[0] <= u'9')))) {
      // array sizes and qualifiers after the '*' ('char * const') change nothing
    } else {
      return std::nullopt;
    }
  }
  if (words.empty()) return std::nullopt;
  Text base;
  for (const Text& word : words) base += (base.empty() ? u"" : u" ") + word;
  if (pointers > 0) {
    if (pointers > 1 || !constPointee) return PointerFacts(PointeeText::kNone);
    if (base == u"char" || base == u"CHAR") return PointerFacts(PointeeText::kChar);
    if (base == u"wchar_t" || base == u"WCHAR" || base == u"OLECHAR") return PointerFacts(PointeeText::kWideChar);
    return PointerFacts(PointeeText::kNone);
  }
  if (const auto found = LookUp(base, typedefs)) return found;
  const bool prefixed = words.size() == 1 && ((StartsWith(base, u"LP") && base.size() > 2 && base[2] >= u'A' && base[2] <= u'Z') ||
                                              (StartsWith(base, u"P") && base.size() > 1 && base[1] >= u'A' && base[1] <= u'Z'));
  if (prefixed) return PointerFacts(PointeeText::kNone);
  return std::nullopt;
}

}  // namespace korvane
