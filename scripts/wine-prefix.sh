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
