// The typed model of structures, constants and prototypes, built from hand-made C facts: what each
// C construct becomes, on each architecture, before any text is written.

#include <gtest/gtest.h>

#include "importfile/type_model.h"

namespace korvane {
namespace {

CField Field(const char* name, CValueKind kind, std::uint32_t offset, std::uint32_t size, std::uint32_t count = 0,
             const char* record = "", std::uint32_t bits = 0, const char* type = "DWORD") {
  return CField{Utf8ToText(name), Utf8ToText(type), kind, offset * 8, size, count, bits, Utf8ToText(record)};
}

// What a field is written as: '*name', 'name.t', 'name.t[n]', 'StructureUnion'...
std::vector<std::string> Written(const IdeStructure& structure) {
  std::vector<std::string> lines;
  for (const IdeField& field : structure.fields) {
    if (field.kind == IdeField::Kind::kUnionStart) lines.push_back("StructureUnion");
    if (field.kind == IdeField::Kind::kUnionEnd) lines.push_back("EndStructureUnion");
    if (field.kind != IdeField::Kind::kField) continue;
    // Appended, not `"*" + ...`: GCC 12 at -O3 warns about a literal + string (a false positive).
    std::string line = field.pointer ? std::string("*") : std::string();
    line += field.pointer ? TextToUtf8(field.name) : TextToUtf8(field.name + u"." + field.type);
    if (field.count != 0) {
      line += '[';
      line += std::to_string(field.count);
      line += ']';
    }
    lines.push_back(line);
  }
  return lines;
}

const IdeStructure* Find(const TypeBlocks& blocks, const char* name) {
  for (const IdeStructure& s : blocks.structures) {
    if (s.name == Utf8ToText(name)) return &s;
  }
  return nullptr;
}

// One record per architecture as a compiler lays it out: x64 with 8-byte pointers, x86 with 4.
CTypes Sample() {
  CTypes types;
  // struct tagPOINT { LONG x, y; }
  const CRecord point{u"tagPOINT", u"windef.h", false, 8, 4,
                      {Field("x", CValueKind::kSigned, 0, 4, 0, "", 0, "LONG"), Field("y", CValueKind::kSigned, 4, 4, 0, "", 0, "LONG")}};
  types.x64.records.push_back(point);
  types.x86.records.push_back(point);
  // struct _ITEMW { DWORD cb; LPVOID lpData; ULONG_PTR extra; POINT pt; WCHAR name[3]; unsigned a:1, b:2;
  //                 union { DWORD n; float f; }; DWORD Data; }
  auto item = [](bool x86) {
    const std::uint32_t p = x86 ? 4 : 8;
    const std::uint32_t data = x86 ? 4 : 8;
    const std::uint32_t extra = data + p;
    const std::uint32_t pt = extra + p;
    const std::uint32_t name = pt + 8;
    const std::uint32_t bits = name + 8;  // 6 bytes of WCHAR, 2 of padding
    const std::uint32_t onion = bits + 4;
    const std::uint32_t last = onion + 4;
    return CRecord{u"_ITEMW", u"item.h", false, x86 ? last + 4 : last + 8, p,
                   {Field("cb", CValueKind::kUnsigned, 0, 4), Field("lpData", CValueKind::kPointer, data, p, 0, "", 0, "LPVOID"),
                    Field("extra", CValueKind::kUnsigned, extra, p, 0, "", 0, "ULONG_PTR"),
                    Field("pt", CValueKind::kRecord, pt, 8, 0, "tagPOINT", 0, "POINT"),
                    Field("name", CValueKind::kUnsigned, name, 6, 3, "", 0, "WCHAR [3]"),
                    Field("a", CValueKind::kUnsigned, bits, 4, 0, "", 1, "unsigned int"),
                    CField{u"b", u"unsigned int", CValueKind::kUnsigned, bits * 8 + 1, 4, 0, 2, u""},
                    Field("", CValueKind::kRecord, onion, 4, 0, "_ITEMW.1", 0, "union"),
                    Field("Data", CValueKind::kUnsigned, last, 4)}};
  };
  const CRecord inner{u"_ITEMW.1", u"item.h", true, 4, 4,
                      {Field("n", CValueKind::kUnsigned, 0, 4), Field("f", CValueKind::kFloat, 0, 4, 0, "", 0, "float")}};
  types.x64.records.push_back(item(false));
  types.x64.records.push_back(inner);
  types.x86.records.push_back(item(true));
  types.x86.records.push_back(inner);
  types.names = {{u"POINT", {u"tagPOINT", 0, false}},   {u"tagPOINT", {u"tagPOINT", 0, true}},
                 {u"ITEMW", {u"_ITEMW", 0, false}},     {u"ITEM", {u"_ITEMW", 0, false}},
                 {u"LPITEMW", {u"_ITEMW", 1, false}},   {u"COMPAREPROC", {u"COMPAREPROC", 0, false}}};
  const TypeFacts pointer{TypeKind::kPointer, {4, 4}, {8, 8}, PointeeText::kNone};
  const TypeFacts lparam{TypeKind::kSigned, {4, 4}, {8, 8}, PointeeText::kNone};
  const TypeFacts integer{TypeKind::kSigned, {4, 4}, {4, 4}, PointeeText::kNone};
  types.x64.callbacks.push_back({u"COMPAREPROC", u"item.h", CallingConvention::kUnknown, integer, {pointer, lparam}, {u"item", u"Data"}});
  types.x86.callbacks.push_back({u"COMPAREPROC", u"item.h", CallingConvention::kCdecl, integer, {pointer, lparam}, {u"item", u"Data"}});
  for (CArchitectureTypes* arch : {&types.x64, &types.x86}) {
    arch->constants.push_back({u"ITEM_ALL", u"item.h", false, true, 4, 0xFFFFFFFF, {}});
    arch->constants.push_back({u"ITEM_NONE", u"item.h", false, false, 4, -1, {}});
    arch->constants.push_back({u"ITEM_CLASS", u"item.h", true, false, 0, 0, u"Item"});
    arch->constants.push_back({u"OTHER_HEADER", u"other.h", false, false, 4, 5, {}});
  }
  types.x64.constants.push_back({u"ITEM_HANDLE", u"item.h", false, false, 8, -2147483646, {}});
  return types;
}

TEST(TypeModel, EachConstructBecomesTheIdesFieldAtTheCompilersOffsetOnBothArchitectures) {
  const CTypes types = Sample();
  const TypeSelection selection{{u"_ITEMW"}, {u"COMPAREPROC"}, {u"item.h"}};
  struct Case {
    bool x86;
    std::vector<std::string> fields;
  } cases[] = {
      // x64: 4 bytes of padding before the pointer; ULONG_PTR is pointer-sized on both (.i).
      {false, {"cb.l", "pad0.b[4]", "*lpData", "extra.i", "pt.POINT", "name.c[3]", "pad1.b[2]", "a.l", "StructureUnion",
               "n.l", "f.f", "EndStructureUnion", "Data_.l", "pad2.b[4]"}},
      {true, {"cb.l", "*lpData", "extra.i", "pt.POINT", "name.c[3]", "pad0.b[2]", "a.l", "StructureUnion", "n.l", "f.f",
              "EndStructureUnion", "Data_.l"}},
  };
  for (const Case& c : cases) {
    const TypeBlocks blocks = BuildTypeBlocks(types, selection, c.x86);
    const IdeStructure* item = Find(blocks, "ITEMW");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(Written(*item), c.fields) << (c.x86 ? "x86" : "x64");
    // POINT comes before the structure that contains it; the generic name extends the wide form.
    ASSERT_GE(blocks.structures.size(), 3u);
    EXPECT_EQ(blocks.structures[0].name, u"POINT");
    const IdeStructure* generic = Find(blocks, "ITEM");
    ASSERT_NE(generic, nullptr);
    EXPECT_EQ(generic->extends, u"ITEMW");
    // The bit-field unit and the renamed keyword say what they stand for.
    EXPECT_EQ(item->fields[c.x86 ? 6 : 7].comment, u"bit-fields: a:1, b:2");
    EXPECT_EQ(item->fields[c.x86 ? 11 : 12].cName, u"Data");
  }
}

TEST(TypeModel, ConstantsKeepTheCompilersValueAndPrototypesTheConvention) {
  const CTypes types = Sample();
  const TypeSelection selection{{}, {u"COMPAREPROC"}, {u"item.h"}};
  const TypeBlocks x64 = BuildTypeBlocks(types, selection, false);
  const TypeBlocks x86 = BuildTypeBlocks(types, selection, true);
  auto values = [](const TypeBlocks& blocks) {
    std::vector<std::string> out;
    for (const IdeConstant& c : blocks.constants) out.push_back(TextToUtf8(c.name + u" = " + c.value));
    return out;
  };
  // An unsigned 32-bit value stays unsigned; a pointer constant keeps its sign-extended value; only the
  // selected header's constants are written.
  EXPECT_EQ(values(x64), (std::vector<std::string>{"ITEM_ALL = $FFFFFFFF", "ITEM_NONE = -1", "ITEM_CLASS = \"Item\"",
                                                   "ITEM_HANDLE = -2147483646"}));
  EXPECT_EQ(values(x86), (std::vector<std::string>{"ITEM_ALL = $FFFFFFFF", "ITEM_NONE = -1", "ITEM_CLASS = \"Item\""}));
  ASSERT_EQ(x64.prototypes.size(), 1u);
  ASSERT_EQ(x86.prototypes.size(), 1u);
  EXPECT_FALSE(x64.prototypes[0].c);
  EXPECT_TRUE(x86.prototypes[0].c);
  // LPARAM is pointer-sized (.i); the keyword 'Data' is renamed.
  EXPECT_EQ(x64.prototypes[0].parameters, (std::vector<Text>{u"item.i", u"Data_.i"}));
  EXPECT_EQ(x86.prototypes[0].returned, u".l");
}

// Two headers that give one name different values: which applies depends on what a program includes.
TEST(TypeModel, ANameTwoHeadersDisagreeOnIsLeftOut) {
  CTypes types;
  types.x64.constants = {{u"IP_ADD_MEMBERSHIP", u"winsock.h", false, false, 4, 5, {}},
                         {u"SAME", u"winsock.h", false, false, 4, 1, {}},
                         {u"IP_ADD_MEMBERSHIP", u"winsock2.h", false, false, 4, 12, {}},
                         {u"same", u"winsock2.h", false, false, 4, 1, {}}};
  const TypeBlocks both = BuildTypeBlocks(types, TypeSelection{{}, {}, {u"winsock.h", u"winsock2.h"}}, false);
  ASSERT_EQ(both.constants.size(), 1u);
  EXPECT_EQ(both.constants[0].name, u"SAME");
  const TypeBlocks one = BuildTypeBlocks(types, TypeSelection{{}, {}, {u"winsock2.h"}}, false);
  ASSERT_EQ(one.constants.size(), 2u);
  EXPECT_EQ(one.constants[0].value, u"12");
}

TEST(TypeModel, WrittenTextGuardsEveryDefinition) {
  const CTypes types = Sample();
  const std::string text = WriteTypeBlocks(BuildTypeBlocks(types, TypeSelection{{u"tagPOINT"}, {}, {u"other.h"}}, false));
  EXPECT_EQ(text,
            "\r\n; Structures, laid out as the C compiler lays them out on this architecture\r\n"
            "CompilerIf Not Defined(POINT, #PB_Structure)\r\n"
            "  Structure POINT ; 8 bytes, windef.h\r\n    x.l\r\n    y.l\r\n  EndStructure\r\nCompilerEndIf\r\n"
            "\r\n; Constants, with the values the C compiler gives on this architecture\r\n; other.h\r\n"
            "CompilerIf Not Defined(OTHER_HEADER, #PB_Constant)\r\n  #OTHER_HEADER = 5\r\nCompilerEndIf\r\n");
}

}  // namespace
}  // namespace korvane
