#!/usr/bin/env bash
# Makes the icon and bitmap files that other programs write, for the tests
# that read them: every group icon of Wine's shell32.dll as wrestool extracts
# it, icons from ImageMagick and icotool, bitmaps of every depth and header
# from ImageMagick and of the kinds it doesn't write from make-bitmaps.py,
# and the 16-bit (NE) modules that Wine's build wraps in its 16-bit modules
# (ne/). Usage: make-real-files.sh OUTDIR
set -euo pipefail

out=${1:?usage: make-real-files.sh OUTDIR}
rm -rf "$out"
mkdir -p "$out/ico" "$out/bmp" "$out/ne" "$out/work"
work=$out/work

shell32=/usr/lib/i386-linux-gnu/wine/i386-windows/shell32.dll
[ -f "$shell32" ] || { echo "missing $shell32 (Debian's wine32)" >&2; exit 1; }
mkdir -p "$work/shell32"
wrestool -x -t14 -o "$work/shell32" "$shell32"
for f in "$work/shell32"/*.ico; do
  mv "$f" "$out/ico/shell32-$(basename "$f" | tr -c 'A-Za-z0-9._\n-' '_')"
done

# ImageMagick: a PNG 256 x 256 image and 32-bit ones beside it.
convert -size 48x48 plasma:fractal -define icon:auto-resize=256,48,32,16 "$out/ico/magick-auto.ico"
convert -size 32x32 plasma:fractal -colors 16 -type palette "$out/ico/magick-palette.ico"

# icotool from pictures of several depths, and one stored as PNG (-r).
convert -size 32x32 plasma:fractal -colors 16 -type palette "$work/p4.png"
convert -size 16x16 plasma:fractal -colors 200 -type palette "$work/p8.png"
convert -size 48x48 plasma:fractal -alpha set -channel A -evaluate set 60% +channel PNG32:"$work/p32.png"
convert -size 24x24 plasma:fractal -monochrome "$work/p1.png"
icotool -c -o "$out/ico/icotool-depths.ico" "$work/p1.png" "$work/p4.png" "$work/p8.png" "$work/p32.png"
icotool -c -o "$out/ico/icotool-png.ico" "$work/p4.png" -r "$work/p32.png"

# An animated cursor of two icotool cursors (hot spots 3,5 and 30,1), shown
# in the order 1 0 1: icotool writes no .ani, so its RIFF chunks are put
# together here.
mkdir -p "$out/ani"
convert -size 32x32 gradient:red-blue PNG32:"$work/f1.png"
icotool -c --cursor --hotspot-x=3 --hotspot-y=5 -o "$work/f0.cur" "$work/p4.png"
icotool -c --cursor --hotspot-x=30 --hotspot-y=1 -o "$work/f1.cur" "$work/f1.png"
/usr/bin/python3 - "$work/f0.cur" "$work/f1.cur" "$out/ani/icotool-frames.ani" <<'PY'
import struct, sys
chunk = lambda id, data: id + struct.pack('<I', len(data)) + data + b'\0' * (len(data) % 2)
frames = [open(path, 'rb').read() for path in sys.argv[1:3]]
body = (chunk(b'anih', struct.pack('<9I', 36, 2, 3, 0, 0, 0, 0, 10, 3)) + chunk(b'rate', struct.pack('<3I', 10, 20, 10))
        + chunk(b'seq ', struct.pack('<3I', 1, 0, 1)) + chunk(b'LIST', b'fram' + b''.join(chunk(b'icon', f) for f in frames)))
open(sys.argv[3], 'wb').write(b'RIFF' + struct.pack('<I', 4 + len(body)) + b'ACON' + body)
PY
# Two frames of three sizes each (16, 24 and 32 pixels), as themes' cursors
# hold them.
for frame in 0 1; do
  for side in 16 24 32; do convert -size ${side}x$side gradient:red-blue -rotate $((frame * 90)) PNG32:"$work/s$side.png"; done
  icotool -c --cursor --hotspot-x=$frame --hotspot-y=2 -o "$work/sized$frame.cur" "$work/s16.png" "$work/s24.png" "$work/s32.png"
done
/usr/bin/python3 - "$work/sized0.cur" "$work/sized1.cur" "$out/ani/icotool-sizes.ani" <<'PY'
import struct, sys
chunk = lambda id, data: id + struct.pack('<I', len(data)) + data + b'\0' * (len(data) % 2)
frames = [open(path, 'rb').read() for path in sys.argv[1:3]]
body = (chunk(b'anih', struct.pack('<9I', 36, 2, 2, 0, 0, 0, 0, 10, 1)) +
        chunk(b'LIST', b'fram' + b''.join(chunk(b'icon', f) for f in frames)))
open(sys.argv[3], 'wb').write(b'RIFF' + struct.pack('<I', 4 + len(body)) + b'ACON' + body)
PY

# Bitmaps with the 40-byte header (BMP3), uncompressed, one of each depth.
convert -size 13x7 gradient:red-blue -monochrome -type bilevel -compress none BMP3:"$out/bmp/depth1.bmp"
convert -size 40x30 plasma:fractal -colors 16 -type palette -compress none BMP3:"$out/bmp/depth4.bmp"
convert -size 40x30 plasma:fractal -colors 200 -type palette -compress none BMP3:"$out/bmp/depth8.bmp"
convert -size 40x30 plasma:fractal -define bmp:subtype=RGB555 -compress none BMP3:"$out/bmp/depth16.bmp"
convert -size 37x21 plasma:fractal -type truecolor -compress none BMP3:"$out/bmp/depth24.bmp"
convert -size 40x30 plasma:fractal -alpha set -channel A -evaluate set 50% +channel \
  -define bmp3:alpha=true -compress none BMP3:"$out/bmp/depth32.bmp"

# ImageMagick's own default: the 124-byte (V5) header, 5-6-5 and 8-8-8-8
# bit fields, and RLE8 for palettes of more than 16 colours (as in BMP3 with
# -compress RLE).
convert -size 37x21 plasma:fractal -type truecolor "$out/bmp/v5-24.bmp"
convert -size 40x30 plasma:fractal -alpha set -channel A -evaluate set 50% +channel "$out/bmp/v5-32-alpha.bmp"
convert -size 40x30 plasma:fractal -define bmp:subtype=RGB565 "$out/bmp/v5-16-565.bmp"
convert -size 40x30 plasma:fractal -colors 16 -type palette "$out/bmp/v5-4.bmp"
convert -size 40x30 plasma:fractal -colors 200 -type palette "$out/bmp/v5-rle8.bmp"
convert -size 40x30 plasma:fractal -colors 200 -type palette -compress RLE BMP3:"$out/bmp/rle8.bmp"
# An odd width: each row's last run goes on over the row's padding.
convert -size 301x5 plasma:fractal -colors 200 -type palette -compress RLE BMP3:"$out/bmp/rle8-odd-width.bmp"

# What ImageMagick doesn't write: bit fields in every header and order,
# top-down rows, RLE4 and RLE8 with deltas.
/usr/bin/python3 "$(dirname "$0")/make-bitmaps.py" "$out/bmp"

# Wine's 16-bit modules (*16) are PE files that carry an NE module further
# in: an "MZ" header whose e_lfanew leads to "NE". Each is cut out, from
# there to the file's end, as NAME.ne.
/usr/bin/python3 - "$(dirname "$shell32")" "$out/ne" <<'PY'
import glob, os, struct, sys
for path in sorted(glob.glob(os.path.join(sys.argv[1], '*16'))):
    data = open(path, 'rb').read()
    at = data.find(b'MZ', 1)
    while at > 0:
        lfanew = struct.unpack_from('<I', data, at + 0x3C)[0] if at + 0x40 <= len(data) else len(data)
        if data[at + lfanew:at + lfanew + 2] == b'NE':
            with open(os.path.join(sys.argv[2], os.path.basename(path) + '.ne'), 'wb') as f:
                f.write(data[at:])
            break
        at = data.find(b'MZ', at + 1)
PY

rm -rf "$work"
echo "$(ls "$out/ico" | wc -l) icon files, $(ls "$out/bmp" | wc -l) bitmap files, $(ls "$out/ne" | wc -l) NE modules in $out"
