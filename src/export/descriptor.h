#pragma once
// The library descriptor: the small file without extension in "PureLibraries\Windows\" that names a
// library and lists its functions with their argument counts.

#include <cstdint>
#include <set>
#include <span>
#include <vector>

#include "catalogue/api_function.h"
#include "text/text.h"

namespace korvane {

// 'USER32' for 'C:\sdk\User32.Lib': the library's file name without folder and last extension, in
// capitals.
Text DescriptorName(TextView libraryPath);

// The names another descriptor declares, read as pieces ending at CR, LF or NUL, each without the
// characters U+0001 to U+001F and without blanks at both ends; empty pieces are dropped.
void AddDescriptorNames(std::span<const std::uint8_t> bytes, std::set<Text>& knownElsewhere);

struct DescriptorBytes {
  std::vector<std::uint8_t> bytes;
  std::vector<Text> tooManyArguments;  // functions left out (of the listing too): their count does not fit in one byte
  std::vector<Text> notWordNames;      // functions left out (of the listing too): not IsWordName, so no call names them
};

// The descriptor for `functions`: the header "ERUPLLDE" 03 00 00 00 00, the name and 00, then one
// record per exportable function that `knownElsewhere` does not hold: the name, 00, the argument
// count, and either the name-variant flag (1 when AnsiUni is set) or, for a POINT passed by value,
// 04 and one byte per argument (0D a POINT, 15 anything else).
DescriptorBytes BuildDescriptor(TextView descriptorName, const std::vector<ApiFunction>& functions,
                                const std::set<Text>& knownElsewhere);

}  // namespace korvane
