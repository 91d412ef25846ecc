#!/usr/bin/env bash
# The window's tests under Wine on a virtual display: window_tests.exe (the
# framework, the skinned button, message boxes, the resources) and
# gui_client.exe driving the real Pictrove.exe, each in a Chinese (ANSI code
# page 936) and an English (1252) locale. Screenshots of the main window, the
# about box and the system menu go to build/screenshots/LOCALE/.
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
for locale in zh_CN.GBK en_US.UTF-8; do
  name=${locale%%.*}
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
exit $status
