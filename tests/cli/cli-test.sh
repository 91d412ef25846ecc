#!/usr/bin/env bash
# The pictrove command as a user runs it: output, messages and exit status.
# Usage: cli-test.sh PICTROVE REAL_FILES_DIR
set -uo pipefail

pictrove=${1:?}
real=${2:?}
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

echo "$failures failures"
[ "$failures" -eq 0 ]
