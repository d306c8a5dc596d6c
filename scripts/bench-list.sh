#!/usr/bin/env bash
# `korvane-cli list` over every x64 import library of Debian's mingw-w64, against llvm-nm (LLVM's
# archive reader, listing every symbol) and cat (reading every byte) on the same files: mean wall time
# and CPU time (user + system) of each, and the list's ratios to the other two.
set -euo pipefail
cd "$(dirname "$0")/.."
folder=/usr/x86_64-w64-mingw32/lib
libraries=("$folder"/*.a)
if [ ! -e "${libraries[0]}" ]; then
  echo "bench-list: no import libraries in $folder" >&2
  exit 1
fi
cmake --preset tools >/dev/null
cmake --build --preset tools >/dev/null
cli=build/tools/src/korvane-cli
# The work is checked, not only timed: the list must name the libraries' functions.
lines=$("$cli" list "${libraries[@]}" 2>/dev/null | wc -l)
if [ "$lines" -lt 50000 ]; then
  echo "bench-list: korvane-cli listed only $lines lines from ${#libraries[@]} libraries" >&2
  exit 1
fi
report=build/bench-list.json
hyperfine -N --warmup 3 --runs 20 --export-json "$report" \
  "$cli list ${libraries[*]}" "llvm-nm ${libraries[*]}" "cat ${libraries[*]}" >/dev/null
python3 - "$report" "${#libraries[@]}" "$lines" <<'PYTHON'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
names = ["korvane-cli list", "llvm-nm", "cat"]
wall = [r["mean"] * 1000 for r in results]
cpu = [(r["user"] + r["system"]) * 1000 for r in results]
print(f"{sys.argv[2]} libraries, {sys.argv[3]} lines listed")
for name, w, c in zip(names, wall, cpu):
    print(f"  {name:17} wall {w:7.1f} ms   cpu {c:7.1f} ms")
print(f"  list / llvm-nm   wall {wall[0] / wall[1]:.2f}x   cpu {cpu[0] / cpu[1]:.2f}x")
print(f"  list / cat       wall {wall[0] / wall[2]:.2f}x   cpu {cpu[0] / cpu[2]:.2f}x")
PYTHON
