#!/usr/bin/python3
"""Writes small 16-bit Windows modules (NE: the executables, libraries and
fonts of Windows 3.x, and most .ICL icon libraries) with chosen resources,
for the tests of our NE reader. Usage: make-ne-modules.py OUTDIR

ne-good-*  well-formed modules, every alignment shift from 0 to 9.
ne-odd-*   well-formed, but laid out as no linker writes them.
ne-bad-*   malformed modules, one fault each.

Files of other names in OUTDIR are left alone (the malformed-file suite
writes these beside the PE modules). manifest-ne.txt lists:
  resource<TAB>module<TAB>type<TAB>name<TAB>size<TAB>crc32
    every resource of the good and odd modules as the table places it (but
    text names that begin with "#", which the A functions read as
    identifiers): its length rounded up to the alignment, padding included;
  group<TAB>module<TAB>entry<TAB>images
    every group icon of the good and odd modules, by the text of its list
    entry, with its images as "size:crc32" joined by ",": the bytes each
    group entry names, never more than its resource holds.
A type or name is "#n" for an integer identifier, else the text (names are
bytes in the module's code page, and the manifest holds those bytes).
Only the standard library is used.
"""

import os
import runpy
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
_test_modules = runpy.run_path(os.path.join(HERE, 'make-test-modules.py'))
icon_image = _test_modules['icon_image']
png_image = _test_modules['png_image']

def label(name):
    if isinstance(name, int):
        return '#%d' % name
    return name.decode('latin-1') if isinstance(name, bytes) else name


RT_ICON = 3
RT_FONTDIR = 7
RT_FONT = 8
RT_GROUP_ICON = 14
RT_VERSION = 16

INTEGER = 0x8000
NE_HEADER_BYTES = 0x40


def text_bytes(text):
    return text if isinstance(text, bytes) else text.encode('latin-1')


class Layout:
    """Where the parts of a written module are, in file offsets."""
    def __init__(self):
        self.ne = 0
        self.table = 0          # the resource table (its shift word)
        self.table_end = 0      # the resident names table
        self.type_records = {}  # type -> offset of its first record
        self.name_records = {}  # (type, name) -> offset of the 12-byte record
        self.strings = {}       # text -> offset of its length byte
        self.data = {}          # (type, name) -> offset of the bytes
        self.size = 0


def group_icon(entries):
    """A group-icon resource of (icon id, image bytes) pairs; a pair may
    carry a third item, the size its entry claims."""
    out = struct.pack('<HHH', 0, 1, len(entries))
    for entry in entries:
        icon_id, image = entry[0], entry[1]
        width = height = bits = 0
        if image.startswith(b'\x89PNG'):
            width, height = struct.unpack('>II', image[16:24])
            bits = 32
        elif image:
            width, height2, _, bits = struct.unpack('<iiHH', image[4:16])
            height = height2 // 2
        size = entry[2] if len(entry) > 2 else len(image)
        out += struct.pack('<BBBBHHIH', width & 255, height & 255, 0, 0, 1, bits, size, icon_id)
    return out


def ne_module(resources, shift=4, lfanew=0x80, library=True, module_name=b'ICONS',
              description=b'Pictrove test icons'):
    """An NE file holding `resources`, a list of (type, name, bytes) whose
    type and name are integers or texts, in that order: each run of one
    type becomes one type record. Returns the bytes and the Layout."""
    records = []
    for rtype, name, data in resources:
        if not records or records[-1][0] != rtype:
            records.append((rtype, []))
        records[-1][1].append((name, data))

    layout = Layout()
    layout.ne = lfanew
    table = lfanew + NE_HEADER_BYTES
    layout.table = table
    at = table + 2
    for rtype, names in records:
        layout.type_records.setdefault(rtype, at)
        at += 8 + 12 * len(names)
    at += 2  # the type list ends with a 0 word
    for rtype, names in records:
        for text in [rtype] + [name for name, _ in names]:
            if isinstance(text, (str, bytes)) and text_bytes(text) not in layout.strings:
                layout.strings[text_bytes(text)] = at
                at += 1 + len(text_bytes(text))
    at += 1  # the names end with a 0 byte
    layout.table_end = at
    resident = bytes([len(module_name)]) + module_name + b'\0\0' + b'\0'
    modules_at = at + len(resident)
    imported = b'\0'
    entries_at = modules_at + len(imported)
    entry_table = b'\0\0'
    nonresident_at = entries_at + len(entry_table)
    nonresident = bytes([len(description)]) + description + b'\0\0' + b'\0'
    headers_end = nonresident_at + len(nonresident)

    unit = 1 << shift
    at = (headers_end + unit - 1) // unit * unit
    for rtype, names in records:
        for name, data in names:
            layout.data[(rtype, name)] = at
            at += (len(data) + unit - 1) // unit * unit
    layout.size = at
    out = bytearray(at)

    out[0:2] = b'MZ'
    struct.pack_into('<HHHHHHHHHHHHH', out, 2, 0x90, 3, 0, 4, 0, 0xFFFF, 0, 0xB8, 0, 0, 0, 0x40, 0)
    struct.pack_into('<I', out, 0x3C, lfanew)
    stub = b'This program requires Microsoft Windows.\r\n$'
    if 0x40 + len(stub) <= lfanew:
        out[0x40:0x40 + len(stub)] = stub

    ne = lfanew
    flags = 0x8001 if library else 0x0002
    struct.pack_into('<2sBBHHIHHHHIIHHHHHHHHIHHHBBHHHH', out, ne, b'NE', 5, 10,
                     entries_at - ne, len(entry_table), 0, flags, 0, 0, 0, 0, 0, 0, 0,
                     len(nonresident), NE_HEADER_BYTES, table - ne, layout.table_end - ne,
                     modules_at - ne, modules_at - ne, nonresident_at, 0, shift,
                     len(resources), 2, 0, 0, 0, 0, 0x030A)

    struct.pack_into('<H', out, table, shift)
    record = table + 2
    for rtype, names in records:
        type_field = INTEGER | rtype if isinstance(rtype, int) else layout.strings[text_bytes(rtype)] - table
        struct.pack_into('<HHI', out, record, type_field, len(names), 0)
        for i, (name, data) in enumerate(names):
            at = record + 8 + 12 * i
            layout.name_records[(rtype, name)] = at
            name_field = INTEGER | name if isinstance(name, int) else layout.strings[text_bytes(name)] - table
            offset = layout.data[(rtype, name)]
            units = (len(data) + unit - 1) // unit
            assert offset >> shift < 0x10000 and units < 0x10000, 'module too large for its shift'
            struct.pack_into('<HHHHHH', out, at, offset >> shift, units, 0x1C30, name_field, 0, 0)
            out[offset:offset + len(data)] = data
        record += 8 + 12 * len(names)
    for text, at in layout.strings.items():
        out[at] = len(text)
        out[at + 1:at + 1 + len(text)] = text
    resident_at = layout.table_end
    out[resident_at:resident_at + len(resident)] = resident
    out[nonresident_at:nonresident_at + len(nonresident)] = nonresident
    return bytes(out), layout


def padded(data, shift):
    unit = 1 << shift
    return data + bytes((-len(data)) % unit)


# ---------------------------------------------------------------- contents

IMAGES = {
    1: icon_image(32, 32, 4, 11),
    2: icon_image(16, 16, 8, 12),
    3: icon_image(32, 32, 32, 13),
    4: icon_image(48, 48, 24, 14),
    5: icon_image(16, 16, 1, 15),
    6: png_image(64, 64, 16),
    7: icon_image(24, 24, 16, 17),
}

# Group icons by name: text names as resource compilers store them (upper
# case), identifiers; a PNG image in group 10.
GROUPS = [
    ('MAINICON', [1, 2]),
    (12, [3]),
    (2, [4, 5]),
    (10, [6, 1]),
    ('FOLDER', [7]),
]


def basic_resources(icons_first=True):
    icons = [(RT_ICON, i, image) for i, image in IMAGES.items()]
    groups = [(RT_GROUP_ICON, name, group_icon([(i, IMAGES[i]) for i in ids])) for name, ids in GROUPS]
    others = [(RT_VERSION, 1, bytes((i * 5) & 255 for i in range(52))),
              ('CUSTOM', 'DATA', b'custom resource bytes')]
    return (icons + groups if icons_first else groups + icons) + others


def entry_text(name):
    # The list's entry is formatted into 256 bytes; a longer name is cut.
    return 'Icon [%s]' % (str(name) if isinstance(name, int) else label(name)[:248])


class Writer:
    def __init__(self, out):
        self.out = out
        self.manifest = []

    def write(self, name, data):
        with open(os.path.join(self.out, name), 'wb') as f:
            f.write(data)

    def good(self, name, resources, shift, data, groups=None):
        """Writes a module with the manifest lines of its resources and of
        its group icons; `groups` gives the images of the groups whose
        entries name no real size (default: each entry's own image)."""
        self.write(name, data)
        stored = {}
        for rtype, rname, blob in resources:
            stored[(rtype, rname)] = padded(blob, shift)
            # The A functions read a name "#12" as the identifier 12.
            if not isinstance(rname, int) and label(rname).startswith('#'):
                continue
            self.manifest.append('resource\t%s\t%s\t%s\t%d\t%08x' % (
                name, label(rtype), label(rname), len(padded(blob, shift)),
                zlib.crc32(padded(blob, shift)) & 0xFFFFFFFF))
        for rtype, rname, blob in resources:
            if rtype != RT_GROUP_ICON or not isinstance(rname, int) and label(rname).startswith('#'):
                continue
            count = struct.unpack_from('<H', blob, 4)[0]
            images = []
            for i in range(count):
                size, icon_id = struct.unpack_from('<IH', blob, 6 + 14 * i + 8)
                image = stored.get((RT_ICON, icon_id))
                if image is None:
                    images = None
                    break
                image = image[:size]
                images.append('%d:%08x' % (len(image), zlib.crc32(image) & 0xFFFFFFFF))
            if images is not None:
                self.manifest.append('group\t%s\t%s\t%s' % (name, entry_text(rname), ','.join(images)))


def patch(data, offset, fmt, *values):
    data = bytearray(data)
    struct.pack_into(fmt, data, offset, *values)
    return bytes(data)


def write_good(w):
    basic = basic_resources()
    for shift in range(0, 10):
        data, _ = ne_module(basic, shift=shift)
        w.good('ne-good-shift%d.icl' % shift, basic, shift, data)
    # Groups stored before the icons, as an executable and as a library.
    res = basic_resources(icons_first=False)
    w.good('ne-good.exe', res, 9, ne_module(res, shift=9, library=False, module_name=b'OLDAPP')[0])
    w.good('ne-good.dll', res, 5, ne_module(res, shift=5, lfanew=0x40)[0])

    # Names of every kind: lower case (which the table may hold), blanks,
    # empty, the longest a length byte counts, a byte of the code page's
    # upper half, a text that reads like an identifier, the largest
    # identifier.
    names = ['FOLDER', 'Mixed', 'A B', '', 'X' * 255, b'\xc9CLAIR', '#12']
    res = [(RT_ICON, 1, IMAGES[1]), (RT_ICON, 2, IMAGES[2])]
    for i, name in enumerate(names):
        res.append((RT_GROUP_ICON, name, group_icon([(1 + i % 2, IMAGES[1 + i % 2])])))
    for ident in (1, 12, 0x7FFF):
        res.append((RT_GROUP_ICON, ident, group_icon([(2, IMAGES[2])])))
    w.good('ne-good-names.icl', res, 4, ne_module(res, shift=4)[0])

    # Fonts only, as the .FON files of Windows are: no group icon.
    res = [(RT_FONTDIR, 'FONTDIR', b'\1\0' + bytes(40)), (RT_FONT, 1, bytes(range(200)))]
    w.good('ne-good-font.fon', res, 4, ne_module(res, shift=4, module_name=b'FONTRES')[0])
    res = [(RT_ICON, 1, IMAGES[1]), (RT_VERSION, 1, bytes(52))]
    w.good('ne-good-no-group-icons.dll', res, 4, ne_module(res)[0])
    # No resource table at all: it would start where the resident names do.
    data, layout = ne_module([(RT_VERSION, 1, bytes(8))])
    w.write('ne-good-no-resources.exe', patch(data, layout.ne + 0x24, '<H', layout.table_end - layout.ne))

    res = [(RT_ICON, 1, IMAGES[1]), (RT_ICON, 2, IMAGES[2]),
           (RT_GROUP_ICON, 1, group_icon([])),
           (RT_GROUP_ICON, 2, group_icon([(1, IMAGES[1]), (2, IMAGES[2])]))]
    w.good('ne-good-empty-group.icl', res, 4, ne_module(res)[0])

    res = [(RT_ICON, 1, IMAGES[1]),
           (RT_GROUP_ICON, 1, group_icon([(99, IMAGES[1])])),
           (RT_GROUP_ICON, 2, group_icon([(1, IMAGES[1]), (98, IMAGES[2])]))]
    w.good('ne-good-missing-icon.icl', res, 4, ne_module(res)[0])

    # Entries that claim more than the image: an image is never more than
    # its resource holds, padding included.
    res = [(RT_ICON, 1, IMAGES[1]), (RT_ICON, 2, IMAGES[2]),
           (RT_GROUP_ICON, 1, group_icon([(1, IMAGES[1], 0x7FFFFFFF), (2, IMAGES[2], len(IMAGES[2]) + 3)]))]
    w.good('ne-good-entry-claims-more.icl', res, 6, ne_module(res, shift=6)[0])

    # The last resource is cut at the file's end inside its last unit of
    # alignment: its bytes are there, its padding is not.
    res = [(RT_ICON, 1, IMAGES[1]), (RT_GROUP_ICON, 1, group_icon([(1, IMAGES[1])]))]
    data, layout = ne_module(res[::-1], shift=8)
    end = layout.data[(RT_ICON, 1)] + len(IMAGES[1])
    w.write('ne-odd-unpadded-end.icl', data[:end])
    w.manifest.append('group\tne-odd-unpadded-end.icl\tIcon [1]\t%d:%08x' % (
        len(IMAGES[1]), zlib.crc32(IMAGES[1]) & 0xFFFFFFFF))

    # Group icons under two type records: both are listed.
    res = [(RT_GROUP_ICON, 1, group_icon([(1, IMAGES[1])])),
           (RT_ICON, 1, IMAGES[1]), (RT_ICON, 2, IMAGES[2]),
           (RT_GROUP_ICON, 'SECOND', group_icon([(2, IMAGES[2])]))]
    w.good('ne-odd-split-types.icl', res, 4, ne_module(res)[0])


def write_bad(w):
    basic = basic_resources()
    data, layout = ne_module(basic, shift=4)
    ne = layout.ne
    table = layout.table
    size = len(data)

    w.write('ne-bad-cut-header.exe', data[:ne + 0x30])
    w.write('ne-bad-lfanew-past-end.exe', patch(data, 0x3C, '<I', size + 16))
    w.write('ne-bad-lfanew-wraps.exe', patch(data, 0x3C, '<I', 0xFFFFFFFE))
    w.write('ne-bad-signature.exe', patch(data, ne, '<2s', b'NF'))
    # Tables running past the file.
    w.write('ne-bad-table-past-file.icl', data[:layout.table_end - 4])
    w.write('ne-bad-table-start-past-file.icl', patch(data[:0x400], ne + 0x24, '<HH', 0x3F0, 0x3F8))
    w.write('ne-bad-table-end-past-file.icl', patch(data[:0x400], ne + 0x26, '<H', 0xFFF0))
    w.write('ne-bad-table-ends-before-start.icl', patch(data, ne + 0x26, '<H', 0x20))
    # The type list without its final 0 word inside the table.
    w.write('ne-bad-no-end-of-types.icl',
            patch(data, ne + 0x26, '<H', layout.type_records['CUSTOM'] + 8 + 12 - ne))
    # Names past the table: an offset beyond it, a length running past it,
    # a type name beyond it.
    group_record = layout.type_records[RT_GROUP_ICON]
    main = layout.name_records[(RT_GROUP_ICON, 'MAINICON')]
    w.write('ne-bad-name-past-table.icl', patch(data, main + 6, '<H', layout.table_end - table + 40))
    w.write('ne-bad-name-length-past-table.icl', patch(data, layout.strings[b'MAINICON'], '<B', 0xFF))
    w.write('ne-bad-type-name-past-table.icl', patch(data, layout.type_records['CUSTOM'], '<H', 0x7FF0))
    # Zero and huge shifts.
    w.write('ne-bad-shift-zeroed.icl', patch(data, table, '<H', 0))
    for shift in (15, 16, 31, 32, 0xFFFF):
        w.write('ne-bad-shift-%d.icl' % shift, patch(data, table, '<H', shift))
    # Counts that lie: more names than the table holds, fewer than stored
    # (the rest is read as type records), a group counting past its bytes,
    # and the header's count of resources.
    w.write('ne-bad-count-past-table.icl', patch(data, group_record + 2, '<H', 0x1000))
    w.write('ne-bad-count-short.icl', patch(data, group_record + 2, '<H', 2))
    w.write('ne-bad-header-count.icl', patch(data, ne + 0x34, '<H', 0xFFFF))
    group2 = layout.data[(RT_GROUP_ICON, 2)]
    w.write('ne-bad-group-count.icl', patch(data, group2 + 4, '<H', 0x100))
    # Overlapping entries: every icon on the bytes of icon 1, and a group on
    # the resource table itself.
    shared = bytearray(data)
    first = struct.unpack_from('<HH', data, layout.name_records[(RT_ICON, 1)])
    for i in IMAGES:
        struct.pack_into('<HH', shared, layout.name_records[(RT_ICON, i)], *first)
    w.write('ne-bad-overlapping-icons.icl', bytes(shared))
    w.write('ne-bad-group-on-table.icl',
            patch(data, layout.name_records[(RT_GROUP_ICON, 12)], '<HH', table >> 4, 4))
    # Resources past the file: one starting there, one running far past it.
    icon3 = layout.name_records[(RT_ICON, 3)]
    w.write('ne-bad-resource-past-file.icl', patch(data, icon3, '<H', (size >> 4) + 1))
    w.write('ne-bad-resource-length-past-file.icl', patch(data, icon3 + 2, '<H', 0xFFFF))
    # Entries claiming less than their image: the image is cut.
    res = [(RT_ICON, 1, IMAGES[1]), (RT_ICON, 2, IMAGES[2]),
           (RT_GROUP_ICON, 1, group_icon([(1, IMAGES[1], 100)])),
           (RT_GROUP_ICON, 2, group_icon([(2, IMAGES[2], 0)]))]
    w.write('ne-bad-entry-claims-less.icl', ne_module(res)[0])


def write_into(out):
    """Writes the modules and manifest-ne.txt into `out`, in place of those
    an earlier run wrote there; returns how many modules."""
    os.makedirs(out, exist_ok=True)
    for old in os.listdir(out):
        if old.startswith('ne-') or old == 'manifest-ne.txt':
            os.remove(os.path.join(out, old))
    w = Writer(out)
    write_good(w)
    write_bad(w)
    with open(os.path.join(out, 'manifest-ne.txt'), 'w', encoding='latin-1') as f:
        f.write('\n'.join(w.manifest) + '\n')
    return sum(1 for n in os.listdir(out) if n.startswith('ne-'))


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make-ne-modules.py OUTDIR')
    print('%d NE modules in %s' % (write_into(sys.argv[1]), sys.argv[1]))


if __name__ == '__main__':
    main()
