// Any bytes as a catalogue file, written as an import file for both architectures: nothing a record
// holds may break the file's shape. Every line ends in CR LF with no other control character, and is
// empty, a comment, an Import or ImportC opening with a quoted name, EndImport, or a declaration that
// starts with an IDE name ending in '_': a record's text can never become a line of code.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "catalogue/catalogue_files.h"
#include "catalogue/catalogue_xml.h"
#include "importfile/import_file.h"

namespace {

using namespace korvane;

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsDeclaration(std::string_view line) {
  if (line.substr(0, 2) != "  ") return false;
  std::size_t end = 2;
  while (end < line.size() && IsNameCharacter(line[end])) ++end;
  return end > 3 && line[end - 1] == '_' && end < line.size() && (line[end] == '.' || line[end] == '(') &&
         line.back() == '"';
}

void CheckShape(const std::string& bytes) {
  if (bytes.rfind("\xEF\xBB\xBF", 0) != 0) std::abort();
  int open = 0;
  for (std::size_t at = 3; at < bytes.size();) {
    const std::size_t end = bytes.find("\r\n", at);
    if (end == std::string::npos) std::abort();
    const std::string_view line(bytes.data() + at, end - at);
    for (const char c : line) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) std::abort();
    }
    const bool opening = (line.rfind("Import \"", 0) == 0 || line.rfind("ImportC \"", 0) == 0) && line.back() == '"';
    if (opening) ++open;
    if (line == "EndImport") --open;
    const bool comment = line.rfind(";", 0) == 0 || line.rfind("  ;", 0) == 0;
    if (!(line.empty() || comment || opening || line == "EndImport" || IsDeclaration(line))) std::abort();
    if (open < 0 || open > 1) std::abort();
    at = end + 2;
  }
  if (open != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto document = ReadCatalogueDocument(std::span<const std::uint8_t>(data, size));
  if (!document) return 0;
  LibraryEntry entry = ToLibraryEntry(*document);
  std::unordered_map<Text, Text> runNames;  // shared by both files, as one run over two libraries
  for (const int x86 : {0, 1}) {
    entry.x86 = x86;
    ImportFileRequest request;
    request.library = &entry;
    request.libraryFileName = document->rootName;
    const ImportFile alone = WriteImportFile(request);
    CheckShape(alone.bytes);
    if (WriteImportFile(request).bytes != alone.bytes) std::abort();  // the same request, the same bytes
    request.runNames = &runNames;
    CheckShape(WriteImportFile(request).bytes);
  }
  return 0;
}
