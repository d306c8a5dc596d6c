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

# The offline documentation set goes beside the program.
scripts/docs-set.sh >/dev/null ||
  echo "run.sh: the documentation set could not be built; Korvane runs without it" >&2
mkdir -p build/run build/screenshots
cd build/run

if [ -n "${DISPLAY:-}" ]; then
  exec "$root/scripts/wine-run.sh" "$exe"
fi

# Xvfb picks a free display itself and writes its number once it accepts connections, so neither a
# display in use by someone else nor a server still starting can be mistaken for ours.
number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -f "$number_file"' EXIT
for _ in $(seq 1 60); do
  [ -s "$number_file" ] && break
  kill -0 "$xvfb" 2>/dev/null || { echo "run.sh: the virtual display did not start" >&2; exit 1; }
  sleep 0.5
done
[ -s "$number_file" ] || { echo "run.sh: the virtual display did not start within 30 s" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$number_file")"
# And it answers before anything else asks it something.
for _ in $(seq 1 20); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.5
done
xdpyinfo >/dev/null 2>&1 || { echo "run.sh: the virtual display $DISPLAY does not answer" >&2; exit 1; }
"$root/scripts/wine-run.sh" "$exe" >/dev/null 2>&1 &
program=$!
# Wait for the main window to be mapped (at most 60 s), then give it a moment to paint. A query that
# fails (the window tree changing under it) only means "not yet".
window=""
for _ in $(seq 1 120); do
  window=$( (xwininfo -root -tree 2>/dev/null || true) | awk '/"Korvane \(beta 4\)"/ {print $1; exit}')
  [ -n "$window" ] && break
  sleep 0.5
done
[ -n "$window" ] || echo "run.sh: the main window did not appear; taking the whole screen" >&2
sleep 2
shot="$root/build/screenshots/run-main-window.png"
import -window "${window:-root}" "$shot"
echo "Korvane.exe is running in a virtual display; screenshot of the main window: $shot"
source "$root/scripts/wine-env.sh"
wineserver -k 2>/dev/null || true
wait "$program" 2>/dev/null || true
