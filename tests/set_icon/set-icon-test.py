#!/usr/bin/python3
"""set-icon on real programs, read back by others: pefile (no warnings, the
checksum right where there was one), wrestool (the new group is the icon),
osslsigncode (a signature refused, or removed on request) and, given the
Windows build's resource_dump.exe, kernel32 under Wine. Every other resource
must keep its bytes.
Usage: set-icon-test.py PICTROVE WORK_DIR [resource_dump.exe wine-run.sh]"""
import os, shutil, struct, subprocess, sys
import pefile

pictrove, work = sys.argv[1], sys.argv[2]
dump_exe, wine_run = (sys.argv[3], sys.argv[4]) if len(sys.argv) > 4 else (None, None)
wine_dir = '/usr/lib/i386-linux-gnu/wine'
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print('FAIL:', what)


def run(*args):
    return subprocess.run(args, capture_output=True, text=True)


def fnv(data):
    h = 0xcbf29ce484222325
    for b in data:
        h = ((h ^ b) * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
    return h


def name(entry):
    return '#%d' % entry.id if entry.name is None else str(entry.name)


def pefile_dump(path):
    """The lines resource_dump.exe prints, as pefile reads the program."""
    pe = pefile.PE(path)
    data, lines = pe.__data__, set()
    for t in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for n in t.directory.entries:
            for l in n.directory.entries:
                off = pe.get_offset_from_rva(l.data.struct.OffsetToData)
                block = data[off:off + l.data.struct.Size]
                ids = ''.join(' %d' % struct.unpack_from('<H', block, at + 12)
                              for at in range(6, len(block) - 13, 14)) if t.id == 14 else ''
                lines.add('%s %s %d %d %016x%s' % (name(t), name(n), l.id, len(block), fnv(block), ids))
    return lines


def wine_dump(path):
    windows_path = 'Z:' + path.replace('/', '\\')
    out = subprocess.run([wine_run, dump_exe, windows_path], capture_output=True, text=True, check=True).stdout
    return {line.strip() for line in out.splitlines() if line.strip()}


def ico_images(data):
    count = struct.unpack_from('<H', data, 4)[0]
    return [data[o:o + n] for n, o in (struct.unpack_from('<II', data, 6 + 16 * i + 8) for i in range(count))]


def compare(before, after, group, icon_blocks, reader):
    """Every resource but the group and its icons is as it was; the group
    names exactly the icon's images."""
    split = lambda line: line.split(' ')
    old = [split(l) for l in before if l.startswith('#14 %s ' % group)]
    new = [split(l) for l in after if l.startswith('#14 %s ' % group)]
    check(len(new) == 1, '%s: one group %s' % (reader, group))
    icons_after = {s[1]: s for s in map(split, after) if s[0] == '#3'}
    ids = new[0][5:] if new else []
    check([int(icons_after.get('#' + i, [0] * 5)[4], 16) for i in ids] == [fnv(b) for b in icon_blocks],
          '%s: group %s holds the icon\'s images' % (reader, group))
    old_ids = {'#' + i for s in old for i in s[5:]}
    still = {'#' + i for l in before if l.startswith('#14 ') and split(l)[1] != group for i in split(l)[5:]}
    for line in before:
        s = split(line)
        gone = (s[0] == '#14' and s[1] == group) or (s[0] == '#3' and s[1] in old_ids and s[1] not in still)
        check(gone or line in after, '%s: %s kept' % (reader, line))


def set_icon(source, icon, group, *options, tail=None):
    label = os.path.basename(source) + ''.join(options)
    program = os.path.join(work, 'in-' + os.path.basename(source))
    shutil.copyfile(source, program)
    if tail:
        with open(program, 'ab') as f:
            f.write(tail)
    out = os.path.join(work, 'out-' + os.path.basename(source))
    result = run(pictrove, 'set-icon', *options, program, icon, '-o', out)
    check(result.returncode == 0, '%s: set-icon %s' % (label, result.stderr))
    if result.returncode:
        return
    pe_before, pe = pefile.PE(program), pefile.PE(out)
    check(pe.get_warnings() == [], '%s: pefile warns %s' % (label, pe.get_warnings()))
    check(pe_before.OPTIONAL_HEADER.CheckSum == 0 or pe.verify_checksum(), label + ': checksum')
    with open(out, 'rb') as f:
        written = f.read()
    check(not tail or written.endswith(tail), label + ': appended bytes last')
    with open(icon, 'rb') as f:
        blocks = ico_images(f.read())
    compare(pefile_dump(program), pefile_dump(out), group, blocks, label + ' pefile')
    if dump_exe:
        compare(wine_dump(program), wine_dump(out), group, blocks, label + ' kernel32')
    extracted = subprocess.run(['wrestool', '-x', '--type=14', '--name=' + group.lstrip('#'), out],
                               capture_output=True).stdout
    check(extracted[:4] == b'\0\0\1\0' and ico_images(extracted) == blocks, label + ': wrestool gives the icon')


def signed_program(icon):
    program, signed = os.path.join(work, 'unsigned.exe'), os.path.join(work, 'signed.exe')
    shutil.copyfile(os.path.join(wine_dir, 'i386-windows/notepad.exe'), program)
    if os.path.exists(signed):
        os.remove(signed)
    key, cert = os.path.join(work, 'key.pem'), os.path.join(work, 'cert.pem')
    run('openssl', 'req', '-x509', '-newkey', 'rsa:2048', '-nodes', '-keyout', key, '-out', cert, '-days', '2',
        '-subj', '/CN=set-icon test')
    run('osslsigncode', 'sign', '-certs', cert, '-key', key, '-in', program, '-out', signed)
    with open(signed, 'rb') as f:
        before = f.read()
    check(run(pictrove, 'set-icon', signed, icon).returncode == 1, 'signed: refused')
    with open(signed, 'rb') as f:
        check(f.read() == before, 'signed: unchanged')
    check(run(pictrove, 'set-icon', '--strip-signature', signed, icon).returncode == 0, 'signed: stripped')
    verify = run('osslsigncode', 'verify', signed)
    check(verify.returncode != 0 and 'Unable to extract existing signature' in verify.stdout + verify.stderr,
          'signed: osslsigncode finds no signature')


def main():
    os.makedirs(work, exist_ok=True)
    icon = os.path.join(work, 'new.ico')
    run('convert', '-size', '48x48', 'xc:#c03080', '-define', 'icon:auto-resize=48,32,16', icon)
    big = os.path.join(work, 'big.ico')
    run('convert', '-size', '256x256', 'gradient:red-blue', '-define', 'icon:auto-resize=256,32', big)
    i386 = os.path.join(wine_dir, 'i386-windows')
    set_icon(os.path.join(i386, 'notepad.exe'), icon, '#768')
    set_icon(os.path.join(i386, 'shell32.dll'), big, '#1', '--entry', '1')
    set_icon(os.path.join(i386, 'winemine.exe'), big, '#1', tail=os.urandom(300 * 1024))
    set_icon(os.path.join(wine_dir, 'x86_64-windows/zlib1.dll'), icon, 'MAIN', '--add', 'MAIN')
    signed_program(icon)
    print('%d failures' % len(failures))
    return 1 if failures else 0


sys.exit(main())
