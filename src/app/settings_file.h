#pragma once
// The settings file "Korvane.ini": a small INI dialect of group headers, keys and comments, read whole,
// changed in memory and written back whole when a key was written.
//
// On disk: UTF-8 after the marker EF BB BF, or one character per byte (U+0000..U+00FF) without it. The
// program always writes UTF-8 with the marker and CR LF line ends, so a file is normalised the first
// time any key of it is written.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/file_system.h"
#include "text/text.h"

namespace korvane {

enum class SettingsLineKind { Group, Key, Comment };

// One kept line. `name` is the group name, the key name or the comment text; `value` is the key's value
// exactly as it followed "=" (leading blanks and tabs skipped, trailing ones kept).
struct SettingsLine {
  SettingsLineKind kind = SettingsLineKind::Key;
  Text name;
  Text value;
};

// The file's bytes as kept lines, in file order. Any bytes give some list; nothing is rejected.
std::vector<SettingsLine> ParseSettingsLines(std::span<const std::uint8_t> bytes);

// The written form: marker, CR LF, then every line followed by CR LF.
std::vector<std::uint8_t> FormatSettingsLines(const std::vector<SettingsLine>& lines);

// Group and key names compare ignoring the case of A..Z only.
bool SettingsNamesEqual(TextView a, TextView b);

// The leading decimal number of a value, with an optional sign; 0 when it does not begin with one.
// Numbers beyond the range of int are clamped to it.
int SettingsInteger(TextView value);

// One open–close cycle on the settings file. Only one file is open at a time; every operation on a
// closed object reads defaults and writes nothing.
class SettingsFile {
 public:
  explicit SettingsFile(FileSystem& files) : files_(files) {}
  SettingsFile(const SettingsFile&) = delete;
  SettingsFile& operator=(const SettingsFile&) = delete;

  // Reads the whole file. A missing file gives an empty list, and a later close with writes creates
  // it. True when the file was read.
  bool OpenSettings(const Text& path);
  // Starts an empty list for a file that is created new; a close with writes replaces what was there.
  void CreateSettings(const Text& path);

  // Selects the group for the following reads, writes and key steps; true when it exists. A missing
  // group's name is remembered so that the first write adds it at the end of the file.
  bool SelectGroup(const Text& name);

  // The value of `key` in the selected group without blanks and tabs at either end (a value read from
  // the file never has leading ones), or `defaultValue` when the key or the group is missing.
  Text ReadText(const Text& key, const Text& defaultValue) const;
  int ReadInteger(const Text& key, int defaultValue) const;

  // Sets `key` in the selected group: in place when it exists (taking this call's letter case), else
  // after the group's last line; a missing group's header is added at the end first. False, changing
  // nothing, when no file is open, no group is selected, or a line would not read back as written: a
  // line break in the group, key or value, "]" in a new group's name, or a key that is empty, holds
  // "=", starts with "[" or ";", or has blanks or tabs at either end.
  bool WriteText(const Text& key, const Text& value);
  bool WriteInteger(const Text& key, int value);

  // Steps through the keys of the selected group in file order. False when there is no (further) key.
  bool FirstKey();
  bool NextKey();
  // The current key's name and value (trailing blanks and tabs removed); empty when there is none.
  Text KeyName() const;
  Text KeyValue() const;

  // Writes the file back if anything was written since it was opened, then forgets it. False when a
  // needed write failed or was refused; the file on disk is then as it was.
  bool CloseSettings();

 private:
  // Index of the selected group's header, or lines_.size() when the group is missing.
  std::size_t GroupHeader() const;
  // Index one past the selected group's last line (the next header or the end of the list).
  std::size_t GroupEnd(std::size_t header) const;
  // Index of `key` in the selected group, or lines_.size().
  std::size_t FindKey(const Text& key) const;
  // Moves the cursor to the group's next key; false (cursor at the end) when the group has no more.
  bool AdvanceKey();
  void Forget();

  FileSystem& files_;
  Text path_;
  std::vector<SettingsLine> lines_;
  Text group_;
  std::size_t cursor_ = 0;
  bool open_ = false;
  bool groupSelected_ = false;
  bool written_ = false;
  // A file that exists but could not be read is never replaced: its settings would be lost.
  bool mayWrite_ = false;
};

}  // namespace korvane
