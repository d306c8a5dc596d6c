// The catalogue file reader, on expat's streaming interface: the handlers below keep only the record
// being read, so memory stays linear in the input whatever the document's shape.

// The billion-laughs limits are declared by expat.h only under XML_DTD, which the library itself was
// built with (Debian's native and mingw builds both export the functions).
#ifndef XML_DTD
#define XML_DTD 1
#endif
#include <expat.h>

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "catalogue/catalogue_xml.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

static_assert(sizeof(XML_Char) == 1, "the handlers expect expat to report UTF-8");

// Element depths: the root is 1, its "element" children 2, their fields 3.
constexpr std::size_t kRootDepth = 1;
constexpr std::size_t kRecordDepth = 2;
constexpr std::size_t kFieldDepth = 3;

// Field element names in ApiFunction order; "checked" is last.
constexpr std::array<std::string_view, 8> kFieldNames = {
    "Function", "Parameters", "Return", "Description", "Group", "Website", "AnsiUni", "checked"};
constexpr std::size_t kNoField = kFieldNames.size();
constexpr std::size_t kCheckedField = kFieldNames.size() - 1;

struct ReaderState {
  XML_Parser parser = nullptr;
  CatalogueDocument document;
  std::size_t depth = 0;
  bool inRecord = false;
  std::size_t field = kNoField;  // the field whose text is being gathered, if any
  std::array<bool, kFieldNames.size()> seen{};        // the first child of each name wins
  std::array<std::string, kFieldNames.size()> texts;  // UTF-8 text of each field of the current record
  bool refused = false;
};

// Leading blanks, tabs, CR and LF skipped, then the leading decimal digits; no digits gives 0. Values
// beyond int saturate rather than wrap.
int ReadNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) ++i;
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(value);
}

Text ToText(const XML_Char* utf8) { return Utf8ToText(utf8); }

// Expat hands attributes as a null-terminated list of name, value pairs.
void ReadRoot(ReaderState& state, const XML_Char* rootName, const XML_Char** attributes) {
  KORVANE_HERE();
  state.document.rootName = ToText(rootName);
  const bool fallbackRoot = std::string_view(rootName) == kFallbackRootName;
  for (std::size_t i = 0; attributes[i] != nullptr && attributes[i + 1] != nullptr; i += 2) {
    const std::string_view name = attributes[i];
    if (name == "path") state.document.folder = ToText(attributes[i + 1]);
    if (name == "x86") state.document.x86 = ReadNumber(attributes[i + 1]);
    if (name == "name" && fallbackRoot) state.document.rootName = ToText(attributes[i + 1]);
  }
}

void StartRecord(ReaderState& state) {
  state.inRecord = true;
  state.seen.fill(false);
  for (std::string& text : state.texts) text.clear();
}

void FinishRecord(ReaderState& state) {
  ApiFunction record;
  std::array<Text*, 7> fields = {&record.Function, &record.Parameters, &record.Return, &record.Description,
                                 &record.Group,    &record.Website,    &record.AnsiUni};
  for (std::size_t i = 0; i < fields.size(); ++i) *fields[i] = Utf8ToText(state.texts[i]);
  record.checked = ReadNumber(state.texts[kCheckedField]) != 0 ? 1 : 0;
  state.document.records.push_back(std::move(record));
  state.inRecord = false;
}

std::size_t FieldIndex(std::string_view name) {
  for (std::size_t i = 0; i < kFieldNames.size(); ++i) {
    if (kFieldNames[i] == name) return i;
  }
  return kNoField;
}

void XMLCALL OnStart(void* userData, const XML_Char* name, const XML_Char** attributes) {
  KORVANE_HERE();
  auto& state = *static_cast<ReaderState*>(userData);
  ++state.depth;
  if (state.depth == kRootDepth) {
    ReadRoot(state, name, attributes);
  } else if (state.depth == kRecordDepth && std::string_view(name) == "element") {
    StartRecord(state);
  } else if (state.depth == kFieldDepth && state.inRecord) {
    const std::size_t index = FieldIndex(name);
    if (index != kNoField && !state.seen[index]) {
      state.seen[index] = true;
      state.field = index;
    }
  }
}

void XMLCALL OnEnd(void* userData, const XML_Char* /*name*/) {
  KORVANE_HERE();
  auto& state = *static_cast<ReaderState*>(userData);
  if (state.depth == kFieldDepth) state.field = kNoField;
  if (state.depth == kRecordDepth && state.inRecord) FinishRecord(state);
  --state.depth;
}

// Only text directly inside a field element counts; text of elements nested in it does not.
void XMLCALL OnText(void* userData, const XML_Char* text, int length) {
  KORVANE_HERE();
  auto& state = *static_cast<ReaderState*>(userData);
  if (state.field == kNoField || state.depth != kFieldDepth || length <= 0) return;
  state.texts[state.field].append(text, static_cast<std::size_t>(length));
}

// Catalogue files never declare entities. Refusing every declaration shuts out entity expansion
// attacks and external entities before expat's own amplification limit is even needed.
void XMLCALL OnEntityDeclaration(void* userData, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                                 const XML_Char*, const XML_Char*, const XML_Char*) {
  auto& state = *static_cast<ReaderState*>(userData);
  state.refused = true;
  XML_StopParser(state.parser, XML_FALSE);
}

struct ParserDeleter {
  void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};
using ParserHandle = std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserDeleter>;

void Configure(XML_Parser parser, ReaderState& state) {
  XML_SetUserData(parser, &state);
  XML_SetElementHandler(parser, OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser, OnText);
  XML_SetEntityDeclHandler(parser, OnEntityDeclaration);
  XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
  // A second line of defence: tight limits, so even an expansion that slipped past the handler above
  // would be stopped after a few megabytes.
  XML_SetBillionLaughsAttackProtectionMaximumAmplification(parser, 10.0f);
  XML_SetBillionLaughsAttackProtectionActivationThreshold(parser, 1024 * 1024);
}

// XML_Parse takes an int length; larger inputs go in slices.
bool ParseAll(XML_Parser parser, std::span<const std::uint8_t> bytes) {
  constexpr std::size_t kSlice = std::size_t{1} << 30;
  std::size_t offset = 0;
  do {
    KORVANE_HERE();
    const std::size_t length = std::min(kSlice, bytes.size() - offset);
    const bool last = offset + length == bytes.size();
    const char* data = reinterpret_cast<const char*>(bytes.data() + offset);
    if (XML_Parse(parser, data, static_cast<int>(length), last ? 1 : 0) != XML_STATUS_OK) return false;
    offset += length;
  } while (offset < bytes.size());
  return true;
}

}  // namespace

std::optional<CatalogueDocument> ReadCatalogueDocument(std::span<const std::uint8_t> bytes,
                                                       CatalogueReadError* error) {
  CatalogueReadError ignored = CatalogueReadError::None;
  CatalogueReadError& why = error != nullptr ? *error : ignored;
  why = CatalogueReadError::Malformed;
  // No encoding forced: expat follows the byte-order mark and the declaration.
  ParserHandle parser(XML_ParserCreate(nullptr));
  if (!parser) return std::nullopt;
  ReaderState state;
  state.parser = parser.get();
  Configure(parser.get(), state);
  const bool parsed = ParseAll(parser.get(), bytes);
  if (state.refused) why = CatalogueReadError::EntityDeclaration;
  if (!parsed || state.refused) return std::nullopt;
  why = CatalogueReadError::None;
  return std::move(state.document);
}

}  // namespace korvane
