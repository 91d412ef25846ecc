#!/usr/bin/env bash
# Makes a Wine prefix as a user makes one, once: plain `wineboot -i`, none of
# the settings of wine-prefix.sh (no font substitutes, no Marlett, no virtual
# desktop). The window's tests show in it that the program reads right in a
# prefix that the project did not prepare.
# Usage: plain-prefix.sh PREFIX. Safe to run again and at the same time from
# several processes.
set -euo pipefail

prefix=$1
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts; neither plays a part in fonts.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win32
stamp=$prefix/.pictrove-plain

mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$stamp" ]; then
    # wineboot finishes a prefix that an earlier run left cut short.
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
    if [ -f "$prefix/system.reg" ]; then touch "$stamp"; fi
  fi
) 9>"$prefix.lock"
[ -f "$stamp" ]
