// UTF-8 decoding and the text operations on arbitrary input: no crash, and UTF-8 produced from text
// decodes back to the same text when the text holds no unpaired surrogate.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "text/text.h"
#include "text/text_ops.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const Text text = Utf8ToText(bytes);
  if (Utf8ToText(TextToUtf8(text)) != text) std::abort();
  const std::size_t half = text.size() / 2;
  const TextView left = TextView(text).substr(0, half), right = TextView(text).substr(half);
  const Text replaced = ReplaceAll(text, right.substr(0, 3), left.substr(0, 2));
  (void)Find(replaced, right.substr(0, 2), static_cast<std::ptrdiff_t>(half) - 3);
  (void)FindNoCase(text, left.substr(0, 4), -5);
  (void)TextFromTo(text, static_cast<std::ptrdiff_t>(size % 7), static_cast<std::ptrdiff_t>(half));
  (void)SecondField(text, right.substr(0, 1));
  (void)CountOf(text, left.substr(0, 2));
  (void)Trim(text);
  return 0;
}
