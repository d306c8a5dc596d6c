#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for the given number of inputs (default 200000),
# starting from a few generated seeds in build/fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-200000}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
for target in archive_fuzz text_fuzz settings_fuzz catalogue_xml_fuzz; do
  corpus="build/fuzz/corpus/$target"
  mkdir -p "$corpus"
  if [ "$target" = archive_fuzz ] && [ -z "$(ls -A "$corpus")" ]; then
    for lib in /usr/i686-w64-mingw32/lib/libd3d8.a /usr/x86_64-w64-mingw32/lib/libdsound.a; do
      [ -f "$lib" ] && cp "$lib" "$corpus/"
    done
  fi
  echo "fuzz: $target, $runs runs"
  "build/fuzz/fuzz/$target" -runs="$runs" -max_len=65536 -rss_limit_mb=2048 "$corpus" 2>&1 | tail -n 2
done
