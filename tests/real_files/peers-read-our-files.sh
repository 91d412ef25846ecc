#!/usr/bin/env bash
# Other programs read what pictrove writes: every real icon file saved again
# as .ico is listed by icotool with the same images and identified by
# ImageMagick, and its first image saved as .bmp is identified by ImageMagick;
# every real bitmap saved as .ico reads as opaque.
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
  first=$("$pictrove" info "$icon" | sed -n 2p | cut -d' ' -f4)
  [ "$size" = "$first" ] || fail "$icon: bitmap is $size, first image $first"
done

# Every bitmap made into an icon (the starting 32 x 32 image of 32 bits) is
# opaque to readers that go by the alpha channel rather than the mask:
# icotool's PNG of it and ImageMagick reading the icon file itself.
bitmaps=0
for bitmap in "$real"/bmp/*.bmp; do
  bitmaps=$((bitmaps + 1))
  out=$work/bitmap.ico
  if ! "$pictrove" save "$bitmap" "$out" 2>"$work/err"; then
    fail "pictrove save $bitmap as ico: $(cat "$work/err")"
    continue
  fi
  rm -rf "$work/png" && mkdir "$work/png"
  icotool -x -o "$work/png" "$out" 2>"$work/err" || fail "icotool -x $out ($bitmap): $(cat "$work/err")"
  for png in "$work/png"/*.png; do
    [ "$(identify -format '%[opaque]' "$png")" = true ] || fail "$bitmap: icotool's $(basename "$png") is not opaque"
  done
  [ "$(identify -format '%[opaque]' "$out")" = true ] || fail "$bitmap: ImageMagick reads its icon as not opaque"
done

echo "$checked icon files and $bitmaps bitmaps checked, $failures failures"
[ "$failures" -eq 0 ]
