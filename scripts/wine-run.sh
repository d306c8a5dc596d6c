#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's prefix. CTest uses it as the cross-compiling
# emulator. A virtual display is started when none is set, for programs that open windows.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
# A display that does not answer (a stale DISPLAY) counts as none: under it Wine would create no
# window at all, and a program would run without its windows instead of failing.
if [ -n "${DISPLAY:-}" ] && command -v xdpyinfo >/dev/null && ! xdpyinfo >/dev/null 2>&1; then
  echo "wine-run: the display $DISPLAY does not answer; using a virtual one" >&2
  unset DISPLAY
fi
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
fi
exec wine "$@"
