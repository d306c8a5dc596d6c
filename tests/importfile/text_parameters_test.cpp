#include <gtest/gtest.h>

#include "importfile/text_parameters.h"

namespace korvane {
namespace {

// Family by family: which ANSI text parameters the IDE converts, and which stay pointers because a
// converted copy would lose what they hold.
TEST(TextParametersTest, OnlyTextReadAsTextIsConverted) {
  const struct {
    const char16_t* function;
    const char16_t* parameter;
    bool converted;
  } kCases[] = {
      // Plain text inputs.
      {u"CreateFileA", u"lpFileName", true},
      {u"MessageBoxA", u"lpText", true},
      {u"printf", u"_Format", true},
      {u"OutputDebugStringA", u"lpOutputString", true},
      // Resource names and types take MAKEINTRESOURCE IDs.
      {u"LoadCursorA", u"lpCursorName", false},
      {u"LoadIconA", u"lpIconName", false},
      {u"LoadImageA", u"name", false},
      {u"FindResourceA", u"lpName", false},
      {u"FindResourceExA", u"lpType", false},
      {u"PlaySoundA", u"pszSound", false},
      {u"DialogBoxParamA", u"lpTemplateName", false},
      // Atoms: class names and window properties; CryptoAPI structure types.
      {u"CreateWindowExA", u"lpClassName", false},
      {u"CreateWindowExA", u"lpWindowName", true},
      {u"SetPropA", u"lpString", false},
      {u"lstrcpyA", u"lpString2", true},
      {u"CryptDecodeObject", u"lpszStructType", false},
      // Binary data in char buffers.
      {u"send", u"buf", false},
      {u"setsockopt", u"optval", false},
      {u"_lwrite", u"lpBuffer", false},
      // Any code page, and positions inside a string.
      {u"MultiByteToWideChar", u"lpMultiByteStr", false},
      {u"WideCharToMultiByte", u"lpDefaultChar", false},
      {u"CharPrevA", u"lpStart", false},
      {u"CharPrevA", u"lpCurrentChar", false},
      // Lists of NUL-separated strings.
      {u"CreateServiceA", u"lpDependencies", false},
      {u"CreateServiceA", u"lpServiceName", true},
      {u"SomeFunctionA", u"pszzList", false},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(ConvertsAnsiText(c.function, c.parameter), c.converted)
        << TextToUtf8(c.function) << " " << TextToUtf8(c.parameter);
  }
}

}  // namespace
}  // namespace korvane
