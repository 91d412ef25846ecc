#!/usr/bin/python3
"""Writes the bitmap files that today's programs write and ImageMagick does
not: bit fields behind a 40-byte header and in the 52-, 56-, 108- and
124-byte headers, masks in other orders and widths, top-down rows, and RLE4
and RLE8 streams with deltas and early ends of line. The tests compare what
Pictrove reads of each with what ImageMagick (and Pillow, where it reads the
kind) reads. Channels of 5, 6 and 8 bits only: ImageMagick scales 4-bit
channels to 240 at most and misses by one on 10-bit ones, so those widths
are checked against worked values in the unit tests instead. Only the
standard library is used.
Usage: make-bitmaps.py OUTDIR
"""

import os
import struct
import sys

BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS = 0, 1, 2, 3


def stride(width, bits):
    return (width * bits + 31) // 32 * 4


def colour(x, y):
    """A picture with every channel running through its range."""
    return ((x * 255) // 36) & 255, ((y * 255) // 20) & 255, ((x * 7 + y * 13) * 3) & 255


def info_header(size, width, height, bits, compression, clr_used=0, masks=(), size_image=0):
    data = struct.pack('<IiiHHIIiiII', size, width, height, 1, bits, compression, size_image,
                       2835, 2835, clr_used, 0)
    for mask in masks:
        data += struct.pack('<I', mask)
    if size >= 108 and len(data) < 60:
        data += bytes(56 - len(data)) + b'BGRs'  # LCS_sRGB
    return data + bytes(size - len(data))


def bitmap(info, table, rows, behind_header=b''):
    off = 14 + len(info) + len(behind_header) + len(table)
    return (b'BM' + struct.pack('<IHHI', off + len(rows), 0, 0, off) + info + behind_header +
            table + rows)


def pack(value, mask):
    """An 8-bit channel value placed in a mask of any width."""
    if mask == 0:
        return 0
    shift = (mask & -mask).bit_length() - 1
    bits = bin(mask).count('1')
    return ((value >> (8 - bits)) if bits <= 8 else (value << (bits - 8))) << shift & mask


def field_rows(width, height, bits, masks, top_down=False):
    red, green, blue, alpha = (list(masks) + [0])[:4]
    out = b''
    order = range(height) if top_down else range(height - 1, -1, -1)
    for y in order:
        row = b''
        for x in range(width):
            r, g, b = colour(x, y)
            value = pack(r, red) | pack(g, green) | pack(b, blue) | pack((x * 40) & 255, alpha)
            row += struct.pack('<H' if bits == 16 else '<I', value)
        out += row + bytes(stride(width, bits) - len(row))
    return out


def fields(size, width, height, bits, masks, top_down=False):
    rows = field_rows(width, height, bits, masks, top_down)
    h = -height if top_down else height
    if size == 40:
        behind = b''.join(struct.pack('<I', m) for m in masks[:3])
        return bitmap(info_header(40, width, h, bits, BI_BITFIELDS, size_image=len(rows)), b'',
                      rows, behind)
    return bitmap(info_header(size, width, h, bits, BI_BITFIELDS, masks=masks,
                              size_image=len(rows)), b'', rows)


def palette(count):
    # Entry 0 stands out, so that the pixels a delta skips are seen.
    entries = [(255, 0, 255)] + [((i * 53) & 255, (i * 97) & 255, (i * 31) & 255)
                                 for i in range(1, count)]
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in entries)


def index(x, y, colours):
    # Runs of one index, and a noisy stretch in the middle of each row.
    if 10 <= x < 10 + (y % 7) + 1:
        return (x * 5 + y * 3) % colours
    return ((x // 4) + (y // 3)) % colours


def top_down_rows(width, height, bits):
    out = b''
    for y in range(height):
        if bits == 24:
            row = b''.join(bytes(reversed(colour(x, y))) for x in range(width))
        else:
            row = bytes(index(x, y, 256) for x in range(width))
        out += row + bytes(stride(width, bits) - len(row))
    return out


def rle_segment(values, bits):
    """Encodes one stretch of indexes: runs of three or more as runs, the
    rest as pixels as they are (three or more) or short runs."""
    out = b''
    i = 0
    while i < len(values):
        run = 1
        while i + run < len(values) and values[i + run] == values[i] and run < 255:
            run += 1
        if run >= 3:
            v = values[i]
            out += bytes([run, v if bits == 8 else v << 4 | v])
            i += run
            continue
        # Pixels as they are, up to the next run of three.
        j = i
        while j < len(values) and j - i < 255:
            if j + 2 < len(values) and values[j] == values[j + 1] == values[j + 2]:
                break
            j += 1
        literal = values[i:j]
        if len(literal) >= 3:
            if bits == 8:
                data = bytes(literal)
            else:
                padded = literal + [0] * (len(literal) % 2)
                data = bytes(padded[k] << 4 | padded[k + 1] for k in range(0, len(padded), 2))
            out += bytes([0, len(literal)]) + data + bytes(len(data) % 2)
        else:
            for v in literal:
                out += bytes([1, v if bits == 8 else v << 4])
        i = j
    return out


def rle(width, height, bits):
    """An RLE stream, bottom row first, with a delta inside some rows, a
    delta up across others, and lines that end early."""
    colours = 256 if bits == 8 else 16
    out = b''
    y = 0
    x = 0
    while y < height:
        row = [index(i, y, colours) for i in range(width)]
        end = width - 5 if y % 6 == 4 else width
        if y % 5 == 2 and x == 0:
            # A delta inside the row: 6 pixels skipped.
            out += rle_segment(row[:8], bits) + bytes([0, 2, 6, 0])
            x = 14
        if y % 7 == 3 and x == 0 and y + 1 < height:
            # A delta up: the rest of this row and the start of the next.
            out += rle_segment(row[:9], bits) + bytes([0, 2, 3, 1])
            y += 1
            x = 12
            continue
        out += rle_segment(row[x:end], bits)
        out += bytes([0, 0])  # end of line
        x = 0
        y += 1
    return out[:-2] + bytes([0, 1])  # the last end of line becomes end of bitmap


def rle_file(width, height, bits):
    stream = rle(width, height, bits)
    colours = 256 if bits == 8 else 16
    compression = BI_RLE8 if bits == 8 else BI_RLE4
    info = info_header(40, width, height, bits, compression, clr_used=colours,
                       size_image=len(stream))
    return bitmap(info, palette(colours), stream)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    rgb565 = (0xF800, 0x07E0, 0x001F)
    files = {
        'fields16-565-info40.bmp': fields(40, 37, 21, 16, rgb565),
        'fields32-red-low-info40.bmp': fields(40, 37, 21, 32, (0xFF, 0xFF00, 0xFF0000)),
        'fields16-565-red-low-info52.bmp': fields(52, 37, 21, 16, (0x001F, 0x07E0, 0xF800)),
        'fields32-argb-info56.bmp': fields(56, 37, 21, 32, (0xFF00, 0xFF0000, 0xFF000000, 0xFF)),
        'fields16-565-v4.bmp': fields(108, 37, 21, 16, rgb565 + (0,)),
        'fields32-abgr-v5.bmp': fields(124, 37, 21, 32, (0xFF000000, 0xFF0000, 0xFF00, 0xFF)),
        'fields16-565-top-down-v5.bmp': fields(124, 37, 21, 16, rgb565 + (0,), top_down=True),
        'top-down24.bmp': bitmap(info_header(40, 37, -21, 24, BI_RGB), b'',
                                 top_down_rows(37, 21, 24)),
        'top-down8.bmp': bitmap(info_header(40, 37, -21, 8, BI_RGB), palette(256),
                                top_down_rows(37, 21, 8)),
        'rle8-deltas.bmp': rle_file(37, 21, 8),
        'rle4-deltas.bmp': rle_file(37, 21, 4),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
