#!/usr/bin/env bash
# Benchmarks (figures, not tests): pictrove thumbnail against icoextract's
# exe-thumbnailer on shell32.dll (with --thumbnail, only that); pictrove list
# and extract against wrestool -x -t14 in the same run, on Wine's shell32.dll
# (and extract against cp -r of the files it writes) and on every module
# of Wine's i386-windows folder in one call (time by hyperfine, peak memory by
# GNU time), each with the ratio wrestool / pictrove; extract --png against
# wrestool followed by icotool -x; listing and extracting 16-bit (NE)
# modules; then the pixel conversion benchmarks (Google Benchmark). The files are written to memory
# (/dev/shm) where there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh >/dev/null

folder=/usr/lib/i386-linux-gnu/wine/i386-windows
module=$folder/shell32.dll
pictrove=$PWD/build/native/cli/pictrove
# The files go to memory (tmpfs) where there is one: on a disk shared with
# other work, creating hundreds of files costs what the disk's journal is busy
# with, and the figures would compare the disk, not the two programs.
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT

# A command that fails on some files (the NE set holds modules made to lack
# an image) is measured all the same.
peak() {
  { /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null || true; } | tail -n 1
}

# report NAME OURS_LABEL THEIRS_LABEL OUR_PEAK THEIR_PEAK: the ratios of the
# hyperfine run in $work/times.json.
report() {
  python3 - "$work/times.json" "$@" <<'PY'
import json, sys
_, times, name, our_label, their_label, our_peak, their_peak = sys.argv
results = {r["command"]: r for r in json.load(open(times))["results"]}
ours, theirs = results[our_label], results[their_label]
print(f"{name}: {our_label} {ours['mean'] * 1000:.1f} ms (median {ours['median'] * 1000:.1f}),"
      f" {their_label} {theirs['mean'] * 1000:.1f} ms (median {theirs['median'] * 1000:.1f}):"
      f" {theirs['mean'] / ours['mean']:.1f} times faster (medians {theirs['median'] / ours['median']:.1f})")
# CPU time too: on a machine shared with other work, waiting for a core
# weighs on the wall-clock figures of the faster side most.
cpu = lambda r: r["user"] + r["system"]
print(f"{name}: CPU (user + system): {our_label} {cpu(ours) * 1000:.2f} ms, {their_label} {cpu(theirs) * 1000:.2f} ms:"
      f" {cpu(theirs) / cpu(ours):.1f} times less")
print(f"{name}: peak memory, KiB: {our_label} {our_peak}, {their_label} {their_peak}:"
      f" {int(their_peak) / int(our_peak):.1f} times less")
PY
}

# compare NAME FILE...: both tools over the files, times and peak memory.
compare() {
  local name=$1
  shift
  local files=("$@")
  local ours="$pictrove extract -q -o $work/ours ${files[*]}"
  local theirs="wrestool -x -t14 -o $work/wrestool ${files[*]}"
  echo "== $name: $("$pictrove" extract -o "$work/count" "${files[@]}" 2>/dev/null | wc -l) group icons"
  rm -rf "$work/count"
  # Without a shell between (-N): its start would weigh on the faster side.
  hyperfine -N -i --warmup 3 --runs 20 --style basic --export-json "$work/times.json" \
    --prepare "sh -c 'rm -rf $work/ours $work/wrestool && mkdir -p $work/wrestool'" \
    -n "pictrove extract" "$ours" -n "wrestool -x -t14" "$theirs"
  rm -rf "$work/ours" "$work/wrestool" && mkdir -p "$work/wrestool"
  local ourPeak theirPeak
  ourPeak=$(peak $ours)
  theirPeak=$(peak $theirs 2>/dev/null)
  report "$name" "pictrove extract" "wrestool -x -t14" "$ourPeak" "$theirPeak"
}

# compare_copy FILE: extract against cp -r copying the very files it writes
# into a fresh folder: what the files cost to write, with nothing to read
# out of a module.
compare_copy() {
  local file=$1
  "$pictrove" extract -q -o "$work/made" "$file"
  local ours="$pictrove extract -q -o $work/ours $file"
  local theirs="cp -r $work/made $work/copy"
  echo "== $(basename "$file"): extract against cp -r of its $(ls "$work/made" | wc -l) files"
  hyperfine -N -i --warmup 3 --runs 30 --style basic --export-json "$work/times.json" \
    --prepare "rm -rf $work/ours $work/copy" -n "pictrove extract" "$ours" -n "cp -r" "$theirs"
  rm -rf "$work/ours" "$work/copy"
  local ourPeak theirPeak
  ourPeak=$(peak $ours)
  theirPeak=$(peak $theirs)
  rm -rf "$work/ours" "$work/copy" "$work/made"
  report "$(basename "$file")" "pictrove extract" "cp -r" "$ourPeak" "$theirPeak"
}

# compare_png NAME FILE...: one PNG per group icon, ours against wrestool
# followed by icotool -x on what wrestool wrote (a shell runs the pair, and
# hyperfine takes a shell's start off both).
compare_png() {
  local name=$1
  shift
  local files=("$@")
  local ours="$pictrove extract --png -q -o $work/ours ${files[*]}"
  local theirs="wrestool -x -t14 -o $work/wrestool ${files[*]} 2>/dev/null; icotool -x -o $work/icotool $work/wrestool/*.ico 2>/dev/null"
  local prepare="rm -rf $work/ours $work/wrestool $work/icotool && mkdir -p $work/wrestool $work/icotool"
  echo "== $name, as PNG"
  hyperfine -i --warmup 2 --runs 10 --style basic --export-json "$work/times.json" --prepare "$prepare" \
    -n "pictrove extract --png" "$ours" -n "wrestool + icotool -x" "$theirs"
  sh -c "$prepare"
  local ourPeak theirPeak
  ourPeak=$(peak $ours)
  # The larger of the two steps' peaks.
  theirPeak=$(peak wrestool -x -t14 -o "$work/wrestool" "${files[@]}" 2>/dev/null)
  local icotoolPeak
  icotoolPeak=$(peak sh -c "icotool -x -o $work/icotool $work/wrestool/*.ico 2>/dev/null")
  [ "$icotoolPeak" -gt "$theirPeak" ] && theirPeak=$icotoolPeak
  report "$name" "pictrove extract --png" "wrestool + icotool -x" "$ourPeak" "$theirPeak"
}

# thumbnail at 128 px against icoextract's freedesktop thumbnailer, installed
# here only (the tests don't need it). Debian's icoextract ships it as a
# module without the exe-thumbnailer command that upstream's setup installs.
dpkg-query -W -f='${Status}' icoextract 2>/dev/null | grep -q 'install ok installed' ||
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends icoextract >/dev/null
if command -v exe-thumbnailer >/dev/null; then
  exeThumbnailer=(exe-thumbnailer)
elif command -v icoextract-thumbnailer >/dev/null; then
  exeThumbnailer=(icoextract-thumbnailer)
else
  exeThumbnailer=(/usr/bin/python3 -c 'from icoextract.scripts.thumbnailer import main; main()')
fi
echo "== $(basename "$module"): thumbnail, 128 px"
# Each into an empty file made before it, as a thumbnail service (tumbler)
# makes the file it names.
hyperfine -N --warmup 3 --runs 60 --style basic --export-json "$work/times.json" \
  --prepare "sh -c ': >$work/ours.png && : >$work/theirs.png'" \
  -n "pictrove thumbnail" "$pictrove thumbnail -s 128 $module $work/ours.png" \
  -n "exe-thumbnailer" "$(printf '%q ' "${exeThumbnailer[@]}")-s 128 $module $work/theirs.png"
report "$(basename "$module")" "pictrove thumbnail" "exe-thumbnailer" \
  "$(peak "$pictrove" thumbnail -s 128 "$module" "$work/ours.png")" \
  "$(peak "${exeThumbnailer[@]}" -s 128 "$module" "$work/theirs.png")"
[ "${1:-}" = --thumbnail ] && exit 0

echo "== $(basename "$module"): pictrove list"
hyperfine -N --warmup 3 --runs 30 --style basic -n "pictrove list" "$pictrove list $module"
compare "$(basename "$module")" "$module"
compare_copy "$module"
compare "every module of $folder ($(ls "$folder" | wc -l) files)" "$folder"/*
compare_png "every module of $folder" "$folder"/*

# 16-bit (NE) modules: the ones our module script writes (icon libraries
# among them) and Wine's bitmap fonts, which hold no icons.
python3 tests/module_resources/make-test-modules.py "$work/modules" >/dev/null
# wrestool dies on a group entry that claims more than its resource holds.
ne=()
for file in "$work"/modules/ne-good-* /usr/share/wine/fonts/*.fon; do
  [[ $file == *claims-more* ]] || ne+=("$file")
done
library=$(ls "$work"/modules/ne-good-*.icl | head -n 1)
echo "== $(basename "$library"): pictrove list"
hyperfine -N --warmup 3 --runs 30 --style basic -n "pictrove list" "$pictrove list $library"
compare "NE modules (${#ne[@]} files)" "${ne[@]}"

# Peak memory of files that name far more than they hold: groups sharing
# one directory of 65535 entries on one image; every budget must keep such a
# file of under a megabyte far below 128 MiB.
python3 tests/module_resources/make-test-modules.py --shared-directory 1000 "$work/shared.dll"
echo "== $(stat -c %s "$work/shared.dll") bytes of 1000 groups sharing one directory: peak KiB"
for run in "info --all" "info --all --json" "extract -q -o $work/shared" "save --entry 1"; do
  target=()
  [ "$run" = "save --entry 1" ] && target=("$work/shared.ico")
  printf '%-28s %s\n' "$run" "$(peak "$pictrove" $run "$work/shared.dll" "${target[@]}")"
done
rm -rf "$work/shared" "$work/shared.ico"

echo "== pixel conversion"
build/native/tests/convert_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
