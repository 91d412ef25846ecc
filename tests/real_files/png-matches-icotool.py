#!/usr/bin/python3
"""The PNG files we write hold the pixels icotool extracts, for every group
icon of every module in a folder (Wine's own modules): the file the window's
Save writes to a .png name (the group's largest image), and each image of
the group written as PNG. Pixels that are fully transparent in both files
compare equal whatever their colour. The largest image is checked against
icotool's listing: most pixels, then most bits per pixel, then the first.

Usage: png-matches-icotool.py WRITE_PNGS MODULES_DIR
(WRITE_PNGS is the test program tests/real_files/write_pngs.cpp.)
"""
import os
import re
import subprocess
import sys
import tempfile

from PIL import Image


def rgba(path):
    with Image.open(path) as image:
        return image.convert("RGBA")


def differences(ours, theirs):
    """The number of pixels that differ, or None when the sizes do."""
    our_image, their_image = rgba(ours), rgba(theirs)
    if our_image.size != their_image.size:
        return None
    if our_image.tobytes() == their_image.tobytes():
        return 0
    return sum(1 for a, b in zip(our_image.getdata(), their_image.getdata())
               if a != b and not (a[3] == 0 and b[3] == 0))


def icotool_listing(ico):
    """(width, height, bit depth) of each image, in order."""
    out = subprocess.run(["icotool", "-l", ico], check=True, capture_output=True, text=True).stdout
    images = []
    for line in out.splitlines():
        fields = dict(re.findall(r"--([a-z-]+)=(\d+)", line))
        images.append((int(fields["width"]), int(fields["height"]), int(fields["bit-depth"])))
    return images


def largest(images):
    best = 0
    for i, (w, h, bits) in enumerate(images):
        bw, bh, bbits = images[best]
        if w * h > bw * bh or (w * h == bw * bh and bits > bbits):
            best = i
    return best + 1


def icotool_images(ico, folder):
    """icotool's PNG of each image, by index from 1."""
    os.makedirs(folder)
    subprocess.run(["icotool", "-x", "-o", folder, ico], check=True, capture_output=True)
    found = {}
    for name in os.listdir(folder):
        match = re.search(r"_(\d+)_\d+x\d+x\d+\.png$", name)
        if match:
            found[int(match.group(1))] = os.path.join(folder, name)
    return found


def main():
    write_pngs, modules_dir = sys.argv[1:3]
    modules = sorted(os.path.join(modules_dir, name) for name in os.listdir(modules_dir))
    failures = []
    groups = images = 0
    with tempfile.TemporaryDirectory() as work:
        ours_dir = os.path.join(work, "ours")
        os.makedirs(ours_dir)
        run = subprocess.run([write_pngs, ours_dir] + modules, capture_output=True, text=True)
        if run.returncode != 0:
            failures.append("write_pngs failed: " + run.stderr[-2000:])
        ours = {}
        for line in run.stdout.splitlines():
            module, name, chosen, count = line.split("\t")
            ours[(module, name)] = (int(chosen), int(count))

        theirs = {}
        for path in modules:
            module = os.path.basename(path)
            icons = os.path.join(work, "wrestool", module)
            os.makedirs(icons)
            subprocess.run(["wrestool", "-x", "-t14", "-o", icons, path], capture_output=True)
            for ico in os.listdir(icons):
                # wrestool names a group MODULE_14_NAME_LANGUAGE.ico
                match = re.search(r"_14_(.+)_\d+\.ico$", ico)
                theirs[(module, match.group(1))] = os.path.join(icons, ico)

        if sorted(ours) != sorted(theirs):
            failures.append(f"groups differ: only ours {sorted(set(ours) - set(theirs))}, "
                            f"only wrestool's {sorted(set(theirs) - set(ours))}")
        for key in sorted(set(ours) & set(theirs)):
            module, name = key
            chosen, count = ours[key]
            ico = theirs[key]
            listing = icotool_listing(ico)
            expected = largest(listing)
            if chosen != expected:
                failures.append(f"{module} {name}: saved image {chosen}, icotool's largest is {expected}")
            extracted = icotool_images(ico, os.path.join(work, "icotool", module, name))
            if count != len(listing) or sorted(extracted) != list(range(1, count + 1)):
                failures.append(f"{module} {name}: {count} images, icotool lists {len(listing)} "
                                f"and extracts {sorted(extracted)}")
                continue
            folder = os.path.join(ours_dir, module)
            compared = [(os.path.join(folder, f"{name}.png"), expected, "the save")]
            compared += [(os.path.join(folder, f"{name}-{i}.png"), i, f"image {i}")
                         for i in range(1, count + 1)]
            for path, index, what in compared:
                if not os.path.exists(path):
                    failures.append(f"{module} {name}: {what} not written")
                    continue
                differ = differences(path, extracted[index])
                if differ is None:
                    failures.append(f"{module} {name}: {what} is not the size of icotool's image {index}")
                elif differ:
                    failures.append(f"{module} {name}: {what}: {differ} pixels differ from icotool's")
            groups += 1
            images += count
    for failure in failures:
        print("FAIL:", failure, file=sys.stderr)
    print(f"{groups} groups of {len({m for m, _ in ours})} modules, {images} images compared with "
          f"icotool, {len(failures)} failures")
    return 1 if failures or not groups else 0


if __name__ == "__main__":
    sys.exit(main())
