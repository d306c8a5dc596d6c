#!/usr/bin/env bash
# Sets everything up, builds, and runs the program. Until the window program exists this runs the
# command line on a sample of Debian's mingw-w64 import libraries: natively, then the Windows build
# under Wine on the first of them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset native >/dev/null && cmake --build --preset native
cmake --preset windows >/dev/null && cmake --build --preset windows
source scripts/sample-libs.sh
build/native/src/korvane-cli list "${KORVANE_SAMPLE_LIBS[@]}" "$@"
first="${KORVANE_SAMPLE_LIBS[0]}"
scripts/wine-run.sh build/windows/src/korvane-cli.exe list "Z:${first//\//\\}" 2>/dev/null | head -5
