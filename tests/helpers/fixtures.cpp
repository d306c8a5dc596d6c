#include "helpers/fixtures.h"

#include <cstdlib>
#include <filesystem>

namespace korvane::testing {

Text HostPath(std::string_view posixPath) {
#ifdef _WIN32
  Text path = u"Z:" + Utf8ToText(posixPath);
  for (char16_t& c : path) {
    if (c == u'/') c = u'\\';
  }
  return path;
#else
  return Utf8ToText(posixPath);
#endif
}

bool HostFileExists(std::string_view posixPath) {
  std::error_code error;
#ifdef _WIN32
  const Text path = HostPath(posixPath);
  return std::filesystem::exists(std::filesystem::path(std::wstring(path.begin(), path.end())), error);
#else
  return std::filesystem::exists(std::filesystem::path(posixPath), error);
#endif
}

std::optional<std::string> FixtureFolder() {
  const char* overridden = std::getenv("KORVANE_FIXTURES");
  std::string folder = overridden != nullptr ? overridden : KORVANE_SOURCE_DIR "/../shared/fixtures/import-libs";
  if (folder.empty()) return std::nullopt;
  if (folder.back() != '/') folder += '/';
  if (!HostFileExists(folder + "SOURCES.md")) return std::nullopt;
  return folder;
}

}  // namespace korvane::testing
