#pragma once
// The documentation set file, "Korvane.docs": XML, UTF-8 without byte-order mark, LF line ends.
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <korvane-docs version="1">
//    <group title="Dialog Boxes" functions="1">        (the count is a hint; it may be absent)
//     <function name="MessageBoxW" return="int" header="winuser.h" library="User32">
//      <param>_In_opt_ HWND hWnd</param>                 (one per parameter, in order; none for "void")
//      <description>Displays a modal dialog box.</description>   (paragraphs separated by LF)
//     </function>
//    </group>
//   </korvane-docs>
//
// Groups and functions keep their order. The "version" attribute is the format's major version: a reader
// refuses a file of a later major version, and ignores elements and attributes it does not know, so a
// minor addition stays readable by older readers. Missing attributes read as empty texts. Entity
// declarations are refused, as in the catalogue files. See docs/documentation-set.md.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "docs/documentation_set.h"

namespace korvane {

inline constexpr char kDocsRootName[] = "korvane-docs";
inline constexpr int kDocsFormatVersion = 1;
// The file's name, looked for beside the program.
inline constexpr char16_t kDocsFileName[] = u"Korvane.docs";

// The whole file for `set`.
std::string WriteDocumentationSet(const DocumentationSet& set);

// Parses a documentation set file and indexes it. Nothing when the bytes are not well-formed XML, the
// root is not "korvane-docs", its version is missing or later than kDocsFormatVersion, or the file
// declares entities.
std::optional<DocumentationSet> ReadDocumentationSet(std::span<const std::uint8_t> bytes);

}  // namespace korvane
