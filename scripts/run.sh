#!/usr/bin/env bash
# Installs what is missing, builds, and starts Pictrove.exe under Wine: on
# the user's display when there is one ($DISPLAY), else on a virtual display
# (Xvfb), where it takes a screenshot of the window into
# build/screenshots/main.png and then ends the program.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$PWD

bash scripts/install-deps.sh
bash scripts/build.sh

exe=$here/build/win32/app/Pictrove.exe

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting Pictrove on display $DISPLAY (close its window to end it)."
  exec bash scripts/wine-run.sh "$exe"
fi

# No display: the GUI tests' prefix on a virtual display.
mkdir -p build/screenshots
source scripts/gui-session.sh
echo "No display: starting Pictrove on a virtual display (Xvfb $DISPLAY)."

wine "$exe" >/dev/null 2>&1 &
shot=build/screenshots/main.png
# The window is there once the screen shows more than the desktop's colour.
for _ in $(seq 120); do
  sleep 0.5
  colours=$(import -window root png:- 2>/dev/null | convert - -format %k info: 2>/dev/null || echo 0)
  [ "${colours:-0}" -gt 2 ] && break
done
sleep 1
import -window root "$shot"
echo "Screenshot of the window: $here/$shot"
echo "Ending Pictrove (nobody can use a virtual display)."
