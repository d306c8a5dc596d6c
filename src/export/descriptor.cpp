#include "export/descriptor.h"

#include <algorithm>
#include <string>

#include "catalogue/catalogue.h"
#include "export/byte_lines.h"
#include "export/declaration.h"
#include "export/listing.h"
#include "text/paths.h"
#include "text/text_ops.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

constexpr std::uint8_t kPointArgument = 0x0D;
constexpr std::uint8_t kOtherArgument = 0x15;
constexpr std::uint8_t kKindsFollow = 0x04;

void AppendUtf8(std::vector<std::uint8_t>& out, TextView text) {
  const std::string utf8 = TextToUtf8(text);
  out.insert(out.end(), utf8.begin(), utf8.end());
}

}  // namespace

Text DescriptorName(TextView libraryPath) { return UpperCase(LibraryKeyFromPath(libraryPath)); }

void AddDescriptorNames(std::span<const std::uint8_t> bytes, std::set<Text>& knownElsewhere) {
  for (const auto piece : SplitByteLines(bytes)) {
    KORVANE_HERE();
    Text text = Utf8ToText(std::string_view(reinterpret_cast<const char*>(piece.data()), piece.size()));
    std::erase_if(text, [](char16_t c) { return c >= 0x01 && c <= 0x1F; });
    text = Trim(text);
    if (!text.empty()) knownElsewhere.insert(std::move(text));
  }
}

DescriptorBytes BuildDescriptor(TextView descriptorName, const std::vector<ApiFunction>& functions,
                                const std::set<Text>& knownElsewhere) {
  DescriptorBytes result;
  std::vector<std::uint8_t>& out = result.bytes;
  AppendUtf8(out, u"ERUPLLDE");
  out.insert(out.end(), {0x03, 0x00, 0x00, 0x00, 0x00});
  AppendUtf8(out, descriptorName);
  out.push_back(0x00);
  for (const ApiFunction& function : functions) {
    KORVANE_HERE();
    // IsExportable without its argument count, which is checked here to be reported.
    if (function.checked == 0 || function.Function.empty() || function.Return.empty() ||
        knownElsewhere.contains(function.Function)) {
      continue;
    }
    if (!IsWordName(function.Function)) {
      result.notWordNames.push_back(function.Function);
      continue;
    }
    const ArgumentSignature signature = SignatureOf(function.Parameters);
    if (signature.count > kMostDescriptorArguments) {
      result.tooManyArguments.push_back(function.Function);
      continue;
    }
    AppendUtf8(out, function.Function);
    out.push_back(0x00);
    out.push_back(static_cast<std::uint8_t>(signature.count));
    if (!signature.pointByValue) {
      out.push_back(function.AnsiUni.empty() ? 0x00 : 0x01);
      continue;
    }
    out.push_back(kKindsFollow);
    for (const ArgumentKind kind : signature.kinds) {
      out.push_back(kind == ArgumentKind::Point ? kPointArgument : kOtherArgument);
    }
  }
  return result;
}

}  // namespace korvane
