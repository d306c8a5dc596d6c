#!/usr/bin/env bash
# Creates the project's Wine prefix once (build/wineprefix). wineboot needs no display here.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "setup: creating Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  DISPLAY= wineboot --init >/dev/null 2>&1 || true
  wineserver --wait || true
fi
[ -f "$WINEPREFIX/system.reg" ] || { echo "setup: could not create the Wine prefix" >&2; exit 1; }
# Without a window manager (Xvfb) Wine waits for one each time a managed window is hidden; letting Wine
# manage its windows itself removes that wait.
if [ ! -f "$WINEPREFIX/.korvane-unmanaged" ]; then
  DISPLAY= wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver --wait || true
  touch "$WINEPREFIX/.korvane-unmanaged"
fi
