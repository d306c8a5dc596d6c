// The text of the type blocks: the last step, which decides nothing.

#include "importfile/type_model.h"
#include "importfile/type_names.h"

namespace korvane {
namespace {

void Line(std::string& out, TextView text) {
  AppendTextAsUtf8(out, text);
  out += "\r\n";
}

Text FieldText(const IdeField& field) {
  switch (field.kind) {
    case IdeField::Kind::kUnionStart: return u"StructureUnion";
    case IdeField::Kind::kUnionEnd: return u"EndStructureUnion";
    case IdeField::Kind::kField: break;
  }
  Text text = field.pointer ? Joined({u"*", field.name}) : Joined({field.name, u".", field.type});
  if (field.count != 0) text += Joined({u"[", DecimalText(field.count), u"]"});
  if (!field.comment.empty()) text += Joined({u" ; ", field.comment});
  return text;
}

void Guarded(std::string& out, TextView name, TextView kind, const std::vector<Text>& lines) {
  Line(out, Joined({u"CompilerIf Not Defined(", name, u", ", kind, u")"}));
  for (const Text& line : lines) Line(out, Joined({u"  ", line}));
  Line(out, u"CompilerEndIf");
}

void Structure(std::string& out, const IdeStructure& structure) {
  std::vector<Text> lines;
  if (!structure.extends.empty()) {
    lines.push_back(Joined({u"Structure ", structure.name, u" Extends ", structure.extends, u" : EndStructure"}));
  } else {
    const Text note = structure.note.empty() ? Text() : Joined({u", ", structure.note});
    lines.push_back(Joined({u"Structure ", structure.name, u" ; ", DecimalText(structure.size), u" bytes, ",
                            structure.header, note}));
    int depth = 1;
    for (const IdeField& field : structure.fields) {
      if (field.kind == IdeField::Kind::kUnionEnd) --depth;
      lines.push_back(Text(2 * static_cast<std::size_t>(depth), u' ') + FieldText(field));
      if (field.kind == IdeField::Kind::kUnionStart) ++depth;
    }
    lines.push_back(u"EndStructure");
  }
  Guarded(out, structure.name, u"#PB_Structure", lines);
}

}  // namespace

std::string WriteTypeBlocks(const TypeBlocks& blocks) {
  std::string out;
  if (!blocks.structures.empty()) {
    Line(out, u"");
    Line(out, u"; Structures, laid out as the C compiler lays them out on this architecture");
    for (const IdeStructure& structure : blocks.structures) Structure(out, structure);
  }
  if (!blocks.prototypes.empty()) {
    Line(out, u"");
    Line(out, u"; Callbacks");
    for (const IdePrototype& prototype : blocks.prototypes) {
      Text line = Joined({prototype.c ? u"PrototypeC" : u"Prototype", prototype.returned, u" ", prototype.name, u"("});
      for (std::size_t i = 0; i < prototype.parameters.size(); ++i) {
        line += (i == 0 ? u"" : u", ") + prototype.parameters[i];
      }
      Guarded(out, prototype.name, u"#PB_Prototype", {Joined({line, u")"})});
    }
  }
  if (!blocks.constants.empty()) {
    Line(out, u"");
    Line(out, u"; Constants, with the values the C compiler gives on this architecture");
    Text header;
    for (const IdeConstant& constant : blocks.constants) {
      if (constant.header != header) Line(out, Joined({u"; ", header = constant.header}));
      Guarded(out, constant.name, u"#PB_Constant", {Joined({u"#", constant.name, u" = ", constant.value})});
    }
  }
  return out;
}

}  // namespace korvane
