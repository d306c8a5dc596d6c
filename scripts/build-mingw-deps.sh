#!/usr/bin/env bash
# Builds the C libraries that the Windows program links statically (expat and libpng) from Debian's own
# source packages with the mingw-w64 cross compiler, and installs them into build/deps/mingw (include/,
# lib/). zlib for mingw comes ready-made from Debian's libz-mingw-w64-dev. Safe to run again: when both
# libraries are already installed it does nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
prefix=$root/build/deps/mingw
sources=$root/build/deps/src
work=$root/build/deps/work
toolchain=$root/cmake/toolchain-mingw64.cmake

if [ -f "$prefix/lib/libexpat.a" ] && [ -f "$prefix/lib/libpng16.a" ]; then
  exit 0
fi

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

src_list=/etc/apt/sources.list.d/korvane-src.sources
deb_list=/etc/apt/sources.list.d/debian.sources

# apt-get source needs deb-src entries, which Debian's images leave out. Ours mirror the binary entries
# (same mirrors, suites, components and keys) so that the sources match the installed packages.
write_source_entries() {
  if [ -f "$deb_list" ] && grep -q '^Types:.*\bdeb\b' "$deb_list"; then
    sed -e 's/^Types:.*/Types: deb-src/' "$deb_list"
  else
    printf '%s\n' \
      'Types: deb-src' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm bookworm-updates' \
      'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' '' \
      'Types: deb-src' 'URIs: http://deb.debian.org/debian-security' 'Suites: bookworm-security' \
      'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg'
  fi
}

if [ ! -f "$src_list" ]; then
  echo "build-mingw-deps: adding Debian source entries in $src_list"
  write_source_entries | "${sudo_cmd[@]}" tee "$src_list" >/dev/null
  "${sudo_cmd[@]}" apt-get update -qq
elif ! apt-cache showsrc expat 2>/dev/null | grep -q '^Package: expat'; then
  # The entries are there but the source lists are not (a cleaned apt cache).
  "${sudo_cmd[@]}" apt-get update -qq
fi

# The package's source versions that apt knows, newest first.
source_versions() {
  apt-cache showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -u | sort -r -V
}

# Unpacks a Debian source package (with Debian's patches applied) once; prints its folder. A mirror may
# lack the newest upload (the security archive's pool is not always reachable), so older versions that
# apt lists are tried in turn.
fetch_source() {
  local package=$1 pattern=$2 folder version
  mkdir -p "$sources"
  folder=$(find "$sources" -mindepth 1 -maxdepth 1 -type d -name "$pattern" | sort | tail -n 1)
  if [ -z "$folder" ]; then
    for version in $(source_versions "$package"); do
      if (cd "$sources" && apt-get source -qq "$package=$version" >&2); then break; fi
      echo "build-mingw-deps: $package $version could not be fetched, trying an older one" >&2
    done
    folder=$(find "$sources" -mindepth 1 -maxdepth 1 -type d -name "$pattern" | sort | tail -n 1)
  fi
  [ -n "$folder" ] || { echo "build-mingw-deps: no source folder for $package" >&2; exit 1; }
  echo "$folder"
}

# Configures one CMake project with the project's mingw toolchain, into a fresh folder.
cmake_configure() {
  local name=$1 source=$2
  shift 2
  rm -rf "${work:?}/$name"
  cmake -S "$source" -B "$work/$name" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib "$@" >/dev/null
}

cmake_build_install() {
  cmake --build "$work/$1"
  cmake --install "$work/$1" >/dev/null
}

expat_source=$(fetch_source expat 'expat-*')
libpng_source=$(fetch_source libpng1.6 'libpng1.6-*')

# Debian packs expat's repository, whose library project sits in the expat/ folder.
expat_project=$expat_source
[ -f "$expat_project/CMakeLists.txt" ] || expat_project=$expat_source/expat

echo "build-mingw-deps: expat from $(basename "$expat_source")"
cmake_configure expat "$expat_project" \
  -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
  -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_FUZZERS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF
# Debian's security fixes test "#if XML_DTD == 1", as autotools defines it (Debian builds with
# autotools); expat's CMake header defines the feature macros empty. Give them the autotools value.
sed -i -E 's/^#define (XML_DTD|XML_NS)$/#define \1 1/' "$work/expat/expat_config.h"
cmake_build_install expat

echo "build-mingw-deps: libpng from $(basename "$libpng_source")"
cmake_configure libpng "$libpng_source" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_FRAMEWORK=OFF \
  -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_EXECUTABLES=ON -DSKIP_INSTALL_FILES=ON \
  -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a
cmake_build_install libpng

for library in libexpat.a libpng16.a; do
  [ -f "$prefix/lib/$library" ] || { echo "build-mingw-deps: $library was not installed" >&2; exit 1; }
done
echo "build-mingw-deps: installed into $prefix"
