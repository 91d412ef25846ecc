#!/usr/bin/python3
"""Draws the program's pictures: the application icon (a 32 x 32 and a
16 x 16 image of 16 colours) and the strip of five grey button faces that
every push button is painted from.

Usage: make_art.py OUTDIR   -> OUTDIR/pictrove.ico, OUTDIR/button_strip.bmp
The output depends on nothing but this script, byte for byte.
"""
import math
import os
import struct
import sys

from PIL import Image, ImageDraw

SLICE_W, SLICE_H, SLICES = 55, 22, 5

# The 16 colours of the standard VGA palette, as icons of 16 colours use it.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, DARK_YELLOW, GREY, SILVER, YELLOW, BLUE, CYAN, WHITE, GREEN, DARK_GREEN, RED = 0, 3, 8, 7, 11, 12, 14, 15, 10, 2, 9


def bmp_info_header(width, height, bits, image_bytes):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, image_bytes, 0, 0, 0, 0)


# --- the button strip -------------------------------------------------------

FACES = {
    # slice: (top/left band, second band, middle, second from bottom/right, bottom/right band, outline)
    0: (235, 220, 202, 170, 143, 64),
    1: (143, 170, 202, 220, 235, 64),
    2: (192, 192, 192, 192, 192, 90),
    3: (255, 242, 226, 196, 170, 48),
    4: (234, 219, 203, 171, 144, 64),
}
RING, SILVER_GREY, FLAT_RING = 160, 192, 180
CORNER_RADIUS = 3


def inset(x, y, w, h):
    """How far a pixel lies inside the rounded rectangle of one face."""
    r = CORNER_RADIUS
    dx = max(r - x, 0, x - (w - 1 - r))
    dy = max(r - y, 0, y - (h - 1 - r))
    if dx > 0 and dy > 0:
        return r - math.hypot(dx, dy)
    return min(x, y, w - 1 - x, h - 1 - y)


def face_grey(slice_index, x, y):
    light, light2, middle, dark2, dark, outline = FACES[slice_index]
    s = inset(x, y, SLICE_W, SLICE_H)
    if s < 0:
        return SILVER_GREY
    if s < 1:
        return RING
    if s < 2:
        return outline
    top, left = y - 2, x - 2
    bottom, right = SLICE_H - 3 - y, SLICE_W - 3 - x
    if slice_index == 2:
        return FLAT_RING if min(top, left, bottom, right) == 0 else middle
    if top == 0 or left == 0:
        return light
    if bottom == 0 or right == 0:
        return dark
    if top == 1 or left == 1:
        return light2
    if bottom == 1 or right == 1:
        return dark2
    return middle


def button_strip():
    width, height = SLICE_W * SLICES, SLICE_H
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for y in reversed(range(height)):  # bottom-up
        row = bytearray()
        for x in range(width):
            g = face_grey(x // SLICE_W, x % SLICE_W, y)
            row += bytes((g, g, g))
        row += b'\0' * (stride - len(row))
        rows.append(bytes(row))
    pixels = b''.join(rows)
    header = bmp_info_header(width, height, 24, len(pixels))
    file_header = struct.pack('<2sIHHI', b'BM', 14 + len(header) + len(pixels), 0, 0, 14 + len(header))
    return file_header + header + pixels


# --- the application icon ----------------------------------------------------

def draw_icon(size):
    """A framed picture, a hill under a sun, with a magnifier over it."""
    image = Image.new('P', (size, size), 0)
    image.putpalette([c for rgb in VGA for c in rgb])
    mask = Image.new('1', (size, size), 1)  # 1 = transparent
    d, m = ImageDraw.Draw(image), ImageDraw.Draw(mask)
    k = size / 32.0

    def box(x0, y0, x1, y1):
        return [round(x0 * k), round(y0 * k), round(x1 * k) - 1, round(y1 * k) - 1]

    frame = box(2, 4, 28, 26)
    d.rectangle(frame, fill=DARK_YELLOW)
    m.rectangle(frame, fill=0)
    d.rectangle(box(4, 6, 26, 24), fill=CYAN)
    d.ellipse(box(17, 8, 23, 14), fill=YELLOW)
    d.polygon([tuple(round(v * k) for v in p) for p in [(4, 24), (4, 17), (11, 11), (19, 18), (26, 15), (26, 24)]],
              fill=GREEN)
    d.line([tuple(round(v * k) for v in p) for p in [(4, 17), (11, 11), (19, 18)]], fill=DARK_GREEN)
    lens = box(12, 14, 24, 26)
    d.ellipse(lens, fill=WHITE, outline=BLUE, width=max(1, round(2 * k)))
    m.ellipse(lens, fill=0)
    handle = [tuple(round(v * k) for v in p) for p in [(22, 24), (29, 31)]]
    d.line(handle, fill=RED, width=max(1, round(3 * k)))
    m.line(handle, fill=0, width=max(1, round(3 * k)))
    return image, mask


def icon_image_block(size):
    image, mask = draw_icon(size)
    xor_stride = (size * 4 + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    xor_rows, and_rows = [], []
    for y in reversed(range(size)):
        row = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x in range(size):
            transparent = mask.getpixel((x, y)) != 0
            index = 0 if transparent else image.getpixel((x, y))
            row[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if transparent:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor_rows.append(bytes(row))
        and_rows.append(bytes(bits))
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in VGA)
    pixels = b''.join(xor_rows) + b''.join(and_rows)
    return bmp_info_header(size, size * 2, 4, len(pixels)) + palette + pixels


def icon_file(sizes):
    blocks = [icon_image_block(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(blocks))
    offset = 6 + 16 * len(blocks)
    for size, block in zip(sizes, blocks):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(block), offset)
        offset += len(block)
    return out + b''.join(blocks)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, data in (('pictrove.ico', icon_file([32, 16])), ('button_strip.bmp', button_strip())):
        path = os.path.join(out, name)
        tmp = path + '.tmp'
        with open(tmp, 'wb') as f:
            f.write(data)
        os.replace(tmp, path)


if __name__ == '__main__':
    main()
