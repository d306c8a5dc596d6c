#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's prefix. CTest uses it as the cross-compiling
# emulator. A virtual display is started when none is set, for programs that open windows.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
fi
exec wine "$@"
