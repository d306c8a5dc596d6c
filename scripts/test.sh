#!/usr/bin/env bash
# Sets everything up and runs every test: the native suites (with AddressSanitizer and
# UndefinedBehaviorSanitizer), the Windows build's suites under Wine, a comparison of the two command
# lines' output on Debian's mingw-w64 import libraries, a short run of each fuzz target, and the
# release archive: packaged (scripts/package.sh) and used from a fresh Wine prefix as a user would.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

echo "== native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native -j"$(nproc)"

echo "== Windows build and tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows

echo "== the command line gives the same listing on Linux and under Wine"
scripts/compare-cli.sh

echo "== fuzz targets, short runs"
scripts/fuzz.sh 20000

echo "== the release archive, unzipped and used in a fresh Wine prefix"
archive=$(scripts/package.sh)
tests/package/archive_test.sh "$archive"

echo "== all tests passed"
