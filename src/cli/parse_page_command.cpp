// `korvane-cli parse-page --function NAME --library KEY [--] FILE...`: reads saved reference pages as
// the lookup reads them and prints the fields it would store, one JSON object per file and line.

#include <array>
#include <span>

#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "cli/command_args.h"
#include "lookup/reference_page.h"

namespace korvane {
namespace {

std::string FileError(const Text& path, FileReadStatus status) {
  const char* reason = status == FileReadStatus::Missing ? "no such file" : "cannot be read";
  return "korvane-cli: " + TextToUtf8(path) + ": " + reason + "\n";
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
    nlohmann::ordered_json siblings = nlohmann::ordered_json::object();
    for (const auto& [key, address] : data->siblings) siblings[TextToUtf8(key)] = TextToUtf8(address);
    line["siblings"] = std::move(siblings);
  }
  return line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace

int RunParsePage(std::span<const Text> args, FileSystem& files, CliOutput& output) {
  static constexpr std::array<TextView, 2> kValueOptions = {u"--function", u"--library"};
  const CommandArgs parsed = ParseCommandArgs(args, kValueOptions);
  if (parsed.help) {
    output.out += "Usage: korvane-cli parse-page --function NAME --library KEY [--] FILE...\n";
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
