#include "app/settings_file.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <optional>
#include <string>

namespace korvane {
namespace {

constexpr std::uint8_t kMarker[] = {0xEF, 0xBB, 0xBF};

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }

TextView SkipLeadingBlanks(TextView text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

TextView RemoveTrailingBlanks(TextView text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// With the marker the rest is UTF-8; without it every byte is the character of the same number.
Text DecodeSettingsBytes(std::span<const std::uint8_t> bytes) {
  if (bytes.size() >= 3 && std::equal(std::begin(kMarker), std::end(kMarker), bytes.begin())) {
    const std::string utf8(bytes.begin() + 3, bytes.end());
    return Utf8ToText(utf8);
  }
  Text text;
  text.reserve(bytes.size());
  for (std::uint8_t byte : bytes) text.push_back(static_cast<char16_t>(byte));
  return text;
}

// One line without its line end; nothing for a line that is empty after its leading blanks.
std::optional<SettingsLine> ParseLine(TextView line) {
  line = SkipLeadingBlanks(line);
  if (line.empty()) return std::nullopt;
  SettingsLine parsed;
  if (line.front() == u';') {
    // The written form puts one blank after ";". Dropping one blank here keeps '; note' as it is on
    // every rewrite instead of growing a blank each time.
    line.remove_prefix(1);
    if (!line.empty() && line.front() == u' ') line.remove_prefix(1);
    parsed.kind = SettingsLineKind::Comment;
    parsed.name = Text(line);
  } else if (line.front() == u'[') {
    line.remove_prefix(1);
    parsed.kind = SettingsLineKind::Group;
    parsed.name = Text(line.substr(0, line.find(u']')));
  } else {
    // A line without "=" is kept as a key with an empty value: the text a user typed is not lost
    // when the file is rewritten, and reading it gives nothing.
    const std::size_t equals = line.find(u'=');
    parsed.kind = SettingsLineKind::Key;
    parsed.name = Text(RemoveTrailingBlanks(line.substr(0, equals)));
    if (equals != TextView::npos) parsed.value = Text(SkipLeadingBlanks(line.substr(equals + 1)));
  }
  return parsed;
}

Text LineText(const SettingsLine& line) {
  switch (line.kind) {
    case SettingsLineKind::Group: return u"[" + line.name + u"]";
    case SettingsLineKind::Comment: return u"; " + line.name;
    case SettingsLineKind::Key: break;
  }
  return line.name + u" = " + line.value;
}

bool HasLineEnd(TextView text) { return std::any_of(text.begin(), text.end(), IsLineEnd); }

// A key that reads back as the same key from its written line.
bool IsStorableKey(TextView key) {
  return !key.empty() && !HasLineEnd(key) && key.find(u'=') == TextView::npos && key.front() != u'[' &&
         key.front() != u';' && !IsBlank(key.front()) && !IsBlank(key.back());
}

bool IsStorableGroup(TextView group) { return !HasLineEnd(group) && group.find(u']') == TextView::npos; }

// What the read operations give for a stored value.
Text ReadValue(TextView value) { return Text(RemoveTrailingBlanks(SkipLeadingBlanks(value))); }

char16_t FoldAsciiCase(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c; }

}  // namespace

std::vector<SettingsLine> ParseSettingsLines(std::span<const std::uint8_t> bytes) {
  const Text text = DecodeSettingsBytes(bytes);
  std::vector<SettingsLine> lines;
  const TextView all(text);
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = start;
    while (end < all.size() && !IsLineEnd(all[end])) ++end;
    if (auto line = ParseLine(all.substr(start, end - start))) lines.push_back(std::move(*line));
    start = end + 1;  // a run of line ends gives empty lines, which ParseLine drops
  }
  return lines;
}

std::vector<std::uint8_t> FormatSettingsLines(const std::vector<SettingsLine>& lines) {
  std::string out(std::begin(kMarker), std::end(kMarker));
  out += "\r\n";
  for (const SettingsLine& line : lines) {
    out += TextToUtf8(LineText(line));
    out += "\r\n";
  }
  return std::vector<std::uint8_t>(out.begin(), out.end());
}

bool SettingsNamesEqual(TextView a, TextView b) {
  const auto same = [](char16_t x, char16_t y) { return FoldAsciiCase(x) == FoldAsciiCase(y); };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), same);
}

int SettingsInteger(TextView value) {
  std::size_t i = 0;
  const bool negative = !value.empty() && value[0] == u'-';
  if (!value.empty() && (value[0] == u'-' || value[0] == u'+')) ++i;
  // Accumulate with a cap so that a long run of digits cannot overflow.
  constexpr long long kCap = static_cast<long long>(INT_MAX) + 1;
  long long magnitude = 0;
  for (; i < value.size() && value[i] >= u'0' && value[i] <= u'9'; ++i) {
    magnitude = std::min(kCap, magnitude * 10 + (value[i] - u'0'));
  }
  const long long signedValue = negative ? -magnitude : magnitude;
  return static_cast<int>(std::clamp<long long>(signedValue, INT_MIN, INT_MAX));
}

bool SettingsFile::OpenSettings(const Text& path) {
  Forget();
  path_ = path;
  open_ = true;
  FileContent content = files_.ReadWholeFile(path);
  mayWrite_ = content.status == FileReadStatus::Ok || content.status == FileReadStatus::Missing;
  if (content.status != FileReadStatus::Ok) return false;
  lines_ = ParseSettingsLines(content.bytes);
  cursor_ = lines_.size();
  return true;
}

void SettingsFile::CreateSettings(const Text& path) {
  Forget();
  path_ = path;
  open_ = true;
  mayWrite_ = true;
}

bool SettingsFile::SelectGroup(const Text& name) {
  group_ = name;
  groupSelected_ = open_;
  cursor_ = lines_.size();
  return GroupHeader() < lines_.size();
}

Text SettingsFile::ReadText(const Text& key, const Text& defaultValue) const {
  const std::size_t found = FindKey(key);
  return found < lines_.size() ? ReadValue(lines_[found].value) : defaultValue;
}

int SettingsFile::ReadInteger(const Text& key, int defaultValue) const {
  const std::size_t found = FindKey(key);
  return found < lines_.size() ? SettingsInteger(ReadValue(lines_[found].value)) : defaultValue;
}

bool SettingsFile::WriteText(const Text& key, const Text& value) {
  if (!groupSelected_ || !IsStorableKey(key) || HasLineEnd(value)) return false;
  if (const std::size_t found = FindKey(key); found < lines_.size()) {
    lines_[found].name = key;
    lines_[found].value = value;
  } else if (const std::size_t header = GroupHeader(); header < lines_.size()) {
    const auto at = lines_.begin() + static_cast<std::ptrdiff_t>(GroupEnd(header));
    lines_.insert(at, SettingsLine{SettingsLineKind::Key, key, value});
  } else {
    if (!IsStorableGroup(group_)) return false;
    lines_.push_back(SettingsLine{SettingsLineKind::Group, group_, Text()});
    lines_.push_back(SettingsLine{SettingsLineKind::Key, key, value});
  }
  written_ = true;
  return true;
}

bool SettingsFile::WriteInteger(const Text& key, int value) {
  return WriteText(key, DecimalText(value));
}

bool SettingsFile::FirstKey() {
  cursor_ = GroupHeader();
  return AdvanceKey();
}

bool SettingsFile::NextKey() { return AdvanceKey(); }

Text SettingsFile::KeyName() const {
  return cursor_ < lines_.size() && lines_[cursor_].kind == SettingsLineKind::Key ? lines_[cursor_].name : Text();
}

Text SettingsFile::KeyValue() const {
  return cursor_ < lines_.size() && lines_[cursor_].kind == SettingsLineKind::Key ? ReadValue(lines_[cursor_].value)
                                                                                    : Text();
}

bool SettingsFile::CloseSettings() {
  bool saved = true;
  if (open_ && written_) saved = mayWrite_ && files_.WriteWholeFile(path_, FormatSettingsLines(lines_));
  Forget();
  return saved;
}

std::size_t SettingsFile::GroupHeader() const {
  if (!groupSelected_) return lines_.size();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == SettingsLineKind::Group && SettingsNamesEqual(lines_[i].name, group_)) return i;
  }
  return lines_.size();
}

std::size_t SettingsFile::GroupEnd(std::size_t header) const {
  std::size_t end = header + 1;
  while (end < lines_.size() && lines_[end].kind != SettingsLineKind::Group) ++end;
  return end;
}

std::size_t SettingsFile::FindKey(const Text& key) const {
  const std::size_t header = GroupHeader();
  if (header >= lines_.size()) return lines_.size();
  const std::size_t end = GroupEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind == SettingsLineKind::Key && SettingsNamesEqual(lines_[i].name, key)) return i;
  }
  return lines_.size();
}

bool SettingsFile::AdvanceKey() {
  // cursor_ is on the group's header or one of its lines; the end of the list means "no more keys".
  if (!groupSelected_) return false;
  for (std::size_t i = cursor_ + 1; i < lines_.size(); ++i) {
    if (lines_[i].kind == SettingsLineKind::Group) break;
    if (lines_[i].kind == SettingsLineKind::Key) {
      cursor_ = i;
      return true;
    }
  }
  cursor_ = lines_.size();
  return false;
}

void SettingsFile::Forget() {
  path_.clear();
  lines_.clear();
  group_.clear();
  cursor_ = 0;
  open_ = groupSelected_ = written_ = mayWrite_ = false;
}

}  // namespace korvane
