# shellcheck shell=bash
# Sourced (not run) by the scripts that show Pictrove's windows on a virtual
# display: gui-test.sh and run.sh. Sets up the GUI tests' Wine prefix
# (build/wineprefix-gui, whose programs run in a virtual desktop that draws
# window frames without a window manager), held by this run alone, with no
# Wine process left from before, and an Xvfb of its own. Afterwards the Wine
# variables and DISPLAY are exported, and on exit the prefix's processes and
# the Xvfb are ended.

gui_session_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
gui_session_prefix=$gui_session_root/build/wineprefix-gui
export WINEPREFIX=$gui_session_prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= WINEARCH=win32

# One GUI run at a time in this prefix.
mkdir -p "$(dirname "$gui_session_prefix")"
exec 8>"$gui_session_prefix.run.lock"
flock -w 900 8

bash "$gui_session_root/scripts/wine-prefix.sh" "$gui_session_prefix" --desktop
# Making the prefix may leave a desktop process behind that has no display;
# the run starts from nothing.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

read -r gui_session_display gui_session_xvfb_pid < <(bash "$gui_session_root/scripts/xvfb-display.sh")
gui_session_end() {
  wineserver -k 2>/dev/null || true
  kill "$gui_session_xvfb_pid" 2>/dev/null || true
}
trap gui_session_end EXIT
export DISPLAY=$gui_session_display
