#include "text/paths.h"

namespace korvane {
namespace {

std::size_t FileNameStart(TextView path) {
  const std::size_t slash = path.find_last_of(u"\\/");
  return slash == TextView::npos ? 0 : slash + 1;
}

}  // namespace

Text FileNameFromPath(TextView path) { return Text(path.substr(FileNameStart(path))); }

Text FolderFromPath(TextView path) { return Text(path.substr(0, FileNameStart(path))); }

Text LibraryKeyFromPath(TextView path) {
  const TextView name = path.substr(FileNameStart(path));
  const std::size_t dot = name.find_last_of(u'.');
  return Text(dot == TextView::npos ? name : name.substr(0, dot));
}

}  // namespace korvane
