#!/usr/bin/env python3
"""pictrove extract writes every group icon of shell32.dll with the same
image bytes as wrestool -x -t14 extracts (apart from biSizeImage and the
rebuilt directory), every group icon of Wine's modules with the entries the
module's group gives and in the order wrestool -l lists them, and pictrove extract --cursors every group cursor of
Wine's modules with the same images and hot spots as wrestool -x -t12. The
width and height of a cursor's entry are checked against its image instead:
wrestool takes them from the group's entry, whose height is doubled (and
counts the hot spot's 4 bytes into the image's size).

Usage: wrestool-agrees.py PICTROVE MODULE WRESTOOL_ICONS_DIR MODULES_DIR
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


def icon_entries(path):
    """(width, height, colours, planes, bit count, bytes) of each entry."""
    data = open(path, "rb").read()
    count = struct.unpack_from("<H", data, 4)[0]
    return [struct.unpack_from("<BBBxHHI", data, 6 + 16 * i) for i in range(count)]


def entry_agrees(ours, groups):
    """A group stores 0 for both sides of an image with one side past 255;
    ours keeps the other side, so that readers don't take it for a square."""
    if groups[:2] == (0, 0) and 0 in ours[:2]:
        return ours[2:] == groups[2:]
    return ours == groups


def compare_icon_entries(pictrove, modules_dir, failures):
    """Every entry of every group icon of Wine's modules describes its image
    as the module's group does: wrestool copies the group's entries."""
    modules = sorted(glob.glob(os.path.join(modules_dir, "*")))
    with tempfile.TemporaryDirectory() as ours_dir, tempfile.TemporaryDirectory() as theirs_dir:
        subprocess.run([pictrove, "extract", "-q", "-o", ours_dir] + modules, check=False,
                       stderr=subprocess.DEVNULL)
        for module in modules:
            subprocess.run(["wrestool", "-x", "-t14", "-o", theirs_dir, module],
                           stderr=subprocess.DEVNULL, check=False)
        compared = 0
        for name in os.listdir(theirs_dir):
            match = re.fullmatch(r"(.+)_14_(.+)_\d+\.ico", name)
            ours = os.path.join(ours_dir, f"{match.group(1)}_Icon_{match.group(2)}.ico")
            if not match or not os.path.exists(ours):
                continue
            compared += 1
            mine, groups = icon_entries(ours), icon_entries(os.path.join(theirs_dir, name))
            if len(mine) != len(groups) or not all(map(entry_agrees, mine, groups)):
                failures.append(f"{name}: entries {icon_entries(ours)}, the group's {icon_entries(os.path.join(theirs_dir, name))}")
        return compared


def compare_order(pictrove, modules_dir, failures):
    """pictrove lists each module's group icons in wrestool -l's order, each
    line's index its place: Windows' icon index."""
    for module in sorted(glob.glob(os.path.join(modules_dir, "*"))):
        listing = subprocess.run(["wrestool", "-l", "-t14", module], capture_output=True, text=True,
                                 errors="replace").stdout
        theirs = list(dict.fromkeys(re.findall(r"--name='?(.*?)'? --language", listing)))
        lines = subprocess.run([pictrove, "list", module], capture_output=True, text=True,
                               errors="replace").stdout.splitlines()
        ours = [f"{i}\tIcon [{name}]" for i, name in enumerate(theirs)]
        if lines != ours:
            failures.append(f"{module}: listed {lines[:5]}..., wrestool {ours[:5]}...")


def cursor_entries(path):
    """(width, height, hot spot x, hot spot y, image) of each entry."""
    data = open(path, "rb").read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind) == (0, 2), f"{path}: not a cursor file"
    entries = []
    for i in range(count):
        width, height, _, _, x, y, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        entries.append((width, height, x, y, data[offset:offset + size]))
    return entries


def image_sides(image):
    if image.startswith(b"\x89PNG"):
        return struct.unpack_from(">II", image, 16)
    width, height = struct.unpack_from("<ii", image, 4)
    return width, height // 2


def compare_cursors(pictrove, modules_dir, failures):
    modules = sorted(glob.glob(os.path.join(modules_dir, "*")))
    with tempfile.TemporaryDirectory() as ours_dir, tempfile.TemporaryDirectory() as theirs_dir:
        subprocess.run([pictrove, "extract", "--cursors", "-q", "-o", ours_dir] + modules, check=True)
        for module in modules:
            subprocess.run(["wrestool", "-x", "-t12", "-o", theirs_dir, module],
                           stderr=subprocess.DEVNULL, check=False)
        theirs = {}
        for name in os.listdir(theirs_dir):
            # wrestool names a group MODULE_12_NAME_LANGUAGE.cur
            match = re.fullmatch(r"(.+)_12_(.+)_\d+\.cur", name)
            theirs[f"{match.group(1)}_Cursor_{match.group(2)}.cur"] = os.path.join(theirs_dir, name)
        ours = sorted(os.listdir(ours_dir))
        if ours != sorted(theirs):
            failures.append(f"cursor groups differ: only ours {sorted(set(ours) - set(theirs))}, "
                            f"only wrestool's {sorted(set(theirs) - set(ours))}")
        for name in sorted(set(ours) & set(theirs)):
            mine = cursor_entries(os.path.join(ours_dir, name))
            other = cursor_entries(theirs[name])
            if len(mine) != len(other):
                failures.append(f"{name}: {len(mine)} images, wrestool's {len(other)}")
                continue
            for i, ((w, h, x, y, image), (_, _, wx, wy, wimage)) in enumerate(zip(mine, other)):
                if (x, y) != (wx, wy):
                    failures.append(f"{name} image {i}: hot spot {(x, y)}, wrestool's {(wx, wy)}")
                if not wimage.startswith(image):
                    failures.append(f"{name} image {i}: image differs from wrestool's")
                sides = tuple(side if side < 256 else 0 for side in image_sides(image))
                if (w, h) != sides:
                    failures.append(f"{name} image {i}: entry says {w}x{h}, the image {sides}")
        return len(ours)


def main():
    pictrove, module, wrestool_dir, modules_dir = sys.argv[1:5]
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
    cursors = compare_cursors(pictrove, modules_dir, failures)
    entries = compare_icon_entries(pictrove, modules_dir, failures)
    compare_order(pictrove, modules_dir, failures)
    for failure in failures:
        print("FAIL:", failure, file=sys.stderr)
    print(f"{len(expected)} icon groups, {cursors} cursor groups and the entries of {entries} icon groups "
          f"compared, {len(failures)} failures")
    return 1 if failures or not expected or not cursors or not entries else 0


if __name__ == "__main__":
    sys.exit(main())
