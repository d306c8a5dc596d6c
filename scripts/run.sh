#!/usr/bin/env bash
# Sets everything up, builds, and runs the program. Until the window program exists this runs the
# command line on a sample of Debian's mingw-w64 import libraries: the Windows build under Wine on the
# 32-bit ones, then the native build on the 64-bit ones. Extra arguments are passed to both runs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset native >/dev/null && cmake --build --preset native
cmake --preset windows >/dev/null && cmake --build --preset windows
source scripts/sample-libs.sh
mapfile -t libs32 < <(sample_libs i686)
mapfile -t libs64 < <(sample_libs x86_64)
windows_paths=()
for path in "${libs32[@]}"; do windows_paths+=("Z:${path//\//\\}"); done
echo "== korvane-cli.exe under Wine: ${#libs32[@]} 32-bit libraries"
scripts/wine-run.sh build/windows/src/korvane-cli.exe list "$@" "${windows_paths[@]}" 2>/dev/null
echo "== korvane-cli on Linux: ${#libs64[@]} 64-bit libraries"
build/native/src/korvane-cli list "$@" "${libs64[@]}"
