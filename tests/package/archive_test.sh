#!/usr/bin/env bash
# The release archive as a Windows user gets it:
#   tests/package/archive_test.sh build/dist/Korvane-<version>-win64.zip
# Checks its entries and their order, the CRLF of README.txt and the notices; packages the same build
# again and compares the bytes; then unzips it into an empty folder inside a fresh Wine prefix, runs
# the archive's korvane-cli.exe (--version, list, lookup with the archive's set) and drives the
# archive's Korvane.exe from outside (Load LIBs, msdn Checked, Save XML) with korvane_archive_user.exe,
# and compares the window's saved catalogue file with the command line's.
set -euo pipefail
project=$(cd "$(dirname "$0")/../.." && pwd)
zip=$(realpath "$1")
version=$(basename "$zip" | sed -n 's/^Korvane-\(.*\)-win64\.zip$/\1/p')
user_program="$project/build/windows/tests/korvane_archive_user.exe"
native_cli="$project/build/tools/src/korvane-cli"
library=/usr/x86_64-w64-mingw32/lib/libversion.a

fail() {
  echo "archive test: $*" >&2
  exit 1
}
[ -n "$version" ] || fail "$zip is not named Korvane-<version>-win64.zip"
(cd "$project" && cmake --build --preset windows --target korvane_archive_user >/dev/null) ||
  fail "korvane_archive_user.exe could not be built"
for needed in "$user_program" "$native_cli" "$library"; do
  [ -f "$needed" ] || fail "$needed is missing (build the windows and tools presets first)"
done

work=$(mktemp -d /tmp/korvane-archive.XXXXXX)
cleanup() {
  if [ -d "$work/prefix" ]; then WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "archive test: entries of $(basename "$zip")"
expected=(Korvane.exe korvane-cli.exe Korvane.docs README.txt THIRD-PARTY-NOTICES.txt)
for licence in LICENSE LICENSE.txt LICENSE.md COPYING; do
  if [ -f "$project/$licence" ]; then expected+=(LICENSE.txt); break; fi
done
[ "$(unzip -Z1 "$zip")" = "$(printf '%s\n' "${expected[@]}")" ] ||
  fail "the archive holds $(unzip -Z1 "$zip" | tr '\n' ' '), expected ${expected[*]}"
for text in README.txt THIRD-PARTY-NOTICES.txt; do
  unzip -p "$zip" "$text" >"$work/$text"
  [ -s "$work/$text" ] || fail "$text is empty"
  # Every line ends in CR LF, the last one included.
  if LC_ALL=C grep -q -v $'\r$' "$work/$text" || [ "$(tail -c 2 "$work/$text" | od -An -c | tr -d ' ')" != '\r\n' ]; then
    fail "$text has a line that does not end in CR LF"
  fi
done
grep -q "version $version" "$work/README.txt" || fail "README.txt does not name version $version"
for notice in "Permission is hereby granted" "PNG Reference Library" "Jean-loup Gailly" "winpthreads" \
  "GCC RUNTIME LIBRARY EXCEPTION" "GNU GENERAL PUBLIC LICENSE"; do
  grep -q "$notice" "$work/THIRD-PARTY-NOTICES.txt" || fail "THIRD-PARTY-NOTICES.txt lacks \"$notice\""
done

echo "archive test: the same build packaged again gives the same bytes"
cp "$zip" "$work/first.zip"
"$project/scripts/package.sh" >"$work/package.log" 2>&1 || { cat "$work/package.log" >&2; fail "packaging again failed"; }
cmp "$work/first.zip" "$zip" || fail "packaging the same build twice gave different archives"

echo "archive test: a fresh Wine prefix"
export KORVANE_WINEPREFIX="$work/prefix"
"$project/scripts/wine-prefix.sh" >/dev/null
source "$project/scripts/wine-env.sh"
[ "$WINEPREFIX" = "$work/prefix" ] || fail "the Wine prefix is $WINEPREFIX, not the fresh one"
# A folder name with a blank, as users' folders have.
folder="$WINEPREFIX/drive_c/Korvane $version"
win_folder="C:\\Korvane $version"
mkdir "$folder"
unzip -q "$zip" -d "$folder"
mkdir "$WINEPREFIX/drive_c/libs" "$WINEPREFIX/drive_c/cli-out"
cp "$library" "$WINEPREFIX/drive_c/libs/"
win_library="C:\\libs\\$(basename "$library")"
cli() { (cd "$folder" && wine "$win_folder\\korvane-cli.exe" "$@"); }

echo "archive test: korvane-cli.exe --version and list"
[ "$(cli --version)" = "korvane-cli $version" ] || fail "korvane-cli.exe --version printed '$(cli --version)'"
cli list "$win_library" >"$work/list.windows"
"$native_cli" list "$library" >"$work/list.native"
[ "$(wc -l <"$work/list.native")" -gt 10 ] || fail "the native korvane-cli listed too little of $library"
cmp "$work/list.windows" "$work/list.native" || fail "korvane-cli.exe list differs from the native listing"

echo "archive test: Korvane.exe from the archive: Load LIBs, msdn Checked, Save XML"
# The Wine session of the command line above has no display; the window program must start a new one
# in the virtual display, not join that one.
wineserver --wait
"$project/scripts/wine-run.sh" "$user_program" "$win_folder" "$win_library" "$version"
saved=("$folder/Korvane.xml/"*"] $(basename "$library").xml")
[ ${#saved[@]} -eq 1 ] && [ -f "${saved[0]}" ] || fail "Save XML wrote no catalogue file of $(basename "$library")"

echo "archive test: the window's file equals korvane-cli.exe lookup --docs with the archive's set"
wineserver --wait
cli lookup --docs "$win_folder\\Korvane.docs" --out 'C:\cli-out' "$win_library" >/dev/null
looked_up=("$WINEPREFIX/drive_c/cli-out/"*.xml)
[ ${#looked_up[@]} -eq 1 ] && [ -f "${looked_up[0]}" ] || fail "korvane-cli.exe lookup wrote no catalogue file"
cmp "${saved[0]}" "${looked_up[0]}" || fail "the window saved other facts than the command line looked up"
# And the lookups found something: facts the headers give, and a return type for most functions
# (the few that no header declares stay empty).
facts=$(awk -F'[<>]' '$2 == "Function" { name = $3 } $2 == "Return" { print name "=" $3 }' "${saved[0]}")
for fact in GetFileVersionInfoSizeW=DWORD VerQueryValueW=BOOL GetFileVersionInfoExW=BOOL VerLanguageNameA=DWORD; do
  grep -qx -- "$fact" <<<"$facts" || fail "${saved[0]} lacks $fact"
done
functions=$(grep -c $'^\t' "$work/list.native")
returns=$(grep -c '<Return>[^<]' "${saved[0]}" || true)
[ $((returns * 4)) -ge $((functions * 3)) ] || fail "only $returns of $functions functions have a return type in ${saved[0]}"
echo "archive test: passed ($returns of $functions functions looked up and saved)"
