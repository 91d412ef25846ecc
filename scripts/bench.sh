#!/usr/bin/env bash
# Benchmarks (figures, not tests): listing and extracting every group icon of
# Wine's shell32.dll with pictrove, and wrestool -x -t14 on the same file in
# the same run (time by hyperfine, peak memory by GNU time), then the pixel
# conversion benchmarks (Google Benchmark).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh >/dev/null

module=/usr/lib/i386-linux-gnu/wine/i386-windows/shell32.dll
pictrove=$PWD/build/native/cli/pictrove
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/ours" "$work/wrestool"

echo "== $(basename "$module"): $("$pictrove" list "$module" | wc -l) group icons"
hyperfine --warmup 3 --runs 30 --style basic \
  --prepare "rm -rf $work/ours/* $work/wrestool/*" \
  -n "pictrove list" "$pictrove list $module" \
  -n "pictrove extract" "$pictrove extract $module -o $work/ours" \
  -n "wrestool -x -t14" "wrestool -x -t14 -o $work/wrestool $module"

peak() {
  /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -n 1
}
rm -rf "$work/ours"/* "$work/wrestool"/*
echo "peak memory, KiB: pictrove extract $(peak "$pictrove" extract "$module" -o "$work/ours")," \
     "wrestool -x -t14 $(peak wrestool -x -t14 -o "$work/wrestool" "$module")"

echo "== pixel conversion"
build/native/tests/convert_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
