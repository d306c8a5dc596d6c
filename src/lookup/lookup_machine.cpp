#include "lookup/lookup_machine.h"

#include <map>
#include <set>
#include <utility>

#include "lookup/reference_page.h"
#include "text/text_ops.h"

namespace korvane {
namespace {

using Kind = RowEffect::Kind;

void Effect(LookupOutcome& out, Kind kind, std::size_t row, RowTexts texts = {}, bool checked = false) {
  out.effects.push_back({kind, row, std::move(texts), checked});
}

void Uncheck(LookupOutcome& out, ApiFunction& record, std::size_t row) {
  record.checked = 0;
  Effect(out, Kind::SelectAndUncheck, row);
}

LookupOutcome Continue(LookupState state, const RetryMarkers& markers, Text address) {
  LookupOutcome out;
  out.progress = {state, markers};
  out.navigate = std::move(address);
  return out;
}

// No name matched after every retry: the function and its ANSI/wide relatives are marked not found.
// Only a name that ends in A or W has a pair: GetCharABCWidthsFloatI is no form of GetCharABCWidthsFloat.
void MarkNotFound(LookupOutcome& out, LibraryEntry& entry, const Text& function) {
  const bool paired = !function.empty() && (function.back() == u'A' || function.back() == u'W');
  const Text stem = paired ? function.substr(0, function.size() - 1) : Text();
  for (std::size_t i = 0; i < entry.functions.size(); ++i) {
    ApiFunction& other = entry.functions[i];
    const bool relative = !other.AnsiUni.empty() && (other.AnsiUni == function || (paired && other.AnsiUni == stem));
    if (other.Function == function || relative) Uncheck(out, other, i);
  }
}

LookupOutcome StepSearchPage(const LookupProgress& progress, TextView page, LibraryEntry& entry,
                             std::size_t index, const LookupEndpoints& endpoints) {
  ApiFunction& record = entry.functions[index];
  RetryMarkers markers = progress.markers;
  const SearchPageReading reading = ReadSearchPage(page);
  LookupOutcome out;
  if (PassesNameTest(reading, record, markers.triedWithoutSuffix)) {
    if (!PassesLinkTest(reading)) {
      Uncheck(out, record, index);
      return out;
    }
    record.Website = ReferenceAddress(endpoints.libraryBase, reading.resultAddress);
    return Continue(LookupState::AwaitReferencePage, markers, record.Website);
  }
  const TextView name = record.Function;
  if (!markers.triedWithoutSuffix && (name.ends_with(u'A') || name.ends_with(u'W'))) {
    markers.triedWithoutSuffix = true;
    return Continue(LookupState::AwaitSearchPage, markers,
                    SearchAddress(endpoints.searchBase, record, SearchQuery::WithoutSuffix));
  }
  if (!markers.triedMacro) {
    markers.triedMacro = true;
    return Continue(LookupState::AwaitSearchPage, markers,
                    SearchAddress(endpoints.searchBase, record, SearchQuery::Macro));
  }
  if (!markers.triedFunction) {
    markers.triedFunction = true;
    return Continue(LookupState::AwaitSearchPage, markers,
                    SearchAddress(endpoints.searchBase, record, SearchQuery::FunctionRetry));
  }
  MarkNotFound(out, entry, Text(record.Function));
  return out;
}

void ClearVoid(ApiFunction& record) {
  if (LowerCase(record.Parameters) == u"void") record.Parameters.clear();
}

// Facts a lookup found for one function reach another function's record. A record of the same name
// (the function listed twice) takes them whole; any other record keeps what it holds and takes a fact
// only where its field is empty, so a lookup never overwrites what the user or an earlier lookup wrote
// about a different function.
void TakeFact(Text& field, const Text& fact, bool sameFunction) {
  if (sameFunction || field.empty()) field = fact;
}

// The looked-up facts go to the ANSI and wide variants of the function (AnsiUni = its stem).
void SpreadToRelatives(LookupOutcome& out, LibraryEntry& entry, std::size_t index) {
  const ApiFunction source = entry.functions[index];
  const Text withoutW = RemoveTrailing(source.Function, u'W');
  const Text withoutA = RemoveTrailing(source.Function, u'A');
  for (std::size_t i = 0; i < entry.functions.size(); ++i) {
    ApiFunction& f = entry.functions[i];
    // An empty stem names no pair (a function called "W" would otherwise match every unpaired one).
    if (f.AnsiUni.empty() || (f.AnsiUni != source.Function && f.AnsiUni != withoutW && f.AnsiUni != withoutA)) {
      continue;
    }
    const bool same = f.Function == source.Function;
    TakeFact(f.Parameters, source.Parameters, same);
    TakeFact(f.Return, source.Return, same);
    TakeFact(f.Description, source.Description, same);
    TakeFact(f.Group, source.Group, same);
    TakeFact(f.Website, source.Website, same);
    ClearVoid(f);
    f.checked = f.Parameters.empty() && f.Return.empty() ? 0 : 1;
    Effect(out, Kind::SetRowTexts, i, RowText(f));
    Effect(out, f.checked == 0 ? Kind::SelectAndUncheck : Kind::TickAndDeselect, i);
  }
}

// Every function that the page's table of contents lists gets the page's group and its own address
// (where empty, unless it is the looked-up function itself).
void ApplySiblings(LookupOutcome& out, LibraryEntry& entry, const Text& function, const Text& group,
                   const std::map<Text, Text>& siblings) {
  if (siblings.empty()) return;
  // A name can only match a key as long as itself or one shorter (a final "A" or "W" dropped): most
  // records are passed over on their length alone, without building their lower-case forms.
  std::set<std::size_t> lengths;
  for (const auto& sibling : siblings) lengths.insert(sibling.first.size());
  for (std::size_t i = 0; i < entry.functions.size(); ++i) {
    ApiFunction& g = entry.functions[i];
    const std::size_t length = g.Function.size();
    if (lengths.count(length) == 0 && (length == 0 || lengths.count(length - 1) == 0)) continue;
    for (const Text& name : {g.Function, RemoveTrailing(g.Function, u'W'), RemoveTrailing(g.Function, u'A')}) {
      const auto hit = siblings.find(LowerCase(name));
      if (hit == siblings.end()) continue;
      const bool same = g.Function == function;
      TakeFact(g.Group, group, same);
      TakeFact(g.Website, hit->second, same);
      Effect(out, Kind::SetGroupWebsite, i, RowText(g));
      break;
    }
  }
}

LookupOutcome StepReferencePage(TextView page, LibraryEntry& entry, TextView libraryKey, std::size_t index,
                                bool batchRunning) {
  LookupOutcome out;
  const Text function = entry.functions[index].Function;
  if (std::optional<ReferencePageData> data = ParseReferencePage(page, function, libraryKey)) {
    ApiFunction& record = entry.functions[index];
    record.Parameters = data->Parameters;
    record.Return = data->Return;
    record.Description = data->Description;
    record.Group = data->Group;
    for (std::size_t e = 0; e < entry.functions.size(); ++e) {
      ApiFunction& same = entry.functions[e];
      if (same.Function != function) continue;
      ClearVoid(same);
      if (same.Parameters.empty() && same.Return.empty()) same.checked = 0;
      Effect(out, Kind::SetRowTexts, e, RowText(same));
      if (same.checked == 0) Effect(out, Kind::SelectAndUncheck, e);
      if (!data->formsApart) SpreadToRelatives(out, entry, index);
    }
    ApplySiblings(out, entry, function, entry.functions[index].Group, data->siblings);
  }
  if (!batchRunning) {
    const ApiFunction& record = entry.functions[index];
    Effect(out, Kind::ShowInEditor, index,
           {record.Function, record.Parameters, record.Return, record.Description, record.Group, record.Website});
    Effect(out, Kind::SelectAndSetCheck, index, {}, record.checked != 0);
  }
  return out;
}

}  // namespace

LookupStart StartLookup(const LibraryEntry& entry, std::size_t record, const LookupEndpoints& endpoints) {
  if (record >= entry.functions.size()) return {};
  const ApiFunction& r = entry.functions[record];
  if (!r.Website.empty()) return {{LookupState::AwaitReferencePage, {}}, r.Website};
  return {{LookupState::AwaitSearchPage, {}}, SearchAddress(endpoints.searchBase, r, SearchQuery::First)};
}

LookupOutcome LookupStep(const LookupProgress& progress, const LoadedPage& page, LibraryEntry& entry,
                         TextView libraryKey, std::size_t record, bool batchRunning,
                         const LookupEndpoints& endpoints) {
  // Every way out below that returns Idle also leaves the retry markers clear.
  if (record >= entry.functions.size() || progress.state == LookupState::Idle) return {};
  if (page.failed) {
    // A page that did not load says nothing about the function: the record and its row stay as they
    // were, and the caller learns why the lookup stopped.
    LookupOutcome out;
    out.failure = PageFailure{page.address, page.reason};
    return out;
  }
  if (progress.state == LookupState::AwaitSearchPage) {
    return StepSearchPage(progress, page.text, entry, record, endpoints);
  }
  return StepReferencePage(page.text, entry, libraryKey, record, batchRunning);
}

bool BatchTakes(const ApiFunction& record, bool skipFilled) {
  return record.checked != 0 && (record.Return.empty() || !skipFilled);
}

std::optional<std::size_t> NextBatchRecord(const LibraryEntry& entry, std::size_t from, bool skipFilled) {
  for (std::size_t i = from; i < entry.functions.size(); ++i) {
    if (BatchTakes(entry.functions[i], skipFilled)) return i;
  }
  return std::nullopt;
}

}  // namespace korvane
