#!/usr/bin/env bash
# Lists a sample of Debian's mingw-w64 import libraries with the native and the Windows command line
# and fails when the outputs differ in any byte.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/sample-libs.sh
native=$(mktemp) windows=$(mktemp)
trap 'rm -f "$native" "$windows"' EXIT
for arch in i686 x86_64; do
  mapfile -t libs < <(sample_libs "$arch")
  ((${#libs[@]})) || { echo "compare-cli: no $arch import libraries installed" >&2; exit 1; }
  build/native/src/korvane-cli list "${libs[@]}" >"$native"
  windows_paths=()
  for path in "${libs[@]}"; do windows_paths+=("Z:${path//\//\\}"); done
  scripts/wine-run.sh build/windows/src/korvane-cli.exe list "${windows_paths[@]}" >"$windows" 2>/dev/null
  if ! cmp -s "$native" "$windows"; then
    echo "compare-cli: the Windows listing of the $arch libraries differs from the native one:" >&2
    diff "$native" "$windows" | head -20 >&2
    exit 1
  fi
  echo "compare-cli: $arch: $(grep -c -v $'^\t' "$native") libraries, $(wc -l <"$native") lines, identical"
done
