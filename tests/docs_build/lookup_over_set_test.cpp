// The lookup run over a documentation set built from the real headers and the reference sample: every
// function of the sample must come out of the lookup with what the set knows about it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "catalogue/symbol_names.h"
#include "docs/set_builder/set_builder.h"
#include "docs/generic_function.h"
#include "docs/offline_page_source.h"
#include "lookup/lookup_machine.h"
#include "text/text_ops.h"

namespace korvane {
namespace {

constexpr char kHeaders[] = "/usr/x86_64-w64-mingw32/include";

std::string SampleFolder() {
  const char* overridden = std::getenv("KORVANE_REFERENCE_SAMPLE");
  return overridden != nullptr ? std::string(overridden)
                               : std::string(KORVANE_SOURCE_DIR) + "/../shared/fixtures/api-reference-sample";
}

struct Built {
  ReferenceImport reference;
  std::shared_ptr<const DocumentationSet> set;
};

// Scanning the headers takes seconds: once per test binary.
const Built* BuiltSet() {
  static const std::unique_ptr<Built> built = []() -> std::unique_ptr<Built> {
    if (!std::filesystem::exists(kHeaders) || !std::filesystem::exists(SampleFolder())) return nullptr;
    auto result = std::make_unique<Built>();
    result->reference = ReadReference(SampleFolder());
    const HeaderScan scan = ScanHeaders(kHeaders);
    result->set = std::make_shared<const DocumentationSet>(BuildDocumentationSet(scan.prototypes, result->reference));
    return result;
  }();
  return built.get();
}

// One whole lookup of entry.functions[record], pages loaded from the set, as the window drives it.
void RunLookup(OfflinePageSource& source, LibraryEntry& entry, std::size_t record, TextView key) {
  const LookupEndpoints endpoints;
  LookupStart start = StartLookup(entry, record, endpoints);
  source.Navigate(start.address);
  LookupProgress progress = start.progress;
  for (int loads = 0; progress.state != LookupState::Idle; ++loads) {
    ASSERT_LT(loads, 5) << TextToUtf8(entry.functions[record].Function);
    const LoadedPage page{false, source.PageText(), {}, {}};
    const LookupOutcome outcome = LookupStep(progress, page, entry, key, record, true, endpoints);
    if (!outcome.navigate.empty()) source.Navigate(outcome.navigate);
    progress = outcome.progress;
  }
}

Text Joined(const std::vector<Text>& parts, TextView separator) {
  Text out;
  for (const Text& part : parts) out += (out.empty() ? u"" : Text(separator)) + part;
  return out;
}

// The parameters of a list, split at the commas outside a function pointer's own parameter list.
std::vector<Text> SplitTopLevel(const Text& list) {
  std::vector<Text> parts;
  if (list.empty()) return parts;
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= list.size(); ++i) {
    if (i < list.size() && list[i] == u'(') ++depth;
    if (i < list.size() && list[i] == u')') --depth;
    if (i == list.size() || (list[i] == u',' && depth == 0)) {
      parts.push_back(Trim(list.substr(start, i - start)));
      start = i + 1;
    }
  }
  return parts;
}

// The words a user would otherwise lose: a multi-word return type reads as one word, and the generic
// form of a pair takes its widths' generic types. (Part of the test below: the set is built once per
// process, and each test runs in a process of its own.)
void CheckReturnTypesAndGenericForms(const Built* built) {
  int x86 = 0;
  LibraryEntry entry{NormaliseNames({u"MessageBoxA", u"MessageBoxW", u"lstrcpyA", u"inet_ntoa", u"GetTickCount"}, x86),
                     u"x.lib", x86};
  OfflinePageSource source(built->set, nullptr);
  for (std::size_t i = 0; i < entry.functions.size(); ++i) RunLookup(source, entry, i, u"x");
  const struct {
    Text function;
    Text parameters;
    Text returned;
  } kCases[] = {
      {u"MessageBox", u"_In_opt_ HWND hWnd, _In_opt_ LPCTSTR lpText, _In_opt_ LPCTSTR lpCaption, _In_ UINT uType", u"INT"},
      {u"MessageBoxA", u"_In_opt_ HWND hWnd, _In_opt_ LPCTSTR lpText, _In_opt_ LPCTSTR lpCaption, _In_ UINT uType", u"INT"},
      {u"lstrcpyA", u"LPSTR lpString1, LPCSTR lpString2", u"LPSTR"},
      {u"inet_ntoa", u"struct in_addr in", u"CHAR*"},
      {u"GetTickCount", u"", u"DWORD"},
  };
  for (const auto& c : kCases) {
    const auto found = std::find_if(entry.functions.begin(), entry.functions.end(),
                                    [&](const ApiFunction& record) { return record.Function == c.function; });
    ASSERT_NE(found, entry.functions.end()) << TextToUtf8(c.function);
    EXPECT_EQ(found->Parameters, c.parameters) << TextToUtf8(c.function);
    EXPECT_EQ(found->Return, c.returned) << TextToUtf8(c.function);
  }
}

TEST(LookupOverSetTest, EverySampleFunctionGetsWhatItsPageSays) {
  const Built* built = BuiltSet();
  if (built == nullptr) GTEST_SKIP() << "the mingw-w64 headers or the reference sample are not present";
  std::vector<Text> names;
  // A library that exports one form of a pair exports the other as well.
  for (const auto& [name, page] : built->reference.byName) {
    names.push_back(name);
    if (IsPairMember(*built->set, name)) names.push_back(name.substr(0, name.size() - 1) + (name.back() == u'A' ? u"W" : u"A"));
  }
  int x86 = 0;
  LibraryEntry entry{NormaliseNames(names, x86), u"sample.lib", x86};
  for (ApiFunction& record : entry.functions) record.checked = 1;
  OfflinePageSource source(built->set, nullptr);
  for (std::size_t i = 0; i < entry.functions.size(); ++i) RunLookup(source, entry, i, u"sample");

  CheckReturnTypesAndGenericForms(built);
  for (const ApiFunction& record : entry.functions) {
    const std::string name = TextToUtf8(record.Function);
    // Every record of a pair the set has carries the generic form, read from the documented form's page.
    const bool pair = !record.AnsiUni.empty();
    const Text pageName = !pair ? record.Function
                          : built->reference.byName.count(record.AnsiUni + u"W") != 0 ? record.AnsiUni + u"W"
                                                                                   : record.AnsiUni + u"A";
    ASSERT_EQ(built->reference.byName.count(pageName), 1u) << name << " " << TextToUtf8(pageName);
    const ReferenceFunction& page = built->reference.byName.at(pageName);
    const auto declared = FindFunction(*built->set, pageName);
    ASSERT_TRUE(declared.has_value()) << name;
    const DocFunction& function = FunctionAt(*built->set, *declared);

    EXPECT_EQ(record.checked, 1) << name;
    EXPECT_EQ(record.Group, page.group) << name;
    // No-break spaces keep the reader from rewriting prose; they read as blanks.
    EXPECT_EQ(ReplaceAll(record.Description, u"\u00A0", u" "), ReplaceAll(page.description, u"\n", u" ")) << name;
    EXPECT_FALSE(record.Return.empty()) << name;
    EXPECT_EQ(Find(record.Return, u" "), 0u) << name;
    if (!pair) {
      EXPECT_EQ(record.Parameters, Joined(function.parameters, u", ")) << name;
    } else {
      EXPECT_EQ(Find(record.Parameters, u"WSTR"), 0u) << name << ": " << TextToUtf8(record.Parameters);
      EXPECT_EQ(Find(record.Parameters, u" LPCSTR"), 0u) << name << ": " << TextToUtf8(record.Parameters);
    }
    // Each parameter starts with the direction the page gives it.
    const std::vector<Text> parameters = SplitTopLevel(record.Parameters);
    if (parameters.size() == page.parameters.size()) {
      for (std::size_t p = 0; p < parameters.size(); ++p) {
        const Text& annotation = page.parameters[p].annotation;
        if (!annotation.empty()) {
          EXPECT_TRUE(parameters[p].starts_with(annotation + u" ")) << name << " " << p;
        }
      }
    } else {
      ADD_FAILURE() << name << ": " << parameters.size() << " parameters, the page has " << page.parameters.size();
    }
  }
}

}  // namespace
}  // namespace korvane
