#!/usr/bin/python3
"""Writes small PE32 and PE32+ modules with chosen resources, for the tests of
the module reader, and beside them the 16-bit (NE) modules of
make-ne-modules.py (ne-*, with manifest-ne.txt). Usage: make-test-modules.py OUTDIR

good-*  well-formed modules; kernel32 and our reader must agree on them.
odd-*   well-formed, but kernel32 cannot find some of the names it lists (Wine's: any)
        (names not stored in sorted order, names stored in lower case), or gives
        no bytes for some it finds (bytes in the headers).
bad-*   malformed modules, one fault each; readers must refuse the part that
        is broken and keep working on the rest.

With --many-groups COUNT FILE it writes one module of COUNT group icons
instead (identifiers 1 to COUNT, all naming one small image): the window's
list is timed filling with it. With --shared-directory COUNT FILE, COUNT
groups that all lead to one directory of 65535 entries naming one 8 KB image
(a module under a megabyte that names the image 65535 * COUNT times). With
--shared-name COUNT FILE, COUNT groups whose names all point at one name of
65535 characters; with --names-alike COUNT FILE, at one name "A" (extract
writes them as A, A_2, ... A_COUNT, and is timed doing so).

manifest.txt lists, for every resource of the good and odd modules that a
lookup must find (the language a U.S. English user gets), its size and CRC-32:
  resource<TAB>module<TAB>type<TAB>name<TAB>size<TAB>crc32
where a type or name is "#n" for an integer identifier, else the text.
Only the standard library is used.
"""

import os
import runpy
import struct
import sys
import zlib

RT_CURSOR = 1
RT_ICON = 3
RT_GROUP_CURSOR = 12
RT_GROUP_ICON = 14
RT_VERSION = 16

NEUTRAL = 0x0000
EN_US = 0x0409
EN = 0x0009
DE_DE = 0x0407
JA_JP = 0x0411
EN_GB = 0x0809


# ---------------------------------------------------------------- images

def icon_image(width, height, bits, seed):
    """An icon image block: BITMAPINFOHEADER (height doubled), colour table,
    XOR rows, AND rows, with pixels made from the seed."""
    colors = 1 << bits if bits <= 8 else 0
    stride = ((width * bits + 31) // 32) * 4
    mask_stride = ((width + 31) // 32) * 4
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, bits, 0,
                         (stride + mask_stride) * height, 0, 0, 0, 0)
    table = b''.join(struct.pack('<BBBB', (i * 37 + seed) & 255, (i * 91 + seed) & 255,
                                 (i * 13 + seed * 7) & 255, 0) for i in range(colors))
    xor = bytes((x * 7 + y * 13 + seed) & 255 for y in range(height) for x in range(stride))
    mask = bytes(((x + y + seed) * 0x55) & 255 for y in range(height) for x in range(mask_stride))
    return header + table + xor + mask


def png_image(width, height, seed):
    """A PNG-compressed icon image (RGBA, 8 bits a channel)."""
    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))
    rows = b''.join(b'\0' + bytes(c for x in range(width)
                                   for c in ((x + seed) & 255, (y * 3) & 255, seed & 255, 255))
                    for y in range(height))
    return (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b''))


def group_icon(entries):
    """A group-icon resource; entries are (icon id, image bytes) pairs, or
    (icon id, None) for an entry naming a resource that does not exist."""
    out = struct.pack('<HHH', 0, 1, len(entries))
    for icon_id, image in entries:
        width = height = bits = 0
        size = 0
        if image is not None:
            size = len(image)
            if image.startswith(b'\x89PNG'):
                width, height = struct.unpack('>II', image[16:24])
                bits = 32
            else:
                width, height2, _, bits = struct.unpack('<iiHH', image[4:16])
                height = height2 // 2
        out += struct.pack('<BBBBHHIH', width & 255, height & 255, 0, 0, 1, bits, size, icon_id)
    return out


def group_cursor(entries):
    """A group-cursor resource; entries are (cursor id, image bytes) pairs, or
    (cursor id, None) for one naming a resource that does not exist. Width and
    height are words, the height doubled; the size counts the hot spot."""
    out = struct.pack('<HHH', 0, 2, len(entries))
    for cursor_id, image in entries:
        width = height2 = bits = size = 0
        if image is not None:
            width, height2, _, bits = struct.unpack('<iiHH', image[4:16])
            size = len(image) + 4
        out += struct.pack('<HHHHIH', width, height2, 1, bits, size, cursor_id)
    return out


def version_block(seed):
    return bytes((i * 5 + seed) & 255 for i in range(52))


# ---------------------------------------------------------------- resources

def name_key(name):
    # Resource compilers store text names first, in order of their UTF-16
    # units, then identifiers in ascending order.
    if isinstance(name, str):
        units = name.encode('utf-16-le')
        return (0, list(struct.unpack('<%dH' % (len(units) // 2), units)))
    return (1, name)


def utf16(name):
    return name.encode('utf-16-le')


class Layout:
    """Offsets (from the root) of the parts of a built directory."""
    def __init__(self):
        self.tables = {}       # () root, (type,) name table, (type, name) language table
        self.entries = {}      # path of the entry (type, [name, [lang]]) -> offset of the 8-byte entry
        self.strings = {}      # text -> offset of its length field
        self.data_entries = {}  # (type, name, lang) -> offset of the 16-byte data entry
        self.data = {}         # (type, name, lang) -> offset of the bytes
        self.size = 0


def build_resources(resources, rva, sort=True):
    """The bytes of a resource section at `rva` holding `resources`, a list of
    (type, name, language, bytes), and its Layout."""
    tree = {}
    for rtype, name, lang, data in resources:
        tree.setdefault(rtype, {}).setdefault(name, []).append((lang, data))

    def ordered(keys):
        keys = list(keys)
        return sorted(keys, key=name_key) if sort else keys

    def counts(keys):
        named = sum(1 for k in keys if isinstance(k, str))
        return named, len(keys) - named

    layout = Layout()
    offset = 0
    types = ordered(tree.keys())
    layout.tables[()] = offset
    offset += 16 + 8 * len(types)
    for t in types:
        layout.tables[(t,)] = offset
        offset += 16 + 8 * len(tree[t])
    for t in types:
        for n in ordered(tree[t].keys()):
            layout.tables[(t, n)] = offset
            langs = tree[t][n]
            offset += 16 + 8 * len(langs)
    for t in types:
        for n in [t] + list(tree[t].keys()):
            if isinstance(n, str) and n not in layout.strings:
                layout.strings[n] = offset
                offset += 2 + len(utf16(n))
    offset = (offset + 3) & ~3
    leaves = []
    for t in types:
        for n in ordered(tree[t].keys()):
            langs = tree[t][n] if not sort else sorted(tree[t][n], key=lambda ld: ld[0])
            tree[t][n] = langs
            for lang, data in langs:
                layout.data_entries[(t, n, lang)] = offset
                offset += 16
                leaves.append((t, n, lang, data))
    for t, n, lang, data in leaves:
        offset = (offset + 7) & ~7
        layout.data[(t, n, lang)] = offset
        offset += len(data)
    layout.size = offset

    out = bytearray(offset)

    def table(at, keys):
        named, ids = counts(keys)
        struct.pack_into('<IIHHHH', out, at, 0, 0, 4, 0, named, ids)

    def entry(at, key, target, is_table, path):
        name_field = (0x80000000 | layout.strings[key]) if isinstance(key, str) else key
        struct.pack_into('<II', out, at, name_field, (0x80000000 | target) if is_table else target)
        layout.entries[path] = at

    table(0, types)
    for i, t in enumerate(types):
        entry(16 + 8 * i, t, layout.tables[(t,)], True, (t,))
        names = ordered(tree[t].keys())
        table(layout.tables[(t,)], names)
        for j, n in enumerate(names):
            entry(layout.tables[(t,)] + 16 + 8 * j, n, layout.tables[(t, n)], True, (t, n))
            langs = tree[t][n]
            lang_table = layout.tables[(t, n)]
            struct.pack_into('<IIHHHH', out, lang_table, 0, 0, 4, 0, 0, len(langs))
            for k, (lang, data) in enumerate(langs):
                entry(lang_table + 16 + 8 * k, lang, layout.data_entries[(t, n, lang)], False, (t, n, lang))
    for text, at in layout.strings.items():
        encoded = utf16(text)
        struct.pack_into('<H', out, at, len(encoded) // 2)
        out[at + 2:at + 2 + len(encoded)] = encoded
    for t, n, lang, data in leaves:
        struct.pack_into('<IIII', out, layout.data_entries[(t, n, lang)], 0,
                         len(data), 0, 0)
        struct.pack_into('<I', out, layout.data_entries[(t, n, lang)], rva + layout.data[(t, n, lang)])
        out[layout.data[(t, n, lang)]:layout.data[(t, n, lang)] + len(data)] = data
    return bytes(out), layout


# ---------------------------------------------------------------- PE files

class Section:
    def __init__(self, name, rva, data, characteristics=0x40000040):
        self.name = name
        self.rva = rva
        self.data = data
        self.characteristics = characteristics
        self.raw_offset = 0
        self.raw_size = 0


def align(value, to):
    return (value + to - 1) // to * to


class Module:
    """A PE file being built. `sections` are placed in the file in
    `file_order` (indexes), which need not be their table order."""
    def __init__(self, plus, sections, resource_section=None, file_order=None, exe=False, header_room=0,
                 lfanew=0x80):
        self.plus = plus
        self.lfanew = lfanew
        self.header_room = header_room
        self.sections = sections
        self.resource_section = resource_section
        self.file_order = file_order or list(range(len(sections)))
        self.exe = exe
        self.offsets = {}

    def build(self):
        lfanew = self.lfanew
        optional_size = 240 if self.plus else 224
        section_table = lfanew + 24 + optional_size
        headers = align(section_table + 40 * len(self.sections), 0x200) + self.header_room
        self.offsets['header_room'] = headers - self.header_room
        at = headers
        for index in self.file_order:
            s = self.sections[index]
            s.raw_offset = at
            s.raw_size = align(len(s.data), 0x200)
            at += s.raw_size
        size_of_image = align(max(s.rva + max(len(s.data), 1) for s in self.sections), 0x1000)

        out = bytearray(at)
        out[0:2] = b'MZ'
        struct.pack_into('<I', out, 0x3C, lfanew)
        stub = b'This program cannot be run in DOS mode.\r\n$'
        out[0x40:0x40 + len(stub)] = stub
        out[lfanew:lfanew + 4] = b'PE\0\0'
        machine = 0x8664 if self.plus else 0x14C
        characteristics = 0x0022 if self.plus else 0x0102
        if not self.exe:
            characteristics |= 0x2000
        struct.pack_into('<HHIIIHH', out, lfanew + 4, machine, len(self.sections), 0, 0, 0,
                         optional_size, characteristics)
        opt = lfanew + 24
        self.offsets['optional'] = opt
        self.offsets['section_table'] = section_table
        if self.plus:
            struct.pack_into('<HBBIIIIIQIIHHHHHHIIIIHHQQQQII', out, opt, 0x20B, 2, 40, 0, 0, 0, 0, 0x1000,
                             0x180000000, 0x1000, 0x200, 6, 0, 0, 0, 6, 0, 0, size_of_image, headers,
                             0, 2, 0x160, 0x100000, 0x1000, 0x100000, 0x1000, 0, 16)
            directories = opt + 112
        else:
            struct.pack_into('<HBBIIIIIIIIIHHHHHHIIIIHHIIIIII', out, opt, 0x10B, 2, 40, 0, 0, 0, 0, 0x1000,
                             0x1000, 0x10000000, 0x1000, 0x200, 4, 0, 0, 0, 4, 0, 0, size_of_image,
                             headers, 0, 2, 0x140, 0x100000, 0x1000, 0x100000, 0x1000, 0, 16)
            directories = opt + 96
        self.offsets['directories'] = directories
        if self.resource_section is not None:
            s = self.sections[self.resource_section]
            struct.pack_into('<II', out, directories + 8 * 2, s.rva, len(s.data))
        for i, s in enumerate(self.sections):
            struct.pack_into('<8sIIIIIIHHI', out, section_table + 40 * i, s.name.encode(), len(s.data),
                             s.rva, s.raw_size, s.raw_offset, 0, 0, 0, 0, s.characteristics)
            out[s.raw_offset:s.raw_offset + len(s.data)] = s.data
        return out


def resource_module(resources, plus=False, sort=True, exe=False, rsrc_rva=0x3000, extra=None, lfanew=0x80):
    """A module with a code section, a data section and the resource section
    (third in the table but first in the file, so that RVAs and file offsets
    differ). Returns (bytes, module, layout)."""
    rsrc, layout = build_resources(resources, rsrc_rva, sort)
    sections = [Section('.text', 0x1000, b'\xC3' * 16, 0x60000020),
                Section('.data', 0x2000, b'\0' * 64, 0xC0000040),
                Section('.rsrc', rsrc_rva, rsrc)]
    if extra:
        sections += extra
    module = Module(plus, sections, resource_section=2, file_order=[2, 0, 1] + list(range(3, len(sections))),
                    exe=exe, lfanew=lfanew)
    return module.build(), module, layout


# ---------------------------------------------------------------- contents

IMAGES = {
    1: icon_image(32, 32, 4, 1),
    2: icon_image(16, 16, 8, 2),
    3: icon_image(32, 32, 32, 3),
    4: icon_image(48, 48, 24, 4),
    5: icon_image(16, 16, 1, 5),
    6: png_image(64, 64, 6),
    7: icon_image(24, 24, 16, 7),
}

BASIC_GROUPS = [
    ('MAINICON', [1, 2]),
    (128, [3]),
    (2, [4, 5]),
    (10, [6, 1]),
    (11, [7]),
]


def basic_resources(lang=EN_US):
    res = [(RT_ICON, i, lang, image) for i, image in IMAGES.items()]
    for name, ids in BASIC_GROUPS:
        res.append((RT_GROUP_ICON, name, lang, group_icon([(i, IMAGES[i]) for i in ids])))
    res.append((RT_VERSION, 1, lang, version_block(1)))
    res.append(('CUSTOM', 'DATA', NEUTRAL, b'custom resource bytes'))
    return res


def language_resources():
    # For each icon, its languages and which of them a U.S. English user
    # gets: neutral first, then 0x0409, then 0x0009, then the first stored.
    variants = {
        1: [(DE_DE, 16), (EN_US, 32)],               # U.S. English
        2: [(DE_DE, 16), (NEUTRAL, 24), (EN_US, 32)],  # neutral
        3: [(JA_JP, 16), (DE_DE, 48)],               # the first stored: German
        4: [(EN_GB, 16), (DE_DE, 24)],               # no English of ours: German
        5: [(DE_DE, 16), (EN, 48)],                  # English, neutral sublanguage
    }
    res = []
    for icon_id, langs in variants.items():
        for lang, size in langs:
            res.append((RT_ICON, icon_id, lang, icon_image(size, size, 8, icon_id * 16 + size)))
        res.append((RT_GROUP_ICON, icon_id, DE_DE, group_icon([(icon_id, None)])))
    # One group in two languages that name different icons.
    res.append((RT_GROUP_ICON, 'BOTH', DE_DE, group_icon([(1, None)])))
    res.append((RT_GROUP_ICON, 'BOTH', EN_US, group_icon([(2, None)])))
    return res


def pick_language(langs):
    for wanted in (NEUTRAL, EN_US, EN):
        if wanted in langs:
            return wanted
    return sorted(langs)[0]


NAMES = ['MAINICON', 'A B', '#12', '', 'X' * 300, '\u00c9CLAIR', '\u56fe\u6807', 'Z']


def names_resources():
    res = [(RT_ICON, 1, EN_US, IMAGES[1]), (RT_ICON, 2, EN_US, IMAGES[2])]
    for i, name in enumerate(NAMES):
        res.append((RT_GROUP_ICON, name, EN_US, group_icon([(1 + i % 2, IMAGES[1 + i % 2])])))
    for ident in (1, 12, 65535):
        res.append((RT_GROUP_ICON, ident, EN_US, group_icon([(2, IMAGES[2])])))
    return res


# ---------------------------------------------------------------- writing

class Writer:
    def __init__(self, out):
        self.out = out
        self.manifest = []

    def write(self, name, data):
        with open(os.path.join(self.out, name), 'wb') as f:
            f.write(data)

    def good(self, name, resources, data):
        """Writes a module and the manifest lines of its findable resources."""
        self.write(name, data)
        by_key = {}
        for rtype, rname, lang, blob in resources:
            by_key.setdefault((rtype, rname), {})[lang] = blob
        for (rtype, rname), langs in by_key.items():
            if isinstance(rname, str) and rname.startswith('#'):
                continue  # the A functions read "#12" as the identifier 12
            blob = langs[pick_language(langs)]
            self.manifest.append('resource\t%s\t%s\t%s\t%d\t%08x' % (
                name, label(rtype), label(rname), len(blob), zlib.crc32(blob) & 0xFFFFFFFF))


def label(name):
    return name if isinstance(name, str) else '#%d' % name


def patch(data, offset, fmt, *values):
    data = bytearray(data)
    struct.pack_into(fmt, data, offset, *values)
    return data


def many_groups_module(count):
    image = IMAGES[5]
    res = [(RT_ICON, 1, EN_US, image)]
    res += [(RT_GROUP_ICON, i, EN_US, group_icon([(1, image)])) for i in range(1, count + 1)]
    return resource_module(res)[0]


def shared_directory_module(count):
    image = icon_image(44, 44, 32, 3)
    one = group_icon([(1, image)])
    directory = struct.pack('<HHH', 0, 1, 65535) + one[6:] * 65535
    res = [(RT_ICON, 1, EN_US, image)] + [(RT_GROUP_ICON, i, EN_US, b'') for i in range(1, count)]
    rsrc, layout = build_resources(res + [(RT_GROUP_ICON, count, EN_US, directory)], 0x3000)
    rsrc = bytearray(rsrc)
    # Every group's data entry takes the place and size of the last one's.
    shared = struct.unpack_from('<II', rsrc, layout.data_entries[(RT_GROUP_ICON, count, EN_US)])
    for i in range(1, count):
        struct.pack_into('<II', rsrc, layout.data_entries[(RT_GROUP_ICON, i, EN_US)], *shared)
    sections = [Section('.text', 0x1000, b'\xC3' * 16, 0x60000020), Section('.rsrc', 0x3000, bytes(rsrc))]
    return Module(False, sections, resource_section=1).build()


def one_name_module(count, name):
    """COUNT group icons, each naming one small image, whose name entries all
    point at one stored name."""
    image = IMAGES[5]
    names = ['G%d' % i for i in range(1, count)] + [name]
    res = [(RT_ICON, 1, EN_US, image)] + [(RT_GROUP_ICON, n, EN_US, group_icon([(1, image)])) for n in names]
    rsrc, layout = build_resources(res, 0x3000)
    rsrc = bytearray(rsrc)
    for n in names[:-1]:
        struct.pack_into('<I', rsrc, layout.entries[(RT_GROUP_ICON, n)], 0x80000000 | layout.strings[name])
    sections = [Section('.text', 0x1000, b'\xC3' * 16, 0x60000020), Section('.rsrc', 0x3000, bytes(rsrc))]
    return Module(False, sections, resource_section=1).build()


def main():
    makers = {'--many-groups': many_groups_module, '--shared-directory': shared_directory_module,
              '--shared-name': lambda count: one_name_module(count, 'N' * 65535),
              '--names-alike': lambda count: one_name_module(count, 'A')}
    if len(sys.argv) == 4 and sys.argv[1] in makers:
        with open(sys.argv[3], 'wb') as f:
            f.write(makers[sys.argv[1]](int(sys.argv[2])))
        return
    if len(sys.argv) != 2:
        sys.exit('usage: make-test-modules.py OUTDIR | --many-groups COUNT FILE | --shared-directory COUNT FILE'
                 ' | --shared-name COUNT FILE | --names-alike COUNT FILE')
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for old in os.listdir(out):
        os.remove(os.path.join(out, old))
    w = Writer(out)

    basic = basic_resources()
    pe32, pe32_module, pe32_layout = resource_module(basic)
    w.good('good-pe32.dll', basic, pe32)
    w.good('good-pe32plus.dll', basic, resource_module(basic, plus=True)[0])
    w.good('good-pe32.exe', basic, resource_module(basic, exe=True)[0])
    w.good('good-pe32plus.exe', basic, resource_module(basic, plus=True, exe=True)[0])
    # Headers that start past the first page, where a reader that reads a
    # page of the file first must read on.
    w.good('good-far-headers.dll', basic, resource_module(basic, lfanew=0x1200)[0])

    neutral = basic_resources(NEUTRAL)
    w.good('good-neutral.dll', neutral, resource_module(neutral)[0])

    # A group of no images, beside one of two.
    res = [(RT_ICON, 1, EN_US, IMAGES[1]), (RT_ICON, 2, EN_US, IMAGES[2]),
           (RT_GROUP_ICON, 1, EN_US, group_icon([])),
           (RT_GROUP_ICON, 2, EN_US, group_icon([(1, IMAGES[1]), (2, IMAGES[2])]))]
    w.good('good-empty-group.dll', res, resource_module(res)[0])

    # Groups naming icon resources that are not there.
    res = [(RT_ICON, 1, EN_US, IMAGES[1]),
           (RT_GROUP_ICON, 1, EN_US, group_icon([(99, None)])),
           (RT_GROUP_ICON, 2, EN_US, group_icon([(1, IMAGES[1]), (98, None)]))]
    w.good('good-missing-icon.dll', res, resource_module(res)[0])

    # Group bytes that disagree with their count: more entries than the bytes
    # hold, and a resource shorter than the group header.
    res = [(RT_ICON, 1, EN_US, IMAGES[1]),
           (RT_GROUP_ICON, 1, EN_US, patch(group_icon([(1, IMAGES[1])]), 4, '<H', 5)),
           (RT_GROUP_ICON, 2, EN_US, b'\0\0\1\0')]
    w.good('good-group-short.dll', res, resource_module(res)[0])

    res = language_resources()
    w.good('good-languages.dll', res, resource_module(res)[0])

    # Group 7 in three languages, each naming icon 7 of its own language;
    # group ONE in one of them.
    res = [(RT_GROUP_ICON, 'ONE', EN_US, group_icon([(7, icon_image(32, 32, 8, 32))]))]
    for lang, size in ((DE_DE, 16), (EN_US, 32), (JA_JP, 48)):
        image = icon_image(size, size, 8, size)
        res += [(RT_ICON, 7, lang, image), (RT_GROUP_ICON, 7, lang, group_icon([(7, image)]))]
    w.good('good-three-languages.dll', res, resource_module(res)[0])

    res = names_resources()
    w.good('good-names.dll', res, resource_module(res)[0])

    res = [(RT_ICON, 1, EN_US, IMAGES[1]), (RT_VERSION, 1, EN_US, version_block(2))]
    w.good('good-no-group-icons.dll', res, resource_module(res)[0])

    # Groups 1, 2 and 10 only, each of images of its own, so that the
    # window's list and previews tell them apart.
    res = [(RT_ICON, i, EN_US, IMAGES[i]) for i in (1, 2, 3, 4, 5)]
    res += [(RT_GROUP_ICON, 1, EN_US, group_icon([(3, IMAGES[3]), (2, IMAGES[2])])),
            (RT_GROUP_ICON, 2, EN_US, group_icon([(1, IMAGES[1])])),
            (RT_GROUP_ICON, 10, EN_US, group_icon([(4, IMAGES[4]), (5, IMAGES[5]), (2, IMAGES[2])]))]
    w.good('good-ids.dll', res, resource_module(res)[0])

    # Group names that all become one file name.
    res = [(RT_ICON, 1, EN_US, IMAGES[1])]
    res += [(RT_GROUP_ICON, name, EN_US, group_icon([(1, IMAGES[1])])) for name in ('A B', 'A_B', 'A/B', 'A:B')]
    w.good('good-clashing-names.dll', res, resource_module(res)[0])

    # Group cursors: one of two cursors (each hot spot before its image), one
    # naming a cursor too short to hold a hot spot, one naming none there.
    res = [(RT_CURSOR, 1, EN_US, struct.pack('<HH', 3, 5) + IMAGES[1]),
           (RT_CURSOR, 2, EN_US, struct.pack('<HH', 7, 9) + IMAGES[2]),
           (RT_CURSOR, 3, EN_US, b'\x01\x00'),
           (RT_GROUP_CURSOR, 1, EN_US, group_cursor([(1, IMAGES[1]), (2, IMAGES[2])])),
           (RT_GROUP_CURSOR, 'SHORT', EN_US, group_cursor([(3, None)])),
           (RT_GROUP_CURSOR, 'MISSING', EN_US, group_cursor([(99, None)]))]
    w.good('good-cursors.dll', res, resource_module(res)[0])

    bare = Module(False, [Section('.text', 0x1000, b'\xC3' * 16, 0x60000020)]).build()
    w.write('good-no-resources.dll', bare)

    # Overlapping sections: the resource section comes first in the table, a
    # section covering the same addresses with other bytes after it; the
    # first one in the table is the one that counts.
    rsrc, _ = build_resources(basic, 0x3000)
    decoy, _ = build_resources([(RT_GROUP_ICON, 7, EN_US, group_icon([]))], 0x3000)
    sections = [Section('.text', 0x1000, b'\xC3' * 16, 0x60000020), Section('.rsrc', 0x3000, rsrc),
                Section('.decoy', 0x3000, decoy)]
    w.good('good-overlapping-sections.dll', basic, Module(False, sections, resource_section=1).build())

    # The bytes of a resource in another section than the directory.
    rsrc, layout = build_resources(basic, 0x3000)
    moved = IMAGES[3]
    rdata_rva = align(0x3000 + len(rsrc), 0x1000)
    rsrc = patch(rsrc, layout.data_entries[(RT_ICON, 3, EN_US)], '<I', rdata_rva + 16)
    extra = Section('.rdata', rdata_rva, b'\xEE' * 16 + moved)
    sections = [Section('.text', 0x1000, b'\xC3' * 16, 0x60000020), Section('.rsrc', 0x3000, bytes(rsrc)),
                extra]
    w.good('good-data-elsewhere.dll', basic, Module(False, sections, resource_section=1).build())

    # The directory inside the headers, at an address below SizeOfHeaders,
    # which the loader reads as a file offset; the resources' bytes stay in
    # the section, whose own copy of the directory is emptied.
    res = [(RT_ICON, 1, EN_US, IMAGES[5]), (RT_GROUP_ICON, 'HEAD', EN_US, group_icon([(1, IMAGES[5])]))]
    rsrc, _ = build_resources(res, 0x3000)
    sections = [Section('.text', 0x1000, b'\xC3' * 16, 0x60000020), Section('.rsrc', 0x3000, rsrc)]
    module = Module(False, sections, resource_section=1, header_room=0x400)
    data = module.build()
    room = module.offsets['header_room']
    struct.pack_into('<I', data, module.offsets['directories'] + 16, room)
    struct.pack_into('<HH', data, sections[1].raw_offset + 12, 0, 0)
    # The odd one holds the bytes there too: Wine's kernel32 finds them but,
    # mapping a data file's addresses through its sections only, gives none.
    for name, there in (('good-resources-in-headers.dll', rsrc),
                        ('odd-data-in-headers.dll', build_resources(res, room)[0])):
        w.good(name, res, data[:room] + there + data[room + len(there):])

    # A resource directory whose size says 0, as some real programs': Windows' loader walks it all the same.
    w.good('odd-resource-size-zero.dll', basic, patch(pe32, pe32_module.offsets['directories'] + 20, '<I', 0))
    # Names not sorted as resource compilers store them: enumeration keeps
    # the stored order; the system's binary search misses some of them.
    res = [(RT_ICON, 1, EN_US, IMAGES[1])]
    for name in ('ZULU', 'ALPHA', 'MIKE', 30, 20, 10):
        res.append((RT_GROUP_ICON, name, EN_US, group_icon([(1, IMAGES[1])])))
    data = resource_module(res, sort=False)[0]
    w.good('odd-unsorted.dll', res, data)

    # Names stored in lower case, which no resource compiler writes: the
    # system upper-cases the name it is asked for and compares exactly.
    res = [(RT_ICON, 1, EN_US, IMAGES[1]),
           (RT_GROUP_ICON, 'MixedCase', EN_US, group_icon([(1, IMAGES[1])])),
           (RT_GROUP_ICON, 'lower', EN_US, group_icon([(1, IMAGES[1])]))]
    w.good('odd-lowercase.dll', res, resource_module(res)[0])

    write_malformed(w, pe32, pe32_module, pe32_layout)

    with open(os.path.join(out, 'manifest.txt'), 'w', encoding='utf-8') as f:
        f.write('\n'.join(w.manifest) + '\n')
    pe_modules = len(os.listdir(out)) - 1
    ne_modules = runpy.run_path(os.path.join(os.path.dirname(os.path.abspath(__file__)), 'make-ne-modules.py'))
    print('%d modules and %d NE modules in %s' % (pe_modules, ne_modules['write_into'](out), out))


def write_malformed(w, pe32, module, layout):
    opt = module.offsets['optional']
    lfanew = 0x80
    table = module.offsets['section_table']
    rsrc_header = table + 40 * module.resource_section
    rsrc = module.sections[module.resource_section]
    root = rsrc.raw_offset

    def at(offset):
        return root + offset

    w.write('bad-text.dll', b'This is no module, only a text file named like one.\n')
    # A 16-bit executable: the DOS header leads to an "NE" header.
    w.write('bad-16-bit.exe', patch(patch(b'MZ' + bytes(0x3E) + b'NE' + bytes(0x3E), 0x18, '<H', 0x40),
                                    0x3C, '<I', 0x40))
    w.write('bad-empty.dll', b'')
    w.write('bad-cut-dos-header.dll', pe32[:0x3E])
    w.write('bad-cut-pe-signature.dll', pe32[:lfanew + 2])
    w.write('bad-cut-file-header.dll', pe32[:lfanew + 4 + 10])
    w.write('bad-cut-optional-header.dll', pe32[:opt + 50])
    w.write('bad-cut-data-directories.dll', pe32[:module.offsets['directories'] + 8 * 2 + 4])
    w.write('bad-cut-section-table.dll', pe32[:table + 40 * 2 + 12])
    w.write('bad-lfanew-past-end.dll', patch(pe32, 0x3C, '<I', len(pe32) + 100))
    w.write('bad-lfanew-wraps.dll', patch(pe32, 0x3C, '<I', 0xFFFFFFFC))
    w.write('bad-no-mz.dll', patch(pe32, 0, '<H', 0x4D5A))
    w.write('bad-no-pe-signature.dll', patch(pe32, lfanew, '<I', 0x00004E45))
    w.write('bad-optional-magic.dll', patch(pe32, opt, '<H', 0x107))

    # The file ends inside the resource section, after the data entries but
    # before the bytes of the resources.
    first_data = min(layout.data.values())
    w.write('bad-cut-resource-data.dll', pe32[:at(first_data)])
    # Raw data claimed far past the file's end: the directory still reads.
    w.write('bad-section-raw-past-file.dll', patch(pe32, rsrc_header + 16, '<I', 0x7FFFFFFF))
    w.write('bad-section-pointer-past-file.dll', patch(pe32, rsrc_header + 20, '<I', 0x10000000))
    w.write('bad-resource-rva-unmapped.dll', patch(pe32, module.offsets['directories'] + 16, '<I', 0x900000))

    # Loops and depth: the group type's name table is the root itself; a
    # language entry that points at its own table; a fourth level.
    group_type_entry = layout.entries[(RT_GROUP_ICON,)]
    w.write('bad-loop-to-root.dll', patch(pe32, at(group_type_entry + 4), '<I', 0x80000000))
    lang_entry = layout.entries[(RT_GROUP_ICON, 128, EN_US)]
    lang_table = layout.tables[(RT_GROUP_ICON, 128)]
    w.write('bad-loop-language.dll', patch(pe32, at(lang_entry + 4), '<I', 0x80000000 | lang_table))
    # Fourth level: the language entry of group 2 points to a table (the
    # language table of group 10), whose entry leads to data.
    lang_entry = layout.entries[(RT_GROUP_ICON, 2, EN_US)]
    w.write('bad-deeper-than-three.dll',
            patch(pe32, at(lang_entry + 4), '<I', 0x80000000 | layout.tables[(RT_GROUP_ICON, 10)]))

    # Counts larger than the section.
    w.write('bad-root-count.dll', patch(pe32, at(0) + 14, '<H', 0xFFFF))
    w.write('bad-group-names-count.dll', patch(pe32, at(layout.tables[(RT_GROUP_ICON,)]) + 12, '<H', 0x7FFF))
    # Names whose place or length runs past the section.
    name_entry = layout.entries[(RT_GROUP_ICON, 'MAINICON')]
    w.write('bad-name-offset.dll', patch(pe32, at(name_entry), '<I', 0x80000000 | 0x7FFFFFF0))
    w.write('bad-name-length.dll', patch(pe32, at(layout.strings['MAINICON']), '<H', 0xFFFF))
    # Children past the section.
    w.write('bad-type-table-offset.dll', patch(pe32, at(group_type_entry + 4), '<I', 0x80000000 | 0x7FFFFFF0))
    icon1 = layout.entries[(RT_ICON, 1, EN_US)]
    w.write('bad-data-entry-offset.dll', patch(pe32, at(icon1 + 4), '<I', 0x7FFFFFF0))
    # Data entries: bytes past the file, an address range wrapping 32 bits,
    # an address in no section.
    icon1_data = layout.data_entries[(RT_ICON, 1, EN_US)]
    w.write('bad-data-size.dll', patch(pe32, at(icon1_data) + 4, '<I', 0x00FFFFFF))
    rva = struct.unpack_from('<I', pe32, at(icon1_data))[0]
    w.write('bad-data-wraps.dll', patch(pe32, at(icon1_data) + 4, '<I', 0x100000000 - rva + 0x10))
    w.write('bad-data-unmapped.dll', patch(pe32, at(icon1_data), '<I', 0x00F00000))


if __name__ == '__main__':
    main()
