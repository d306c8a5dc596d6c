// The documentation set reader, on expat's streaming interface: only the function being read is held
// apart from the result, so memory stays linear in the input.

#ifndef XML_DTD
#define XML_DTD 1
#endif
#include <expat.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "docs/docs_file.h"
#include "docs/type_facts.h"

namespace korvane {
namespace {

static_assert(sizeof(XML_Char) == 1, "the handlers expect expat to report UTF-8");

// Element depths: root 1, group 2, function 3, its parameters and description 4.
constexpr std::size_t kRootDepth = 1;
constexpr std::size_t kGroupDepth = 2;
constexpr std::size_t kFunctionDepth = 3;
constexpr std::size_t kFieldDepth = 4;

enum class Field { kNone, kParameter, kDescription };

struct ReaderState {
  XML_Parser parser = nullptr;
  DocumentationSet set;
  std::size_t depth = 0;
  bool inGroup = false;
  bool inFunction = false;
  Field field = Field::kNone;
  std::string text;  // UTF-8 text of the field being read
  // The parameters of the function being read; moved into it at its end, so that its list is
  // allocated once, at its size, instead of growing parameter by parameter.
  std::vector<Text> parameters;
  // Their types, while every parameter so far had one; a list that is not whole is dropped.
  std::vector<TypeFacts> parameterTypes;
  bool typesWhole = true;
  bool inCTypes = false;  // inside the <types> element, whose text goes to set.cTypes unparsed
  bool refused = false;
  std::size_t fileSize = 0;
  // Room for functions that may still be reserved, over all groups together: a function takes at
  // least 40 bytes of the file, so the file holds at most fileSize / 40 of them in all.
  std::size_t reservable = 0;
};

void Refuse(ReaderState& state) {
  state.refused = true;
  XML_StopParser(state.parser, XML_FALSE);
}

// Expat hands attributes as a null-terminated list of name, value pairs.
const XML_Char* Attribute(const XML_Char** attributes, std::string_view name) {
  for (std::size_t i = 0; attributes[i] != nullptr && attributes[i + 1] != nullptr; i += 2) {
    if (name == attributes[i]) return attributes[i + 1];
  }
  return nullptr;
}

// Nearly every text of a set is ASCII: widen it directly, and leave the rest to the full decoder.
Text ToText(std::string_view utf8) {
  Text text(utf8.size(), u'\0');
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte >= 0x80) return Utf8ToText(utf8);
    text[i] = byte;
  }
  return text;
}

Text AttributeText(const XML_Char** attributes, std::string_view name) {
  const XML_Char* value = Attribute(attributes, name);
  return value != nullptr ? ToText(value) : Text();
}

// The version must be a plain number from 1 to kDocsFormatVersion.
bool AcceptRoot(std::string_view name, const XML_Char** attributes) {
  if (name != kDocsRootName) return false;
  const XML_Char* version = Attribute(attributes, "version");
  if (version == nullptr) return false;
  const std::string_view digits = version;
  if (digits.empty() || digits.size() > 4) return false;
  int value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value >= 1 && value <= kDocsFormatVersion;
}

// Makes room for the number of functions a group announces. The number is only a hint: the groups
// together get no more room than the whole file can hold, however many groups claim it.
void ReserveFunctions(ReaderState& state, const XML_Char* announced) {
  if (announced == nullptr) return;
  std::size_t count = 0;
  for (const char* c = announced; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9' || count > state.fileSize) return;
    count = count * 10 + static_cast<std::size_t>(*c - '0');
  }
  const std::size_t room = std::min(count, state.reservable);
  state.set.groups.back().functions.reserve(room);
  state.reservable -= room;
}

void StartFunction(ReaderState& state, const XML_Char** attributes) {
  DocFunction function;
  function.name = AttributeText(attributes, "name");
  function.returnType = AttributeText(attributes, "return");
  function.header = AttributeText(attributes, "header");
  function.library = AttributeText(attributes, "library");
  if (const XML_Char* call = Attribute(attributes, "call")) function.call = ParseCallingConvention(call);
  if (const XML_Char* type = Attribute(attributes, "return-type")) {
    function.returnFacts = ParseTypeFacts(type).value_or(TypeFacts{});
  }
  state.parameterTypes.clear();
  state.typesWhole = function.returnFacts.kind != TypeKind::kUnknown;
  state.set.groups.back().functions.push_back(std::move(function));
  state.inFunction = true;
}

void XMLCALL OnStart(void* userData, const XML_Char* name, const XML_Char** attributes) {
  auto& state = *static_cast<ReaderState*>(userData);
  ++state.depth;
  const std::string_view element = name;
  if (state.depth == kRootDepth) {
    if (!AcceptRoot(element, attributes)) Refuse(state);
  } else if (state.depth == kGroupDepth && element == "group") {
    state.set.groups.push_back(DocGroup{AttributeText(attributes, "title"), {}});
    ReserveFunctions(state, Attribute(attributes, "functions"));
    state.inGroup = true;
  } else if (state.depth == kGroupDepth && element == "typedef") {
    const XML_Char* type = Attribute(attributes, "type");
    const auto facts = type != nullptr ? ParseTypeFacts(type) : std::nullopt;
    const Text typedefName = AttributeText(attributes, "name");
    if (facts && !typedefName.empty()) state.set.typedefs.emplace(typedefName, *facts);
  } else if (state.depth == kGroupDepth && element == "types") {
    state.inCTypes = state.set.cTypes.empty();
  } else if (state.depth == kFunctionDepth && state.inGroup && element == "function") {
    StartFunction(state, attributes);
  } else if (state.depth == kFieldDepth && state.inFunction) {
    state.field = element == "param" ? Field::kParameter
                  : element == "description" ? Field::kDescription
                                             : Field::kNone;
    if (state.field == Field::kParameter && state.typesWhole) {
      const XML_Char* type = Attribute(attributes, "type");
      const auto facts = type != nullptr ? ParseTypeFacts(type) : std::nullopt;
      if (facts) state.parameterTypes.push_back(*facts);
      state.typesWhole = facts.has_value();
    }
    state.text.clear();
  }
}

void XMLCALL OnEnd(void* userData, const XML_Char* /*name*/) {
  auto& state = *static_cast<ReaderState*>(userData);
  if (state.depth == kFieldDepth && state.field != Field::kNone) {
    DocFunction& function = state.set.groups.back().functions.back();
    if (state.field == Field::kParameter) state.parameters.push_back(ToText(state.text));
    if (state.field == Field::kDescription) function.description.assign(state.text);
    state.field = Field::kNone;
  }
  if (state.depth == kFunctionDepth && state.inFunction) {
    auto& parameters = state.set.groups.back().functions.back().parameters;
    parameters.reserve(state.parameters.size());
    for (Text& parameter : state.parameters) parameters.push_back(std::move(parameter));
    DocFunction& function = state.set.groups.back().functions.back();
    if (state.typesWhole && state.parameterTypes.size() == parameters.size()) {
      function.parameterTypes = std::move(state.parameterTypes);
    } else {
      function.returnFacts = TypeFacts{};
      function.call = CallingConvention::kUnknown;
    }
    state.parameterTypes = {};
    state.parameters.clear();
    state.inFunction = false;
  }
  if (state.depth == kGroupDepth) state.inGroup = state.inCTypes = false;
  --state.depth;
}

// Only text directly inside a field element counts.
void XMLCALL OnText(void* userData, const XML_Char* text, int length) {
  auto& state = *static_cast<ReaderState*>(userData);
  if (state.inCTypes && state.depth == kGroupDepth && length > 0) {
    state.set.cTypes.append(text, static_cast<std::size_t>(length));
    return;
  }
  if (state.field == Field::kNone || state.depth != kFieldDepth || length <= 0) return;
  state.text.append(text, static_cast<std::size_t>(length));
}

// The format never declares entities; refusing every declaration shuts out expansion attacks.
void XMLCALL OnEntityDeclaration(void* userData, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                                 const XML_Char*, const XML_Char*, const XML_Char*) {
  Refuse(*static_cast<ReaderState*>(userData));
}

struct ParserDeleter {
  void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};
using ParserHandle = std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserDeleter>;

// XML_Parse takes an int length; larger inputs go in slices.
bool ParseAll(XML_Parser parser, std::span<const std::uint8_t> bytes) {
  constexpr std::size_t kSlice = std::size_t{1} << 30;
  std::size_t offset = 0;
  do {
    const std::size_t length = std::min(kSlice, bytes.size() - offset);
    const bool last = offset + length == bytes.size();
    const char* data = reinterpret_cast<const char*>(bytes.data() + offset);
    if (XML_Parse(parser, data, static_cast<int>(length), last ? 1 : 0) != XML_STATUS_OK) return false;
    offset += length;
  } while (offset < bytes.size());
  return true;
}

}  // namespace

std::optional<DocumentationSet> ReadDocumentationSet(std::span<const std::uint8_t> bytes) {
  ParserHandle parser(XML_ParserCreate("UTF-8"));
  if (!parser) return std::nullopt;
  ReaderState state;
  state.parser = parser.get();
  state.fileSize = bytes.size();
  state.reservable = bytes.size() / 40;
  XML_SetUserData(parser.get(), &state);
  XML_SetElementHandler(parser.get(), OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser.get(), OnText);
  XML_SetEntityDeclHandler(parser.get(), OnEntityDeclaration);
  XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
  XML_SetBillionLaughsAttackProtectionMaximumAmplification(parser.get(), 10.0f);
  XML_SetBillionLaughsAttackProtectionActivationThreshold(parser.get(), 1024 * 1024);
  if (!ParseAll(parser.get(), bytes) || state.refused || state.depth != 0) return std::nullopt;
  IndexDocumentationSet(state.set);
  return std::move(state.set);
}

}  // namespace korvane
