// The set's C types text. One fact per line, fields separated by tabs:
//
//   korvane-c-types <version>
//   H <header>                                     the header of the R, K, S and P lines that follow
//   R <arch> <key> struct|union <size> <align>     a record; its fields follow as F lines
//   F <name> <type> <kind> <offset in bits> <size> <count> <bit width> <record key>
//   K <arch> <name> i|u <size> <value>             an integer constant
//   S <arch> <name> <text>                         a string constant
//   P <arch> <name> <call> <return facts> <parameter facts>...   each facts then ':' and its name
//   N <name> <target> <pointers> [t]               a name for a record or a callback; t: a tag
//   I <header> <header>...                         the definitions-only headers a header includes
//
// <arch> is x86, x64 or * (the same on both). Kinds: o (other), s, u, f, p, r. Texts are UTF-8 with
// backslash, tab and line feed escaped as \\, \t and \n.

#include "docs/c_types.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "docs/type_facts.h"

namespace korvane {
namespace {

constexpr std::string_view kHeading = "korvane-c-types";
constexpr char kKinds[] = "osufpr";

void AppendEscaped(std::string& out, TextView text) {
  for (const char c : TextToUtf8(text)) {
    if (c == '\\') out += "\\\\";
    else if (c == '\t') out += "\\t";
    else if (c == '\n') out += "\\n";
    else if (c != '\r') out += c;
  }
}

Text Unescaped(std::string_view field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 1 < field.size()) {
      ++i;
      out += field[i] == 't' ? '\t' : field[i] == 'n' ? '\n' : field[i];
    } else {
      out += field[i];
    }
  }
  return Utf8ToText(out);
}

struct Line {
  std::string text;
  void Field(TextView value) {
    text += '\t';
    AppendEscaped(text, value);
  }
  void Field(std::string_view value) {
    text += '\t';
    text += value;
  }
  template <typename Integer>
  void Number(Integer value) {
    text += '\t';
    text += std::to_string(value);
  }
};

void WriteRecord(std::string& out, std::string_view arch, const CRecord& record) {
  Line line{"R"};
  line.Field(arch);
  line.Field(TextView(record.key));
  line.Field(std::string_view(record.isUnion ? "union" : "struct"));
  line.Number(record.size);
  line.Number(record.align);
  out += line.text + "\n";
  for (const CField& field : record.fields) {
    Line f{"F"};
    f.Field(TextView(field.name));
    f.Field(TextView(field.type));
    f.Field(std::string_view(&kKinds[static_cast<int>(field.kind)], 1));
    f.Number(field.offsetBits);
    f.Number(field.size);
    f.Number(field.count);
    f.Number(field.bitWidth);
    f.Field(TextView(field.record));
    out += f.text + "\n";
  }
}

void WriteConstant(std::string& out, std::string_view arch, const CConstant& constant) {
  Line line{constant.isString ? "S" : "K"};
  line.Field(arch);
  line.Field(TextView(constant.name));
  if (constant.isString) {
    line.Field(TextView(constant.text));
  } else {
    line.Field(std::string_view(constant.isUnsigned ? "u" : "i"));
    line.Number(constant.size);
    line.Number(constant.value);
  }
  out += line.text + "\n";
}

void WriteCallback(std::string& out, std::string_view arch, const CCallback& callback) {
  Line line{"P"};
  line.Field(arch);
  line.Field(TextView(callback.name));
  const std::string_view call = CallingConventionText(callback.call);
  line.Field(call.empty() ? std::string_view("-") : call);
  line.Field(std::string_view(TypeFactsText(callback.returned)));
  for (std::size_t i = 0; i < callback.parameters.size(); ++i) {
    const Text name = i < callback.parameterNames.size() ? callback.parameterNames[i] : Text();
    line.Field(std::string_view(TypeFactsText(callback.parameters[i]) + ":" + TextToUtf8(name)));
  }
  out += line.text + "\n";
}

// Writes each item of x64 and x86 once when both have it alike, else once per architecture. Items are
// matched by position when the key agrees there, else by key.
// Items are grouped by header: an H line names the header of the items after it.
template <typename Item, typename Key, typename Write>
void WriteBoth(std::string& out, const std::vector<Item>& x64, const std::vector<Item>& x86, Key key, Write write) {
  std::map<Text, const Item*> x86ByKey;
  for (const Item& item : x86) x86ByKey.emplace(key(item), &item);
  std::map<Text, std::vector<std::pair<std::string_view, const Item*>>> byHeader;
  std::set<Text> sharedKeys;
  for (const Item& item : x64) {
    const auto other = x86ByKey.find(key(item));
    const bool same = other != x86ByKey.end() && *other->second == item;
    if (same) sharedKeys.insert(key(item));
    byHeader[item.header].emplace_back(same ? "*" : "x64", &item);
  }
  for (const Item& item : x86) {
    if (sharedKeys.count(key(item)) == 0) byHeader[item.header].emplace_back("x86", &item);
  }
  for (const auto& [header, items] : byHeader) {
    Line line{"H"};
    line.Field(TextView(header));
    out += line.text + "\n";
    for (const auto& [arch, item] : items) write(out, arch, *item);
  }
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& value) {
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// The architectures an arch field names.
bool ForArchitectures(std::string_view arch, CTypes& types, CArchitectureTypes*& first, CArchitectureTypes*& second) {
  first = second = nullptr;
  if (arch == "x64" || arch == "*") first = &types.x64;
  if (arch == "x86") first = &types.x86;
  if (arch == "*") second = &types.x86;
  return first != nullptr;
}

std::optional<CField> ReadField(const std::vector<std::string_view>& f) {
  if (f.size() != 9 || f[3].size() != 1) return std::nullopt;
  CField field;
  field.name = Unescaped(f[1]);
  field.type = Unescaped(f[2]);
  const std::string_view kinds(kKinds);
  const std::size_t kind = kinds.find(f[3][0]);
  if (kind == std::string_view::npos) return std::nullopt;
  field.kind = static_cast<CValueKind>(kind);
  if (!ParseNumber(f[4], field.offsetBits) || !ParseNumber(f[5], field.size) || !ParseNumber(f[6], field.count) ||
      !ParseNumber(f[7], field.bitWidth)) {
    return std::nullopt;
  }
  field.record = Unescaped(f[8]);
  return field;
}

std::optional<CCallback> ReadCallback(const std::vector<std::string_view>& f) {
  if (f.size() < 5) return std::nullopt;
  CCallback callback;
  callback.name = Unescaped(f[2]);
  callback.call = ParseCallingConvention(f[3]);
  const auto returned = ParseTypeFacts(f[4]);
  if (!returned) return std::nullopt;
  callback.returned = *returned;
  for (std::size_t i = 5; i < f.size(); ++i) {
    const std::size_t colon = f[i].find(':');
    const auto facts = ParseTypeFacts(f[i].substr(0, colon));
    if (!facts || colon == std::string_view::npos) return std::nullopt;
    callback.parameters.push_back(*facts);
    callback.parameterNames.push_back(Unescaped(f[i].substr(colon + 1)));
  }
  return callback;
}

std::optional<CConstant> ReadConstant(const std::vector<std::string_view>& f) {
  CConstant constant;
  constant.isString = f[0] == "S";
  if (f.size() != (constant.isString ? 4u : 6u)) return std::nullopt;
  constant.name = Unescaped(f[2]);
  if (constant.isString) {
    constant.text = Unescaped(f[3]);
    return constant;
  }
  constant.isUnsigned = f[3] == "u";
  if (!ParseNumber(f[4], constant.size) || !ParseNumber(f[5], constant.value)) return std::nullopt;
  return constant;
}

bool IsWordCharacter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
}

template <typename Item, typename Keep>
void KeepIf(std::vector<Item>& items, Keep keep) {
  items.erase(std::remove_if(items.begin(), items.end(), [&](const Item& item) { return !keep(item); }), items.end());
}

}  // namespace

void NoteNamedTypes(TextView spelling, bool named, const CTypes& types, const std::set<Text>& callbackNames,
                    std::set<Text>& records, std::set<Text>& callbacks) {
  std::vector<TextView> words;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= spelling.size(); ++i) {
    if (i < spelling.size() && IsWordCharacter(spelling[i])) continue;
    if (i > start) words.push_back(spelling.substr(start, i - start));
    start = i + 1;
  }
  if (named && words.size() > 1) words.pop_back();
  for (const TextView word : words) {
    {
      const auto found = types.names.find(Text(word));
      // A handle's record ('HWND__', of DECLARE_HANDLE) is never filled in by a program.
      if (found != types.names.end() && IsProgramRecord(found->second.target)) {
        if (callbackNames.count(found->second.target) == 0) records.insert(found->second.target);
        else if (found->second.pointers == 0) callbacks.insert(found->first);
      }
    }
  }
}

bool IsProgramRecord(TextView key) {
  // A COM interface's method table ('IUnknownVtbl') is reached through the interface, never filled in.
  return !key.empty() && key.find(u'.') == TextView::npos && !key.ends_with(u"__") && !key.ends_with(u"Vtbl") &&
         !key.ends_with(u"VTBL");
}

std::set<Text> CallbackNames(const CTypes& types) {
  std::set<Text> names;
  for (const CArchitectureTypes* arch : {&types.x64, &types.x86}) {
    for (const CCallback& callback : arch->callbacks) names.insert(callback.name);
  }
  return names;
}

void AddContainedRecords(const CTypes& types, std::set<Text>& records) {
  std::map<Text, std::vector<const CRecord*>> byKey;
  for (const CArchitectureTypes* arch : {&types.x64, &types.x86}) {
    for (const CRecord& record : arch->records) byKey[record.key].push_back(&record);
  }
  std::vector<Text> pending(records.begin(), records.end());
  while (!pending.empty()) {
    const Text key = std::move(pending.back());
    pending.pop_back();
    const auto found = byKey.find(key);
    if (found == byKey.end()) continue;
    for (const CRecord* record : found->second) {
      for (const CField& field : record->fields) {
        if (field.kind == CValueKind::kRecord && records.insert(field.record).second) pending.push_back(field.record);
      }
    }
  }
}

void KeepNeededTypes(CTypes& types, const std::vector<Text>& spellings, const std::vector<Text>& returnTypes,
                     const std::set<Text>& functionHeaders) {
  std::map<Text, std::set<Text>> owned;
  for (const Text& header : functionHeaders) {
    std::set<Text>& closure = owned[header];
    std::vector<Text> pending = {header};
    while (!pending.empty()) {
      const Text next = std::move(pending.back());
      pending.pop_back();
      const auto edges = types.includes.find(next);
      if (edges == types.includes.end()) continue;
      for (const Text& included : edges->second) {
        if (functionHeaders.count(included) == 0 && closure.insert(included).second) pending.push_back(included);
      }
    }
  }
  std::set<Text> headers = functionHeaders;
  for (const auto& [header, closure] : owned) headers.insert(closure.begin(), closure.end());
  types.includes = std::move(owned);
  std::set<Text> records;
  std::set<Text> callbacks;
  for (const CRecord& record : types.x64.records) {
    if (headers.count(record.header) != 0 && IsProgramRecord(record.key)) records.insert(record.key);
  }
  const std::set<Text> callbackNames = CallbackNames(types);
  for (const Text& spelling : spellings) NoteNamedTypes(spelling, true, types, callbackNames, records, callbacks);
  for (const Text& spelling : returnTypes) NoteNamedTypes(spelling, false, types, callbackNames, records, callbacks);
  AddContainedRecords(types, records);
  std::set<Text> callbackTargets;
  for (const Text& name : callbacks) callbackTargets.insert(types.names.at(name).target);
  for (CArchitectureTypes* arch : {&types.x64, &types.x86}) {
    KeepIf(arch->records, [&](const CRecord& r) { return records.count(r.key) != 0; });
    KeepIf(arch->callbacks, [&](const CCallback& c) { return callbackTargets.count(c.name) != 0; });
    KeepIf(arch->constants, [&](const CConstant& c) { return headers.count(c.header) != 0; });
  }
  for (auto it = types.names.begin(); it != types.names.end();) {
    const bool needed = records.count(it->second.target) != 0 || callbackTargets.count(it->second.target) != 0;
    it = needed ? std::next(it) : types.names.erase(it);
  }
}

std::string WriteCTypes(const CTypes& types) {
  std::string out(kHeading);
  // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on a literal + std::string.
  out += ' ';
  out += std::to_string(kCTypesFormatVersion);
  out += '\n';
  WriteBoth(out, types.x64.records, types.x86.records, [](const CRecord& r) { return r.key; }, WriteRecord);
  WriteBoth(out, types.x64.constants, types.x86.constants, [](const CConstant& c) { return c.name; }, WriteConstant);
  WriteBoth(out, types.x64.callbacks, types.x86.callbacks, [](const CCallback& c) { return c.name; }, WriteCallback);
  for (const auto& [header, included] : types.includes) {
    if (included.empty()) continue;
    Line line{"I"};
    line.Field(TextView(header));
    for (const Text& name : included) line.Field(TextView(name));
    out += line.text + "\n";
  }
  for (const auto& [name, target] : types.names) {
    Line line{"N"};
    line.Field(TextView(name));
    line.Field(TextView(target.target));
    line.Number(static_cast<unsigned>(target.pointers));
    if (target.tag) line.Field(std::string_view("t"));
    out += line.text + "\n";
  }
  return out;
}

const CTypes* CTypesOf(const DocumentationSet& set) {
  if (!set.parsedCTypes && !set.cTypes.empty()) {
    auto types = ReadCTypes(set.cTypes);
    if (types) set.parsedCTypes = std::make_shared<const CTypes>(std::move(*types));
  }
  return set.parsedCTypes.get();
}

std::optional<CTypes> ReadCTypes(std::string_view text) {
  // The heading may follow blank space left by the element that holds the text.
  const std::size_t start = text.find(kHeading);
  if (start == std::string_view::npos) return std::nullopt;
  text = text.substr(start);
  const std::size_t firstEnd = text.find('\n');
  int version = 0;
  const std::string_view heading = text.substr(0, firstEnd);
  if (!ParseNumber(heading.substr(std::min(heading.size(), kHeading.size() + 1)), version) || version < 1 ||
      version > kCTypesFormatVersion) {
    return std::nullopt;
  }
  CTypes types;
  CRecord* first = nullptr;   // the record the F lines belong to
  CRecord* second = nullptr;  // its copy on the other architecture, for a record written once
  Text header;                // of the items that follow
  std::size_t at = firstEnd == std::string_view::npos ? text.size() : firstEnd + 1;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    const std::vector<std::string_view> f = Fields(text.substr(at, end - at));
    at = end + 1;
    CArchitectureTypes* a = nullptr;
    CArchitectureTypes* b = nullptr;
    if (f[0] == "F") {
      const auto field = ReadField(f);
      if (!field || first == nullptr) continue;
      first->fields.push_back(*field);
      if (second != nullptr) second->fields.push_back(*field);
    } else if (f[0] == "I" && f.size() >= 2) {
      std::set<Text>& included = types.includes[Unescaped(f[1])];
      for (std::size_t i = 2; i < f.size(); ++i) included.insert(Unescaped(f[i]));
    } else if (f[0] == "H" && f.size() == 2) {
      header = Unescaped(f[1]);
      first = second = nullptr;
    } else if (f[0] == "N" && (f.size() == 4 || f.size() == 5)) {
      unsigned pointers = 0;
      if (ParseNumber(f[3], pointers) && pointers < 8) {
        types.names[Unescaped(f[1])] =
            CTypeName{Unescaped(f[2]), static_cast<std::uint8_t>(pointers), f.size() == 5 && f[4] == "t"};
      }
    } else if (f.size() >= 2 && ForArchitectures(f[1], types, a, b)) {
      first = second = nullptr;
      if (f[0] == "R" && f.size() == 6) {
        CRecord record{Unescaped(f[2]), header, f[3] == "union", 0, 0, {}};
        if (!ParseNumber(f[4], record.size) || !ParseNumber(f[5], record.align)) continue;
        a->records.push_back(record);
        first = &a->records.back();
        if (b != nullptr) b->records.push_back(std::move(record)), second = &b->records.back();
      } else if (f[0] == "K" || f[0] == "S") {
        auto constant = ReadConstant(f);
        if (!constant) continue;
        constant->header = header;
        a->constants.push_back(*constant);
        if (b != nullptr) b->constants.push_back(*constant);
      } else if (f[0] == "P") {
        auto callback = ReadCallback(f);
        if (!callback) continue;
        callback->header = header;
        a->callbacks.push_back(*callback);
        if (b != nullptr) b->callbacks.push_back(*callback);
      }
    }
  }
  return types;
}

}  // namespace korvane
