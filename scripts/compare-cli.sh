#!/usr/bin/env bash
# Lists a sample of Debian's mingw-w64 import libraries with the native and the Windows command line
# and fails when the outputs differ in any byte.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/sample-libs.sh
native=$(mktemp) windows=$(mktemp)
trap 'rm -f "$native" "$windows"' EXIT
build/native/src/korvane-cli list "${KORVANE_SAMPLE_LIBS[@]}" >"$native"
windows_paths=()
for path in "${KORVANE_SAMPLE_LIBS[@]}"; do windows_paths+=("Z:${path//\//\\}"); done
scripts/wine-run.sh build/windows/src/korvane-cli.exe list "${windows_paths[@]}" >"$windows" 2>/dev/null
if ! cmp -s "$native" "$windows"; then
  echo "compare-cli: the Windows listing differs from the native one:" >&2
  diff "$native" "$windows" | head -20 >&2
  exit 1
fi
echo "compare-cli: $(grep -c -v $'^\t' "$native") libraries, $(wc -l <"$native") lines, identical"
