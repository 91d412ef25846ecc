#!/usr/bin/python3
"""Writes small malformed icon files, image blocks (each inside an otherwise
sound icon file), bitmap files and modules, one fault each, with what reading
each must give. Usage: make-hostile-files.py OUTDIR

The modules come from tests/module_resources/make-test-modules.py (its good-, odd- and
bad- modules, and the ne- modules of make-ne-modules.py, into OUTDIR); files a fuzzer found are in found/*.hex, a hex
dump each under a first line "# NAME<TAB>OUTCOME".

manifest.txt has one line per file:  NAME<TAB>OUTCOME
where OUTCOME is what opening the file as the window does gives:
  icon file   "reads N"    the group read, with N images
  bitmap      "reads"      the bitmap read into the starting group
  module      "reads N of M"  M group icons listed, N of them read in full
              ("any" for a module the module script has added since: it
              must only be read without a fault)
  otherwise the text of each message shown, in order, joined by " | ";
every message has the file's path as its caption, except the Open command's
own (caption "错误"; a path before the text is left out). That nothing is
listed shows in the outcome, not as a message.
Only the standard library is used.
"""

import os
import runpy
import struct
import subprocess
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
MODULES_SCRIPT = os.path.join(HERE, '..', 'module_resources', 'make-test-modules.py')

_test_modules = runpy.run_path(MODULES_SCRIPT)
icon_image = _test_modules['icon_image']
png_image = _test_modules['png_image']

# The readers' messages.
ICO_OPEN = '图标文件打开时出错!'
ICO_HEADER = '读图标文件头时出错!'
ICO_DIRECTORY = '读图标文件时出错!'
ICO_SEEK = '图标内容定位时出错!'
ICO_CONTENT = '读图标内容出错!'
ICO_MEMORY = '图标内存重新分配出错!'
ICO_IMAGE = '图标内部格式转换出错!'
BMP_HEADER = '读位图文件头出错!'
BMP_UNKNOWN = '未知的位图格式文件!'
BMP_INFO = '读位图文件信息头出错!'
BMP_OS2 = 'OS/2风格的位图不支持!'
BMP_MEMORY = '重新分配位图信息头所需内存失败!'
BMP_TABLE = '读位图颜色表出错!'
BMP_SEEK = '位图文件大小定位出错!'
BMP_ROWS = '读位图文件出错!'
BMP_NOT_ICON = '位图格式不能转换为图标!'
# The Open command's messages for a module: one that does not load as a
# 32-bit module (the path stands before this text), and one without a
# group-icon resource to enumerate.
NOT_LOADABLE = '文件载入错误，必须是WIN32的文件!'
NO_GROUP_ICONS = 'reads 0 of 0 | 列举图标资源名时出错!'
MODULE_IMAGE = '转换成图标内部格式时出错!'
MEMORY_BUDGET = '图像太大，所需内存超过了允许的限度!'


def ico(blocks, entries=None, count=None, reserved=0, kind=1):
    """An icon file; entries are (size, offset) overrides, None for sound."""
    count = len(blocks) if count is None else count
    out = struct.pack('<HHH', reserved, kind, count)
    offset = 6 + 16 * len(blocks)
    body = b''
    for i, block in enumerate(blocks):
        size, at = len(block), offset + len(body)
        if entries and entries[i] is not None:
            size, at = entries[i]
        out += struct.pack('<BBBBHHII', 32, 32, 0, 0, 1, 32, size, at)
        body += block
    return out + body


def header(width, height, bits, planes=1, size=40, compression=0, clr_used=0, size_image=0):
    return struct.pack('<IiiHHIIiiII', size, width, height, planes, bits, compression,
                       size_image, 0, 0, clr_used, 0)


def stride(width, bits):
    return ((width * bits + 31) // 32) * 4


def block(width, height, bits, planes=1, clr_used=0, table=None, fill=0x5A, tail=b''):
    """An icon image block whose header says what is asked, with as many
    bytes as that header needs (table by clr_used or the depth)."""
    entries = clr_used if clr_used else (1 << bits if bits * planes <= 8 and bits else 0)
    entries &= 0xFFFF
    table_bytes = (4 * entries) & 0xFFFF
    rows = stride(width, bits * planes) * max(height, 0) + stride(width, 1) * max(height, 0)
    data = header(width, 2 * height, bits, planes, clr_used=clr_used)
    data += (table if table is not None else bytes(table_bytes))
    return data + bytes([fill]) * rows + tail


def png_chunk(kind, data, length=None):
    length = len(data) if length is None else length
    return (struct.pack('>I', length) + kind + data +
            struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))


def png(width, height, ihdr_length=None, ihdr_kind=b'IHDR', data=None, depth=8, colour=6):
    raw = data
    if raw is None:
        raw = zlib.compress(b''.join(b'\0' + bytes(4 * width) for _ in range(height)))
    return (b'\x89PNG\r\n\x1a\n' +
            png_chunk(ihdr_kind, struct.pack('>IIBBBBB', width, height, depth, colour, 0, 0, 0),
                      ihdr_length) +
            png_chunk(b'IDAT', raw) + png_chunk(b'IEND', b''))


def bmp(info, table=b'', rows=b'', off_bits=None, size=None, magic=b'BM', reserved=0):
    off = 14 + len(info) + len(table) if off_bits is None else off_bits
    total = 14 + len(info) + len(table) + len(rows) if size is None else size
    return magic + struct.pack('<IHHI', total, reserved, 0, off) + info + table + rows


def sound_bmp(width, height, bits, **kw):
    entries = 1 << bits if bits <= 8 else 0
    table = bytes(i & 255 for i in range(4 * entries))
    rows = bytes((i * 7) & 255 for i in range(stride(width, bits) * height))
    return bmp(header(width, height, bits, size_image=len(rows)), table, rows, **kw)


def icon_files(w):
    good = icon_image(16, 16, 4, 1)
    w.add('ico-sound.ico', ico([good, icon_image(32, 32, 32, 2)]), 'reads 2')
    w.add('ico-empty.ico', b'', ICO_HEADER)
    w.add('ico-short-header.ico', b'\0\0\1\0\1', ICO_HEADER)
    w.add('ico-reserved-1.ico', ico([good], reserved=1), ICO_HEADER)
    w.add('ico-type-cursor.ico', ico([good], kind=2), ICO_HEADER)
    w.add('ico-type-0.ico', ico([good], kind=0), ICO_HEADER)
    w.add('ico-no-images.ico', ico([]), 'reads 0')
    w.add('ico-count-past-directory.ico', ico([good], count=2)[:6 + 16] , ICO_DIRECTORY)
    w.add('ico-count-65535.ico', struct.pack('<HHH', 0, 1, 0xFFFF) + bytes(64), ICO_DIRECTORY)
    w.add('ico-directory-cut.ico', ico([good])[:6 + 9], ICO_DIRECTORY)
    w.add('ico-offset-past-end.ico', ico([good], [(len(good), 0x10000)]), ICO_CONTENT)
    w.add('ico-size-past-end.ico', ico([good], [(len(good) + 1, 22)]), ICO_CONTENT)
    w.add('ico-offset-2-31.ico', ico([good], [(len(good), 0x80000000)]), ICO_SEEK)
    w.add('ico-offset-max.ico', ico([good], [(len(good), 0xFFFFFFFF)]), ICO_SEEK)
    w.add('ico-size-2-31.ico', ico([good], [(0x80000000, 22)]), ICO_CONTENT)
    w.add('ico-size-max.ico', ico([good], [(0xFFFFFFFF, 22)]), ICO_CONTENT)
    # Offset plus size wraps 32 bits to a place inside the file.
    w.add('ico-sum-wraps-2-32.ico', ico([good], [(0xFFFFFFF0, 0x20)]), ICO_CONTENT)
    w.add('ico-size-zero.ico', ico([good], [(0, 22)]), ICO_IMAGE)
    w.add('ico-size-below-header.ico', ico([good], [(39, 22)]), ICO_IMAGE)
    # The directory says 32 x 32 at 32 bits; the image is 16 x 16 at 4 bits.
    w.add('ico-entry-disagrees.ico', ico([good]), 'reads 1')
    # Three entries on the same bytes, and one on the directory itself.
    shared = bytearray(ico([good, good, good]))
    for i in (1, 2):
        struct.pack_into('<I', shared, 6 + 16 * i + 12, 6 + 16 * 3)
    w.add('ico-entries-share-bytes.ico', bytes(shared), 'reads 3')
    w.add('ico-entry-on-directory.ico', ico([good], [(len(good), 0)]), ICO_IMAGE)
    # Beside a 4-bit image, a PNG one that doesn't decode: cut, a wrong CRC, no chunk behind.
    w.add('ico-png-cut-beside-4bit.ico', ico([good, png(256, 256)[:81] + b'\xde\xad\xbe\xef garbage']), 'reads 2')
    # The last entry is bad: the images read before it are released.
    w.add('ico-last-entry-bad.ico', ico([good, good, b'\0' * 40]), ICO_IMAGE)


def animated_cursors(w):
    """One fault each in an animated cursor's chunks; the window opens none
    (by its extension a module), the command refuses the damaged ones."""
    chunk = lambda id, data: id + struct.pack('<I', len(data)) + data + b'\0' * (len(data) % 2)
    frame = ico([icon_image(16, 16, 4, 1)], kind=2)
    def ani(frames=2, steps=2, seq=(1, 0), icons=(frame, frame), flags=3, riff=None, tail=b''):
        body = (b'ACON' + chunk(b'anih', struct.pack('<9I', 36, frames, steps, 0, 0, 0, 0, 10, flags)) +
                chunk(b'seq ', struct.pack('<%dI' % len(seq), *seq)) +
                chunk(b'LIST', b'fram' + b''.join(chunk(b'icon', i) for i in icons)) + tail)
        return b'RIFF' + struct.pack('<I', len(body) if riff is None else riff) + body
    for name, data in (('sound', ani()), ('odd-chunk', ani(tail=chunk(b'note', b'odd'))),
                       ('riff-past-end', ani(riff=1 << 20)), ('seq-past-frames', ani(seq=(2, 0))),
                       ('seq-short', ani(steps=3)), ('frames-short', ani(frames=3)),
                       ('bare-frames', ani(flags=2)), ('frame-no-cursor', ani(icons=(frame, b'\0' * 40))),
                       ('frame-cut', ani(icons=(frame, frame[:60]))), ('chunk-past-riff', ani(tail=b'note' + struct.pack('<I', 100)))):
        w.add('ani-%s.ani' % name, data, NOT_LOADABLE)


def image_blocks(w):
    def add(name, data, outcome='reads 1'):
        w.add('img-' + name + '.ico', ico([data]), outcome)

    bad = ICO_IMAGE
    add('sound-8bit', block(16, 16, 8))
    for size in (12, 39, 41, 108, 124, 0, 0xFFFFFFFF):
        data = bytearray(block(16, 16, 8))
        struct.pack_into('<I', data, 0, size)
        add('bisize-%x' % size, bytes(data), bad)
    add('shorter-than-header', block(16, 16, 8)[:30], bad)
    add('short-table', block(16, 16, 8)[:40 + 1000], bad)
    add('short-xor', block(16, 16, 8)[:40 + 1024 + 255], bad)
    add('short-and', block(16, 16, 8)[:-1], bad)
    add('short-and-32bit', block(16, 16, 32)[:-1])  # its alpha is its mask
    for name, width, height in (('width-0', 0, 16), ('height-0', 16, 0), ('width-negative', -16, 16),
                                ('height-negative', 16, -16), ('width-int-min', -2**31, 16),
                                ('height-int-min', 16, -2**30), ('width-32769', 32769, 1),
                                ('height-32769', 1, 32769)):
        data = bytearray(block(16, 16, 1))
        struct.pack_into('<ii', data, 4, width, height * 2 if height != -2**30 else -2**31)
        add(name, bytes(data), bad)
    # One row each of the widest and one column of the tallest picture accepted.
    add('width-32768', block(32768, 1, 1))
    add('height-32768', block(1, 32768, 1))
    add('height-odd-1', header(16, 1, 8) + bytes(1024), bad)
    for bits in (0, 2, 3, 7, 33, 64, 0xFFFF):
        # Depths no picture has: the block is sized as the header says, so it
        # binds; drawing and converting it must refuse it.
        add('bitcount-%d' % bits, block(2, 2, bits))
    add('zero-planes', block(8, 8, 8, planes=0, table=bytes(1024)))
    add('planes-2', block(8, 8, 4, planes=2))
    # 65535 planes of 65535 bits: rows of 512 MiB, more than the block holds.
    add('planes-max-bitcount-max', header(1, 2, 0xFFFF, planes=0xFFFF) + bytes(64), bad)
    add('clrused-above-depth', block(8, 8, 4, clr_used=200))
    add('clrused-16384-wraps', block(8, 8, 8, clr_used=16384))
    add('clrused-65535', block(8, 8, 8, clr_used=0xFFFF))
    add('clrused-65535-short', block(8, 8, 8, clr_used=0xFFFF)[:40 + 1024 + 64 + 32], bad)
    add('clrused-2-32-minus-1', block(8, 8, 8, clr_used=0xFFFFFFFF))
    add('clrused-ffff0000', block(8, 8, 4, clr_used=0xFFFF0000))
    add('index-beyond-table', block(8, 8, 8, clr_used=2, table=bytes(8), fill=0xFF))
    add('index-beyond-table-4bit', block(8, 8, 4, clr_used=3, table=bytes(12), fill=0xEE))
    add('compressed-rle8', header(8, 16, 8, compression=1) + bytes(1024 + 64 + 32))
    add('bitfields-16', header(8, 16, 16, compression=3) + bytes(128 + 32))

    # PNG images.
    sound = png(16, 16)
    add('png-sound', sound)
    add('png-signature-only', sound[:8], bad)
    add('png-cut-in-header', sound[:8 + 8 + 6], bad)
    add('png-cut-after-header', sound[:8 + 25])
    add('png-cut-in-data', sound[:len(sound) - 20])
    add('png-header-length-14', png(16, 16, ihdr_length=14), bad)
    add('png-header-not-first', png(16, 16, ihdr_kind=b'IHDX'), bad)
    add('png-header-says-larger', png(256, 256, data=zlib.compress(bytes(17 * 16))))
    add('png-width-0', png(0, 16), bad)
    add('png-width-32769', png(32769, 1, data=zlib.compress(b'\0' * 4)), bad)
    add('png-32768-square', png(32768, 32768, data=zlib.compress(b'\0' * 4)))
    add('png-size-max', png(0x7FFFFFFF, 0x7FFFFFFF, data=zlib.compress(b'\0' * 4)), bad)
    add('png-bad-depth', png(16, 16, depth=3), bad)
    add('png-bad-colour', png(16, 16, colour=5), bad)
    add('png-empty-data-chunk', png(16, 16, data=b''))
    # A 1 x 1 picture whose data inflates to 64 MiB: the decoder must not
    # follow it.
    add('png-inflates-far', png(1, 1, data=zlib.compress(bytes(64 << 20), 9)))


def bitmap_files(w):
    for bits in (1, 4, 8, 16, 24, 32):
        w.add('bmp-sound-%d.bmp' % bits, sound_bmp(13, 7, bits), 'reads')
    sound = sound_bmp(8, 8, 8)
    w.add('bmp-empty.bmp', b'', BMP_HEADER)
    w.add('bmp-short-file-header.bmp', sound[:13], BMP_HEADER)
    w.add('bmp-no-bm.bmp', b'MB' + sound[2:], BMP_UNKNOWN)
    w.add('bmp-reserved.bmp', sound[:6] + b'\1\0' + sound[8:], BMP_UNKNOWN)
    w.add('bmp-short-info-header.bmp', sound[:14 + 39], BMP_INFO)
    for size in (12, 64, 41, 0xFFFFFFFF):
        data = bytearray(sound)
        struct.pack_into('<I', data, 14, size)
        w.add('bmp-bisize-%d.bmp' % size, bytes(data), BMP_OS2)
    # A longer header over the bytes of a 40-byte one: it takes in part of
    # the table, which then runs past the end of the file.
    for size in (108, 124):
        data = bytearray(sound)
        struct.pack_into('<I', data, 14, size)
        w.add('bmp-bisize-%d-over-40.bmp' % size, bytes(data), BMP_TABLE)
    for size in (52, 56, 108, 124):
        rows = bytes((i * 7) & 255 for i in range(stride(13, 8) * 7))
        info = header(13, 7, 8, size=size) + bytes(size - 40)
        w.add('bmp-sound-header-%d.bmp' % size, bmp(info, bytes(1024), rows), 'reads')
        w.add('bmp-header-%d-cut.bmp' % size, bmp(info, bytes(1024), rows)[:14 + size - 1],
              BMP_INFO)

    def patched(name, offset, fmt, value, outcome, base=sound):
        data = bytearray(base)
        struct.pack_into(fmt, data, offset, value)
        w.add(name, bytes(data), outcome)

    patched('bmp-top-down.bmp', 22, '<i', -8, 'reads')
    patched('bmp-top-down-cut.bmp', 22, '<i', -8, BMP_ROWS, base=sound[:-1])
    patched('bmp-width-0.bmp', 18, '<i', 0, BMP_UNKNOWN)
    patched('bmp-width-negative.bmp', 18, '<i', -8, BMP_UNKNOWN)
    patched('bmp-height-int-min.bmp', 22, '<i', -2**31, BMP_UNKNOWN)
    patched('bmp-width-32769.bmp', 18, '<i', 32769, BMP_ROWS)
    # 32768 x 32768 at 32 bits: 4 GiB of rows, past the largest block.
    big = bytearray(sound_bmp(1, 1, 32))
    struct.pack_into('<ii', big, 18, 32768, 32768)
    w.add('bmp-rows-past-largest-block.bmp', bytes(big), BMP_MEMORY)
    # Run lengths of a few bytes for 32768 x 8191 pixels: past the budget of
    # decoded pixels, although the block would fit.
    w.add('bmp-rle8-past-budget.bmp', bmp(header(32768, 8191, 8, compression=1), bytes(1024), b'\x00\x01'),
          MEMORY_BUDGET)
    # 65535 planes of 8 bits: rows of 4 MiB that the file does not hold.
    patched('bmp-planes-max.bmp', 26, '<H', 0xFFFF, BMP_ROWS)
    patched('bmp-table-past-end.bmp', 46, '<I', 0xFFFF, BMP_TABLE)
    w.add('bmp-table-cut.bmp', sound[:14 + 40 + 500], BMP_TABLE)
    w.add('bmp-rows-cut.bmp', sound[:-1], BMP_ROWS)
    patched('bmp-offbits-past-end.bmp', 10, '<I', len(sound) + 1, BMP_ROWS)
    patched('bmp-offbits-2-31.bmp', 10, '<I', 0x80000000, BMP_SEEK)
    patched('bmp-offbits-max.bmp', 10, '<I', 0xFFFFFFFF, BMP_SEEK)
    # Rows before the table, inside the headers: read as they are.
    patched('bmp-offbits-before-table.bmp', 10, '<I', 14, 'reads')
    patched('bmp-offbits-0.bmp', 10, '<I', 0, 'reads')
    patched('bmp-bfsize-0.bmp', 2, '<I', 0, 'reads')
    patched('bmp-bfsize-max.bmp', 2, '<I', 0xFFFFFFFF, 'reads')
    patched('bmp-sizeimage-max.bmp', 34, '<I', 0xFFFFFFFF, 'reads')
    patched('bmp-sizeimage-small.bmp', 34, '<I', 1, 'reads')
    patched('bmp-clrused-16384-wraps.bmp', 46, '<I', 16384, 'reads')
    patched('bmp-clrused-above-depth.bmp', 46, '<I', 300, 'reads',
            base=sound[:54] + bytes(4 * 300) + sound[54 + 1024:])
    # Rows that are no run-length stream: the first run already runs past
    # its row.
    patched('bmp-rle8.bmp', 30, '<I', 1, BMP_ROWS)
    patched('bmp-rle4.bmp', 30, '<I', 2, BMP_ROWS, base=sound_bmp(8, 8, 4))
    rle_info = header(8, 8, 8, compression=1)
    table = bytes(1024)
    w.add('bmp-rle8-sound.bmp', bmp(rle_info, table, b'\x08\x05\x00\x00' * 8 + b'\x00\x01'),
          'reads')
    w.add('bmp-rle8-empty-stream.bmp', bmp(rle_info, table, b''), BMP_ROWS)
    w.add('bmp-rle8-end-at-once.bmp', bmp(rle_info, table, b'\x00\x01'), 'reads')
    w.add('bmp-rle8-cut-in-delta.bmp', bmp(rle_info, table, b'\x00\x02\x01'), BMP_ROWS)
    w.add('bmp-rle8-deltas-past-top.bmp', bmp(rle_info, table, b'\x00\x02\x00\xFF'), BMP_ROWS)
    w.add('bmp-rle8-lines-past-top.bmp', bmp(rle_info, table, b'\x00\x00' * 9 + b'\x00\x01'), 'reads')
    w.add('bmp-rle8-as-is-past-row.bmp', bmp(rle_info, table, b'\x00\x09' + bytes(10)), BMP_ROWS)
    w.add('bmp-rle8-as-is-cut.bmp', bmp(rle_info, table, b'\x00\x05\x01\x02'), BMP_ROWS)
    w.add('bmp-rle8-top-down.bmp', bmp(header(8, -8, 8, compression=1), table, b'\x00\x01'),
          BMP_UNKNOWN)
    w.add('bmp-rle4-sound.bmp',
          bmp(header(8, 2, 4, compression=2), bytes(64), b'\x00\x08\x12\x34\x56\x78\x00\x00\x08\x9A\x00\x01'),
          'reads')
    # Bit fields: masks that are no single run, or wider than the pixel.
    fields = header(8, 8, 16, size=124, compression=3)
    w.add('bmp-fields-565.bmp', bmp(fields + struct.pack('<III', 0xF800, 0x7E0, 0x1F) + bytes(72),
                                     b'', bytes(16 * 8)), 'reads')
    w.add('bmp-fields-split-mask.bmp',
          bmp(fields + struct.pack('<III', 0xF801, 0x7E0, 0x1E) + bytes(72), b'', bytes(16 * 8)),
          BMP_UNKNOWN)
    w.add('bmp-fields-mask-past-16-bits.bmp',
          bmp(header(8, 8, 16, compression=3), struct.pack('<III', 0x1F0000, 0x7E0, 0x1F),
              bytes(16 * 8)), BMP_UNKNOWN)
    w.add('bmp-fields-masks-cut.bmp', bmp(header(8, 8, 32, compression=3), b'\0' * 6, off_bits=0),
          BMP_TABLE)
    # Read, but nothing an icon can be made of.
    patched('bmp-rle8-at-4-bits.bmp', 30, '<I', 1, BMP_NOT_ICON, base=sound_bmp(8, 8, 4))
    patched('bmp-jpeg.bmp', 30, '<I', 4, BMP_NOT_ICON)
    patched('bmp-bitfields-24.bmp', 30, '<I', 3, BMP_NOT_ICON, base=sound_bmp(8, 8, 24))
    patched('bmp-bitfields-32.bmp', 30, '<I', 3, 'reads', base=sound_bmp(8, 8, 32))
    patched('bmp-bitcount-2.bmp', 28, '<H', 2, BMP_NOT_ICON)
    patched('bmp-bitcount-0.bmp', 28, '<H', 0, BMP_NOT_ICON)
    patched('bmp-planes-0.bmp', 26, '<H', 0, BMP_NOT_ICON)
    w.add('bmp-index-beyond-table.bmp', bmp(header(8, 8, 8, clr_used=2), bytes(8), b'\xFF' * 64),
          'reads')


# What listing and reading every group of each made module gives.
# Groups whose bytes or images lie outside the file are not found, and give
# null without a message; a group whose count runs past its bytes is refused
# with a message.
MODULE_OUTCOMES = {
    # A 16-bit executable without resources.
    'bad-16-bit.exe': NO_GROUP_ICONS,
    'bad-cut-data-directories.dll': NOT_LOADABLE,
    'bad-cut-dos-header.dll': NOT_LOADABLE,
    'bad-cut-file-header.dll': NOT_LOADABLE,
    'bad-cut-optional-header.dll': NOT_LOADABLE,
    'bad-cut-pe-signature.dll': NOT_LOADABLE,
    'bad-cut-resource-data.dll': 'reads 0 of 5',
    'bad-cut-section-table.dll': NOT_LOADABLE,
    'bad-data-entry-offset.dll': 'reads 3 of 5',
    'bad-data-size.dll': 'reads 3 of 5',
    'bad-data-unmapped.dll': 'reads 3 of 5',
    'bad-data-wraps.dll': 'reads 3 of 5',
    'bad-deeper-than-three.dll': 'reads 4 of 5',
    'bad-empty.dll': NOT_LOADABLE,
    'bad-group-names-count.dll': NO_GROUP_ICONS,
    'bad-lfanew-past-end.dll': NOT_LOADABLE,
    'bad-lfanew-wraps.dll': NOT_LOADABLE,
    'bad-loop-language.dll': 'reads 4 of 5',
    'bad-loop-to-root.dll': 'reads 0 of 4',
    'bad-name-length.dll': NO_GROUP_ICONS,
    'bad-name-offset.dll': NO_GROUP_ICONS,
    'bad-no-mz.dll': NOT_LOADABLE,
    'bad-no-pe-signature.dll': NOT_LOADABLE,
    'bad-optional-magic.dll': NOT_LOADABLE,
    'bad-resource-rva-unmapped.dll': NO_GROUP_ICONS,
    'bad-root-count.dll': NO_GROUP_ICONS,
    'bad-section-pointer-past-file.dll': NO_GROUP_ICONS,
    'bad-section-raw-past-file.dll': 'reads 5 of 5',
    'bad-text.dll': NOT_LOADABLE,
    'bad-type-table-offset.dll': NO_GROUP_ICONS,
    'good-clashing-names.dll': 'reads 4 of 4',
    'good-cursors.dll': NO_GROUP_ICONS,
    'good-data-elsewhere.dll': 'reads 5 of 5',
    'good-empty-group.dll': 'reads 2 of 2',
    'good-group-short.dll': ' | '.join(['reads 0 of 2', MODULE_IMAGE, MODULE_IMAGE]),
    'good-ids.dll': 'reads 3 of 3',
    'good-languages.dll': 'reads 6 of 6',
    'good-missing-icon.dll': 'reads 0 of 2',
    'good-names.dll': 'reads 11 of 11',
    'good-neutral.dll': 'reads 5 of 5',
    'good-no-group-icons.dll': NO_GROUP_ICONS,
    'good-no-resources.dll': NO_GROUP_ICONS,
    'odd-resource-size-zero.dll': 'reads 5 of 5',
    'good-overlapping-sections.dll': 'reads 5 of 5',
    'good-pe32.dll': 'reads 5 of 5',
    'good-pe32.exe': 'reads 5 of 5',
    'good-pe32plus.dll': 'reads 5 of 5',
    'good-pe32plus.exe': 'reads 5 of 5',
    'good-resources-in-headers.dll': 'reads 1 of 1',
    'odd-lowercase.dll': 'reads 2 of 2',
    'odd-unsorted.dll': 'reads 6 of 6',
}


# The same for the 16-bit modules of make-ne-modules.py. A table that can't
# be read whole lists nothing: the module then says what one without group
# icons says. Headers that lead nowhere are no module at all.
NE_MODULE_OUTCOMES = {
    'ne-bad-count-past-table.icl': NO_GROUP_ICONS,
    'ne-bad-count-short.icl': NO_GROUP_ICONS,
    'ne-bad-cut-header.exe': NOT_LOADABLE,
    # A 100-byte and a 0-byte image of a 744-byte and a 1384-byte one.
    'ne-bad-entry-claims-less.icl': ' | '.join(['reads 0 of 2', MODULE_IMAGE, MODULE_IMAGE]),
    'ne-bad-group-count.icl': ' | '.join(['reads 4 of 5', MODULE_IMAGE]),
    'ne-bad-group-on-table.icl': ' | '.join(['reads 4 of 5', MODULE_IMAGE]),
    'ne-bad-header-count.icl': 'reads 5 of 5',
    'ne-bad-lfanew-past-end.exe': NOT_LOADABLE,
    'ne-bad-lfanew-wraps.exe': NOT_LOADABLE,
    'ne-bad-name-length-past-table.icl': NO_GROUP_ICONS,
    'ne-bad-name-past-table.icl': NO_GROUP_ICONS,
    'ne-bad-no-end-of-types.icl': NO_GROUP_ICONS,
    # Every icon on the bytes of a 744-byte one: the 32-bit image of group
    # 12 is cut to them.
    'ne-bad-overlapping-icons.icl': ' | '.join(['reads 4 of 5', MODULE_IMAGE]),
    'ne-bad-resource-length-past-file.icl': 'reads 4 of 5',
    'ne-bad-resource-past-file.icl': 'reads 4 of 5',
    'ne-bad-shift-15.icl': 'reads 0 of 5',
    'ne-bad-shift-16.icl': NO_GROUP_ICONS,
    'ne-bad-shift-31.icl': NO_GROUP_ICONS,
    'ne-bad-shift-32.icl': NO_GROUP_ICONS,
    'ne-bad-shift-65535.icl': NO_GROUP_ICONS,
    'ne-bad-shift-zeroed.icl': ' | '.join(['reads 0 of 5'] + [MODULE_IMAGE] * 5),
    'ne-bad-signature.exe': NOT_LOADABLE,
    'ne-bad-table-end-past-file.icl': NO_GROUP_ICONS,
    'ne-bad-table-ends-before-start.icl': NO_GROUP_ICONS,
    'ne-bad-table-past-file.icl': NO_GROUP_ICONS,
    'ne-bad-table-start-past-file.icl': NO_GROUP_ICONS,
    'ne-bad-type-name-past-table.icl': NO_GROUP_ICONS,
    'ne-good-empty-group.icl': 'reads 2 of 2',
    'ne-good-entry-claims-more.icl': 'reads 1 of 1',
    'ne-good-font.fon': NO_GROUP_ICONS,
    'ne-good-missing-icon.icl': 'reads 0 of 2',
    'ne-good-names.icl': 'reads 10 of 10',
    'ne-good-no-group-icons.dll': NO_GROUP_ICONS,
    'ne-good-no-resources.exe': NO_GROUP_ICONS,
    'ne-good.dll': 'reads 5 of 5',
    'ne-good.exe': 'reads 5 of 5',
    'ne-odd-split-types.icl': 'reads 2 of 2',
    'ne-odd-unpadded-end.icl': 'reads 1 of 1',
}
NE_MODULE_OUTCOMES.update({'ne-good-shift%d.icl' % shift: 'reads 5 of 5' for shift in range(10)})


def modules(w):
    subprocess.run([sys.executable, MODULES_SCRIPT, w.out], check=True, stdout=subprocess.DEVNULL)
    os.remove(os.path.join(w.out, 'manifest.txt'))
    os.remove(os.path.join(w.out, 'manifest-ne.txt'))
    for name in sorted(os.listdir(w.out)):
        if name.startswith('ne-'):
            w.outcomes.append((name, NE_MODULE_OUTCOMES.get(name, 'any')))
        elif name.endswith(('.dll', '.exe')):
            w.outcomes.append((name, MODULE_OUTCOMES.get(name, 'any')))


def found(w):
    folder = os.path.join(HERE, 'found')
    for name in sorted(os.listdir(folder)) if os.path.isdir(folder) else []:
        if not name.endswith('.hex'):
            continue
        with open(os.path.join(folder, name), encoding='utf-8') as f:
            first, rest = f.readline(), f.read()
        file_name, outcome = first[1:].strip().split('\t')
        w.add(file_name, bytes.fromhex(''.join(rest.split())), outcome)


class Writer:
    def __init__(self, out):
        self.out = out
        self.outcomes = []

    def add(self, name, data, outcome):
        with open(os.path.join(self.out, name), 'wb') as f:
            f.write(data)
        self.outcomes.append((name, outcome))


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make-hostile-files.py OUTDIR')
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for old in os.listdir(out):
        os.remove(os.path.join(out, old))
    w = Writer(out)
    modules(w)
    icon_files(w)
    animated_cursors(w)
    image_blocks(w)
    bitmap_files(w)
    found(w)
    with open(os.path.join(out, 'manifest.txt'), 'w', encoding='utf-8') as f:
        for name, outcome in w.outcomes:
            f.write('%s\t%s\n' % (name, outcome))
    print('%d files in %s' % (len(w.outcomes), out))


if __name__ == '__main__':
    main()
