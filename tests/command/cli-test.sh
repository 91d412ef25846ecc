#!/usr/bin/env bash
# The pictrove command as a user runs it: output, messages and exit status.
# Usage: cli-test.sh PICTROVE REAL_FILES_DIR TEST_MODULES_DIR
set -uo pipefail

pictrove=${1:?}
real=${2:?}
modules=${3:?}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# expect NAME STATUS STDOUT-PATTERN STDERR-PATTERN -- COMMAND...
# An empty pattern is not checked.
expect() {
  local name=$1 status=$2 out=$3 err=$4
  shift 5
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  if [ "$got" -ne "$status" ]; then
    echo "FAIL $name: exit $got, expected $status; stderr: $(cat "$work/err")" >&2
    failures=$((failures + 1))
  elif [ -n "$out" ] && ! grep -qE -- "$out" "$work/out"; then
    echo "FAIL $name: stdout does not match '$out': $(cat "$work/out")" >&2
    failures=$((failures + 1))
  elif [ -n "$err" ] && ! grep -qE -- "$err" "$work/err"; then
    echo "FAIL $name: stderr does not match '$err': $(cat "$work/err")" >&2
    failures=$((failures + 1))
  fi
}

palette=$real/ico/magick-palette.ico  # one 32 x 32 image of 4 bits
withpng=$real/ico/icotool-png.ico     # a 4-bit image and a PNG
printf '\0\0\1\0\0\0' >"$work/empty.ico"
printf 'not an icon at all' >"$work/text.ico"

expect help 0 'usage: pictrove list FILE' '' -- "$pictrove" --help
expect "no arguments" 2 '' 'usage:' -- "$pictrove"
expect "unknown command" 2 '' 'unknown command' -- "$pictrove" frob "$palette"
expect "save to png" 2 '' 'TARGET must end in .ico or .bmp' -- "$pictrove" save "$palette" "$work/x.png"
expect "save without extension" 2 '' 'usage:' -- "$pictrove" save "$palette" "$work/x"

expect "list icon file" 0 "^$palette\$" '' -- "$pictrove" list "$palette"
expect "list empty icon" 1 '' '^错误: 此文件中没有图标资源!$' -- "$pictrove" list "$work/empty.ico"
expect "list text named ico" 0 "text.ico" "text.ico: 读图标文件头时出错!" -- "$pictrove" list "$work/text.ico"
expect "list missing" 1 '' "missing.ico: 图标文件打开时出错!" -- "$pictrove" list "$work/missing.ico"

expect "info palette" 0 '^0 32x32 4-bit 744 bytes$' '' -- "$pictrove" info "$palette"
expect "info png" 0 '^1 48x48 32-bit [0-9]+ bytes png$' '' -- "$pictrove" info "$withpng"
expect "info by entry" 0 '^0 32x32 4-bit' '' -- "$pictrove" info "$palette" --entry "$palette"
expect "info unknown entry" 1 '' 'no entry "Icon \[9\]"' -- "$pictrove" info "$palette" --entry "Icon [9]"
expect "info text named ico" 1 '' '错误: 没有可保存的图标资源!' -- "$pictrove" info "$work/text.ico"

expect "save ico" 0 '' '' -- "$pictrove" save "$palette" "$work/copy.ICO"
[ "$("$pictrove" info "$palette")" = "$("$pictrove" info "$work/copy.ICO")" ] &&
  [ "$(stat -c %s "$palette")" = "$(stat -c %s "$work/copy.ICO")" ] ||
  { echo "FAIL save ico: the copy holds other images" >&2; failures=$((failures + 1)); }
expect "save bmp" 0 '' '' -- "$pictrove" save "$palette" "$work/copy.bmp"
[ "$(stat -c %s "$work/copy.bmp")" = 630 ] || { echo "FAIL save bmp: not 630 bytes" >&2; failures=$((failures + 1)); }
expect "save into missing folder" 1 '' '文件建立时出错!' -- "$pictrove" save "$palette" "$work/no/x.ico"
expect "save bmp of empty icon" 1 '' '此文件中没有图标资源!' -- "$pictrove" save "$work/empty.ico" "$work/e.bmp"
expect "save of unreadable icon" 1 '' '没有可保存的图标资源!' -- "$pictrove" save "$work/text.ico" "$work/t.ico"
[ ! -e "$work/t.ico" ] || { echo "FAIL: a file was written for an unreadable icon" >&2; failures=$((failures + 1)); }

# Modules: entries in the order the window's sorted list shows them.
module=$modules/good-pe32.dll
expect "list module" 0 '' '' -- "$pictrove" list "$module"
printf 'Icon [10]\nIcon [11]\nIcon [128]\nIcon [2]\nIcon [MAINICON]\n' >"$work/expected"
cmp -s "$work/out" "$work/expected" || { echo "FAIL list module: $(cat "$work/out")" >&2; failures=$((failures + 1)); }
expect "info module entry" 0 '^1 16x16 8-bit 1384 bytes$' '' -- "$pictrove" info "$module" --entry "Icon [MAINICON]"
expect "module without group icons" 1 '' '^错误: 列举图标资源名时出错!$' -- "$pictrove" list "$modules/good-no-group-icons.dll"
expect "text named dll" 1 '' 'bad-text.dll文件载入错误，必须是WIN32的文件!$' -- "$pictrove" list "$modules/bad-text.dll"
cp "$module" "$work/module.ocx"
expect "module of another extension" 0 '^Icon \[MAINICON\]$' '' -- "$pictrove" list "$work/module.ocx"

# Saving an entry reads that entry's group: each of two entries its own images.
expect "save entry MAINICON" 0 '' '' -- "$pictrove" save "$module" "$work/main.ico" --entry "Icon [MAINICON]"
expect "save entry 2" 0 '' '' -- "$pictrove" save "$module" "$work/two.ico" --entry "Icon [2]"
[ "$("$pictrove" info "$work/main.ico")" = "$("$pictrove" info "$module" --entry "Icon [MAINICON]")" ] &&
  [ "$("$pictrove" info "$work/two.ico")" = "$("$pictrove" info "$module" --entry "Icon [2]")" ] &&
  ! cmp -s "$work/main.ico" "$work/two.ico" ||
  { echo "FAIL save entry: the files do not hold their entries' images" >&2; failures=$((failures + 1)); }
expect "save module entry as bmp" 0 '' '' -- "$pictrove" save "$module" "$work/main.bmp" --entry "Icon [MAINICON]"
[ "$(identify -format '%wx%h' "$work/main.bmp" 2>/dev/null)" = 32x32 ] ||
  { echo "FAIL save module entry as bmp: not a 32x32 bitmap" >&2; failures=$((failures + 1)); }

# A group of no images saves as the bare header; it has no first image.
expect "save empty group" 0 '' '' -- "$pictrove" save "$modules/good-empty-group.dll" "$work/none.ico" --entry "Icon [1]"
[ "$(od -An -tx1 "$work/none.ico" | tr -d ' \n')" = 000001000000 ] ||
  { echo "FAIL save empty group: $(od -An -tx1 "$work/none.ico")" >&2; failures=$((failures + 1)); }
expect "save empty group as bmp" 1 '' '错误: 没有可保存的图标资源!' -- "$pictrove" save "$modules/good-empty-group.dll" "$work/none.bmp" --entry "Icon [1]"
expect "group naming a missing icon" 1 '' '错误: 没有可保存的图标资源!' -- "$pictrove" save "$modules/good-missing-icon.dll" "$work/missing.ico"
[ ! -e "$work/none.bmp" ] && [ ! -e "$work/missing.ico" ] ||
  { echo "FAIL: a file was written for a group without images" >&2; failures=$((failures + 1)); }

# A 16-bit (NE) icon library: listed, described, saved and extracted as a
# 32-bit module is; one without group icons says what such a 32-bit one says.
library=$modules/ne-good-shift9.icl
expect "list NE library" 0 '' '' -- "$pictrove" list "$library"
printf 'Icon [10]\nIcon [12]\nIcon [2]\nIcon [FOLDER]\nIcon [MAINICON]\n' >"$work/expected"
cmp -s "$work/out" "$work/expected" || { echo "FAIL list NE library: $(cat "$work/out")" >&2; failures=$((failures + 1)); }
# Resources are padded to 512 bytes; each image is as long as its entry says.
expect "info NE entry" 0 '^1 32x32 4-bit 744 bytes$' '' -- "$pictrove" info "$library" --entry "Icon [10]"
expect "info NE PNG image" 0 '^0 64x64 32-bit [0-9]+ bytes png$' '' -- "$pictrove" info "$library" --entry "Icon [10]"
expect "save NE entry" 0 '' '' -- "$pictrove" save "$library" "$work/folder.ico" --entry "Icon [FOLDER]"
# One 24 x 24 image of 16 bits: 40 + 24 * 48 + 24 * 4 bytes behind the directory.
[ "$("$pictrove" info "$work/folder.ico")" = "0 24x24 16-bit 1288 bytes" ] && [ "$(stat -c %s "$work/folder.ico")" = 1310 ] ||
  { echo "FAIL save NE entry: $("$pictrove" info "$work/folder.ico" 2>&1)" >&2; failures=$((failures + 1)); }
expect "save NE entry as bmp" 0 '' '' -- "$pictrove" save "$library" "$work/main-ne.bmp" --entry "Icon [MAINICON]"
[ "$(identify -format '%wx%h' "$work/main-ne.bmp" 2>/dev/null)" = 32x32 ] ||
  { echo "FAIL save NE entry as bmp: not a 32x32 bitmap" >&2; failures=$((failures + 1)); }
mkdir "$work/ne"
expect "extract NE library" 0 '' '' -- "$pictrove" extract "$library" "$modules/ne-good.exe" -o "$work/ne"
[ "$(ls "$work/ne" | wc -l)" = 10 ] || { echo "FAIL extract NE: $(ls "$work/ne")" >&2; failures=$((failures + 1)); }
expect "NE font" 1 '' '^错误: 列举图标资源名时出错!$' -- "$pictrove" list "$modules/ne-good-font.fon"
expect "NE headers cut" 1 '' 'ne-bad-cut-header.exe文件载入错误，必须是WIN32的文件!$' -- "$pictrove" list "$modules/ne-bad-cut-header.exe"

# A bitmap becomes the starting group's one image: 32 x 32 at 32 bits.
bitmap=$real/bmp/depth8.bmp
expect "list bitmap" 0 "^$bitmap\$" '' -- "$pictrove" list "$bitmap"
expect "info bitmap" 0 '^0 32x32 32-bit 4264 bytes$' '' -- "$pictrove" info "$bitmap"
expect "save bitmap as ico" 0 '' '' -- "$pictrove" save "$bitmap" "$work/bitmap.ico"
[ "$(identify -format '%wx%h ' "$work/bitmap.ico" 2>/dev/null)" = "32x32 " ] ||
  { echo "FAIL save bitmap as ico: $(identify "$work/bitmap.ico" 2>&1)" >&2; failures=$((failures + 1)); }
cp "$work/text.ico" "$work/not.bmp"
expect "unreadable bitmap" 1 '' 'not.bmp: 未知的位图格式文件!' -- "$pictrove" list "$work/not.bmp"

# extract: every group of every file, a line per file, bad files skipped.
mkdir "$work/extracted"
expect "extract" 1 '' 'missing.dll' -- "$pictrove" extract "$module" "$bitmap" "$work/missing.dll" "$palette" -o "$work/extracted"
(cd "$work/extracted" && ls) >"$work/names"
printf '%s\n' depth8.bmp_Icon.ico good-pe32.dll_Icon_10.ico good-pe32.dll_Icon_11.ico \
  good-pe32.dll_Icon_128.ico good-pe32.dll_Icon_2.ico good-pe32.dll_Icon_MAINICON.ico \
  magick-palette.ico_Icon.ico >"$work/expected"
cmp -s "$work/names" "$work/expected" || { echo "FAIL extract wrote: $(cat "$work/names")" >&2; failures=$((failures + 1)); }
[ "$(wc -l <"$work/out")" = 7 ] || { echo "FAIL extract reported: $(cat "$work/out")" >&2; failures=$((failures + 1)); }
expect "extract all good" 0 '' '' -- "$pictrove" extract "$module" -o "$work/extracted"
[ "$(wc -l <"$work/out")" = 5 ] || { echo "FAIL extract: $(cat "$work/out")" >&2; failures=$((failures + 1)); }
expect "extract without -o" 2 '' 'usage:' -- "$pictrove" extract "$module"

# Named pipes are no files: refused at once, never waited on.
mkfifo "$work/pipe.ico" "$work/pipe.bmp"
expect "list a pipe named .ico" 1 '' 'pipe.ico: 图标文件打开时出错!' -- timeout 20 "$pictrove" list "$work/pipe.ico"
expect "list a pipe named .bmp" 1 '' 'pipe.bmp: 打开位图文件出错!' -- timeout 20 "$pictrove" list "$work/pipe.bmp"

# Readers don't keep one another out: twenty at once all read the file (one
# large enough for their reads to overlap).
convert -size 2000x2000 xc:red -type TrueColor "BMP3:$work/large.bmp"
pids=()
for i in $(seq 20); do
  "$pictrove" list "$work/large.bmp" >/dev/null 2>"$work/reader-$i.err" &
  pids+=($!)
done
refused=0
for pid in "${pids[@]}"; do wait "$pid" || refused=$((refused + 1)); done
[ "$refused" = 0 ] || { echo "FAIL twenty readers: $refused refused: $(cat "$work"/reader-*.err | sort | uniq -c)" >&2; failures=$((failures + 1)); }

# A save stopped by a signal while it writes (Ctrl-C, kill) leaves nothing in
# the target's folder; one that ends first leaves the complete file.
python3 - "$work/big.ico" <<'PY'
import struct, sys
count, side = 300, 256
block = struct.pack('<IiiHHIIiiII', 40, side, 2 * side, 1, 32, 0, 0, 0, 0, 0, 0)
block += bytes(range(256)) * (side * side * 4 // 256) + b'\0' * (side * side // 8)
with open(sys.argv[1], 'wb') as f:
    f.write(struct.pack('<HHH', 0, 1, count))
    for i in range(count):
        f.write(struct.pack('<BBBBHHII', 0, 0, 0, 0, 1, 32, len(block), 6 + 16 * count + i * len(block)))
    for i in range(count):
        f.write(block)
PY
for signal in INT TERM; do
  folder=$work/stopped-$signal
  mkdir "$folder"
  set -m  # a job of its own, which takes Ctrl-C as a foreground program does
  "$pictrove" save "$work/big.ico" "$folder/big.ico" &
  pid=$!
  set +m
  until ls -l "/proc/$pid/fd" 2>/dev/null | grep -q "$folder/"; do
    kill -0 "$pid" 2>/dev/null || break
  done
  kill -s "$signal" "$pid" 2>/dev/null
  wait "$pid"
  left=$(ls -A "$folder")
  if [ -n "$left" ] && { [ "$left" != big.ico ] || ! cmp -s "$work/big.ico" "$folder/big.ico"; }; then
    echo "FAIL save stopped by SIG$signal left: $left" >&2
    failures=$((failures + 1))
  fi
done

echo "$failures failures"
[ "$failures" -eq 0 ]
