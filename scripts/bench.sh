#!/usr/bin/env bash
# Benchmarks (figures, not tests): pictrove list and extract against
# wrestool -x -t14 in the same run, on Wine's shell32.dll and on every module
# of Wine's i386-windows folder in one call (time by hyperfine, peak memory by
# GNU time), each with the ratio wrestool / pictrove; then the pixel
# conversion benchmarks (Google Benchmark). The files are written to memory
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

peak() {
  /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -n 1
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
  hyperfine -N --warmup 3 --runs 20 --style basic --export-json "$work/times.json" \
    --prepare "sh -c 'rm -rf $work/ours $work/wrestool && mkdir -p $work/wrestool'" \
    -n "pictrove extract" "$ours" -n "wrestool -x -t14" "$theirs"
  rm -rf "$work/ours" "$work/wrestool" && mkdir -p "$work/wrestool"
  local ourPeak theirPeak
  ourPeak=$(peak $ours)
  theirPeak=$(peak $theirs 2>/dev/null)
  python3 - "$work/times.json" "$ourPeak" "$theirPeak" "$name" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
ours, theirs = results["pictrove extract"], results["wrestool -x -t14"]
print(f"{sys.argv[4]}: pictrove extract {ours['mean'] * 1000:.1f} ms (median {ours['median'] * 1000:.1f}),"
      f" wrestool -x -t14 {theirs['mean'] * 1000:.1f} ms (median {theirs['median'] * 1000:.1f}):"
      f" {theirs['mean'] / ours['mean']:.1f} times faster (medians {theirs['median'] / ours['median']:.1f})")
print(f"{sys.argv[4]}: peak memory, KiB: pictrove extract {sys.argv[2]}, wrestool -x -t14 {sys.argv[3]}:"
      f" {int(sys.argv[3]) / int(sys.argv[2]):.1f} times less")
PY
}

echo "== $(basename "$module"): pictrove list"
hyperfine -N --warmup 3 --runs 30 --style basic -n "pictrove list" "$pictrove list $module"
compare "$(basename "$module")" "$module"
compare "every module of $folder ($(ls "$folder" | wc -l) files)" "$folder"/*

echo "== pixel conversion"
build/native/tests/convert_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
