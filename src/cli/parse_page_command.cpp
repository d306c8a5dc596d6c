// `korvane-cli parse-page --function NAME --library KEY [--] FILE...`: reads saved reference pages as
// the lookup reads them and prints the fields it would store, one JSON object per file and line.

#include <array>
#include <map>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "cli/command_args.h"
#include "lookup/reference_page.h"

namespace korvane {

const std::string_view kParsePageUsage =
    "Usage: korvane-cli parse-page --function NAME --library KEY [--] FILE...\n"
    "\n"
    "Reads each FILE as a saved reference page (Windows-1252) of function NAME in library KEY and\n"
    "prints one JSON object per FILE and line, in the given order: the file, whether it is a\n"
    "reference page, and the fields a lookup would store (Parameters, Return, Description, Group,\n"
    "siblings). Files that cannot be read are named on stderr.\n"
    "\n"
    "Exit status: 0 when every FILE was read, 1 when any could not be, 2 for a usage error.\n";
namespace {

std::string FileError(const Text& path, FileReadStatus status) {
  const char* reason = status == FileReadStatus::Missing ? "no such file" : "cannot be read";
  return "korvane-cli: " + TextToUtf8(path) + ": " + reason + "\n";
}

std::string JsonString(const Text& text) {
  return nlohmann::json(TextToUtf8(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// The siblings object, written directly: an ordered JSON object looks each new key up among all the
// keys before it, which made pages with many table-of-contents entries quadratic. Two keys that are one
// in UTF-8 (unpaired surrogates become U+FFFD) give one member: the first one's place, the last one's value.
std::string SiblingsJson(const std::map<Text, Text>& siblings) {
  std::vector<std::pair<std::string, std::string>> members;
  std::unordered_map<std::string, std::size_t> index;
  members.reserve(siblings.size());
  for (const auto& [key, address] : siblings) {
    std::string name = JsonString(key);
    if (const auto found = index.find(name); found != index.end()) {
      members[found->second].second = JsonString(address);
      continue;
    }
    index.emplace(name, members.size());
    members.emplace_back(std::move(name), JsonString(address));
  }
  std::string json = "{";
  for (const auto& [name, address] : members) {
    if (json.size() > 1) json += ',';
    json += name;
    json += ':';
    json += address;
  }
  return json + "}";
}

// One line: the file as given, then the fields in a fixed order; siblings in code-unit order.
std::string PageJson(const Text& path, const std::optional<ReferencePageData>& data) {
  nlohmann::ordered_json line;
  line["file"] = TextToUtf8(path);
  line["reference"] = data.has_value();
  if (data) {
    line["Parameters"] = TextToUtf8(data->Parameters);
    line["Return"] = TextToUtf8(data->Return);
    line["Description"] = TextToUtf8(data->Description);
    line["Group"] = TextToUtf8(data->Group);
  }
  std::string json = line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  if (data) {
    json.pop_back();  // the closing brace: the siblings go last
    json += ",\"siblings\":" + SiblingsJson(data->siblings) + "}";
  }
  return json + "\n";
}

}  // namespace

int RunParsePage(std::span<const Text> args, FileSystem& files, CliOutput& output) {
  static constexpr std::array<TextView, 2> kValueOptions = {u"--function", u"--library"};
  const CommandArgs parsed = ParseCommandArgs(args, kValueOptions);
  if (parsed.help) {
    output.out += kParsePageUsage;
    return kExitSuccess;
  }
  if (!parsed.error.empty()) return UsageError(output, parsed.error);
  std::optional<Text> function;
  std::optional<Text> library;
  for (const auto& [name, value] : parsed.options) {
    std::optional<Text>& slot = name == u"--function" ? function : library;
    if (slot) return UsageError(output, "parse-page takes " + TextToUtf8(name) + " once");
    slot = value;
  }
  if (!function || !library) return UsageError(output, "parse-page needs --function NAME and --library KEY");
  if (parsed.files.empty()) return UsageError(output, "parse-page needs at least one FILE");
  int status = kExitSuccess;
  for (const Text& path : parsed.files) {
    const FileContent content = files.ReadWholeFile(path);
    if (content.status != FileReadStatus::Ok) {
      output.err += FileError(path, content.status);
      status = kExitFailure;
      continue;
    }
    // Saved pages are read as the browser control hands them over: bytes in Windows-1252.
    const Text page = DecodeWindows1252(content.bytes);
    output.out += PageJson(path, ParseReferencePage(page, *function, *library));
  }
  return status;
}

}  // namespace korvane
