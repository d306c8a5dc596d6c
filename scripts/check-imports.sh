#!/usr/bin/env bash
# Fails when a Windows executable imports a DLL that Windows does not ship (libstdc++, libgcc,
# libwinpthread, ...): the program must run as one file with nothing beside it.
set -euo pipefail
status=0
for exe in "$@"; do
  while read -r dll; do
    case "${dll,,}" in
      kernel32.dll|user32.dll|gdi32.dll|comctl32.dll|comdlg32.dll|shell32.dll|ole32.dll|oleaut32.dll|\
      advapi32.dll|winhttp.dll|msvcrt.dll|shlwapi.dll|uxtheme.dll|ws2_32.dll|winmm.dll|api-ms-win-*) ;;
      *) echo "check-imports: $exe needs $dll beside it" >&2; status=1 ;;
    esac
  done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
done
exit $status
