#pragma once
// Inputs of the benchmarks: generated import libraries of a chosen size, and the real libraries found
// on the build machine (Debian's mingw-w64 import libraries, the MSVC-format fixtures beside the
// project). Everything is read or built once and kept in memory, so the timed loops never touch the disk.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace korvane::bench {

using Bytes = std::vector<std::uint8_t>;

// Which symbol directory a generated library carries.
enum class Layout {
  Microsoft,  // two linker members named "/", the names of the second sorted as a linker writes them
  Gnu,        // one "/" table, then "//", names in member order
  Gnu64,      // one "/SYM64/" table, then "//"
};

const char* LayoutName(Layout layout);

// The generated libraries every benchmark family runs over.
struct GeneratedVariant {
  const char* name;
  Layout layout;
  bool x86;
};
inline constexpr GeneratedVariant kGeneratedVariants[] = {
    {"microsoft_x86", Layout::Microsoft, true},
    {"microsoft_x64", Layout::Microsoft, false},
    {"gnu_x86", Layout::Gnu, true},
    {"gnu64_x64", Layout::Gnu64, false},
};

// The `count` directory names of a made-up DLL: the layout's import helpers ("__IMPORT_DESCRIPTOR_...",
// "__NULL_IMPORT_DESCRIPTOR", "\x7F..._NULL_THUNK_DATA" or "__head_..." and "..._iname"), then functions
// in the pattern of the system DLLs: verb + noun stems, a third of them as ANSI/wide pairs, the rest plain
// or with an "Ex" variant, each followed by its "__imp_" twin. With `x86` every function carries the
// 32-bit decoration ('_GetWindowTextA@12', '__imp__GetWindowTextA@12'); without it the names are bare.
std::vector<std::string> GeneratedSymbolNames(std::size_t count, Layout layout, bool x86);

// The complete archive for GeneratedSymbolNames (built on first use, then kept).
const Bytes& GeneratedLibrary(std::size_t count, Layout layout, bool x86);

// One real library file.
struct RealLibrary {
  std::string label;  // "mingw-i686/libuser32.a", "fixture/sdl2windeps-x64-SDL2.lib"
  std::string path;   // where it is (or would be) on disk
};

// A fixed choice of Debian's mingw-w64 import libraries (both architectures; absent ones included so the
// benchmark reports them as skipped), then every "*.lib" of the fixture folder. The fixture folder is
// $KORVANE_FIXTURES when set, else the one beside the source tree; when it does not exist a single
// entry labelled "fixture/(absent)" stands for it.
std::vector<RealLibrary> RealLibraries();

// Every "*.a" file of a mingw-w64 library folder ("/usr/i686-w64-mingw32/lib"), sorted by name; empty
// when the folder does not exist.
std::vector<std::string> LibraryFolderFiles(const std::string& folder);

// The whole file, read on first use and then kept; nullptr when it cannot be read.
const Bytes* FileBytes(const std::string& path);

}  // namespace korvane::bench
