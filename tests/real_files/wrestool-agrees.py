#!/usr/bin/env python3
"""pictrove extract writes every group icon of shell32.dll with the same
image bytes as wrestool -x -t14 extracts (apart from biSizeImage and the
rebuilt directory).

Usage: wrestool-agrees.py PICTROVE MODULE WRESTOOL_ICONS_DIR
(WRESTOOL_ICONS_DIR holds make-real-files.sh's shell32-*.ico files.)
"""
import glob
import os
import re
import struct
import subprocess
import sys
import tempfile


def image_blocks(path):
    data = open(path, "rb").read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind) == (0, 1), f"{path}: not an icon file"
    blocks = []
    for i in range(count):
        size, offset = struct.unpack_from("<II", data, 6 + 16 * i + 8)
        block = bytearray(data[offset:offset + size])
        if not block.startswith(b"\x89PNG"):
            block[20:24] = b"\0\0\0\0"  # biSizeImage
        blocks.append(bytes(block))
    return blocks


def main():
    pictrove, module, wrestool_dir = sys.argv[1:4]
    expected = {}
    for path in glob.glob(os.path.join(wrestool_dir, "shell32-*.ico")):
        # wrestool names a group MODULE_14_NAME_LANGUAGE.ico
        match = re.search(r"_14_(.+)_\d+\.ico$", path)
        expected[match.group(1)] = path
    with tempfile.TemporaryDirectory() as out:
        subprocess.run([pictrove, "extract", module, "-o", out], check=True,
                       stdout=subprocess.DEVNULL)
        ours = {re.search(r"_Icon_(.+)\.ico$", name).group(1): os.path.join(out, name)
                for name in os.listdir(out)}
        failures = []
        if sorted(ours) != sorted(expected):
            failures.append(f"groups differ: only ours {sorted(set(ours) - set(expected))}, "
                            f"only wrestool's {sorted(set(expected) - set(ours))}")
        for name in sorted(set(ours) & set(expected)):
            if image_blocks(ours[name]) != image_blocks(expected[name]):
                failures.append(f"group {name}: images differ")
    for failure in failures:
        print("FAIL:", failure, file=sys.stderr)
    print(f"{len(expected)} groups compared, {len(failures)} failures")
    return 1 if failures or not expected else 0


if __name__ == "__main__":
    sys.exit(main())
