#!/usr/bin/env bash
# Builds the fuzz targets with clang (preset "fuzz") and runs each, one after the other, for N inputs
# (default 200000); with target names after N, only those. Every target starts from seeds made here, in
# build/fuzz/seeds, from real inputs: Debian's mingw-w64 import libraries (and the MSVC import libraries
# of ../shared/fixtures when present), what the program writes from them (catalogue files, a
# documentation set, the pages `docs serve` hands out, a listing and a descriptor), a settings file and
# Markdown function pages. The corpus each run grows is kept in build/fuzz/corpus/<target> for the
# next run; an input that fails is saved as build/fuzz/findings/<target>-crash-... and ends the script.
# Prints per target the inputs run, the coverage (cov: code blocks, ft: features), the corpus size and
# the time taken.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
runs="${1:-200000}"
shift || true
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null

build="$root/build/fuzz"
cli="$build/src/korvane-cli"
seeds="$build/seeds"
fixtures="$root/../shared/fixtures"
rm -rf "$seeds"
mkdir -p "$seeds" "$build/findings"
work="$(mktemp -d)"
server=""
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

seed_dir() { mkdir -p "$seeds/$1" && echo "$seeds/$1"; }

# Import libraries: a few small Debian ones of both architectures, one made by dlltool whose functions
# the documentation set below knows, and the MSVC-written fixtures.
libs="$(seed_dir archive_fuzz)"
for lib in /usr/i686-w64-mingw32/lib/libd3d8.a /usr/i686-w64-mingw32/lib/libdsound.a \
           /usr/x86_64-w64-mingw32/lib/libversion.a /usr/x86_64-w64-mingw32/lib/libcomdlg32.a; do
  [ -f "$lib" ] && cp "$lib" "$libs/$(basename "$(dirname "$(dirname "$lib")")")-$(basename "$lib")"
done
printf 'LIBRARY user32.dll\nEXPORTS\n%s\n' MessageBoxA MessageBoxW GetDC ReleaseDC SetWindowTextA SetWindowTextW \
  WindowFromPoint MonitorFromPoint lstrlenA >"$work/seed.def"
x86_64-w64-mingw32-dlltool -d "$work/seed.def" -l "$libs/libseed.a"
x86_64-w64-mingw32-dlltool -m i386 -d "$work/seed.def" -l "$libs/libseed32.a"
if [ -d "$fixtures/import-libs" ]; then
  cp "$fixtures"/import-libs/*.lib "$libs/"
fi

# A documentation set built from a small header and, when present, the Markdown reference sample.
mkdir -p "$work/headers"
cat >"$work/headers/seed.h" <<'EOF'
typedef void *HWND;
typedef void *HDC;
typedef void *HMONITOR;
typedef const char *LPCSTR;
typedef const unsigned short *LPCWSTR;
typedef int BOOL;
typedef unsigned int UINT;
typedef unsigned long DWORD;
typedef struct tagPOINT { long x; long y; } POINT;
int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString);
BOOL SetWindowTextW(HWND hWnd, LPCWSTR lpString);
HWND WindowFromPoint(POINT Point);
HMONITOR MonitorFromPoint(POINT pt, DWORD dwFlags);
int lstrlenA(LPCSTR lpString);
EOF
markdown="$(seed_dir reference_markdown_fuzz)"
cat >"$markdown/nf-seed-messageboxa.md" <<'EOF'
---
UID: NF:seed.MessageBoxA
title: MessageBoxA function (seed.h)
description: Displays a modal dialog box.
tech.root: dlgbox
req.header: seed.h
req.lib: User32.lib
---

# MessageBoxA function

## -description

Displays a <b>modal</b> dialog box that contains a [system icon](/windows/icons), a set of buttons
and a brief *application-specific* message &amp; returns `IDOK` &lt;or&gt; another value.

## -parameters

### -param hWnd [in, optional]

A handle to the owner window.

### -param uType [in]

The contents and behavior of the dialog box.
EOF
reference=()
if [ -d "$fixtures/api-reference-sample/sdk-api-src" ]; then
  reference=(--reference "$fixtures/api-reference-sample/sdk-api-src")
  while IFS= read -r page; do
    cp "$page" "$markdown/$(basename "$(dirname "$page")")-$(basename "$page")"
  done < <(find "$fixtures/api-reference-sample/sdk-api-src" -name '*.md')
fi
"$cli" docs build --headers "$work/headers" "${reference[@]}" --out "$work/seed.docs" >/dev/null
cp "$work/seed.docs" "$(seed_dir docs_set_fuzz)/"

# The pages the set's server hands out: search results and reference pages, found and not found.
"$cli" docs serve "$work/seed.docs" >"$work/serve.out" &
server=$!
for _ in $(seq 100); do
  [ -s "$work/serve.out" ] && break
  sleep 0.1
done
address="$(head -n 1 "$work/serve.out")"
address="${address%/}"
search="$(seed_dir search_page_fuzz)"
reference_pages="$(seed_dir reference_page_fuzz)"
for name in MessageBox MessageBoxA GetDC WindowFromPoint lstrlenA NoSuchFunction; do
  curl -sf "$address/search/en-us?query=%22$name%20function%20%28Windows%29%22&refinement=117" >"$search/$name.html"
  curl -s "$address/en-us/library/$name.aspx" >"$reference_pages/$name.html"
done
kill "$server" && wait "$server" 2>/dev/null || true
server=""

# Catalogue files: as read from the libraries, and with the details the documentation lookup fills in.
catalogue="$(seed_dir catalogue_xml_fuzz)"
mkdir -p "$work/catalogue" "$work/looked-up"
small=("$libs"/*-w64-mingw32-*.a)
for lib in teamrobot-x86-d3d8.lib vbamdeps-x64-dsound.lib; do
  [ -f "$libs/$lib" ] && small+=("$libs/$lib")
done
"$cli" catalogue --out "$work/catalogue" "${small[@]}" >/dev/null
"$cli" lookup --docs "$work/seed.docs" --out "$work/looked-up" "$libs/libseed.a" "$libs/libseed32.a" >/dev/null
cp "$work"/catalogue/*.xml "$work"/looked-up/*.xml "$catalogue/"
# The import file writer reads the same catalogue files.
cp "$work"/catalogue/*.xml "$work"/looked-up/*.xml "$(seed_dir import_file_fuzz)/"

# The listing and the descriptors an export writes, with each way of writing parameter lists.
listing="$(seed_dir listing_fuzz)"
descriptor="$(seed_dir descriptor_fuzz)"
for annotations in convert keep remove; do
  mkdir -p "$work/export-$annotations/Compilers" "$work/export-$annotations/PureLibraries/Windows/Libraries"
  "$cli" export --root "$work/export-$annotations" --annotations "$annotations" "$work"/looked-up/*.xml >/dev/null
  cp "$work/export-$annotations/Compilers/APIFunctionListing.txt" "$listing/listing-$annotations.txt"
  for file in "$work/export-$annotations"/PureLibraries/Windows/*; do
    [ -f "$file" ] && cp "$file" "$descriptor/$(basename "$file")-$annotations"
  done
done
cp "$libs/libseed.a" "$libs/libseed32.a" "$listing/"

# A settings file in the form the program writes, and one an older version left in one byte per character.
settings="$(seed_dir settings_fuzz)"
printf '\xef\xbb\xbf\r\n[Korvane]\r\nLibDir = C:\\Libs\\\r\n; last export\r\n[Export]\r\nPBRoot = C:\\Program Files\\IDE\\\r\nAPI = 1\r\nSAL = 2\r\n[Lookup]\r\nEngine = offline\r\nSearchBase = http://127.0.0.1:8080\r\nDocs = Korvane.docs\r\n' \
  >"$settings/written.ini"
printf '[Korvane]\r\nLibDir=D:\\Biblioth\xe8que\\\r\n  ; note\r\n[Export]\r\nRootDir=  C:\\\r\n' >"$settings/latin1.ini"

text="$(seed_dir text_fuzz)"
cp "$settings/written.ini" "$markdown/nf-seed-messageboxa.md" "$text/"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(archive_fuzz catalogue_xml_fuzz settings_fuzz reference_page_fuzz search_page_fuzz docs_set_fuzz
           listing_fuzz descriptor_fuzz text_fuzz import_file_fuzz)
  [ -x "$build/fuzz/reference_markdown_fuzz" ] && targets+=(reference_markdown_fuzz)
fi
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus" "$seeds/$target"
  log="$build/findings/$target.log"
  # The symbol directory of the small libraries lies in their first 16 KiB; longer inputs only slow
  # the archive target down.
  max_len=65536
  [ "$target" = archive_fuzz ] && max_len=16384
  start=$SECONDS
  if ! "$build/fuzz/$target" -runs="$runs" -max_len="$max_len" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
         -artifact_prefix="$build/findings/$target-" "$corpus" "$seeds/$target" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: $target failed; the input is in build/fuzz/findings, the log in $log" >&2
    exit 1
  fi
  done_line="$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1)"
  inputs="$(sed -n 's/^stat::number_of_executed_units:[[:space:]]*//p' "$log")"
  cov="$(sed -E -n 's/.* cov: ([0-9]+).*/\1/p' <<<"$done_line")"
  ft="$(sed -E -n 's/.* ft: ([0-9]+).*/\1/p' <<<"$done_line")"
  corp="$(sed -E -n 's/.* corp: ([0-9]+\/[0-9]+[a-zA-Z]+).*/\1/p' <<<"$done_line")"
  echo "fuzz: $target: $inputs inputs, cov $cov, ft $ft, corpus $corp, $((SECONDS - start)) s"
done
