#!/usr/bin/env bash
# The pictrove command as a user runs it: output, messages, languages and exit
# status; then installed from the build, and as a Debian package.
# Usage: cli-test.sh PICTROVE REAL_FILES_DIR TEST_MODULES_DIR BUILD_DIR
set -uo pipefail

pictrove=${1:?}
real=${2:?}
modules=${3:?}
build=$(cd "${4:?}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
# English unless a row asks for another locale.
unset LANGUAGE LC_ALL LC_MESSAGES
export LANG=C

fail() {
  echo "FAIL $*" >&2
  failures=$((failures + 1))
}

# expect NAME STATUS STDOUT-PATTERN STDERR-PATTERN -- COMMAND...
# An empty pattern is not checked.
expect() {
  local name=$1 status=$2 out=$3 err=$4
  shift 5
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  if [ "$got" -ne "$status" ]; then
    fail "$name: exit $got, expected $status; stderr: $(cat "$work/err")"
  elif [ -n "$out" ] && ! grep -qE -- "$out" "$work/out"; then
    fail "$name: stdout does not match '$out': $(cat "$work/out")"
  elif [ -n "$err" ] && ! grep -qE -- "$err" "$work/err"; then
    fail "$name: stderr does not match '$err': $(cat "$work/err")"
  fi
}

# The image lines info prints, without the line naming the entry.
images() { "$pictrove" info "$@" | tail -n +2 | sed 's/^  //'; }

palette=$real/ico/magick-palette.ico  # one 32 x 32 image of 4 bits
withpng=$real/ico/icotool-png.ico     # a 4-bit image and a PNG
module=$modules/good-pe32.dll         # Icon [10], [11], [128], [2], [MAINICON]
noicons=$modules/good-no-group-icons.dll
cursors=$modules/good-cursors.dll     # Cursor [1] of two cursors, [SHORT] and [MISSING] broken
printf '\0\0\1\0\0\0' >"$work/empty.ico"
printf 'not an icon at all' >"$work/text.ico"

# Usage: status 2, the problem and where to look on stderr. The overview fits
# a screen; each command's help gives its options.
expect help 0 '^usage: pictrove COMMAND' '' -- "$pictrove" --help
[ "$(wc -l <"$work/out")" -le 30 ] || fail "--help is $(wc -l <"$work/out") lines"
expect "help of a command" 0 '^  --size N ' '' -- "$pictrove" help save
expect "help after a command" 0 '^usage: pictrove list' '' -- "$pictrove" list --help
expect version 0 '^pictrove [0-9]+\.[0-9]+' '' -- "$pictrove" --version
expect "no arguments" 2 '' '^usage:' -- "$pictrove"
expect "unknown command" 2 '' 'unknown command "frob"' -- "$pictrove" frob "$palette"
expect "unknown option" 2 '' 'unknown option "--frob"' -- "$pictrove" list --frob "$palette"
grep -qx 'Try "pictrove help list".' "$work/err" || fail "an unknown option points to: $(cat "$work/err")"
expect "option of another command" 2 '' 'list takes no option -q' -- "$pictrove" list -q "$palette"
expect "option without its value" 2 '' 'option --entry needs a value' -- "$pictrove" info "$palette" --entry
expect "option twice" 2 '' 'option -o is given twice' -- "$pictrove" extract "$module" -o "$work/a" -o "$work/b"
expect "save to txt" 2 '' 'TARGET must end in .ico, .bmp or .png' -- "$pictrove" save "$palette" "$work/x.txt"
expect "save without extension" 2 '' '^Try "pictrove help save".$' -- "$pictrove" save "$palette" "$work/x"
expect "image of an ico target" 2 '' '--image takes a TARGET of one image' -- "$pictrove" save "$palette" "$work/x.ico" --image 1
expect "image not a number" 2 '' 'a number from 0, not "-1"' -- "$pictrove" save "$palette" "$work/x.bmp" --image -1
expect "all with entry" 2 '' '--all and --entry' -- "$pictrove" info --all --entry 2 "$module"
expect "extract without -o" 2 '' 'extract takes' -- "$pictrove" extract "$module"
expect "a file named like an option" 1 '' '^-q: cannot read the file \(No such file' -- "$pictrove" list -- -q

# Files that can't be read say so, with the system's reason, before any
# message of the program's about their kind.
expect "list missing" 1 '' '^'"$work"'/missing.dll: cannot read the file \(No such file or directory\)$' -- "$pictrove" list "$work/missing.dll"
expect "list a folder" 1 '' 'cannot read the file \(Is a directory\)$' -- "$pictrove" list "$work"
[ "$(wc -l <"$work/err")" = 1 ] || fail "a folder gave more than one line: $(cat "$work/err")"

# Icon files; every message names its file.
expect "list icon file" 0 "^0.$palette\$" '' -- "$pictrove" list "$palette"
expect "list empty icon" 0 '' "empty.ico: This file holds no icon resources!$" -- "$pictrove" list "$work/empty.ico"
# The kind is the content's: the extension only when too few bytes tell none.
printf '\0\0\1\0' >"$work/header-cut.ico"
printf 'MZ' >"$work/mz.dll"
printf 'MZ' >"$work/mz.ico"
cp "$palette" "$work/icon.dll"
cp "$palette" "$work/icon"
printf '\0\0\2\0\1\0' >"$work/pointer.ico"
printf 'icns\0\0\0\10' >"$work/mac.ico"
printf 'PK\3\4\0\0\0\0' >"$work/zipped.dll"
# Bytes of no kind: the reader the extension names says what is wrong.
printf 'MB\1\0\0\0\0\1\0\0\0\0\0\0' >"$work/swapped.bmp"
cp "$work/text.ico" "$work/text.cur" && cp "$work/text.ico" "$work/text.txt"
for row in "text.ico:Error reading the icon file's header!$" "swapped.bmp:Unknown bitmap file format!$" \
    "text.cur:Error reading the cursor file!$" "text.txt:not a kind of file pictrove reads$" "header-cut.ico:Error reading the icon file's header!$" \
    "mz.dll:Cannot load the file" "mz.ico:Cannot load the file" "icon.dll:" "icon:" \
    "pointer.ico:Error reading the cursor file!$" "mac.ico:.*\(a macOS icon\)$" "zipped.dll:.*\(a ZIP archive\)$"; do
  file=${row%%:*} said=${row#*:}
  if [ -z "$said" ]; then
    expect "by content: $file" 0 '^0.(Icon|.*'"$file"'$)' '' -- "$pictrove" list "$work/$file"
  else
    expect "by content: $file" 1 '' "$file: $said" -- "$pictrove" list "$work/$file"
  fi
done
expect "info palette" 0 '^  0 32x32 4-bit 744 bytes$' '' -- "$pictrove" info "$palette"
expect "info png" 0 '^  1 48x48 32-bit [0-9]+ bytes png$' '' -- "$pictrove" info "$withpng"
# A PNG image's depth is its own, whatever its entry's bit count says (500).
cp "$withpng" "$work/png-depth.ico" && printf '\364\001' | dd of="$work/png-depth.ico" bs=1 seek=28 conv=notrunc 2>/dev/null
expect "info png depth" 0 '^  1 48x48 32-bit [0-9]+ bytes png$' '' -- "$pictrove" info "$work/png-depth.ico"
expect "info by entry" 0 '^  0 32x32 4-bit' '' -- "$pictrove" info "$palette" --entry "$palette"
expect "info unknown entry" 1 '' ': no entry "Icon \[9\]"$' -- "$pictrove" info "$palette" --entry "Icon [9]"

expect "save ico" 0 '' '' -- "$pictrove" save "$palette" "$work/copy.ICO"
expect "save png" 0 '' '' -- "$pictrove" save "$palette" "$work/copy.png"
expect "the png read back" 0 'PNG 32x32 ' '' -- identify "$work/copy.png"
expect "extract as png" 0 '_Icon_[^/]*\.png$' '' -- "$pictrove" extract --png -o "$work/pngs" "$module"
# Every image of every group, the pictures icotool -x gives of the group.
expect "extract every image" 0 '_Icon_MAINICON_1\.png$' '' -- "$pictrove" extract --png --all-images -o "$work/every" "$module"
"$pictrove" save "$module" "$work/every/main.ico" && (cd "$work/every" && icotool -x main.ico) &&
  [ "$(ls "$work/every" | grep -c '_Icon_')" = 8 ] &&
  [ "$(compare -metric AE "$work/every/good-pe32.dll_Icon_MAINICON_1.png" "$work/every/main_2_16x16x8.png" null: 2>&1)" = 0 ] ||
  fail "extract --all-images: $(ls "$work/every")"
expect "all images without png" 2 '' '--all-images goes with --png' -- "$pictrove" extract --all-images -o "$work/every" "$module"
[ "$(images "$palette")" = "$(images "$work/copy.ICO")" ] &&
  [ "$(stat -c %s "$palette")" = "$(stat -c %s "$work/copy.ICO")" ] || fail "save ico: the copy holds other images"
expect "save bmp" 0 '' '' -- "$pictrove" save "$palette" "$work/copy.bmp"
[ "$(stat -c %s "$work/copy.bmp")" = 630 ] || fail "save bmp: not 630 bytes"
expect "save into missing folder" 1 '' 'no/x.ico: Error creating the file! \(No such file or directory\)$' -- "$pictrove" save "$palette" "$work/no/x.ico"
expect "save bmp of empty icon" 1 '' 'This file holds no icon resources!' -- "$pictrove" save "$work/empty.ico" "$work/e.bmp"
expect "save of unreadable icon" 1 '' "header-cut.ico: Error reading the icon file's header!$" -- "$pictrove" save "$work/header-cut.ico" "$work/t.ico"
[ ! -e "$work/t.ico" ] || fail "a file was written for an unreadable icon"
# A PNG image that doesn't decode (cut, too large) is not written; alone, the file has no icon. By
# default the next largest image that decodes is, with a note naming the FILE's image passed over.
cutpng=$build/hostile-files/ico-png-cut-beside-4bit.ico
passed='ico-png-cut-beside-4bit.ico: ".*" image 1 \(256x256\) does not decode within the limits; passed over$'
expect "save png of a cut one" 0 '' "$passed" -- "$pictrove" save "$cutpng" "$work/y.png"
expect "thumbnail of a cut one" 0 '' "$passed" -- "$pictrove" thumbnail "$cutpng" "$work/y-thumbnail.png"
expect "save png of it asked for" 1 '' 'cut-beside-4bit.ico: The icon cannot be converted to PNG!$' -- "$pictrove" save --image 1 "$cutpng" "$work/x.png"
expect "save bmp of it" 1 '' 'x.bmp: The icon image cannot be decoded!$' -- "$pictrove" save --image 1 "$cutpng" "$work/x.bmp"
for command in list info "extract -o $work/none"; do
  expect "$command of a lone PNG too large" 1 '' 'square.ico: The picture is too large' -- "$pictrove" $command "$build/hostile-files/img-png-32768-square.ico"
done
[ ! -e "$work/x.png" ] && [ ! -e "$work/x.bmp" ] && [ -z "$(ls -A "$work/none")" ] || fail "a PNG image that doesn't decode was written"
[ "$(identify -format %wx%h "$work/y.png")" = 16x16 ] || fail "save png of a cut one: not the 16 x 16 image"
# A PNG image whose directory entry counts its bytes short of IEND (as Mozilla's ico-size-*-png.ico
# do) is whole when its image data is: read, and saved with its end put back.
convert -size 6x6 gradient:red-blue PNG32:"$work/six.png"
python3 - "$work/six.png" "$work/short-end.ico" <<'PY'
import struct, sys
png = open(sys.argv[1], 'rb').read()
open(sys.argv[2], 'wb').write(struct.pack('<3H4B2H2I', 0, 1, 1, 6, 6, 0, 0, 1, 32, len(png) - 6, 22) + png)
PY
expect "save png of an image cut inside IEND" 0 '' '' -- "$pictrove" save "$work/short-end.ico" "$work/short-end.png"
[ "$(identify -format %wx%h "$work/short-end.png")" = 6x6 ] || fail "an image cut inside IEND: not saved whole"
# A 32-bit image that ends with its colour rows (as 93 of WinForms' icons do) has the mask its alpha implies.
nomask=$work/no-mask.ico && convert -size 32x32 plasma:fractal -alpha set -channel A -fx '0.1+0.9*i/w' +channel "$work/masked.ico"
head -c 4158 "$work/masked.ico" >"$nomask" && printf '\050\020' | dd of="$nomask" bs=1 seek=14 conv=notrunc 2>/dev/null
expect "info of a 32-bit image without its mask" 0 '^  0 32x32 32-bit 4136 bytes$' '' -- "$pictrove" info "$nomask"
"$pictrove" save "$nomask" "$work/nm.ico" && cmp -s -n 20 "$nomask" "$work/nm.ico" 22 22 && cmp -s "$nomask" "$work/nm.ico" 46 46 &&
  "$pictrove" save "$nomask" "$work/nm.png" && "$pictrove" thumbnail "$nomask" "$work/nm-thumb.png" &&
  [ "$(compare -metric AE "$work/nm.png" "$nomask" null: 2>&1)$(compare -metric AE "$work/nm.png" "$work/nm-thumb.png" null: 2>&1)" = 00 ] ||
  fail "an image without its mask: not saved as it is (biSizeImage apart), or not ImageMagick's pixels"

# Modules: entries in the resource directory's order (Windows' icon index,
# each line's first field), found by their text or their bare name.
expect "list module" 0 '' '' -- "$pictrove" list "$module"
printf '0\tIcon [MAINICON]\n1\tIcon [2]\n2\tIcon [10]\n3\tIcon [11]\n4\tIcon [128]\n' >"$work/expected"
cmp -s "$work/out" "$work/expected" || fail "list module: $(cat "$work/out")"
expect "list module as json" 0 '^\{"version":2,"file":".*good-pe32.dll","entries":\[\{"entry":"Icon \[MAINICON\]","index":0,"name":"MAINICON","languages":\[1033\],"offset":[0-9]+,"bytes":34,"sha256":"[0-9a-f]{64}"\},.*\{"entry":"Icon \[128\]","index":4,"name":128,"languages":\[1033\],.*\}\]\}$' '' -- "$pictrove" list --json "$module"
expect "info module entry" 0 '^  1 16x16 8-bit 1384 bytes$' '' -- "$pictrove" info "$module" --entry "Icon [MAINICON]"
expect "info entry by name" 0 '^  1 16x16 8-bit 1384 bytes$' '' -- "$pictrove" info "$module" --entry=MAINICON
expect "info entry by number" 0 '^  1 16x16 1-bit 176 bytes$' '' -- "$pictrove" info "$module" --entry 2
# Without --entry, the program's icon: the first group of the directory
# (MAINICON), not the first the list shows; --index counts as Windows does.
for row in "MAINICON:" "MAINICON:--index=0" "2:--index=1" "11:--index=-11"; do
  [ "$(images "$module" ${row#*:})" = "$(images "$module" --entry "${row%%:*}")" ] ||
    fail "info ${row#*:} is not Icon [${row%%:*}]"
done
# Of the largest images, the depth nearest 32 bits, the first of those, as
# Windows' best fit takes one (these entries give no depth: the PNGs' own).
convert -size 32x32 xc:blue PNG32:"$work/tie32.png" && convert -size 32x32 xc:red -depth 16 PNG64:"$work/tie64.png"
python3 -c 'import struct,sys; p=[open(f,"rb").read() for f in sys.argv[2:]]; a=[6+16*len(p)]
for b in p: a.append(a[-1]+len(b))
open(sys.argv[1],"wb").write(struct.pack("<3H",0,1,len(p))+b"".join(struct.pack("<4B2H2I",32,32,0,0,0,0,len(b),o) for b,o in zip(p,a))+b"".join(p))' \
  "$work/tie.ico" "$work/tie32.png" "$work/tie64.png" "$work/tie32.png"
"$pictrove" save "$work/tie.ico" "$work/tie.png" && "$pictrove" thumbnail -s 32 "$work/tie.ico" "$work/tie-thumb.png" &&
  cmp -s "$work/tie.png" "$work/tie32.png" && [ "$(compare -metric AE "$work/tie-thumb.png" "$work/tie32.png" null: 2>&1)" = 0 ] ||
  fail "the largest of images alike is not the first 32-bit one"
# --size takes the image of that side.
expect "save by size" 0 '' '' -- "$pictrove" save "$module" "$work/side.png" --entry 10 --size 32
[ "$(identify -format '%wx%h' "$work/side.png")" = 32x32 ] || fail "save --size 32 wrote $(identify "$work/side.png")"
# A size no image has is scaled down from the nearest larger one (64); past the largest it names the sizes.
expect "save scaled down" 0 '' '' -- "$pictrove" save "$module" "$work/side.png" --entry 10 --size 48
[ "$(identify -format '%wx%h' "$work/side.png")" = 48x48 ] || fail "save --size 48 wrote $(identify "$work/side.png")"
expect "no image that large" 1 '' '"Icon \[10\]" has no image of 65 pixels \(its sizes: 32, 64\)$' -- "$pictrove" save "$module" "$work/side.png" --entry 10 --size 65
expect "size of an ico" 2 '' '--size takes a TARGET of one image' -- "$pictrove" save "$module" "$work/side.ico" --size 32
# TARGET - writes to standard output, a PNG unless --format names another.
"$pictrove" save "$module" - >"$work/out.png" && [ "$(identify -format '%m %wx%h' "$work/out.png")" = "PNG 32x32" ] ||
  fail "save to standard output: $(identify "$work/out.png" 2>&1)"
"$pictrove" save "$module" "$work/first.ico" && "$pictrove" save --format ico "$module" - | cmp -s - "$work/first.ico" ||
  fail "save --format ico to standard output differs from the file"
expect "format of a file target" 2 '' '--format goes with the TARGET -' -- "$pictrove" save --format ico "$module" "$work/x.ico"
expect "no index 5" 1 '' 'good-pe32.dll: no icon of index 5$' -- "$pictrove" info "$module" --index 5
expect "no identifier 3" 1 '' 'no icon of index -3$' -- "$pictrove" save "$module" "$work/x.ico" --index -3
expect "index with entry" 2 '' '--index goes with neither' -- "$pictrove" info "$module" --index 0 --entry 2
# FILE,N as Windows writes it is --index N, where no file has the whole name.
[ "$(images "$module,-2")" = "$(images "$module" --index -2)" ] && [ "$(images "$module,3")" = "$(images "$module" --index 3)" ] ||
  fail "FILE,N is not --index N"
expect "FILE,N with --index" 2 '' 'names an icon.s index' -- "$pictrove" info "$module,1" --index 2
expect "index out of range" 2 '' '--index takes a number' -- "$pictrove" save "$module" "$work/x.ico" --index 65536
expect "info all" 0 '' '' -- "$pictrove" info --all "$module"
[ "$(grep -c '^Icon \[' "$work/out")" = 5 ] && [ "$(grep -c '^  [0-9]' "$work/out")" = 8 ] ||
  fail "info --all: $(cat "$work/out")"
expect "info all as json" 0 '"entry":"Icon \[2\]","index":1,"name":2,"languages":\[1033\],"offset":[0-9]+,"bytes":34,"sha256":"[0-9a-f]{64}","images":\[\{"index":0,"width":48,"height":48,"bitsPerPixel":24,"png":false,"offset":[0-9]+,"bytes":7336,"sha256":"[0-9a-f]{64}"\},' '' -- "$pictrove" info --all --json "$module"
python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); assert [len(e["images"]) for e in d["entries"]] == [2,2,2,1,1]' "$work/out" ||
  fail "info --all --json: $(cat "$work/out")"
# Each group's and image's offset and digest are those of the bytes there,
# the digest that of the resource wrestool gives.
python3 - "$work/out" "$module" "$(wrestool -x --raw -t3 -n2 "$module" | sha256sum)" <<'PY' || fail "info --all --json: offsets or digests"
import hashlib, json, sys
document, data = json.load(open(sys.argv[1])), open(sys.argv[2], 'rb').read()
stored = [e for e in document["entries"]] + [i for e in document["entries"] for i in e["images"]]
assert all(hashlib.sha256(data[x["offset"]:x["offset"] + x["bytes"]]).hexdigest() == x["sha256"] for x in stored)
assert sys.argv[3].split()[0] in [i["sha256"] for i in stored]
PY
# A module without icons lists none, with a note; it has no entry to show.
expect "module without group icons" 0 '' 'good-no-group-icons.dll: This file holds no icon resources!$' -- "$pictrove" list "$noicons"
expect "info all of a module without" 0 '^\{"version":2,"file":".*","entries":\[\]\}$' 'This file holds no icon resources!$' -- "$pictrove" info --all --json "$noicons"

# Every command over files that can't be read: status 1, and one message, the
# reader's own, naming the file. A readable file without icons is a note, and
# a failure only for save and thumbnail, which write nothing.
head -c 6 "$palette" >"$work/cut.ico"
head -c 3000 "$real/ani/icotool-frames.ani" >"$work/cut.ani"
head -c 30 "$real/bmp/depth24.bmp" >"$work/cut.bmp"
: >"$work/empty.bmp"
printf 'MZ' >"$work/two.dll"
for file in "$work/text.ico" "$work/cut.ico" "$work/cut.ani" "$work/cut.bmp" "$work/empty.bmp" "$work/two.dll" "$work/missing.dll" \
    "$work/empty.ico" "$noicons"; do
  case $file in */empty.ico | "$noicons") status=0 ;; *) status=1 ;; esac
  for command in list "list --json" info "info --all" "info --json" save extract thumbnail; do
    case $command in
      save) arguments=("$file" "$work/never.ico") want=1 ;;
      thumbnail) arguments=("$file" "$work/never.png") want=1 ;;
      extract) arguments=(-o "$work/never" "$file") want=$status ;;
      *) arguments=("$file") want=$status ;;
    esac
    # shellcheck disable=SC2086
    expect "$command ${file##*/}" "$want" '' "^$file: " -- "$pictrove" $command "${arguments[@]}"
    [ "$(wc -l <"$work/err")" = 1 ] || fail "$command ${file##*/}: more than one line: $(cat "$work/err")"
  done
  [ ! -e "$work/never.ico" ] && [ ! -e "$work/never.png" ] && [ -z "$(ls -A "$work/never" 2>/dev/null)" ] || fail "${file##*/}: a file was written"
done
expect "info --json of a file without icons" 0 '^\{"version":2,"file":".*","entries":\[\]\}$' '' -- "$pictrove" info --json "$noicons"
# Icons moved out of a module that holds none, as Windows 10 keeps them.
mkdir -p "$work/win/System32/en-US" "$work/win/SystemResources"
cp "$noicons" "$work/win/System32/shell32.dll" && cp "$module" "$work/win/SystemResources/shell32.dll.mun"
cp "$noicons" "$work/win/System32/imageres.dll" && cp "$module" "$work/win/System32/en-US/imageres.dll.mui"
cp "$noicons" "$work/win/System32/Shell32.DLL"  # a name's case is none of Windows' concern
for name in shell32.dll:SystemResources/shell32.dll.mun imageres.dll:System32/en-US/imageres.dll.mui Shell32.DLL:SystemResources/shell32.dll.mun; do
  expect "icons moved out of ${name%%:*}" 0 '^0.Icon \[MAINICON\]$' "${name%%:*}: holds no icons of its own; they are in .*${name#*:}\$" -- \
    "$pictrove" list "$work/win/System32/${name%%:*}"
done
# A program with a gigabyte appended (an installer) is read as any other,
# 32-bit or 16-bit.
for big in "$module:big.dll:MAINICON" "$modules/ne-good-shift9.icl:big.icl:MAINICON"; do
  IFS=: read -r from name first <<<"$big"
  cp "$from" "$work/$name" && truncate -s 1200M "$work/$name"
  expect "$name past 1 GiB" 0 "^0.Icon \\[$first\\]\$" '' -- "$pictrove" list "$work/$name"
  rm -f "$work/$name"
done
expect "text named dll" 1 '' 'bad-text.dll: Cannot load the file: it must be a Win32 module' -- "$pictrove" list "$modules/bad-text.dll"
cp "$module" "$work/module.ocx"
expect "module of another extension" 0 '^0.Icon \[MAINICON\]$' '' -- "$pictrove" list "$work/module.ocx"

# A group in three languages: extract writes each, the first under the
# group's name, the others with their ids, each of its language's icon (as
# wrestool reads it, but for the biSizeImage it fills in); --language picks one.
three=$modules/good-three-languages.dll
expect "extract every language" 0 '' '' -- "$pictrove" extract "$three" -o "$work/three"
[ "$(ls "$work/three" | tr '\n' ' ')" = "good-three-languages.dll_Icon_7.ico good-three-languages.dll_Icon_7_1033.ico good-three-languages.dll_Icon_7_1041.ico good-three-languages.dll_Icon_ONE.ico " ] || fail "extract of languages wrote: $(ls "$work/three")"
for language in 1031:7 1033:7_1033 1041:7_1041; do
  wrestool -x --raw -t3 -n7 -L"${language%%:*}" "$three" >"$work/raw.bin"
  [ "$(cmp -l -i 22:0 "$work/three/good-three-languages.dll_Icon_${language#*:}.ico" "$work/raw.bin" 2>&1 | awk '$1 < 21 || $1 > 24' | wc -l)" = 0 ] || fail "language ${language%%:*}: not its icon"
done
expect "extract one language" 0 '_Icon_7.ico$' '' -- "$pictrove" extract --language 0x411 "$three" -o "$work/japanese"
[ "$(ls "$work/japanese")" = good-three-languages.dll_Icon_7.ico ] && cmp -s "$work/japanese/"* "$work/three/good-three-languages.dll_Icon_7_1041.ico" || fail "extract --language 0x411 wrote: $(ls "$work/japanese")"
expect "info of a language" 0 '^  0 32x32 8-bit' '' -- "$pictrove" info --language 1033 --entry 7 "$three"
expect "no such language" 1 '' '"Icon \[ONE\]" has no language 1041$' -- "$pictrove" save --language 1041 --entry ONE "$three" "$work/x.ico"
expect "languages as json" 0 '"name":7,"languages":\[1031,1033,1041\],' '' -- "$pictrove" list --json "$three"
expect "language not a number" 2 '' '--language takes a language id' -- "$pictrove" info --language 1x "$three"
# A module whose resources are gone from its file (another program shortened it).
for arguments in "save FILE $work/x.ico" "extract -o $work/cut FILE"; do
  expect "${arguments%% *} of a shortened module" 1 '' 'bad-cut-resource-data.dll: cannot read the file \(it changed' -- "$pictrove" ${arguments/FILE/$modules/bad-cut-resource-data.dll}
done
expect "standard output on a full disk" 1 '' '^-: the file was not written \(No space left on device\)$' -- sh -c '"$0" save "$1" - >/dev/full' "$pictrove" "$module"
# Lines that never arrive fail as a save to - does: a full disk, a closed output.
for command in list "list --json" info "info --all" "info --json" "extract -o $work/full" --version; do
  expect "$command on a full disk" 1 '' '^-: the file was not written \(No space left on device\)$' -- sh -c '"$0" $2 "$1" >/dev/full' "$pictrove" "$module" "$command"
  expect "$command to a closed output" 1 '' '^-: the file was not written \(Bad file descriptor\)$' -- sh -c '"$0" $2 "$1" >&-' "$pictrove" "$module" "$command"
done
# A device or a named pipe is written as a stream, as standard output is.
expect "save to /dev/null" 0 '' '' -- "$pictrove" save "$module" /dev/null
expect "thumbnail to /dev/full" 1 '' '^/dev/full: the file was not written \(No space left on device\)$' -- "$pictrove" thumbnail "$module" /dev/full

# Saving an entry reads that entry's group: each of two entries its own images.
expect "save entry MAINICON" 0 '' '' -- "$pictrove" save "$module" "$work/main.ico" --entry "Icon [MAINICON]"
expect "save entry 2" 0 '' '' -- "$pictrove" save "$module" "$work/two.ico" --entry 2
[ "$(images "$work/main.ico")" = "$(images "$module" --entry "Icon [MAINICON]")" ] &&
  [ "$(images "$work/two.ico")" = "$(images "$module" --entry "Icon [2]")" ] &&
  ! cmp -s "$work/main.ico" "$work/two.ico" || fail "save entry: the files do not hold their entries' images"
# --image picks the image a .bmp holds: MAINICON is a 32 x 32 and a 16 x 16.
for row in "0 32x32" "1 16x16"; do
  set -- $row
  expect "save image $1 as bmp" 0 '' '' -- "$pictrove" save "$module" "$work/image$1.bmp" --entry MAINICON --image "$1"
  [ "$(identify -format '%wx%h' "$work/image$1.bmp" 2>/dev/null)" = "$2" ] || fail "save --image $1: not a $2 bitmap"
done
expect "save image past the last" 1 '' 'good-pe32.dll: "Icon \[MAINICON\]" has no image 2$' -- "$pictrove" save "$module" "$work/image2.bmp" --entry MAINICON --image 2
[ ! -e "$work/image2.bmp" ] || fail "a bitmap was written for an image the group lacks"

# A group of no images saves as the bare header; it has no first image.
expect "save empty group" 0 '' '' -- "$pictrove" save "$modules/good-empty-group.dll" "$work/none.ico" --entry "Icon [1]"
[ "$(od -An -tx1 "$work/none.ico" | tr -d ' \n')" = 000001000000 ] || fail "save empty group: $(od -An -tx1 "$work/none.ico")"
expect "save empty group as bmp" 1 '' 'good-empty-group.dll: No icon resource to save!' -- "$pictrove" save "$modules/good-empty-group.dll" "$work/none.bmp" --entry "Icon [1]"
expect "group naming a missing icon" 1 '' 'No icon resource to save!' -- "$pictrove" save "$modules/good-missing-icon.dll" "$work/missing.ico"
# A group that lacks one of its images: the others are written, the missing
# one named, and the status is a failure.
expect "group missing one image" 1 '' '"Icon \[2\]" names icon 98, which the file does not hold$' -- "$pictrove" save "$modules/good-missing-icon.dll" "$work/half.ico" --entry 2
[ "$(images "$work/half.ico" | wc -l)" = 1 ] || fail "the group missing one image was not saved with the other"
[ ! -e "$work/none.bmp" ] && [ ! -e "$work/missing.ico" ] || fail "a file was written for a group without images"

# A 16-bit (NE) icon library: listed, described, saved and extracted as a
# 32-bit module is; one without group icons says what such a 32-bit one says.
library=$modules/ne-good-shift9.icl
# What a terminal would act on is shown escaped: a name's byte that is no
# UTF-8, an escape sequence in a path.
expect "list a name of no UTF-8" 0 '^[0-9].Icon \[\\xc9CLAIR\]$' '' -- "$pictrove" list "$modules/ne-good-names.icl"
expect "a path with escapes" 1 '' '/a\\e\]0;x\\x07b\.dll: cannot read' -- "$pictrove" list "$work/a$(printf '\033]0;x\007')b.dll"
expect "list NE library" 0 '' '' -- "$pictrove" list "$library"
printf '0\tIcon [MAINICON]\n1\tIcon [12]\n2\tIcon [2]\n3\tIcon [10]\n4\tIcon [FOLDER]\n' >"$work/expected"
cmp -s "$work/out" "$work/expected" || { echo "FAIL list NE library: $(cat "$work/out")" >&2; failures=$((failures + 1)); }
# Resources are padded to 512 bytes; each image is as long as its entry says.
expect "info NE entry" 0 '^  1 32x32 4-bit 744 bytes$' '' -- "$pictrove" info "$library" --entry "Icon [10]"
expect "info NE PNG image" 0 '^  0 64x64 32-bit [0-9]+ bytes png$' '' -- "$pictrove" info "$library" --entry "Icon [10]"
expect "save NE entry" 0 '' '' -- "$pictrove" save "$library" "$work/folder.ico" --entry "Icon [FOLDER]"
# One 24 x 24 image of 16 bits: 40 + 24 * 48 + 24 * 4 bytes behind the directory.
[ "$(images "$work/folder.ico")" = "0 24x24 16-bit 1288 bytes" ] && [ "$(stat -c %s "$work/folder.ico")" = 1310 ] ||
  { echo "FAIL save NE entry: $("$pictrove" info "$work/folder.ico" 2>&1)" >&2; failures=$((failures + 1)); }
expect "save NE entry as bmp" 0 '' '' -- "$pictrove" save "$library" "$work/main-ne.bmp" --entry "Icon [MAINICON]"
[ "$(identify -format '%wx%h' "$work/main-ne.bmp" 2>/dev/null)" = 32x32 ] ||
  { echo "FAIL save NE entry as bmp: not a 32x32 bitmap" >&2; failures=$((failures + 1)); }
mkdir "$work/ne"
expect "extract NE library" 0 '' '' -- "$pictrove" extract "$library" "$modules/ne-good.exe" -o "$work/ne"
[ "$(ls "$work/ne" | wc -l)" = 10 ] || { echo "FAIL extract NE: $(ls "$work/ne")" >&2; failures=$((failures + 1)); }
expect "NE font" 0 '' 'ne-good-font.fon: This file holds no icon resources!$' -- "$pictrove" list "$modules/ne-good-font.fon"
expect "NE headers cut" 1 '' 'ne-bad-cut-header.exe: Cannot load the file: it must be a Win32 module' -- "$pictrove" list "$modules/ne-bad-cut-header.exe"

# A bitmap becomes the starting group's one image: 32 x 32 at 32 bits.
bitmap=$real/bmp/depth8.bmp
expect "list bitmap" 0 "^0.$bitmap\$" '' -- "$pictrove" list "$bitmap"
expect "info bitmap" 0 '^  0 32x32 32-bit 4264 bytes$' '' -- "$pictrove" info "$bitmap"
expect "save bitmap as ico" 0 '' '' -- "$pictrove" save "$bitmap" "$work/bitmap.ico"
[ "$(identify -format '%wx%h ' "$work/bitmap.ico" 2>/dev/null)" = "32x32 " ] || fail "save bitmap as ico: $(identify "$work/bitmap.ico" 2>&1)"
printf 'BM\1\0\0\0\0\1\0\0\0\0\0\0' >"$work/not.bmp"
expect "unreadable bitmap" 1 '' 'not.bmp: Unknown bitmap file format!$' -- "$pictrove" list "$work/not.bmp"

# thumbnail: the program's icon, from its image nearest at or above SIZE,
# scaled down to fit it with alpha, never enlarged.
while read -r file options want; do
  expect "thumbnail $options ${file##*/}" 0 '' '' -- "$pictrove" thumbnail $options "$file" "$work/thumb.png"
  [ "$(identify -format '%wx%h %[channels]' "$work/thumb.png")" = "$want srgba" ] || fail "thumbnail $options ${file##*/}: not $want"
done <<EOF
$withpng -- 48x48
$withpng --size=20 20x20
$module -- 32x32
$module --size=24 24x24
$library --entry=10 64x64
$modules/odd-data-in-headers.dll -- 16x16
EOF
# Resources whose bytes lie in the module's headers, as wrestool reads them.
expect "info of data in the headers" 0 '^  0 16x16 1-bit 176 bytes$' '' -- "$pictrove" info "$modules/odd-data-in-headers.dll"
expect "extract of data in the headers" 0 '_Icon_HEAD.ico$' '' -- "$pictrove" extract -o "$work/head" "$modules/odd-data-in-headers.dll"
# PNG images read as ImageMagick reads them: its own of each colour type
# (with a mix of every row filter), interlaced and of 16 bits.
while read -r format options; do
  convert -seed 7 -size 61x47 plasma:fractal \( -size 61x47 gradient:white-gray20 \) -alpha off -compose copy_opacity \
    -composite $options "$format:$work/source.png" && icotool -c -r "$work/source.png" -o "$work/source.ico"
  expect "thumbnail of a $format $options image" 0 '' '' -- "$pictrove" thumbnail "$work/source.ico" "$work/thumb.png"
  differ=$(compare -metric AE "$work/source.png" "$work/thumb.png" null: 2>&1)
  [ "$differ" = 0 ] || fail "thumbnail of a $format $options image: $differ pixels differ from ImageMagick's"
done <<EOF
PNG32
PNG24
PNG8
PNG32 -interlace PNG
EOF
# OUT.png - is standard output, as save's TARGET is.
(cd "$work" && "$pictrove" thumbnail "$module" - >"$work/thumb-out.png") && [ ! -e "$work/-" ] &&
  [ "$(identify -format '%m %wx%h' "$work/thumb-out.png")" = "PNG 32x32" ] || fail "thumbnail to standard output"
for size in 0 1025 x; do
  expect "thumbnail -s $size" 2 '' "^pictrove: --size takes a number from 1 to 1024, not \"$size\"" -- "$pictrove" thumbnail -s $size "$palette" "$work/x.png"
done

# create: a picture of a size asked for is that image pixel for pixel, as icotool, ImageMagick and
# Pillow read it back; the largest first; 256 PNG-compressed, the rest bitmaps.
convert -seed 3 -size 64x64 plasma:fractal \( -size 64x64 radial-gradient:white-black \) -alpha off \
  -compose copy_opacity -composite PNG32:"$work/p64.png"
for side in 16 32 256 1024; do convert "$work/p64.png" -resize "${side}x${side}!" PNG32:"$work/p$side.png"; done
convert "$work/p32.png" -define bmp:format=bmp4 "BMP:$work/p32.bmp"
expect "create of several" 0 '' '' -- "$pictrove" create "$work/made.ico" "$work/p16.png" "$work/p256.png" "$work/p32.bmp" "$work/p64.png"
mkdir "$work/made" && icotool -x -o "$work/made" "$work/made.ico" &&
  [ "$(icotool -l "$work/made.ico" | sed 's/.*--width=\([0-9]*\).*/\1/' | tr '\n' ' ')" = "256 64 32 16 " ] &&
  [ "$("$pictrove" info "$work/made.ico" | grep -c png)" = 1 ] || fail "create of several: $(icotool -l "$work/made.ico")"
for side in 16 32 64 256; do
  [ "$(compare -metric AE "$work/p$side.png" "$work/made/made_"*"_${side}x${side}x32.png" null: 2>&1)" = 0 ] || fail "create: the $side image differs"
done
/usr/bin/python3 -c 'import sys; from PIL import Image; i=Image.open(sys.argv[1]); assert sorted(i.info["sizes"])==[(16,16),(32,32),(64,64),(256,256)]
for s in (16,64,256): i.size=(s,s); i.load(); assert i.convert("RGBA").tobytes()==Image.open(sys.argv[2]%s).convert("RGBA").tobytes(), s' \
  "$work/made.ico" "$work/p%d.png" || fail "create: Pillow reads other pixels"
expect "create of one large picture" 0 '' '' -- "$pictrove" create "$work/big.ico" "$work/p1024.png"
[ "$(identify -format '%w ' "$work/big.ico")" = "256 64 48 40 32 24 20 16 " ] || fail "create of one: $(identify "$work/big.ico")"
expect "lint of what create made" 0 '' '' -- "$pictrove" lint "$work/big.ico"
[ ! -s "$work/out" ] && [ ! -s "$work/err" ] || fail "lint of what create made: $(cat "$work/out" "$work/err")"
expect "create a cursor" 0 '' '' -- "$pictrove" create --hotspot 8,4 --sizes 32,64 "$work/made.cur" "$work/p64.png"
[ "$(icotool -l "$work/made.cur" | sed 's/.*--hotspot-x=\([0-9]*\) --hotspot-y=\([0-9]*\)/\1,\2/' | tr '\n' ' ')" = "8,4 4,2 " ] ||
  fail "create a cursor: $(icotool -l "$work/made.cur")"
expect "create above every picture" 1 '' 'no picture is as large as 48 pixels' -- "$pictrove" create --sizes 48 "$work/unmade.ico" "$work/p32.png"
expect "create of a bad picture" 1 '' 'ico-png-cut-beside-4bit.ico: the picture cannot be decoded$' -- "$pictrove" create "$work/unmade.ico" "$work/p32.png" "$cutpng"
[ ! -e "$work/unmade.ico" ] || fail "create wrote a file for a bad picture"
expect "create to a txt" 2 '' 'OUT must end in .ico or .cur' -- "$pictrove" create "$work/x.txt" "$work/p32.png"
# lint: what Windows would scale, guess or not show.
"$pictrove" create --sizes 32 "$work/only32.ico" "$work/p32.png" && printf '\10' | dd of="$work/only32.ico" bs=1 seek=12 conv=notrunc 2>/dev/null
expect "lint of a 32-only icon" 0 'Icon: warning: no image of the sizes Windows asks for: 16, 20, 24, 40, 48, 64, 256$' '' -- "$pictrove" lint "$work/only32.ico"
grep -q 'image 0 (32x32): warning: the directory says 8-bit, the bitmap is 32-bit$' "$work/out" || fail "lint: the 8-bit entry $(cat "$work/out")"
"$pictrove" create --bmp --sizes 256 "$work/bmp256.ico" "$work/p256.png"
expect "lint of a 256 bitmap" 1 'image 0 \(256x256\): error: stored as a bitmap: .*PNG-compressed$' '' -- "$pictrove" lint "$work/bmp256.ico"
expect "lint --json" 1 '"severity":"error","kind":"large-bitmap"' '' -- "$pictrove" lint --json "$work/bmp256.ico"
shell32=/usr/lib/i386-linux-gnu/wine/i386-windows/shell32.dll
expect "lint of shell32's icon" 0 '^'"$shell32"': Icon \[IDI_SHELL_OPTIONS\]: warning: no image of the sizes' '' -- "$pictrove" lint "$shell32"

# Group cursors: in the resource directory's order; a .cur with each cursor's hot spot,
# that icotool reads.
expect "list cursors" 0 '' '' -- "$pictrove" list --cursors "$cursors"
printf '0\tCursor [MISSING]\n1\tCursor [SHORT]\n2\tCursor [1]\n' >"$work/expected"
cmp -s "$work/out" "$work/expected" || fail "list --cursors: $(cat "$work/out")"
expect "list cursors of a module without" 0 '' 'good-pe32.dll: This file holds no cursor resources!$' -- "$pictrove" list --cursors "$module"
expect "extract cursors" 1 '^.*/good-cursors.dll_Cursor_1.cur$' 'good-cursors.dll: "Cursor \[SHORT\]" was not written$' -- "$pictrove" extract --cursors "$cursors" -o "$work/cursors"
[ "$(ls "$work/cursors")" = good-cursors.dll_Cursor_1.cur ] || fail "extract --cursors wrote: $(ls "$work/cursors")"
expect "extract cursors as png" 1 '_Cursor_1.png$' 'SHORT\]" was not written$' -- "$pictrove" extract --cursors --png "$cursors" -o "$work/cursor-pngs"
expect "extract cursors' images" 1 '_Cursor_1_1.png$' 'SHORT\]" was not written$' -- "$pictrove" extract --cursors --png --all-images "$cursors" -o "$work/cursor-pngs"
[ "$(icotool -l "$work/cursors/good-cursors.dll_Cursor_1.cur" |
  sed -E 's/^--cursor .*--width=([0-9]+) --height=([0-9]+) .*--hotspot-x=([0-9]+) --hotspot-y=([0-9]+)$/\1x\2@\3,\4/' |
  tr '\n' ' ')" = "32x32@3,5 16x16@7,9 " ] ||
  fail "icotool reads the cursor as: $(icotool -l "$work/cursors/good-cursors.dll_Cursor_1.cur" 2>&1)"
# One cursor group: its images with their hot spots, and saved as extract
# writes it.
expect "info cursor" 0 '^1 16x16 [0-9]+-bit [0-9]+ bytes hot spot 7,9$' '' -- "$pictrove" info --cursors "$cursors" --index -1
expect "info cursor as json" 0 '^\{"version":2,.*"entry":"Cursor \[1\]".*"hotSpot":\{"x":3,"y":5\}\},' '' -- "$pictrove" info --cursors --json "$cursors" --entry 1
expect "save cursor" 0 '' '' -- "$pictrove" save --entry "Cursor [1]" "$cursors" "$work/one.cur"
cmp -s "$work/one.cur" "$work/cursors/good-cursors.dll_Cursor_1.cur" || fail "save of a cursor differs from extract's"
# A .cur file, whatever its name, is one entry, its cursor saved and extracted
# with every hot spot.
cp "$work/one.cur" "$work/one.dat"
expect "list a cursor file" 0 "^0.$work/one.dat\$" '' -- "$pictrove" list "$work/one.dat"
expect "info a cursor file" 0 '^1 16x16 [0-9]+-bit [0-9]+ bytes hot spot 7,9$' '' -- "$pictrove" info "$work/one.dat"
expect "save a cursor file" 0 '' '' -- "$pictrove" save "$work/one.dat" "$work/again.cur"
expect "extract a cursor file" 0 'one.dat_Cursor.cur$' '' -- "$pictrove" extract "$work/one.dat" -o "$work/cursor-file"
cmp -s "$work/one.cur" "$work/again.cur" && cmp -s "$work/one.cur" "$work/cursor-file/one.dat_Cursor.cur" ||
  fail "a cursor file saved or extracted differs from the file"
# A cursor as an icon: its images' bytes unchanged, without hot spots; one
# image as .png (the largest), .bmp (the first) or as --image and --size say.
expect "cursor file as ico" 0 '' '' -- "$pictrove" save "$work/one.dat" "$work/one.ico"
expect "cursor as ico" 0 '' '' -- "$pictrove" save --cursors --entry 1 "$cursors" "$work/group.ico"
[ "$("$pictrove" info "$work/one.dat" | sed 's/ hot spot.*//')" = "$(images "$work/one.ico")" ] &&
  cmp -s "$work/one.ico" "$work/group.ico" || fail "a cursor as an icon: $("$pictrove" info "$work/one.ico" 2>&1)"
for row in "one.png:32x32:" "one.bmp:32x32:" "one1.bmp:16x16:--image=1" "one16.png:16x16:--size=16"; do
  IFS=: read -r target side option <<<"$row"
  expect "cursor file as $target" 0 '' '' -- "$pictrove" save $option "$work/one.dat" "$work/$target"
  [ "$(identify -format '%wx%h' "$work/$target")" = "$side" ] || fail "cursor file as $target: not $side"
done
expect "broken cursor" 1 '' 'good-cursors.dll: ' -- "$pictrove" info --cursors "$cursors" --entry SHORT
# A .cur whose header says type 1 is a cursor still, as Windows loads it.
cp "$work/one.cur" "$work/type1.cur" && printf '\1' | dd of="$work/type1.cur" bs=1 seek=2 conv=notrunc 2>/dev/null
expect "a .cur of type 1" 0 '^1 16x16 [0-9]+-bit [0-9]+ bytes hot spot 7,9$' '' -- "$pictrove" info --cursors "$work/type1.cur"
# An animated cursor is one entry whose images are its frames in the file's
# order, each a cursor of its own: saved (the first unless --image names
# one) and extracted one by one; gdk-pixbuf shows the first.
ani=$real/ani/icotool-frames.ani
expect "list an animated cursor" 0 "^0.$ani\$" '' -- "$pictrove" list "$ani"
expect "info an animated cursor" 0 '^1 32x32 8-bit [0-9]+ bytes hot spot 30,1$' '' -- "$pictrove" info "$ani"
expect "save an animated cursor" 0 '' '' -- "$pictrove" save "$ani" "$work/frame.cur"
expect "save a frame" 0 '' '' -- "$pictrove" save --image 0 "$ani" "$work/frame0.png"
expect "save a frame past the last" 1 '' 'icotool-frames.ani" has no image 2$' -- "$pictrove" save --image 2 "$ani" "$work/frame2.cur"
expect "extract an animated cursor" 0 'icotool-frames.ani_Cursor_1.cur$' '' -- "$pictrove" extract "$ani" -o "$work/frames"
# A RIFF length counting its own head too (Winamp's skins), every chunk inside the file.
python3 -c 'import sys; d=bytearray(open(sys.argv[1],"rb").read()); d[4:8]=len(d).to_bytes(4,"little"); open(sys.argv[2],"wb").write(d)' "$ani" "$work/long.ani"
expect "a RIFF length past the end" 0 '^1 32x32 8-bit' '' -- "$pictrove" info "$work/long.ani"
gdk-pixbuf-thumbnailer -s 32 "$ani" "$work/gdk.png" && cmp -s "$work/frame.cur" "$work/frames/icotool-frames.ani_Cursor_0.cur" &&
  [ "$(compare -metric AE "$work/gdk.png" "$work/frame0.png" null: 2>&1)" = 0 ] &&
  icotool -l "$work/frames/icotool-frames.ani_Cursor_1.cur" | grep -q -- '--hotspot-x=30 --hotspot-y=1$' ||
  fail "animated cursor frames: $(ls "$work/frames")"
# Frames of several sizes: a .cur of each whole frame; an image named F.I,
# I its place in frame F; a damaged animation names its chunk.
sized=$real/ani/icotool-sizes.ani
expect "info frames of sizes" 0 '^1\.2 32x32 [0-9]+-bit [0-9]+ bytes hot spot 1,2$' '' -- "$pictrove" info "$sized"
expect "extract frames of sizes" 0 '_Cursor_1\.cur$' '' -- "$pictrove" extract "$sized" -o "$work/sized"
expect "extract frames' images" 0 '_Cursor_1\.2\.png$' '' -- "$pictrove" extract --png --all-images "$sized" -o "$work/sized"
expect "save image 1.1 of the frames" 0 '' '' -- "$pictrove" save --image 1.1 "$sized" "$work/sized11.cur"
[ "$(icotool -l "$work/sized/icotool-sizes.ani_Cursor_1.cur" | grep -c -- '--hotspot-x=1 ')" = 3 ] &&
  [ "$(ls "$work/sized" | grep -c '\.png$')" = 6 ] && icotool -l "$work/sized11.cur" | grep -q -- '--width=24 .*--hotspot-x=1 ' ||
  fail "frames of sizes: $(ls "$work/sized")"
expect "save image 1.3 of the frames" 1 '' 'has no image 1\.3$' -- "$pictrove" save --image 1.3 "$sized" "$work/sized13.png"
expect "damaged animation" 1 '' "seq-short.ani: chunk 'seq ' at offset 0x38 is damaged$" -- "$pictrove" info "$build/hostile-files/ani-seq-short.ani"
# A cursor's pictures are an icon's: its thumbnail, and extract --png writes
# what a PNG save writes (a .cur's largest image or each, each frame).
expect "save frame 1" 0 '' '' -- "$pictrove" save --image 1 "$ani" "$work/frame1.png"
for file in "$work/one.dat" "$ani"; do
  expect "thumbnail ${file##*/}" 0 '' '' -- "$pictrove" thumbnail -s 20 "$file" "$work/thumb-${file##*/}.png"
  expect "extract --png ${file##*/}" 0 '_Cursor(_1)?\.png$' '' -- "$pictrove" extract --png -o "$work/cursor-png" "$file"
done
expect "extract --png --all-images of a cursor file" 0 '_Cursor_1\.png$' '' -- "$pictrove" extract --png --all-images -o "$work/cursor-png" "$work/one.dat"
[ "$(identify -format '%wx%h ' "$work/thumb-one.dat.png" "$work/thumb-icotool-frames.ani.png" "$work/cursor-png/one.dat_Cursor_1.png")" = "20x20 20x20 16x16 " ] &&
  cmp -s "$work/one.png" "$work/cursor-png/one.dat_Cursor.png" &&
  cmp -s "$work/frame0.png" "$work/cursor-png/icotool-frames.ani_Cursor_0.png" &&
  cmp -s "$work/frame1.png" "$work/cursor-png/icotool-frames.ani_Cursor_1.png" || fail "a cursor's pictures: $(ls "$work/cursor-png")"

# extract: every group of every file into a folder it makes; a file that
# can't be read is reported and skipped; a file without icons is no failure.
expect "extract" 1 '' "missing.dll: cannot read the file" -- "$pictrove" extract "$module" "$bitmap" "$work/missing.dll" "$palette" -o "$work/made/for/extract"
(cd "$work/made/for/extract" && ls) >"$work/names"
printf '%s\n' depth8.bmp_Icon.ico good-pe32.dll_Icon_10.ico good-pe32.dll_Icon_11.ico \
  good-pe32.dll_Icon_128.ico good-pe32.dll_Icon_2.ico good-pe32.dll_Icon_MAINICON.ico \
  magick-palette.ico_Icon.ico >"$work/expected"
cmp -s "$work/names" "$work/expected" || fail "extract wrote: $(cat "$work/names")"
[ "$(wc -l <"$work/out")" = 7 ] || fail "extract reported: $(cat "$work/out")"
# A name already there, a link above all, is never written through: the
# file takes the next name, with a suffix no image number reads like.
mkdir "$work/planted" && ln -s "$work/victim" "$work/planted/magick-palette.ico_Icon.ico"
expect "extract past a planted link" 0 'magick-palette.ico_Icon~2.ico$' '' -- "$pictrove" extract "$palette" -o "$work/planted"
[ ! -e "$work/victim" ] || fail "extract wrote through a link at its name"
# Run again, --overwrite replaces the earlier files (the link itself, not its
# target) and --skip-existing leaves them: no new names either way.
for run in --overwrite --overwrite --skip-existing; do
  expect "extract $run" 0 '' '' -- "$pictrove" extract $run "$palette" -o "$work/planted"
done
[ ! -s "$work/out" ] && [ ! -e "$work/victim" ] && [ -f "$work/planted/magick-palette.ico_Icon.ico" ] &&
  [ ! -L "$work/planted/magick-palette.ico_Icon.ico" ] && [ "$(ls -A "$work/planted" | wc -l)" = 2 ] &&
  cmp -s "$work/planted/magick-palette.ico_Icon~2.ico" "$work/planted/magick-palette.ico_Icon.ico" || fail "extract --overwrite: $(ls -lA "$work/planted")"
expect "extract with files without icons" 0 '' "^$noicons: This file holds no icon resources!\$" -- "$pictrove" extract "$module" "$noicons" "$work/empty.ico" -o "$work/extracted"
[ "$(wc -l <"$work/out")" = 5 ] && [ "$(wc -l <"$work/err")" = 2 ] || fail "extract: $(cat "$work/out" "$work/err")"
expect "extract as json" 0 '^\{"version":2,"files":\[\{"written":".*/json/good-pe32.dll_Icon_MAINICON.ico","from":".*good-pe32.dll","entry":"Icon \[MAINICON\]","index":0,"language":1033\},.*"index":4,"language":1033\}\]\}$' '' -- "$pictrove" extract --json "$module" "$noicons" -o "$work/json"
expect "extract quietly" 0 '' '' -- "$pictrove" extract -q "$module" "$noicons" -o "$work/extracted"
[ ! -s "$work/out" ] && [ ! -s "$work/err" ] || fail "extract -q said: $(cat "$work/out" "$work/err")"
expect "extract with a file of no kind" 1 '' 'text.txt: not a kind of file pictrove reads$' -- "$pictrove" extract -q "$module" "$work/text.txt" -o "$work/extracted"
touch "$work/plain"
expect "extract into a file" 1 '' "plain/x: cannot create the folder \(Not a directory\)$" -- "$pictrove" extract "$module" -o "$work/plain/x"
# Names that clash in one run get distinct files: two modules of one name,
# and groups "A B", "A_B", "A/B", "A:B".
mkdir -p "$work/one" "$work/two"
cp "$module" "$work/one/x.dll"
cp "$modules/good-ids.dll" "$work/two/x.dll"
expect "extract clashing names" 0 '' '' -- "$pictrove" extract "$work/one/x.dll" "$work/two/x.dll" "$modules/good-clashing-names.dll" -o "$work/clash"
[ "$(sort -u "$work/out" | wc -l)" = 12 ] && [ "$(ls "$work/clash" | wc -l)" = 12 ] &&
  [ -e "$work/clash/x.dll_Icon_2~2.ico" ] && [ -e "$work/clash/good-clashing-names.dll_Icon_A_B~4.ico" ] ||
  fail "clashing names: $(ls "$work/clash")"
[ "$(images "$work/clash/x.dll_Icon_2.ico")" = "$(images "$work/one/x.dll" --entry 2)" ] &&
  [ "$(images "$work/clash/x.dll_Icon_2~2.ico")" = "$(images "$work/two/x.dll" --entry 2)" ] ||
  fail "x.dll_Icon_2.ico and x.dll_Icon_2~2.ico do not hold their modules' groups"

# Paths of any length, through deep folders (made a folder at a time: no one
# call takes 4096 bytes); a longer name is refused with the system's reason.
for length in 300 3000 5000 9000; do
  folder=$work/deep
  while [ $((${#folder} + 210)) -lt "$length" ]; do folder=$folder/$(printf '%0200d' 0); done
  long=$folder/$(printf "%0$((length - ${#folder} - 5))d" 0).ico
  (IFS=/ && cd "$work" && for name in ${folder#"$work"/}; do mkdir -p "$name" && cd "$name" || exit; done &&
    cp "$palette" "${long##*/}" && cp "$module" m.dll) && [ ${#long} = "$length" ] || fail "no path of $length bytes"
  expect "list a path of $length bytes" 0 "^0.$long\$" '' -- "$pictrove" list "$long"
  expect "save to a path of $length bytes" 0 '' '' -- "$pictrove" save "$long" "${long%.ico}.png"
  expect "list a module in a folder of $length bytes" 0 '^0.Icon \[MAINICON\]$' '' -- "$pictrove" list "$folder/m.dll"
  expect "extract into a path of $length bytes" 0 '_Icon.ico$' '' -- "$pictrove" extract "$long" -o "${long%.ico}"
done
# A source name of 245 bytes is cut for its groups' names, which stay whole.
cp "$module" "$work/$(printf '%0241d' 0).dll"
expect "extract a name of 245 bytes" 0 '' '' -- "$pictrove" extract -o "$work/cut-name" "$work/$(printf '%0241d' 0).dll"
[ "$(ls "$work/cut-name" | sed 's/.*_Icon_//' | sort | tr '\n' ' ')" = "10.ico 11.ico 128.ico 2.ico MAINICON.ico " ] || fail "extract of a long name wrote: $(ls "$work/cut-name")"
expect "save to a name too long" 1 '' 'Error creating the file! \(File name too long\)$' -- "$pictrove" save "$palette" "$work/$(printf '%0300d' 0).ico"

# What a file may cost is tied to what it holds: 100 groups that share one
# directory of 65535 entries naming one 8 KB image (a module under 1 MB) are
# listed, described and written only up to budgets of its size; a 4096 x 4096
# PNG image (64 MiB of pixels from a few kilobytes) is not decoded.
python3 "$(dirname "$0")/../module_resources/make-test-modules.py" --shared-directory 100 "$work/shared.dll"
over='Stopped: the output would pass what this file.s size allows!$'
expect "info --all of a shared directory" 1 '' "^$work/shared.dll: $over" -- "$pictrove" info --all --json "$work/shared.dll"
python3 -c 'import json,sys; json.load(open(sys.argv[1]))' "$work/out" || fail "info --all --json stopped short of a whole document"
expect "extract a shared directory" 1 '' "^$work/shared.dll: $over" -- "$pictrove" extract -o "$work/shared" "$work/shared.dll"
expect "save a shared directory" 1 '' "^$work/shared.ico: $over" -- "$pictrove" save "$work/shared.dll" "$work/shared.ico"
# A cursor's images are bounded as an icon's: a .cur of 65535 entries naming one
# image is not written out 65535 times; an animated cursor of 70000 frames is
# no icon file (a directory counts 65535), though each frame is a cursor.
python3 - "$work/shared.cur" "$work/many.ani" <<'PY'
import struct, sys
image = struct.pack('<IiiHHIIiiII', 40, 1, 2, 1, 1, 0, 0, 0, 0, 0, 0) + bytes(8) + bytes(8)
image += bytes(8192 - len(image))
entries = struct.pack('<4B2H2I', 1, 1, 0, 0, 0, 0, len(image), 6 + 16 * 65535) * 65535
open(sys.argv[1], 'wb').write(struct.pack('<3H', 0, 2, 65535) + entries + image)
chunk = lambda id, data: id + struct.pack('<I', len(data)) + data
frame = struct.pack('<3H', 0, 2, 1) + struct.pack('<4B2H2I', 1, 1, 0, 0, 0, 0, 56, 22) + image[:56]
frames = b''.join(chunk(b'icon', frame) for _ in range(70000))
body = b'ACON' + chunk(b'anih', struct.pack('<9I', 36, 70000, 70000, 0, 0, 0, 0, 10, 1)) + chunk(b'LIST', b'fram' + frames)
open(sys.argv[2], 'wb').write(b'RIFF' + struct.pack('<I', len(body)) + body)
PY
expect "save a shared cursor as an icon" 1 '' "^$work/shared.ico: $over" -- "$pictrove" save "$work/shared.cur" "$work/shared.ico"
expect "save 70000 frames as an icon" 1 '' "^$work/many.ico: Too many images" -- "$pictrove" save "$work/many.ani" "$work/many.ico"
expect "save frame 69999" 0 '' '' -- "$pictrove" save --image 69999 "$work/many.ani" "$work/last.cur"
printf '\0\0\2\0\0\0' >"$work/none.cur"
expect "save a cursor file of no image" 1 '' 'none.cur: This file holds no cursor resources!$' -- "$pictrove" save "$work/none.cur" "$work/none2.cur"
python3 - "$work/large.ico" <<'PY'
import struct, sys, zlib
chunk = lambda kind, data: struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
png = (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', 4096, 4096, 8, 6, 0, 0, 0)) +
       chunk(b'IDAT', zlib.compress(bytes(4096 * 16385), 9)) + chunk(b'IEND', b''))
dib = struct.pack('<IiiHHIIiiII', 40, 1, 2, 1, 32, 0, 0, 0, 0, 0, 0) + bytes(8)  # 1 x 1, for the preview
entry = lambda side, size, at: struct.pack('<4B2H2I', side, side, 0, 0, 1, 32, size, at)
open(sys.argv[1], 'wb').write(struct.pack('<3H', 0, 1, 2) + entry(0, len(png), 38) + entry(1, 48, 38 + len(png)) + png + dib)
PY
toolarge='The picture is too large: it would take more memory than is allowed!$'
expect "save a picture past the budget" 1 '' "^$work/large.bmp: $toolarge" -- "$pictrove" save "$work/large.ico" "$work/large.bmp"
expect "thumbnail of a picture past the budget" 0 '' "^$work/large.ico: .* image 0 \\(4096x4096\\) does not decode within the limits; passed over$" -- "$pictrove" thumbnail "$work/large.ico" "$work/large.png"
expect "save png of a picture past the budget asked for" 1 '' "^$work/large.ico: $toolarge" -- "$pictrove" save --image 0 "$work/large.ico" "$work/large-4096.png"
expect "save --size past 1024" 1 '' "^$work/large.bmp: $toolarge" -- "$pictrove" save --size 4096 "$work/large.ico" "$work/large.bmp"

# Languages: Chinese, the window's own texts, where gettext takes glibc's own
# zh_CN catalog for the same environment; English otherwise. A path is
# written as its bytes in either.
if locale -a | grep -qix 'zh_CN.utf8'; then
  while read -r environment; do
    oracle=$(env -i $environment gettext -d libc "No such file or directory")
    if [ "$oracle" = "没有那个文件或目录" ]; then want="无法读取文件 \\($oracle\\)"; else want="cannot read the file"; fi
    expect "language: $environment" 1 '' "missing.dll: $want" -- env -i $environment "$pictrove" list "$work/missing.dll"
  done <<'EOF'
LANG=C
LANG=zh_CN.UTF-8
LC_ALL=zh_CN.UTF-8 LANG=C
LANG=C LC_MESSAGES=zh_CN.UTF-8 LC_CTYPE=zh_CN.UTF-8
LANG=zh_CN.UTF-8 LC_MESSAGES=C
LANG=C LANGUAGE=zh_CN
LANG=C.UTF-8 LANGUAGE=zh_CN
LANG=zh_CN.UTF-8 LANGUAGE=en_GB:zh_CN
LANG=zh_CN.UTF-8 LANGUAGE=C:zh_CN
LANG=zh_CN.UTF-8 LANGUAGE=zh
LANG=zh_CN.UTF-8 LANGUAGE=de
LANG=zh_TW.UTF-8
EOF
  mkdir -p "$work/图标 é"
  cp "$work/header-cut.ico" "$work/图标 é/文件.ico"
  cp "$work/mz.dll" "$work/图标 é/模块.dll"
  expect "chinese: icon reader" 1 '' "^$work/图标 é/文件.ico: 读图标文件头时出错!\$" -- env LANG=zh_CN.UTF-8 "$pictrove" list "$work/图标 é/文件.ico"
  expect "chinese: path in the text" 1 '' "^$work/图标 é/模块.dll: 文件载入错误，必须是WIN32的文件!\$" -- env LANG=zh_CN.UTF-8 "$pictrove" list "$work/图标 é/模块.dll"
  expect "chinese: no icons" 0 '' "good-no-group-icons.dll: 此文件中没有图标资源!\$" -- env LANG=zh_CN.UTF-8 "$pictrove" extract "$noicons" -o "$work/extracted"
  expect "chinese: usage" 2 '' '^pictrove: 未知的选项 "--frob"$' -- env LANG=zh_CN.UTF-8 "$pictrove" list --frob "$palette"
  expect "english: path bytes" 1 '' "^$work/图标 é/模块.dll: Cannot load the file" -- "$pictrove" list "$work/图标 é/模块.dll"
else
  fail "the zh_CN.UTF-8 locale is not generated: run scripts/install-deps.sh"
fi

# Installed into a prefix, as cmake --install puts it, and as a .deb: the
# command runs from there, its manual page renders, its completion completes.
prefix=$work/prefix
if cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  expect "installed command" 0 '^0.Icon \[MAINICON\]$' '' -- "$prefix/bin/pictrove" list "$module"
  zcat "$prefix/share/man/man1/pictrove.1.gz" | groff -man -ww -z 2>"$work/groff" && [ ! -s "$work/groff" ] ||
    fail "manual page: $(cat "$work/groff")"
  grep -qx "Exec=$prefix/bin/pictrove thumbnail -s %s %i %o" "$prefix/share/thumbnailers/pictrove.thumbnailer" ||
    fail "the thumbnailer names: $(grep Exec "$prefix/share/thumbnailers/pictrove.thumbnailer")"
  completions=$(PATH=$prefix/bin:$PATH bash -c '
    source "$1"
    complete_words() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMPREPLY=(); _pictrove; echo "${COMPREPLY[*]}"; }
    complete_words pictrove ex
    complete_words pictrove extract --c
    complete_words pictrove info "$2" --entry M
    complete_words pictrove save --format p
    complete_words pictrove save --format png "$2" --entry M' _ "$prefix/share/bash-completion/completions/pictrove" "$module")
  [ "$completions" = $'extract\n--cursors\nMAINICON\npng\nMAINICON' ] || fail "completion gave: $completions"
else
  fail "cmake --install: $(cat "$work/install.log")"
fi
if (cd "$work" && cpack -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1); then
  dpkg-deb -c "$work"/deb/pictrove_*.deb | awk '{print $NF}' | grep -v '/$' >"$work/deb-files"
  printf '%s\n' ./usr/bin/pictrove ./usr/share/bash-completion/completions/pictrove ./usr/share/doc/pictrove/changelog.gz \
    ./usr/share/doc/pictrove/copyright ./usr/share/man/man1/pictrove.1.gz ./usr/share/thumbnailers/pictrove.thumbnailer >"$work/expected"
  cmp -s "$work/deb-files" "$work/expected" || fail "the .deb holds: $(cat "$work/deb-files")"
  lintian --fail-on error,warning "$work"/deb/pictrove_*.deb >"$work/lintian" 2>&1 || fail "lintian: $(cat "$work/lintian")"
else
  fail "cpack -G DEB: $(cat "$work/cpack.log")"
fi

# A picture's bytes reach a terminal only with --force.
for command in save thumbnail; do
  script -qec "$(printf '%q ' "$pictrove" $command "$module" -)" /dev/null >"$work/tty" 2>&1 &&
    fail "$command to a terminal: $(cat "$work/tty")"
  grep -q 'standard output is a terminal: the PNG file is not written to it' "$work/tty" || fail "$command to a terminal said: $(cat "$work/tty")"
  script -qec "$(printf '%q ' "$pictrove" $command --force "$module" -)" /dev/null | grep -qa PNG || fail "$command --force to a terminal"
done

# Named pipes are no files: refused at once, never waited on.
mkfifo "$work/pipe.ico" "$work/pipe.bmp"
expect "list a pipe named .ico" 1 '' 'pipe.ico: not a regular file$' -- timeout 20 "$pictrove" list "$work/pipe.ico"
expect "list a pipe named .bmp" 1 '' 'pipe.bmp: not a regular file$' -- timeout 20 "$pictrove" list "$work/pipe.bmp"
timeout 20 cat "$work/pipe.ico" >"$work/from-pipe.ico" &
expect "save into a pipe" 0 '' '' -- timeout 20 "$pictrove" save "$palette" "$work/pipe.ico"
wait $! && cmp -s "$work/from-pipe.ico" "$work/copy.ICO" || fail "save into a pipe: not the icon"

# Readers don't keep one another out: twenty at once all read the file (one
# large enough for their reads to overlap).
convert -size 2000x2000 xc:red -type TrueColor "BMP3:$work/large.bmp"
pids=()
for i in $(seq 20); do
  "$pictrove" list "$work/large.bmp" >/dev/null 2>"$work/reader-$i.err" &
  pids+=($!)
done
refused=0
for pid in "${pids[@]}"; do wait "$pid" || refused=$((refused + 1)); done
[ "$refused" = 0 ] || { echo "FAIL twenty readers: $refused refused: $(cat "$work"/reader-*.err | sort | uniq -c)" >&2; failures=$((failures + 1)); }

# A save stopped by a signal while it writes (Ctrl-C, kill) leaves nothing in
# the target's folder; one that ends first leaves the complete file.
python3 - "$work/big.ico" <<'PY'
import struct, sys
count, side = 300, 256
block = struct.pack('<IiiHHIIiiII', 40, side, 2 * side, 1, 32, 0, 0, 0, 0, 0, 0)
block += bytes(range(256)) * (side * side * 4 // 256) + b'\0' * (side * side // 8)
with open(sys.argv[1], 'wb') as f:
    f.write(struct.pack('<HHH', 0, 1, count))
    for i in range(count):
        f.write(struct.pack('<BBBBHHII', 0, 0, 0, 0, 1, 32, len(block), 6 + 16 * count + i * len(block)))
    for i in range(count):
        f.write(block)
PY
# A target rewritten in place (one of two names) has its old content kept
# beside it meanwhile, as private as it is, also where its name is too long
# for ".NAME.pictrove-backup"; of two saves at once, the loser never takes the
# winner's copy for one a cut-off save left.
for name in t.ico "$(printf '%0246d' 0).ico"; do
  folder=$work/in-place-${#name} && mkdir "$folder" && cp "$work/big.ico" "$folder/$name" && chmod 600 "$folder/$name"
  ln "$folder/$name" "$folder/partner"
  "$pictrove" save "$work/big.ico" "$folder/$name" 2>"$work/err" &
  pid=$! mode=
  while [ -z "$mode" ] && kill -0 "$pid" 2>/dev/null; do
    for kept in "$folder"/.*.pictrove-backup; do
      [ -e "$kept" ] && kill -STOP "$pid" && mode=$(stat -c %a "$kept") && kill -CONT "$pid"
    done
  done
  wait "$pid" && [ "$mode" = 600 ] && [ "$(ls -A "$folder" | wc -l)" = 2 ] ||
    fail "in place, a name of ${#name} bytes: copy of mode '$mode'; $(cat "$work/err"; ls -A "$folder")"
done
for round in 1 2 3 4 5 6; do
  "$pictrove" save "$work/big.ico" "$work/in-place-5/t.ico" 2>"$work/race-a.err" &
  "$pictrove" save "$work/big.ico" "$work/in-place-5/t.ico" 2>"$work/race-b.err"
  wait $!
  ! grep -h 'cut off' "$work"/race-*.err || fail "two saves at once, round $round"
done
# A reader of standard output that goes away: status 1 with the reason, and
# nothing left behind.
mkdir "$work/tmp"
TMPDIR=$work/tmp "$pictrove" save --format ico "$work/big.ico" - 2>"$work/err" | head -c 10 >/dev/null
[ "${PIPESTATUS[0]}" = 1 ] && grep -qx -- '-: the file was not written (Broken pipe)' "$work/err" && [ -z "$(ls -A "$work/tmp")" ] ||
  fail "standard output closed early: $(cat "$work/err"; ls -A "$work/tmp")"
for signal in INT TERM; do
  folder=$work/stopped-$signal
  mkdir "$folder"
  set -m  # a job of its own, which takes Ctrl-C as a foreground program does
  "$pictrove" save "$work/big.ico" "$folder/big.ico" &
  pid=$!
  set +m
  until ls -l "/proc/$pid/fd" 2>/dev/null | grep -q "$folder/"; do
    kill -0 "$pid" 2>/dev/null || break
  done
  kill -s "$signal" "$pid" 2>/dev/null
  wait "$pid"
  left=$(ls -A "$folder")
  if [ -n "$left" ] && { [ "$left" != big.ico ] || ! cmp -s "$work/big.ico" "$folder/big.ico"; }; then
    echo "FAIL save stopped by SIG$signal left: $left" >&2
    failures=$((failures + 1))
  fi
done

# set-icon: the program's icon replaced (in place, its permissions kept) or
# another's group, a group added; refusals write nothing.
expect "set-icon one file" 2 '' 'set-icon takes PROGRAM and ICON' -- "$pictrove" set-icon "$module"
expect "set-icon add and entry" 2 '' '--add goes with neither' -- "$pictrove" set-icon --add X --entry 2 "$module" "$palette"
cp "$module" "$work/set.dll" && chmod 640 "$work/set.dll"
expect "set-icon in place" 0 '' '' -- "$pictrove" set-icon "$work/set.dll" "$palette"
expect "set-icon program icon" 0 '^  0 32x32 4-bit 744 bytes$' '' -- "$pictrove" info "$work/set.dll" --entry MAINICON
[ "$(stat -c %a "$work/set.dll")" = 640 ] || fail "set-icon in place lost the permissions"
expect "set-icon other groups kept" 0 '' '' -- "$pictrove" save "$work/set.dll" "$work/set10.ico" --entry 10
"$pictrove" save "$module" "$work/old10.ico" --entry 10 && cmp -s "$work/set10.ico" "$work/old10.ico" || fail "set-icon changed group 10"
# A picture is made into an icon as create makes one: Windows' eight sizes.
expect "set-icon of a picture" 0 '' '' -- "$pictrove" set-icon "$work/set.dll" "$work/p1024.png" -o "$work/pictured.dll"
[ "$(images "$work/pictured.dll" | wc -l)" = 8 ] || fail "set-icon of a picture: $(images "$work/pictured.dll")"
expect "set-icon --add" 0 '' '' -- "$pictrove" set-icon --add NEW "$noicons" "$withpng" -o "$work/added.dll"
expect "set-icon added group" 0 '^[0-9].Icon \[NEW\]$' '' -- "$pictrove" list "$work/added.dll"
expect "set-icon --add taken" 1 '' 'has a group icon "mainicon" already' -- "$pictrove" set-icon --add mainicon "$module" "$palette" -o "$work/no.dll"
expect "set-icon PE32+ index" 0 '' '' -- "$pictrove" set-icon --index 1 "$modules/good-pe32plus.exe" "$palette" -o "$work/plus.exe"
expect "set-icon no such index" 1 '' 'no icon of index 9' -- "$pictrove" set-icon --index 9 "$module" "$palette" -o "$work/no.dll"
expect "set-icon no group" 1 '' 'has no group icon to replace' -- "$pictrove" set-icon "$noicons" "$palette" -o "$work/no.dll"
expect "set-icon not an icon" 1 '' 'text.ico' -- "$pictrove" set-icon "$module" "$work/text.ico" -o "$work/no.dll"
expect "set-icon 16-bit" 1 '' 'a 16-bit Windows program \(NE header\)' -- "$pictrove" set-icon "$library" "$palette" -o "$work/no.dll"
expect "set-icon loop" 1 '' 'damaged: a table is reached twice' -- "$pictrove" set-icon "$modules/bad-loop-to-root.dll" "$palette" -o "$work/no.dll"
expect "set-icon overlapping" 1 '' 'overlaps another section' -- "$pictrove" set-icon "$modules/good-overlapping-sections.dll" "$palette" -o "$work/no.dll"
perl -pe 's/\.text\0\0\0/UPX0\0\0\0\0/' "$module" >"$work/upx.dll"
expect "set-icon packed" 1 '' 'packed with UPX' -- "$pictrove" set-icon "$work/upx.dll" "$palette" -o "$work/no.dll"
# The host's bundle offset and marker, in its code as the .NET host has them.
marker='\x01\0\0\0\0\0\0\0\x8b\x12\x02\xb9\x6a\x61\x20\x38\x72\x7b\x93\x02\x14\xd7\xa0\x32\x13\xf5\xb9\xe6\xef\xae\x33\x18\xee\x3b\x2d\xce\x24\xb3\x6a\xae'
perl -0777 -pe 's/(\xC3{16})\0{40}/$1'"$marker"'/' "$module" >"$work/bundle.exe"
expect "set-icon bundle" 1 '' 'a .NET single-file bundle' -- "$pictrove" set-icon "$work/bundle.exe" "$palette" -o "$work/no.dll"
[ ! -e "$work/no.dll" ] || fail "a refused set-icon wrote its target"

echo "$failures failures"
[ "$failures" -eq 0 ]
