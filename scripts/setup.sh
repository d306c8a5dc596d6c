#!/usr/bin/env bash
# Installs everything the build, the tests and the benchmarks need, from Debian's packages, builds the
# Windows program's C libraries from Debian's sources, and prepares the project's own Wine prefix inside
# the build folder. Safe to run again: it installs only what is missing, keeps built libraries and keeps
# an initialised prefix.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  # build; dpkg-dev unpacks Debian's source packages for the Windows builds of expat and libpng
  cmake ninja-build g++ make pkg-config dpkg-dev
  # Windows cross build: mingw-w64 with POSIX threads, zlib for mingw
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev mingw-w64-i686-dev libz-mingw-w64-dev
  # the x86 compiler: the import files' structures and constants are proven against it
  gcc-mingw-w64-i686-win32
  # libraries (native)
  libexpat1-dev libpng-dev zlib1g-dev libcurl4-openssl-dev
  # JSON output of the command line (header only)
  nlohmann-json3-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  # timing the command line against other programs on the same files
  hyperfine
  # fuzzing (curl fetches the seed pages from `docs serve`) and the comparison benchmark
  clang libclang-rt-14-dev llvm llvm-14-dev curl
  # C header parsing for `korvane-cli docs build` (Linux only)
  libclang-dev
  # running and looking at the Windows build
  wine wine64 xvfb xauth x11-apps x11-utils imagemagick
  # driving the real windows with mouse and keys
  xdotool
  # the release archive (scripts/package.sh) and its test
  zip unzip
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

scripts/build-mingw-deps.sh
scripts/wine-prefix.sh
