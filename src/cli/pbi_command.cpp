// `korvane-cli pbi --out DIR [--docs DOCSFILE] [--] FILE...`: one import file of typed declarations per
// library read, for the IDE's projects.

#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include "app/settings.h"
#include "app/settings_file.h"
#include "cli/cli.h"
#include "cli/command_args.h"
#include "cli/input_files.h"
#include "docs/docs_file.h"
#include "docs/docs_file_load.h"
#include "importfile/ide_names.h"
#include "importfile/import_file.h"
#include "importfile/library_symbols.h"

namespace korvane {

const std::string_view kPbiUsage =
    "Usage: korvane-cli pbi --out DIR [--docs DOCSFILE] [--no-types | --types-of-ticked] [--] FILE...\n"
    "\n"
    "Reads FILE... as list does and writes, for each library, DIR/<library base name>.pbi: the\n"
    "IDE's Import ... EndImport blocks declaring every ticked function with a return type as\n"
    "Name_ (the IDE's own form), typed from the documentation set DOCSFILE (default: the set the\n"
    "settings name, else Korvane.docs beside the program, else a built-in table of the common\n"
    "Windows types). A library none of whose functions was looked up is declared from the set's\n"
    "signatures. A name is declared once per run: the first library keeps it, later files say\n"
    "where it is. Functions the IDE imports itself are left as comments. Prints the path of each\n"
    "file written, one per line. On x86, each declaration's linker name is checked against the\n"
    "library file's own symbol when the file is at hand; a difference is named on stderr and the\n"
    "function is left as a comment. A library whose file would declare nothing is not written.\n"
    "\n"
    "After the Import blocks, when the set records the headers' types, each file carries what the\n"
    "library's functions need, laid out for the library's architecture: the structures they take\n"
    "(and those these contain), a Prototype for each callback type they take, and the constants of\n"
    "the headers that declare them (for kernel32 and advapi32 also winnt.h's), each guarded by\n"
    "CompilerIf Not Defined(...). --no-types leaves them out; --types-of-ticked takes them from the\n"
    "ticked functions only, instead of from every function of the library.\n"
    "\n"
    "Exit status: 0 when every file was written, 1 when none or not all could be, 2 for a usage\n"
    "error.\n";

namespace {

// The path of the set the settings name ("Lookup" / "Docs" in Korvane.ini of the working directory),
// read without writing anything; empty when there is none.
Text SettingsDocsPath(FileSystem& files) {
  SettingsFile settings(files);
  const Text path = files.WorkingDirectory() + kSettingsFileName;
  if (!files.FileExists(path) || !settings.OpenSettings(path)) return {};
  Text docs;
  if (settings.SelectGroup(kGroupLookup)) docs = settings.ReadText(kKeyDocs, {});
  settings.CloseSettings();
  return docs;
}

// The set --docs names (nullptr with a message when it cannot be read), else the settings' set or the
// one beside the program when either loads, else nullptr: the built-in table resolves the types.
bool ChooseSet(const Text& docsOption, FileSystem& files, CliOutput& output,
               std::shared_ptr<const DocumentationSet>& set) {
  if (!docsOption.empty()) {
    DocsLoadError error = DocsLoadError::None;
    set = LoadDocumentationSetFile(files, docsOption, &error);
    if (set) return true;
    output.err += "korvane-cli: " + TextToUtf8(docsOption) +
                  (error == DocsLoadError::Unreadable ? ": cannot read the documentation set\n"
                                                      : ": not a documentation set\n");
    return false;
  }
  const Text configured = SettingsDocsPath(files);
  if (!configured.empty()) set = LoadDocumentationSetFile(files, configured);
  if (!set && !CliProgramFolder().empty()) set = LoadDocumentationSetFile(files, CliProgramFolder() + kDocsFileName);
  return true;
}

// Why a library's file declares nothing, in words that say what to do about it.
std::string NothingDeclaredReason(const LibraryEntry& entry, bool haveSet, const ImportFile& file) {
  const bool lookedUp = std::any_of(entry.functions.begin(), entry.functions.end(),
                                    [](const ApiFunction& record) { return !record.Return.empty(); });
  if (file.commented > 0) return "every function is left as a comment";
  if (lookedUp) return "no ticked function has a return type";
  if (haveSet) return "the documentation set knows none of its functions";
  return "none was looked up and no documentation set was found: give --docs";
}

}  // namespace

Text& CliProgramFolder() {
  static Text folder;
  return folder;
}

int RunPbiCli(std::span<const Text> args, FileSystem& files, CliOutput& output) {
  static constexpr std::array<TextView, 2> kValueOptions = {u"--out", u"--docs"};
  static constexpr std::array<TextView, 2> kFlags = {u"--no-types", u"--types-of-ticked"};
  const SpecialOptionsTaken special = TakeSpecialOptions(args, SpecialOptions{kFlags, {}, kValueOptions});
  const CommandArgs parsed = ParseCommandArgs(special.rest, kValueOptions);
  if (parsed.help) return output.out += kPbiUsage, kExitSuccess;
  if (!parsed.error.empty()) return UsageError(output, parsed.error);
  Text outFolder;
  Text docsFile;
  for (const auto& [name, value] : parsed.options) {
    Text& target = name == u"--out" ? outFolder : docsFile;
    if (!target.empty()) return UsageError(output, "pbi takes one " + TextToUtf8(name));
    if (value.empty()) return UsageError(output, "option '" + TextToUtf8(name) + "' needs a value");
    target = value;
  }
  const bool noTypes = std::find(special.flags.begin(), special.flags.end(), u"--no-types") != special.flags.end();
  const bool ofTicked = std::find(special.flags.begin(), special.flags.end(), u"--types-of-ticked") != special.flags.end();
  if (noTypes && ofTicked) return UsageError(output, "pbi takes --no-types or --types-of-ticked, not both");
  if (outFolder.empty()) return UsageError(output, "pbi needs --out DIR");
  if (parsed.files.empty()) return UsageError(output, "pbi needs at least one FILE");
  if (!OutFolderExists(outFolder, files, output)) return kExitFailure;
  std::shared_ptr<const DocumentationSet> set;
  if (!ChooseSet(docsFile, files, output, set)) return kExitFailure;

  Catalogue catalogue;
  const InputLoad load = LoadInputFiles(catalogue, files, parsed.files);
  output.err += load.diagnostics;
  const Text folder = FolderPrefix(outFolder);
  std::size_t written = 0;
  int declared = 0;
  // Names are declared once per run: a program that includes two of its files must compile.
  std::unordered_map<Text, Text> runNames;
  // Windows compares file names without letter case: two such names would be one file there.
  std::unordered_map<Text, Text> targets;
  for (const LoadedFile& input : load.outcome.libraries) {
    const LibraryEntry* entry = catalogue.Find(input.key);
    if (entry == nullptr) continue;
    const Text name = ImportFileName(input.fileName);
    const Text target = folder + name;
    if (const auto [taken, added] = targets.emplace(IdeNameKey(name), input.path); !added) {
      output.err += "korvane-cli: not written " + TextToUtf8(target) + " for " + TextToUtf8(input.path) +
                    ": the file for " + TextToUtf8(taken->second) + " was already written under that name\n";
      continue;
    }
    // The library file itself, for its decorated names: the file named, or the one a catalogue file
    // points at. Its absence only leaves the check out.
    const std::unordered_map<Text, Text> symbols = LibraryFileSymbols(files, entry->path, entry->x86 != 0);
    ImportFileRequest request;
    request.library = entry;
    request.libraryFileName = input.fileName;
    request.set = set.get();
    request.symbols = symbols.empty() ? nullptr : &symbols;
    request.types = !noTypes;
    request.typesOfTickedOnly = ofTicked;
    request.runNames = &runNames;
    request.importFileName = name;
    const ImportFile file = WriteImportFile(request);
    for (const SymbolMismatch& mismatch : file.mismatches) {
      output.err += "korvane-cli: " + TextToUtf8(input.path) + ": " + TextToUtf8(mismatch.function) +
                    ": declared as " + TextToUtf8(mismatch.declared) + ", the library has " +
                    TextToUtf8(mismatch.library) + "; left as a comment\n";
    }
    if (file.declared == 0) {
      output.err += "korvane-cli: not written " + TextToUtf8(target) + " for " + TextToUtf8(input.path) +
                    ": no function could be declared (" + NothingDeclaredReason(*entry, set != nullptr, file) + ")\n";
      continue;
    }
    declared += file.declared;
    if (files.WriteWholeFile(target, AsBytes(file.bytes))) {
      output.out += TextToUtf8(target) + "\n";
      ++written;
    } else {
      output.err += "korvane-cli: could not write " + TextToUtf8(target) + " for " + TextToUtf8(input.path) + ": " +
                    TextToUtf8(WriteFailureReason(files, target)) + "\n";
    }
  }
  if (declared == 0 && !load.outcome.libraries.empty()) output.err += "korvane-cli: no function declared\n";
  const bool all = written == load.outcome.libraries.size() && load.outcome.skipped.empty();
  return written > 0 && all ? kExitSuccess : kExitFailure;
}

}  // namespace korvane
