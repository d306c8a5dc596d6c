#!/usr/bin/env bash
# Sets everything up, builds, and starts Korvane.exe under Wine. With a display (DISPLAY set) the
# program opens there and this script waits until it is closed. Without one, it runs in a virtual
# display, saves a screenshot of the main window to build/screenshots/run-main-window.png, prints its
# path and closes the program. The program's settings file and catalogue folder go to build/run,
# its working directory.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Korvane
exe="$root/build/windows/src/Korvane.exe"
mkdir -p build/run build/screenshots
cd build/run

if [ -n "${DISPLAY:-}" ]; then
  exec "$root/scripts/wine-run.sh" "$exe"
fi

display=":$((90 + RANDOM % 9))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY="$display"
"$root/scripts/wine-run.sh" "$exe" >/dev/null 2>&1 &
program=$!
# Wait for the main window to be mapped (at most 60 s), then give it a moment to paint.
window=""
for _ in $(seq 1 120); do
  window=$(xwininfo -root -tree 2>/dev/null | awk '/"Korvane \(beta 4\)"/ {print $1; exit}')
  [ -n "$window" ] && break
  sleep 0.5
done
sleep 2
shot="$root/build/screenshots/run-main-window.png"
import -window "${window:-root}" "$shot"
echo "Korvane.exe is running in a virtual display; screenshot of the main window: $shot"
source "$root/scripts/wine-env.sh"
wineserver -k 2>/dev/null || true
wait "$program" 2>/dev/null || true
