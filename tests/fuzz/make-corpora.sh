#!/usr/bin/env bash
# Makes the seed corpus of every fuzz target from valid and malformed files
# that scripts make: the icon and bitmap files other programs write and the
# NE modules Wine's 16-bit modules carry (tests/data/make-real-files.sh), the
# malformed files and the test modules, PE and NE
# (tests/malformed_files/make-hostile-files.py, which runs the modules
# script), and Wine's bitmap fonts.
# Inputs that once broke a target are kept as hex dumps in
# tests/fuzz/regressions/<target>/*.hex and join its seeds, as do the inputs
# that longer fuzzing runs kept for reaching what no seed reaches
# (tests/fuzz/corpus/<target>.tar.xz).
# Usage: make-corpora.sh OUTDIR
#   OUTDIR/<target>/   one folder of seeds per target, each file named by
#                      the SHA-1 of its bytes
#   OUTDIR/sources/    the files the seeds were cut from
set -euo pipefail

out=${1:?usage: make-corpora.sh OUTDIR}
root=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$out/sources"
bash "$root/tests/data/make-real-files.sh" "$out/sources/real" >/dev/null
/usr/bin/python3 "$root/tests/malformed_files/make-hostile-files.py" "$out/sources/hostile" >/dev/null

/usr/bin/python3 - "$out" "$root/tests/fuzz/regressions" <<'PY'
import glob, hashlib, os, runpy, shutil, struct, sys, tarfile

out = sys.argv[1]
regressions = sys.argv[2]
real = os.path.join(out, 'sources', 'real')
hostile = os.path.join(out, 'sources', 'hostile')
TARGETS = ('icon_file', 'bitmap_file', 'module', 'ne_module', 'reformat', 'icon_decoding', 'animated_cursor',
           'icon_making', 'set_icon')
# Large seeds make every mutation slow; real icons above this add nothing the
# small ones lack.
LARGEST = 64 * 1024

def seed(target, data):
    if len(data) > LARGEST:
        return
    folder = os.path.join(out, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, hashlib.sha1(data).hexdigest()), 'wb') as f:
        f.write(data)

def read(path):
    with open(path, 'rb') as f:
        return f.read()

def image_blocks(icon):
    """The image blocks an icon file's directory points at, where they lie
    inside the file."""
    if len(icon) < 6:
        return
    count = struct.unpack_from('<H', icon, 4)[0]
    for i in range(count):
        at = 6 + 16 * i
        if at + 16 > len(icon):
            return
        size, offset = struct.unpack_from('<II', icon, at + 8)
        if 0 < size and offset + size <= len(icon):
            yield icon[offset:offset + size]

for target in TARGETS:
    shutil.rmtree(os.path.join(out, target), ignore_errors=True)

icons = sorted(glob.glob(os.path.join(real, 'ico', '*.ico')) + glob.glob(os.path.join(hostile, '*.ico')))
bitmaps = sorted(glob.glob(os.path.join(real, 'bmp', '*.bmp')) + glob.glob(os.path.join(hostile, '*.bmp')))
modules = sorted(path for path in glob.glob(os.path.join(hostile, '*.dll')) + glob.glob(os.path.join(hostile, '*.exe'))
                 if not os.path.basename(path).startswith('ne-'))
# 16-bit modules: those of make-ne-modules.py (among the malformed files),
# Wine's bitmap fonts, and the NE modules inside Wine's 16-bit modules.
ne_modules = sorted(glob.glob(os.path.join(hostile, 'ne-*')) + glob.glob('/usr/share/wine/fonts/*.fon') +
                    glob.glob(os.path.join(real, 'ne', '*.ne')))

for path in icons:
    data = read(path)
    seed('icon_file', data)
    for block in image_blocks(data):
        seed('icon_decoding', block)
        # An icon image read as a DIB: twice as tall, its mask rows below.
        seed('reformat', b'\x1f\x00\x1f\x00' + block)
for path in sorted(glob.glob(os.path.join(real, 'ani', '*.ani')) + glob.glob(os.path.join(hostile, '*.ani'))):
    seed('icon_file', read(path))
    seed('animated_cursor', read(path))

# Animated cursors made here: a sound one, and each chunk's malformations.
icon_image = runpy.run_path(os.path.join(os.path.dirname(regressions), '..', 'module_resources',
                                         'make-test-modules.py'))['icon_image']

def chunk(tag, data, length=None, pad=True):
    return tag + struct.pack('<I', len(data) if length is None else length) + data + b'\0' * (pad and len(data) % 2)

def directory(kind, images, hot=(3, 5)):
    out = struct.pack('<3H', 0, kind, len(images))
    at = 6 + 16 * len(images)
    for image in images:
        out += struct.pack('<4B2H2I', 16, 16, 0, 0, hot[0], hot[1], len(image), at)
        at += len(image)
    return out + b''.join(images)

frame = directory(2, [icon_image(16, 16, 4, 1)])
other = directory(2, [icon_image(32, 32, 8, 2), icon_image(16, 16, 1, 3)], (30, 1))

def ani(frames=2, steps=2, flags=3, seq=(1, 0), rate=(10, 20), icons=(frame, other), riff=None, head=b'',
        tail=b'', anih=None, fram=None, icon_length=None):
    header = struct.pack('<9I', 36, frames, steps, 0, 0, 0, 0, 10, flags) if anih is None else anih
    body = b'ACON' + head + chunk(b'anih', header)
    if rate is not None:
        body += chunk(b'rate', struct.pack('<%dI' % len(rate), *rate))
    if seq is not None:
        body += chunk(b'seq ', struct.pack('<%dI' % len(seq), *seq))
    body += chunk(b'LIST', b'fram' + b''.join(chunk(b'icon', i, icon_length) for i in icons)) if fram is None else fram
    body += tail
    return b'RIFF' + struct.pack('<I', len(body) if riff is None else riff) + body

sound = ani()
for data in (sound, ani(riff=len(sound)), ani(riff=1 << 20), ani(riff=3), ani(riff=0xFFFFFFFF),
             sound[:len(sound) // 2], ani(icon_length=1 << 20), ani(tail=chunk(b'LIST', b'fram', 1 << 20)),
             ani(anih=b'\0' * 35), ani(anih=struct.pack('<9I', 36, 2, 2, 0, 0, 0, 0, 10, 3) + b'\0'),
             ani(head=chunk(b'note', b'odd')), ani(head=chunk(b'note', b'odd', pad=False)),
             ani(tail=chunk(b'note', b'odd', pad=False)), ani(icons=(frame + b'\0', other)),
             ani(frames=0), ani(steps=0), ani(frames=0xFFFFFFFF), ani(steps=0x40000000), ani(steps=0xFFFFFFFF),
             ani(seq=(2, 0)), ani(seq=(0xFFFFFFFF, 0)), ani(seq=(1,)), ani(seq=None, flags=1),
             ani(rate=(10,)), ani(rate=(10, 20, 30)), ani(rate=()), ani(frames=3), ani(frames=1),
             ani(flags=2), ani(flags=0), ani(icons=(frame, b'\0' * 40)), ani(icons=(frame, frame[:60])),
             ani(icons=(frame, directory(1, [icon_image(16, 16, 4, 4)]))), ani(icons=(frame, directory(2, []))),
             ani(icons=(frame, sound)), ani(head=chunk(b'RIFF', b'ACON' + sound[12:])),
             ani(fram=chunk(b'LIST', b'fram' + chunk(b'LIST', b'fram' + chunk(b'icon', frame)) + chunk(b'icon', other))),
             ani(tail=chunk(b'LIST', b'fram' + chunk(b'icon', frame) + chunk(b'icon', other))),
             ani(tail=chunk(b'anih', struct.pack('<9I', 36, 2, 2, 0, 0, 0, 0, 10, 3))),
             ani(head=chunk(b'LIST', b'INFO' + chunk(b'INAM', b'name\0')))):
    seed('animated_cursor', data)
for path in bitmaps:
    data = read(path)
    seed('bitmap_file', data)
    # The packed DIB inside: to the same size, larger and smaller.
    for size in (b'\x1f\x00\x1f\x00', b'\x2f\x00\x0f\x00', b'\x00\x00\x00\x00'):
        seed('reformat', size + data[14:])
# Pictures to make icons of: each picture and size list chosen by the first
# bytes, pixels from a real icon's.
for flags, sides in ((0x00, 0xff), (0x11, 0x00), (0x25, 0x10), (0x8a, 0x01), (0x32, 0xa4)):
    seed('icon_making', bytes((flags, sides, 31, 31, 250, 250, 15, 40)) + read(icons[0])[:4096])
for path in modules:
    seed('module', read(path))
    seed('set_icon', read(path))
for path in ne_modules:
    # Wine's carry their PE wrapper's tail behind their resources.
    seed('ne_module', read(path)[:LARGEST])
# A hex dump, "#" lines being comments.
for path in sorted(glob.glob(os.path.join(regressions, '*', '*.hex'))):
    with open(path, encoding='utf-8') as f:
        text = ''.join(line for line in f if not line.startswith('#'))
    seed(os.path.basename(os.path.dirname(path)), bytes.fromhex(''.join(text.split())))
for path in sorted(glob.glob(os.path.join(os.path.dirname(regressions), 'corpus', '*.tar.xz'))):
    with tarfile.open(path) as archive:
        for member in archive:
            if member.isfile():
                seed(os.path.basename(path)[:-len('.tar.xz')], archive.extractfile(member).read())
for target in TARGETS:
    print('%s: %d seeds' % (target, len(os.listdir(os.path.join(out, target)))))
PY
