#!/usr/bin/env python3
"""pictrove reads 16-bit (NE) modules as wrestool does: `pictrove list`
shows the group icons `wrestool -l -t14` lists, and `pictrove save` of each
writes the same image bytes as `wrestool -x -t14` extracts (apart from
biSizeImage and the rebuilt directory). wrestool takes each image as long as
its group entry says, as we do, also where the resource is padded to a
larger alignment.

Usage: wrestool-agrees-ne.py PICTROVE FILE_OR_FOLDER...
(a folder stands for its files whose names start with "ne-good" or
"ne-odd", or end in .ne or .fon)
"""
import codecs
import os
import re
import runpy
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
image_blocks = runpy.run_path(os.path.join(HERE, 'wrestool-agrees.py'))['image_blocks']

# Made modules wrestool can't read: it crashes on an entry claiming more than
# its resource, and gives up on a file that ends inside a resource's padding.
WRESTOOL_CANNOT = {'ne-good-entry-claims-more.icl', 'ne-odd-unpadded-end.icl'}
# The list's entry is formatted into 256 bytes.
ENTRY_ROOM = 248


def files_of(arguments):
    for argument in arguments:
        if not os.path.isdir(argument):
            yield argument
            continue
        for name in sorted(os.listdir(argument)):
            if name in WRESTOOL_CANNOT:
                continue
            if name.startswith(('ne-good', 'ne-odd')) or name.endswith(('.ne', '.fon')):
                yield os.path.join(argument, name)


def wrestool_groups(path):
    """Group-icon names as wrestool lists them: bytes, or ints."""
    listing = subprocess.run(['wrestool', '-l', '-t14', path], capture_output=True, check=True).stdout
    names = []
    for line in listing.splitlines():
        # An empty text name is listed as nothing at all.
        match = re.match(rb"--type=14 --name=(?:'(.*)'|(\d+))? ", line)
        if match:
            names.append(int(match.group(2)) if match.group(2) is not None else match.group(1) or b'')
    return names


def our_groups(pictrove, path):
    run = subprocess.run([pictrove, 'list', path], capture_output=True)
    names = []
    for line in run.stdout.splitlines():
        # Bytes a terminal would act on are shown escaped.
        entry = line.split(b'\t', 1)[1]
        text = codecs.escape_decode(entry[len(b'Icon ['):-1].replace(b'\\e', b'\\x1b'))[0]
        names.append(int(text) if text.isdigit() else text)
    return names


def main():
    pictrove = sys.argv[1]
    failures = []
    files = groups = 0
    with tempfile.TemporaryDirectory() as out:
        for path in files_of(sys.argv[2:]):
            files += 1
            theirs = wrestool_groups(path)
            ours = our_groups(pictrove, path)
            # Text names that are cut in the list, or that read as
            # identifiers, can't be named to either tool alike.
            shown = [n if isinstance(n, int) else n[:ENTRY_ROOM] for n in theirs]
            # In the same order: the table's, Windows' icon index.
            if shown != ours:
                failures.append(f'{path}: wrestool lists {theirs}, we list {ours}')
                continue
            for name in theirs:
                if not isinstance(name, int) and (name.startswith(b'#') or not name or len(name) > ENTRY_ROOM):
                    continue
                label = str(name).encode() if isinstance(name, int) else name
                theirs_ico = os.path.join(out, 'theirs.ico')
                with open(theirs_ico, 'wb') as f:
                    theirs_read = subprocess.run([b'wrestool', b'-x', b'-t14', b'-n', label, os.fsencode(path)],
                                                 stdout=f, stderr=subprocess.DEVNULL).returncode == 0
                theirs_read = theirs_read and os.path.getsize(theirs_ico) > 0
                ours_ico = os.path.join(out, 'ours.ico')
                ours_read = subprocess.run([os.fsencode(pictrove), b'save', os.fsencode(path), os.fsencode(ours_ico),
                                            b'--entry', b'Icon [' + label + b']'],
                                           stderr=subprocess.DEVNULL).returncode == 0
                # A group naming an icon that is not there: neither writes it.
                if not theirs_read and not ours_read:
                    continue
                if theirs_read != ours_read:
                    failures.append(f'{path} group {name}: wrestool {"reads" if theirs_read else "refuses"} it, '
                                    f'we {"read" if ours_read else "refuse"} it')
                elif image_blocks(ours_ico) != image_blocks(theirs_ico):
                    failures.append(f'{path} group {name}: images differ')
                else:
                    groups += 1
    for failure in failures:
        print('FAIL:', failure, file=sys.stderr)
    print(f'{files} NE modules, {groups} groups compared, {len(failures)} failures')
    return 1 if failures or not groups else 0


if __name__ == '__main__':
    sys.exit(main())
