#include "importfile/import_file.h"

#include "importfile/import_model.h"
#include "importfile/type_model.h"

namespace korvane {
namespace {

// A character that could end a line or a comment, or that no editor shows: C0 and C1 controls, DEL and
// the Unicode line and paragraph separators.
bool IsControl(char16_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

// Every line goes through here: texts from a catalogue file (a Return, a parameter type, a function
// name that is no identifier) end up in comments, and a line break among them would turn the rest of
// the text into code.
void AppendLine(std::string& out, TextView line) {
  Text safe(line);
  for (char16_t& c : safe) {
    if (IsControl(c)) c = u' ';
  }
  AppendTextAsUtf8(out, safe);
  out += "\r\n";
}

Text DeclarationLine(const ImportDeclaration& declaration) {
  if (!declaration.omitted.empty()) return u"; " + declaration.name + u": not declared: " + declaration.omitted;
  Text line = declaration.name;
  if (!declaration.returnType.empty()) line += u"." + declaration.returnType;
  line += u"(";
  for (std::size_t i = 0; i < declaration.parameters.size(); ++i) {
    const ImportParameter& parameter = declaration.parameters[i];
    if (i != 0) line += u", ";
    line += parameter.pointer ? u"*" + parameter.name : parameter.name + u"." + parameter.type;
    if (parameter.optional) line += u" = 0";
  }
  return line + u") As \"" + declaration.symbol + u"\"";
}

// The library's file name as the Import line's string holds it: a quote would end the string.
Text QuotedName(TextView name) {
  Text quoted(name);
  for (char16_t& c : quoted) {
    if (c == u'"') c = u'_';
  }
  return u"\"" + quoted + u"\"";
}

void AppendBlock(std::string& out, TextView opening, TextView fileName, const std::vector<Text>& lines) {
  if (lines.empty()) return;
  AppendLine(out, u"");
  AppendLine(out, Text(opening) + u" " + QuotedName(fileName));
  for (const Text& line : lines) AppendLine(out, u"  " + line);
  AppendLine(out, u"EndImport");
}

}  // namespace

ImportFile WriteImportFile(const ImportFileRequest& request) {
  const ImportModel model = BuildImportModel(request);
  ImportFile file;
  file.mismatches = model.mismatches;
  std::vector<Text> standard;
  std::vector<Text> cLines;
  for (const ImportDeclaration& declaration : model.declarations) {
    if (declaration.omitted.empty()) {
      ++file.declared;
      if (!declaration.parameters.empty() && declaration.parameters.back().optional) ++file.variadic;
    } else {
      ++file.commented;
    }
    (declaration.cdecl ? cLines : standard).push_back(DeclarationLine(declaration));
  }
  file.bytes = "\xEF\xBB\xBF";
  AppendLine(file.bytes, u"; " + request.libraryFileName + u" (" + ArchitectureText(*request.library) +
                             u"): import declarations written by Korvane");
  AppendBlock(file.bytes, u"Import", request.libraryFileName, standard);
  AppendBlock(file.bytes, u"ImportC", request.libraryFileName, cLines);
  if (request.types && request.set != nullptr) {
    file.bytes += LibraryTypeBlocks(*request.library, *request.set, request.typesOfTickedOnly);
  }
  return file;
}

Text ImportFileName(TextView libraryFileName) {
  const std::size_t dot = libraryFileName.rfind(u'.');
  const TextView base = dot == TextView::npos || dot == 0 ? libraryFileName : libraryFileName.substr(0, dot);
  return Text(base) + u".pbi";
}

}  // namespace korvane
