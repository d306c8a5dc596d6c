#include "bench_inputs.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string_view>
#include <tuple>

#include "helpers/archive_writer.h"

namespace korvane::bench {
namespace {

constexpr std::array<std::string_view, 12> kVerbs = {"Get",  "Set",   "Create",   "Delete", "Enum", "Query",
                                                     "Open", "Close", "Register", "Find",   "Load", "Draw"};
constexpr std::array<std::string_view, 14> kNouns = {"Window", "File",   "Process", "Thread", "Key",
                                                     "Value",  "Font",   "Menu",    "Printer", "Service",
                                                     "Device", "Object", "Text",    "Dialog"};

// The made-up DLL's name as the helper symbols spell it.
constexpr std::string_view kDll = "benchdll";

// The parts one after the other. (Built with append: GCC 12 reports a false overlap in
// literal + std::string at -O3.)
std::string Joined(std::initializer_list<std::string_view> parts) {
  std::string joined;
  for (const std::string_view part : parts) joined += part;
  return joined;
}

// Stem `index`: every verb-noun combination once, then again with a growing number ("GetWindow2").
std::string Stem(std::size_t index) {
  std::string stem(kVerbs[index % kVerbs.size()]);
  stem += kNouns[(index / kVerbs.size()) % kNouns.size()];
  const std::size_t round = index / (kVerbs.size() * kNouns.size());
  if (round > 0) stem += std::to_string(round + 1);
  return stem;
}

std::string Decorated(std::string_view function, std::size_t argumentBytes, bool x86) {
  std::string name;
  if (x86) name += '_';
  name += function;
  if (x86) name += '@' + std::to_string(argumentBytes);
  return name;
}

// The functions of stem `index`: an ANSI/wide pair for every third stem, an "Ex" variant beside the
// plain name for every third, else the plain name alone.
std::vector<std::string> Functions(std::size_t index) {
  const std::string stem = Stem(index);
  switch (index % 3) {
    case 0: return {stem + "A", stem + "W"};
    case 1: return {stem, stem + "Ex"};
    default: return {stem};
  }
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string FixtureFolder() {
  const char* overridden = std::getenv("KORVANE_FIXTURES");
  return overridden != nullptr && *overridden != '\0' ? overridden : KORVANE_BENCH_FIXTURES;
}

}  // namespace

const char* LayoutName(Layout layout) {
  switch (layout) {
    case Layout::Microsoft: return "microsoft";
    case Layout::Gnu: return "gnu";
    case Layout::Gnu64: return "gnu64";
  }
  return "?";
}

std::vector<std::string> GeneratedSymbolNames(std::size_t count, Layout layout, bool x86) {
  std::vector<std::string> names;
  names.reserve(count);
  if (layout == Layout::Microsoft) {
    names.push_back(Joined({"__IMPORT_DESCRIPTOR_", kDll}));
    names.push_back("__NULL_IMPORT_DESCRIPTOR");
    names.push_back(Joined({"\x7F", kDll, "_NULL_THUNK_DATA"}));
  } else {
    names.push_back(Joined({"__head_lib", kDll, "_a"}));
    names.push_back(Joined({"_lib", kDll, "_a_iname"}));
  }
  if (names.size() > count) names.resize(count);

  for (std::size_t stem = 0; names.size() < count; ++stem) {
    for (const std::string& function : Functions(stem)) {
      if (names.size() == count) break;
      const std::string name = Decorated(function, 4 * (1 + stem % 7), x86);
      names.push_back(name);
      if (names.size() < count) names.push_back(Joined({"__imp_", name}));
    }
  }
  // A linker writes the second linker member's names in byte order; GNU tables keep member order.
  if (layout == Layout::Microsoft) std::sort(names.begin(), names.end());
  return names;
}

const Bytes& GeneratedLibrary(std::size_t count, Layout layout, bool x86) {
  static std::map<std::tuple<std::size_t, Layout, bool>, Bytes> built;
  const auto key = std::make_tuple(count, layout, x86);
  auto found = built.find(key);
  if (found == built.end()) {
    const std::vector<std::string> names = GeneratedSymbolNames(count, layout, x86);
    Bytes bytes = layout == Layout::Microsoft ? testing::MicrosoftLibrary(names)
                                              : testing::GnuLibrary(names, layout == Layout::Gnu64);
    found = built.emplace(key, std::move(bytes)).first;
  }
  return found->second;
}

std::vector<RealLibrary> RealLibraries() {
  static constexpr std::array<std::string_view, 10> kMingwLibraries = {
      "libkernel32.a", "libuser32.a", "libgdi32.a",  "libadvapi32.a", "libshell32.a",
      "libole32.a",    "libntdll.a",  "libws2_32.a", "libd3d9.a",     "libmincore.a"};
  std::vector<RealLibrary> libraries;
  for (const std::string_view triplet : {"i686", "x86_64"}) {
    for (const std::string_view file : kMingwLibraries) {
      libraries.push_back({"mingw-" + std::string(triplet) + "/" + std::string(file),
                           "/usr/" + std::string(triplet) + "-w64-mingw32/lib/" + std::string(file)});
    }
  }

  const std::filesystem::path folder(FixtureFolder());
  std::error_code error;
  std::vector<std::filesystem::path> fixtures;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (it->path().extension() == ".lib") fixtures.push_back(it->path());
  }
  std::sort(fixtures.begin(), fixtures.end());
  if (fixtures.empty()) libraries.push_back({"fixture/(absent)", folder.string()});
  for (const std::filesystem::path& path : fixtures) {
    libraries.push_back({"fixture/" + path.filename().string(), path.string()});
  }
  return libraries;
}

std::vector<std::string> LibraryFolderFiles(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (it->path().extension() == ".a" && it->is_regular_file(error)) files.push_back(it->path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

const Bytes* FileBytes(const std::string& path) {
  static std::map<std::string, std::unique_ptr<Bytes>> read;
  auto found = read.find(path);
  if (found == read.end()) {
    std::error_code error;
    std::unique_ptr<Bytes> bytes;
    if (std::filesystem::is_regular_file(path, error)) {
      const std::string content = ReadWholeFile(path);
      if (!content.empty()) bytes = std::make_unique<Bytes>(content.begin(), content.end());
    }
    found = read.emplace(path, std::move(bytes)).first;
  }
  return found->second.get();
}

}  // namespace korvane::bench
