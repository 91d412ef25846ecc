#!/usr/bin/env bash
# Other programs read what pictrove writes: every real icon file saved again
# as .ico is listed by icotool with the same images and identified by
# ImageMagick, and its first image saved as .bmp is identified by ImageMagick.
# Usage: peers-read-our-files.sh PICTROVE REAL_FILES_DIR
set -euo pipefail

pictrove=${1:?}
real=${2:?}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
checked=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

for icon in "$real"/ico/*.ico; do
  checked=$((checked + 1))
  out=$work/out.ico
  if ! "$pictrove" save "$icon" "$out" 2>"$work/err"; then
    fail "pictrove save $icon: $(cat "$work/err")"
    continue
  fi
  # icotool describes each image; the copy must describe the same ones.
  if ! diff <(icotool -l "$icon" | sed 's/--index=[0-9]*//') \
            <(icotool -l "$out" 2>/dev/null | sed 's/--index=[0-9]*//') >"$work/diff"; then
    fail "icotool -l differs for $icon: $(cat "$work/diff")"
  fi
  icotool -l "$out" >/dev/null 2>&1 || fail "icotool -l refuses $out ($icon)"
  identify "$out" >/dev/null 2>"$work/err" || fail "identify $out ($icon): $(cat "$work/err")"

  bmp=$work/out.bmp
  if ! "$pictrove" save "$icon" "$bmp" 2>"$work/err"; then
    fail "pictrove save $icon as bmp: $(cat "$work/err")"
    continue
  fi
  size=$(identify -format '%wx%h' "$bmp" 2>"$work/err") || fail "identify $bmp ($icon): $(cat "$work/err")"
  first=$("$pictrove" info "$icon" | head -n 1 | cut -d' ' -f2)
  [ "$size" = "$first" ] || fail "$icon: bitmap is $size, first image $first"
done

echo "$checked icon files checked, $failures failures"
[ "$failures" -eq 0 ]
