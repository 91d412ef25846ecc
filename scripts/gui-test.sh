#!/usr/bin/env bash
# The window's tests under Wine on a virtual display: window_tests.exe (the
# framework, the skinned button, message boxes, the resources) and
# gui_client.exe driving the real Pictrove.exe, each in a Chinese (ANSI code
# page 936) and an English (1252) locale. Screenshots of the main window, the
# about box and the system menu go to build/screenshots/LOCALE/. Last, the
# window's Chinese texts in a prefix without the font settings of
# wine-prefix.sh (build/wineprefix-plain, screenshots in
# build/screenshots/plain/).
# With the made modules, the native pictrove and a folder for the files of
# the run, gui_client.exe also drives the Open, Save and Copy commands: the
# folder gets the modules it opens and what pictrove saves for their entries,
# which the window's saves must equal.
# Usage: gui-test.sh WINDOWS_BUILD_DIR [TEST_MODULES_DIR PICTROVE FILES_DIR]
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
files=
if [ $# -ge 4 ]; then
  modules=$2 pictrove=$3 files=$4
  rm -rf "$files"
  mkdir -p "$files"
  for m in good-ids.dll good-pe32.dll good-no-group-icons.dll bad-text.dll bad-16-bit.exe; do
    cp "$modules/$m" "$files/"
  done
  # The list is timed filling with these.
  for groups in 00010 05000; do
    python3 "$here/tests/module_resources/make-test-modules.py" --many-groups "$((10#$groups))" \
      "$files/groups-$groups.dll"
  done
  for entry in 2 10; do
    "$pictrove" save "$files/good-ids.dll" "$files/expected-ids-$entry.ico" --entry "Icon [$entry]"
  done
  "$pictrove" save "$files/good-ids.dll" "$files/expected-ids-2.bmp" --entry "Icon [2]"
  # A 16-bit icon library.
  cp "$modules/ne-good-shift4.icl" "$files/library.icl"
  "$pictrove" save "$files/library.icl" "$files/expected-library-FOLDER.ico" --entry "Icon [FOLDER]"
fi
# Every step is bounded; a hung program is ended by its timeout.
step_timeout=300

source "$here/scripts/gui-session.sh"
echo "virtual display $DISPLAY"

exe=$build/app/Pictrove.exe
status=0
# Wine names files through the Unix locale's character set, ASCII in a
# locale that glibc lacks: the English run takes C.UTF-8, which every system
# has and Wine reads as English (code page 1252), so that it can make and
# open names outside ASCII; zh_CN.GBK is seldom installed, and the Chinese
# run's file names stay ASCII.
for run in zh_CN:zh_CN.GBK en_US:C.UTF-8; do
  name=${run%%:*} locale=${run#*:}
  shots=$here/build/screenshots/$name
  rm -rf "$shots"
  mkdir -p "$shots"
  echo "== $locale"
  LC_ALL=$locale PICTROVE_GUI_DISPLAY=1 PICTROVE_EXE="$(winepath -w "$exe")" \
    timeout -k 10 "$step_timeout" wine "$build/tests/gui/window_tests.exe" || status=1
  LC_ALL=$locale timeout -k 10 "$step_timeout" wine "$build/tests/gui/gui_client.exe" "$exe" "$shots" ${files:+"$files"} || status=1
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  for bmp in "$shots"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
  echo "screenshots in $shots"
done

# A prefix as a user makes one (scripts/plain-prefix.sh: no font substitutes,
# so no "宋体"), in English: the window's Chinese texts must draw there too.
# Its programs run in a virtual desktop given on the command line, which
# leaves the prefix as it is but keeps the client's exit status: the client's
# last line tells.
plain=$here/build/wineprefix-plain
bash "$here/scripts/plain-prefix.sh" "$plain"
shots=$here/build/screenshots/plain
rm -rf "$shots"
mkdir -p "$shots"
echo "== a plain prefix, C.UTF-8"
log=$(mktemp)
WINEPREFIX=$plain LC_ALL=C.UTF-8 timeout -k 10 "$step_timeout" \
  wine explorer /desktop=pictrove-plain,1024x768 "$build/tests/gui/gui_client.exe" --fonts \
  "$(winepath -w "$exe")" "$(winepath -w "$shots")" | tee "$log" || status=1
grep -q ', 0 failed' "$log" || status=1
rm -f "$log"
WINEPREFIX=$plain wineserver -k 2>/dev/null || true
WINEPREFIX=$plain wineserver -w 2>/dev/null || true
for bmp in "$shots"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
echo "screenshots in $shots"
exit $status
