#!/usr/bin/env bash
# Starts Xvfb on a free display (1024x768, 24 bits) in the background and
# prints "DISPLAY PID". The caller stops it with kill PID.
set -euo pipefail

fd_file=$(mktemp)
trap 'rm -f "$fd_file"' EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 100); do
  if [ -s "$fd_file" ]; then
    echo ":$(head -n1 "$fd_file") $pid"
    exit 0
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill "$pid" 2>/dev/null || true
echo "Xvfb did not start" >&2
exit 1
