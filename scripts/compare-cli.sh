#!/usr/bin/env bash
# Lists a sample of Debian's mingw-w64 import libraries with the native and the Windows command line
# and fails when the outputs differ in any byte.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/sample-libs.sh
native=$(mktemp) windows=$(mktemp) work=$(mktemp -d)
trap 'rm -rf "$native" "$windows" "$work"' EXIT
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

# The import files: a catalogue file of looked-up functions of libversion.a (types from the built-in
# table, the library at hand for the x86 check) gives the same bytes from both command lines.
wine_path() { local path=$1; echo "Z:${path//\//\\}"; }
element() {  # element FUNCTION PARAMETERS RETURN ANSIUNI
  printf '<element><Function>%s</Function><Parameters>%s</Parameters><Return>%s</Return><Description/><Group/><Website/><AnsiUni>%s</AnsiUni><checked>1</checked></element>\n' "$@"
}
for arch in i686 x86_64; do
  library=/usr/$arch-w64-mingw32/lib/libversion.a
  [ -f "$library" ] || { echo "compare-cli: $library is not installed" >&2; exit 1; }
  x86=$([ "$arch" = i686 ] && echo 1 || echo 0)
  label=$([ "$arch" = i686 ] && echo x86 || echo x64)
  elements=$(
    element GetFileVersionInfo '_In_ LPCTSTR lptstrFilename, _Reserved_ DWORD dwHandle, _In_ DWORD dwLen, _Out_writes_bytes_(dwLen) LPVOID lpData' BOOL GetFileVersionInfo
    element GetFileVersionInfoSizeA '[in] LPCSTR lptstrFilename, [out, optional] LPDWORD lpdwHandle' DWORD GetFileVersionInfoSize
    element VerQueryValueW 'LPCVOID pBlock, LPCWSTR lpSubBlock, LPVOID *lplpBuffer, PUINT puLen' BOOL VerQueryValue
    element VerLanguageNameW 'DWORD wLang, LPWSTR szLang' DWORD VerLanguageName
    element VerFindFileA 'UINT uFlags, LPCSTR szFileName, FOO szWinDir' DWORD VerFindFile
    element VerInstallFileA 'UINT uFlags, ...' DWORD VerInstallFile)
  for side in native windows; do
    mkdir -p "$work/$side-$arch/in" "$work/$side-$arch/out"
    folder=/usr/$arch-w64-mingw32/lib/
    [ "$side" = windows ] && folder=$(wine_path "$folder")
    printf '<?xml version="1.0" encoding="UTF-8"?>\n<libversion.a path="%s" x86="%s">\n%s\n</libversion.a>\n' \
      "$folder" "$x86" "$elements" >"$work/$side-$arch/in/[$label] [12.06.2015-21.42.35] libversion.a.xml"
  done
  build/native/src/korvane-cli pbi --out "$work/native-$arch/out" "$work/native-$arch/in/"*.xml >/dev/null 2>&1 || true
  scripts/wine-run.sh build/windows/src/korvane-cli.exe pbi --out "$(wine_path "$work/windows-$arch/out")" \
    "$(wine_path "$(echo "$work/windows-$arch/in/"*.xml)")" >/dev/null 2>&1 || true
  native_file=$work/native-$arch/out/libversion.pbi windows_file=$work/windows-$arch/out/libversion.pbi
  [ -s "$native_file" ] || { echo "compare-cli: the native pbi wrote no $label file" >&2; exit 1; }
  if ! cmp -s "$native_file" "$windows_file"; then
    echo "compare-cli: the Windows import file of the $arch libversion.a differs from the native one:" >&2
    diff "$native_file" "$windows_file" | head -20 >&2
    exit 1
  fi
  echo "compare-cli: $arch: import file of libversion.a, $(grep -c '' "$native_file") lines, identical"
done
