#include "text/text_ops.h"

#include <algorithm>

namespace korvane {

namespace {

// Index (from 0) where a search from position `from` (from 1) starts; a `from` below 1 means 1.
std::size_t StartIndex(std::ptrdiff_t from) {
  return from < 1 ? 0 : static_cast<std::size_t>(from) - 1;
}

// Folds ASCII A-Z and the Latin-1 capitals U+00C0..U+00DE (but not U+00D7, the multiplication sign)
// to lower case. Every other code unit is left alone.
char16_t FoldCase(char16_t c) {
  const bool ascii_upper = c >= u'A' && c <= u'Z';
  const bool latin1_upper = c >= 0xC0 && c <= 0xDE && c != 0xD7;
  return ascii_upper || latin1_upper ? static_cast<char16_t>(c + 0x20) : c;
}

char16_t RaiseCase(char16_t c) {
  const bool asciiLower = c >= u'a' && c <= u'z';
  const bool latin1Lower = c >= 0xE0 && c <= 0xFE && c != 0xF7;
  return asciiLower || latin1Lower ? static_cast<char16_t>(c - 0x20) : c;
}



// Index (from 0) of the first non-empty occurrence of `separator`, or npos; an empty separator never
// occurs, so it does not split the text.
std::size_t SeparatorIndex(TextView text, TextView separator, std::size_t from = 0) {
  if (separator.empty()) return TextView::npos;
  return text.find(separator, from);
}

}  // namespace

std::size_t Find(TextView text, TextView what, std::ptrdiff_t from) {
  const std::size_t start = StartIndex(from);
  if (start > text.size()) return 0;
  const std::size_t index = text.find(what, start);
  return index == TextView::npos ? 0 : index + 1;
}

std::size_t FindNoCase(TextView text, TextView what, std::ptrdiff_t from) {
  return Find(LowerCase(text), LowerCase(what), from);
}

Text TextFromTo(TextView text, std::ptrdiff_t a, std::ptrdiff_t b) {
  // A start of 0 or below takes b characters from position 1; otherwise positions a..b-1. Comparing
  // before subtracting keeps the arithmetic free of overflow for any pair of values.
  if (a < 1) return b < 1 ? Text() : Left(text, static_cast<std::size_t>(b));
  if (b <= a) return Text();
  const std::size_t start = static_cast<std::size_t>(a) - 1;
  if (start >= text.size()) return Text();
  return Text(text.substr(start, static_cast<std::size_t>(b - a)));
}

Text Left(TextView text, std::size_t count) { return Text(text.substr(0, count)); }

Text ReplaceAll(TextView text, TextView what, TextView with) {
  if (what.empty()) return Text(text);
  Text out;
  out.reserve(text.size());
  std::size_t copied = 0;
  for (std::size_t hit = text.find(what); hit != TextView::npos; hit = text.find(what, copied)) {
    out.append(text.substr(copied, hit - copied));
    out.append(with);
    copied = hit + what.size();
  }
  out.append(text.substr(copied));
  return out;
}

Text RemoveAll(TextView text, TextView what) { return ReplaceAll(text, what, TextView()); }

std::size_t CountOf(TextView text, TextView what) {
  if (what.empty()) return 0;
  std::size_t count = 0;
  for (std::size_t hit = text.find(what); hit != TextView::npos;
       hit = text.find(what, hit + what.size())) {
    ++count;
  }
  return count;
}

Text FirstField(TextView text, TextView separator) {
  return Text(text.substr(0, SeparatorIndex(text, separator)));
}

Text SecondField(TextView text, TextView separator) {
  const std::size_t first = SeparatorIndex(text, separator);
  if (first == TextView::npos) return Text();
  const std::size_t start = first + separator.size();
  const std::size_t second = SeparatorIndex(text, separator, start);
  const std::size_t count = second == TextView::npos ? TextView::npos : second - start;
  return Text(text.substr(start, count));
}

Text Trim(TextView text) {
  const std::size_t first = text.find_first_not_of(u' ');
  if (first == TextView::npos) return Text();
  const std::size_t last = text.find_last_not_of(u' ');
  return Text(text.substr(first, last - first + 1));
}

Text RemoveLeading(TextView text, char16_t c) {
  const std::size_t keep = text.find_first_not_of(c);
  return keep == TextView::npos ? Text() : Text(text.substr(keep));
}

Text RemoveTrailing(TextView text, char16_t c) {
  const std::size_t last = text.find_last_not_of(c);
  return last == TextView::npos ? Text() : Text(text.substr(0, last + 1));
}

Text LowerCase(TextView text) {
  Text out(text);
  std::transform(out.begin(), out.end(), out.begin(), FoldCase);
  return out;
}

Text UpperCase(TextView text) {
  Text out(text);
  std::transform(out.begin(), out.end(), out.begin(), RaiseCase);
  return out;
}

bool LessNoCase(TextView a, TextView b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char16_t x, char16_t y) { return FoldCase(x) < FoldCase(y); });
}

}  // namespace korvane
