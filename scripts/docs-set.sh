#!/usr/bin/env bash
# Builds the offline documentation set beside the Windows program, build/windows/src/Korvane.docs, from
# Debian's mingw-w64 headers with an optimised native korvane-cli (preset `tools`). It is built again
# only when it is missing or older than the headers or that korvane-cli. Prints the set's path; fails
# when the set could not be built.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
cmake --preset tools >/dev/null
cmake --build --preset tools >&2
cli="$root/build/tools/src/korvane-cli"
headers=/usr/x86_64-w64-mingw32/include
docs="$root/build/windows/src/Korvane.docs"
mkdir -p "$(dirname "$docs")"
if [ ! -f "$docs" ] || [ "$cli" -nt "$docs" ] || [ -n "$(find "$headers" -newer "$docs" -print -quit)" ]; then
  # Written beside the set and renamed over it, so that an interrupted build leaves no cut-short set
  # that would look newer than the headers.
  "$cli" docs build --headers "$headers" --out "$docs.new" >&2 || { rm -f "$docs.new"; exit 1; }
  mv -f "$docs.new" "$docs"
fi
echo "$docs"
