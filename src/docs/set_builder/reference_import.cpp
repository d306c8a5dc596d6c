// The reference importer: front matter, the description section and the parameter headings of each
// function page, and the group titles of the technology indexes.

#include "docs/set_builder/reference_import.h"

#include "docs/set_builder/input_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace korvane {
namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

std::string TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

// The "key: value" lines between the first two "---" lines; list items and keys without a value are
// skipped. Nothing when the text does not start with front matter.
std::unordered_map<std::string, std::string> FrontMatter(const std::vector<std::string>& lines, std::size_t& body) {
  std::unordered_map<std::string, std::string> keys;
  body = 0;
  if (lines.empty() || TrimBlanks(lines[0]) != "---") return keys;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (TrimBlanks(lines[i]) == "---") {
      body = i + 1;
      break;
    }
    const std::size_t colon = lines[i].find(':');
    if (colon == std::string::npos || lines[i].starts_with(' ') || lines[i].starts_with('-')) continue;
    keys.emplace(TrimBlanks(std::string_view(lines[i]).substr(0, colon)),
                 TrimBlanks(std::string_view(lines[i]).substr(colon + 1)));
  }
  return keys;
}

std::string Value(const std::unordered_map<std::string, std::string>& keys, const std::string& key) {
  const auto found = keys.find(key);
  return found != keys.end() ? found->second : std::string();
}

// The first word before any of `separators`: 'Kernel32.lib; WindowsPhoneCore.lib' → 'Kernel32.lib'.
std::string FirstWord(std::string_view text, std::string_view separators) {
  const std::string trimmed = TrimBlanks(text);
  return trimmed.substr(0, std::min(trimmed.find_first_of(separators), trimmed.size()));
}

std::string LibraryName(std::string_view reqLib) {
  std::string library = FirstWord(reqLib, "; ,");
  if (Lower(library).ends_with(".lib")) library.resize(library.size() - 4);
  return library;
}

bool IsHeadingOfSection(const std::string& line) { return line.starts_with("## "); }

// The lines after `heading` up to the next "## " heading.
std::string Section(const std::vector<std::string>& lines, std::size_t body, std::string_view heading) {
  std::string section;
  bool inside = false;
  for (std::size_t i = body; i < lines.size(); ++i) {
    if (inside && IsHeadingOfSection(lines[i])) break;
    if (inside) section += lines[i] + "\n";
    if (TrimBlanks(lines[i]) == heading) inside = true;
  }
  return section;
}

std::vector<ReferenceParameter> Parameters(const std::vector<std::string>& lines, std::size_t body) {
  std::vector<ReferenceParameter> parameters;
  constexpr std::string_view kParam = "### -param ";
  for (std::size_t i = body; i < lines.size(); ++i) {
    if (!lines[i].starts_with(kParam)) continue;
    const std::string rest = TrimBlanks(std::string_view(lines[i]).substr(kParam.size()));
    const std::size_t bracket = rest.find('[');
    ReferenceParameter parameter;
    parameter.name = Utf8ToText(TrimBlanks(std::string_view(rest).substr(0, std::min(bracket, rest.size()))));
    if (bracket != std::string::npos) parameter.annotation = AnnotationForDirection(std::string_view(rest).substr(bracket));
    parameters.push_back(std::move(parameter));
  }
  return parameters;
}

}  // namespace

Text AnnotationForDirection(std::string_view tag) {
  std::string words;
  for (const char c : tag) {
    if (c != ' ' && c != '[' && c != ']') words += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  if (words == "in") return u"_In_";
  if (words == "out") return u"_Out_";
  if (words == "in,out") return u"_Inout_";
  if (words == "in,optional") return u"_In_opt_";
  if (words == "out,optional") return u"_Out_opt_";
  if (words == "in,out,optional") return u"_Inout_opt_";
  return {};
}

ReferenceFunction ParseFunctionPage(std::string_view markdown,
                                    const std::unordered_map<std::string, Text>& groupTitles) {
  const std::vector<std::string> lines = Lines(markdown);
  std::size_t body = 0;
  const auto keys = FrontMatter(lines, body);
  ReferenceFunction function;
  std::string name = Value(keys, "UID");
  name = name.substr(name.find_last_of(".:") == std::string::npos ? 0 : name.find_last_of(".:") + 1);
  if (name.empty()) name = FirstWord(Value(keys, "title"), " (");
  function.name = Utf8ToText(name);
  function.description = MarkdownToPlainText(Section(lines, body, "## -description"));
  function.parameters = Parameters(lines, body);
  const auto group = groupTitles.find(Lower(Value(keys, "tech.root")));
  if (group != groupTitles.end()) function.group = group->second;
  function.header = Utf8ToText(FirstWord(Value(keys, "req.header"), " ("));
  function.library = Utf8ToText(LibraryName(Value(keys, "req.lib")));
  return function;
}

ReferenceImport ReadReference(const std::string& folder) {
  ReferenceImport import;
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    import.problems.push_back(folder + ": not a folder");
    return import;
  }
  const auto isIndex = [](const std::filesystem::path& path) {
    return Lower(path.filename().string()) == "index.md" && path.parent_path().filename().string().starts_with('_');
  };
  const auto isPage = [](const std::filesystem::path& path) {
    const std::string file = Lower(path.filename().string());
    return file.starts_with("nf-") && file.ends_with(".md");
  };
  InputFiles found = FindInputFiles(folder, [&](const std::filesystem::path& path) { return isIndex(path) || isPage(path); });
  import.problems = std::move(found.problems);
  // Every index is read before the pages that name it.
  std::unordered_map<std::string, Text> groupTitles;
  std::vector<std::filesystem::path> pages;
  for (const std::filesystem::path& path : found.files) {
    if (!isIndex(path)) {
      pages.push_back(path);
      continue;
    }
    std::string problem;
    const std::optional<std::string> text = ReadInputFile(path, problem);
    if (!text) {
      import.problems.push_back(problem);
      continue;
    }
    const std::vector<std::string> lines = Lines(*text);
    std::size_t body = 0;
    const std::string title = Value(FrontMatter(lines, body), "title");
    const std::string parent = path.parent_path().filename().string();
    if (!title.empty()) groupTitles[Lower(parent.substr(1))] = Utf8ToText(title);
  }
  std::sort(pages.begin(), pages.end());
  for (const std::filesystem::path& path : pages) {
    std::string problem;
    const std::optional<std::string> text = ReadInputFile(path, problem);
    if (!text) {
      import.problems.push_back(problem);
      continue;
    }
    ReferenceFunction function = ParseFunctionPage(*text, groupTitles);
    if (function.name.empty()) {
      import.problems.push_back(ShownPath(path) + ": no function name");
      continue;
    }
    import.byName.try_emplace(function.name, std::move(function));
  }
  return import;
}

}  // namespace korvane
