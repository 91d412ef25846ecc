#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix, which is made
# on first use (scripts/wine-prefix.sh). Usage: wine-run.sh PROGRAM.exe [ARGS...]
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win32 2>/dev/null || true

bash "$here/scripts/wine-prefix.sh" "$WINEPREFIX"

exec wine "$@"
