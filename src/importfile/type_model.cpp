// The typed model of the structures, constants and prototypes. A structure is written without Align:
// the IDE packs its fields, so every gap the C compiler leaves is written as a padding field and each
// field lands on the C offset. A C construct the IDE cannot write (a bit-field, a long double, a member
// of an anonymous struct inside a union) becomes a field of the right size, so that the rest stays exact.

#include "importfile/type_model.h"

#include <algorithm>
#include <set>
#include <unordered_map>

#include "importfile/type_names.h"
#include "importfile/type_values.h"
#include "text/text_ops.h"

namespace korvane {
namespace {

struct Context {
  const CArchitectureTypes* arch = nullptr;
  const CArchitectureTypes* other = nullptr;  // the other architecture: tells pointer-sized integers
  const std::unordered_map<Text, const CRecord*>& records;
  const std::unordered_map<Text, const CRecord*>& otherRecords;
  const std::map<Text, RecordNames>& names;
  bool x86 = false;
  TypeBlocks* blocks = nullptr;
  std::set<Text> written;  // lower-case IDE names of the structures written
  std::set<Text> visiting;
};

Text StructureName(const Context& context, const Text& key) {
  const auto found = context.names.find(key);
  if (found != context.names.end()) return found->second.name;
  // A record defined inside another without a tag of its own: 'OVERLAPPED_1'.
  if (const std::size_t dot = key.rfind(u'.'); dot != Text::npos) {
    return Joined({StructureName(context, key.substr(0, dot)), u"_", TextView(key).substr(dot + 1)});
  }
  const std::size_t first = key.find_first_not_of(u'_');
  return first == Text::npos ? key : key.substr(first);
}

// The size of one element on the other architecture, when it has the same record and field.
std::uint32_t OtherElementSize(const Context& context, const Text& key, std::size_t index) {
  const auto found = context.otherRecords.find(key);
  if (found == context.otherRecords.end() || index >= found->second->fields.size()) return 0;
  const CField& field = found->second->fields[index];
  return field.count == 0 ? field.size : (field.count != 0 ? field.size / field.count : 0);
}

bool IsWideChar(const CField& field) {
  return field.type.find(u"WCHAR") != Text::npos || field.type.find(u"wchar_t") != Text::npos;
}

// Handles are integers to a program, as the IDE's own definitions write them.
bool IsHandle(const CField& field) {
  const TextView type = field.type;
  return type.size() > 1 && type[0] == u'H' &&
         std::none_of(type.begin(), type.end(), [](char16_t c) { return c == u' ' || c == u'*' || (c >= u'a' && c <= u'z'); });
}

void WriteRecord(Context& context, const Text& key);

IdeField Padding(std::uint32_t bytes, int& paddings) {
  IdeField field;
  field.name = Joined({u"pad", DecimalText(paddings++)});
  field.type.assign(u"b");
  field.count = bytes > 1 ? bytes : 0;
  return field;
}

// One C field as an IDE field; `index` is its place in `owner`'s fields.
IdeField Member(Context& context, const CRecord& owner, std::size_t index) {
  const CField& c = owner.fields[index];
  IdeField field;
  field.cName = c.name;
  field.name = IdeMemberName(c.name);
  if (field.name != c.name) field.comment = Joined({u"C: ", c.name});
  const std::uint32_t elements = c.count == 0 ? 1 : c.count;
  const std::uint32_t elementSize = elements == 0 ? 0 : c.size / elements;
  field.count = c.count;
  const std::uint32_t pointerSize = context.x86 ? 4 : 8;
  const std::uint32_t otherSize = OtherElementSize(context, owner.key, index);
  switch (c.kind) {
    case CValueKind::kPointer:
      if (c.count == 0 && !IsHandle(c)) field.pointer = true;
      else field.type.assign(u"i");
      break;
    case CValueKind::kSigned:
    case CValueKind::kUnsigned:
      if (elementSize == pointerSize && otherSize != 0 && otherSize != elementSize) field.type.assign(u"i");
      else if (elementSize == 2 && IsWideChar(c)) field.type.assign(u"c");
      else field.type = IdeIntegerType(elementSize, c.kind == CValueKind::kSigned);
      break;
    case CValueKind::kFloat:
      field.type.assign(elementSize == 4 ? u"f" : elementSize == 8 ? u"d" : u"");
      break;
    case CValueKind::kRecord:
      if (context.records.count(c.record) != 0 && elementSize != 0) {
        WriteRecord(context, c.record);
        field.type = StructureName(context, c.record);
      }
      break;
    case CValueKind::kOther: break;
  }
  if (field.type.empty() && !field.pointer) {
    // Bytes of the right size keep the offsets exact where the IDE has no such type.
    field.type.assign(u"b");
    field.count = c.size;
    field.comment = Joined({u"C type ", c.type, u": ", DecimalText(c.size), u" bytes"});
  }
  return field;
}

struct Layout {
  std::vector<IdeField>* fields;
  std::uint32_t cursor = 0;  // bytes laid out so far, from the structure's start
  int paddings = 0;
  int helpers = 0;
  Text ownerName;
};

void PadTo(Layout& layout, std::uint32_t offset) {
  if (offset > layout.cursor) layout.fields->push_back(Padding(offset - layout.cursor, layout.paddings));
  layout.cursor = std::max(layout.cursor, offset);
}

void LayStruct(Context& context, const CRecord& record, std::uint32_t base, Layout& layout);
void LayUnion(Context& context, const CRecord& record, std::uint32_t base, Layout& layout);

const CRecord* InlineRecord(const Context& context, const CField& field) {
  if (!field.name.empty() || field.kind != CValueKind::kRecord || field.count != 0) return nullptr;
  const auto found = context.records.find(field.record);
  return found != context.records.end() ? found->second : nullptr;
}

// A run of bit-fields is written as its storage units, each named after its first bit-field.
std::size_t LayBitFields(const CRecord& record, std::size_t first, std::uint32_t base, Layout& layout) {
  std::size_t i = first;
  while (i < record.fields.size() && record.fields[i].bitWidth != 0) {
    const CField& unit = record.fields[i];
    const std::uint32_t size = std::max<std::uint32_t>(unit.size, 1);
    std::uint32_t start = base + (unit.offsetBits / 8) / size * size;
    if (start < layout.cursor) start = layout.cursor;
    PadTo(layout, start);
    IdeField field;
    field.type = IdeIntegerType(size, false);
    if (field.type.empty()) {
      field.type.assign(1, u'b');
      field.count = size;
    }
    Text members;
    for (; i < record.fields.size() && record.fields[i].bitWidth != 0 &&
           base + (record.fields[i].offsetBits + record.fields[i].bitWidth + 7) / 8 <= start + size;
         ++i) {
      const CField& bits = record.fields[i];
      if (bits.name.empty()) continue;
      if (field.name.empty()) field.name = IdeMemberName(bits.name);
      members += Joined({members.empty() ? u"" : u", ", bits.name, u":", DecimalText(bits.bitWidth)});
    }
    if (i == first) ++i;  // a bit-field wider than its unit: never, but never loop forever
    if (field.name.empty()) field.name = Joined({u"bits", DecimalText(layout.paddings++)});
    field.comment = Joined({u"bit-fields: ", members});
    layout.fields->push_back(std::move(field));
    layout.cursor = start + size;
    first = i;
  }
  return i;
}

void LayStruct(Context& context, const CRecord& record, std::uint32_t base, Layout& layout) {
  for (std::size_t i = 0; i < record.fields.size();) {
    const CField& c = record.fields[i];
    if (c.bitWidth != 0) {
      i = LayBitFields(record, i, base, layout);
      continue;
    }
    const std::uint32_t offset = base + c.offsetBits / 8;
    if (const CRecord* inner = InlineRecord(context, c)) {
      PadTo(layout, offset);
      inner->isUnion ? LayUnion(context, *inner, offset, layout) : LayStruct(context, *inner, offset, layout);
      PadTo(layout, offset + inner->size);
    } else if (c.size != 0) {  // a flexible array member ('Elements[]') takes no room
      PadTo(layout, offset);
      layout.fields->push_back(Member(context, record, i));
      layout.cursor = offset + c.size;
    }
    ++i;
  }
  PadTo(layout, base + record.size);
}

// A union's members all start at its start. An anonymous struct among them becomes a structure of its
// own, since a union holds single fields.
void LayUnion(Context& context, const CRecord& record, std::uint32_t base, Layout& layout) {
  IdeField start;
  start.kind = IdeField::Kind::kUnionStart;
  layout.fields->push_back(start);
  std::uint32_t widest = 0;
  for (std::size_t i = 0; i < record.fields.size(); ++i) {
    const CField& c = record.fields[i];
    if (const CRecord* inner = InlineRecord(context, c)) {
      IdeStructure helper;
      helper.name = Joined({layout.ownerName, u"_", DecimalText(++layout.helpers)});
      Layout innerLayout{&helper.fields, 0, 0, 0, helper.name};
      inner->isUnion ? LayUnion(context, *inner, 0, innerLayout) : LayStruct(context, *inner, 0, innerLayout);
      helper.size = inner->size;
      helper.header = record.header;
      helper.note = Joined({u"an anonymous member of ", layout.ownerName});
      IdeField field;
      field.name = Joined({u"anon", DecimalText(layout.helpers)});
      field.type = helper.name;
      field.comment = u"an anonymous C member: its fields are this structure's";
      context.blocks->structures.push_back(std::move(helper));
      layout.fields->push_back(std::move(field));
      widest = std::max(widest, inner->size);
      continue;
    }
    if (c.bitWidth != 0) {
      Layout bits{layout.fields, 0, layout.paddings, 0, {}};
      LayBitFields(record, i, 0, bits);
      layout.paddings = bits.paddings;
      widest = std::max(widest, bits.cursor);
      continue;
    }
    if (c.size == 0) continue;
    layout.fields->push_back(Member(context, record, i));
    widest = std::max(widest, c.size);
  }
  IdeField end;
  end.kind = IdeField::Kind::kUnionEnd;
  layout.fields->push_back(end);
  layout.cursor = base + widest;
  PadTo(layout, base + record.size);
}

void WriteRecord(Context& context, const Text& key) {
  const auto found = context.records.find(key);
  if (found == context.records.end() || context.visiting.count(key) != 0) return;
  const Text name = StructureName(context, key);
  if (context.written.count(LowerCase(name)) != 0 || IsIdeKeywordName(name)) return;
  context.visiting.insert(key);
  const CRecord& record = *found->second;
  IdeStructure structure;
  structure.name = name;
  structure.size = record.size;
  structure.header = record.header;
  if (key.find(u'.') != Text::npos) {
    structure.note = Joined({u"the type of a member of ", StructureName(context, key.substr(0, key.rfind(u'.')))});
  }
  const auto named = context.names.find(key);
  if (named != context.names.end() && named->second.tagOnly) {
    structure.note = Joined({u"C: ", record.isUnion ? u"union " : u"struct ", named->second.name});
  }
  Layout layout{&structure.fields, 0, 0, 0, name};
  record.isUnion ? LayUnion(context, record, 0, layout) : LayStruct(context, record, 0, layout);
  context.visiting.erase(key);
  if (context.written.count(LowerCase(name)) != 0) return;
  context.written.insert(LowerCase(name));
  context.blocks->structures.push_back(std::move(structure));
  const auto names = context.names.find(key);
  if (names == context.names.end()) return;
  for (const Text& other : names->second.others) {
    if (context.written.count(LowerCase(other)) != 0 || IsIdeKeywordName(other)) continue;
    context.written.insert(LowerCase(other));
    context.blocks->structures.push_back(IdeStructure{other, name, {}, record.size, {}, record.header});
  }
}

}  // namespace

TypeIndex IndexTypes(const CTypes& types) {
  TypeIndex index;
  for (const CRecord& record : types.x64.records) index.x64Records.emplace(record.key, &record);
  for (const CRecord& record : types.x86.records) index.x86Records.emplace(record.key, &record);
  for (const CConstant& constant : types.x64.constants) index.x64Constants[constant.header].push_back(&constant);
  for (const CConstant& constant : types.x86.constants) index.x86Constants[constant.header].push_back(&constant);
  index.names = NameRecords(types);
  return index;
}

TypeBlocks BuildTypeBlocks(const CTypes& types, const TypeIndex& index, const TypeSelection& selection, bool x86) {
  TypeBlocks blocks;
  Context context{x86 ? &types.x86 : &types.x64, x86 ? &types.x64 : &types.x86,
                  x86 ? index.x86Records : index.x64Records, x86 ? index.x64Records : index.x86Records,
                  index.names, x86, &blocks, {}, {}};
  for (const Text& key : selection.records) WriteRecord(context, key);
  AddConstants(x86 ? index.x86Constants : index.x64Constants, selection, blocks);
  AddPrototypes(types, x86, selection, blocks);
  return blocks;
}

TypeBlocks BuildTypeBlocks(const CTypes& types, const TypeSelection& selection, bool x86) {
  return BuildTypeBlocks(types, IndexTypes(types), selection, x86);
}

std::string LibraryTypeBlocks(const LibraryEntry& library, const DocumentationSet& set, bool tickedOnly) {
  const CTypes* types = CTypesOf(set);
  if (types == nullptr) return {};
  // The index serves every file written from the same set (pbi writes ten in a row); it is made again
  // when the set's types are another set's.
  static std::weak_ptr<const CTypes> indexed;
  static TypeIndex index;
  if (indexed.lock() != set.parsedCTypes) {
    index = IndexTypes(*types);
    indexed = set.parsedCTypes;
  }
  const TypeSelection selection = SelectTypes(library, set, *types, tickedOnly);
  return WriteTypeBlocks(BuildTypeBlocks(*types, index, selection, library.x86 != 0));
}

}  // namespace korvane
