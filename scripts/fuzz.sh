#!/usr/bin/env bash
# Runs the libFuzzer targets (tests/fuzz), built with clang under
# AddressSanitizer and UndefinedBehaviorSanitizer, leak detection on.
#
#   fuzz.sh --minutes N [--jobs J] [--only TARGET]
#       fuzzes every target for N minutes, J at a time (default 2), each
#       from its seed corpus and what earlier runs kept (build/fuzz-corpora),
#       then prints per target the executions and the coverage (edges "cov"
#       and features "ft") at the start (after the corpus is loaded) and at
#       the end, and the crashes found (minimized into build/fuzz-crashes).
#   fuzz.sh --summary
#       prints that table again from the last run's logs.
#   fuzz.sh --replay
#       runs every target once over its seed corpus only (which holds the
#       malformed files of tests/malformed_files and tests/fuzz/regressions): a
#       minute or two, part of the test command.
#
# BUILD (default build/fuzz) is the clang build it configures and uses.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

minutes=""
replay=0
show_summary=0
jobs=2
only=""
build=${BUILD:-build/fuzz}
while [ $# -gt 0 ]; do
  case $1 in
    --minutes) minutes=${2:?}; shift 2 ;;
    --replay) replay=1; shift ;;
    --summary) show_summary=1; shift ;;
    --jobs) jobs=${2:?}; shift 2 ;;
    --only) only=${2:?}; shift 2 ;;
    *) echo "usage: fuzz.sh --minutes N [--jobs J] [--only TARGET] | --summary | --replay" >&2; exit 2 ;;
  esac
done
if [ -z "$minutes" ] && [ "$replay" = 0 ] && [ "$show_summary" = 0 ]; then
  echo "usage: fuzz.sh --minutes N [--jobs J] [--only TARGET] | --summary | --replay" >&2
  exit 2
fi

targets=(icon_file bitmap_file module ne_module reformat icon_decoding animated_cursor icon_making set_icon)
[ -n "$only" ] && targets=("$only")

corpora=$root/build/fuzz-corpora
logs=$root/build/fuzz-logs
crashes=$root/build/fuzz-crashes

summary() {
  printf '%-16s %12s %18s %18s %8s\n' target executions "cov start->end" "ft start->end" crashes
  for t in "${targets[@]}"; do
    log=$logs/$t.log
    start=$(grep -m1 -E '#[0-9]+[[:space:]]+INITED' "$log" || true)
    end=$(grep -E '#[0-9]+[[:space:]]+(NEW|REDUCE|pulse|DONE|INITED)' "$log" | tail -n 1 || true)
    field() { sed -nE "s/.* $1: ([0-9]+).*/\\1/p" <<<"$2"; }
    execs=$(sed -nE 's/^stat::number_of_executed_units: ([0-9]+)/\1/p' "$log")
    found=$(find "$crashes/$t" -maxdepth 1 -type f ! -name '*.min' ! -name '*.log' | wc -l)
    printf '%-16s %12s %18s %18s %8s\n' "$t" "${execs:-?}" \
      "$(field cov "$start")->$(field cov "$end")" "$(field ft "$start")->$(field ft "$end")" "$found"
  done
  echo "logs: $logs; crashes and their minimized forms (.min): $crashes"
}
if [ "$show_summary" = 1 ]; then
  summary
  exit 0
fi

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPICTROVE_FUZZ=ON -DPICTROVE_SANITIZE=ON -DPICTROVE_TESTS=OFF -DPICTROVE_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
bash tests/fuzz/make-corpora.sh "$corpora/seeds" >/dev/null

# A leak, an overflow or undefined behaviour stops the target with a report.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
limits=(-rss_limit_mb=2048 -malloc_limit_mb=2048 -timeout=10)

if [ "$replay" = 1 ]; then
  # The seeds hold the malformed files of each target's kind and the inputs
  # that once broke it (tests/fuzz/regressions): each is run once.
  failed=0
  for t in "${targets[@]}"; do
    if "$build/tests/fuzz/fuzz_$t" "${limits[@]}" -runs=0 "$corpora/seeds/$t" \
         >"$corpora/replay-$t.log" 2>&1; then
      echo "replay $t: $(ls "$corpora/seeds/$t" | wc -l) inputs, clean"
    else
      echo "replay $t: FAILED, see $corpora/replay-$t.log" >&2
      tail -n 30 "$corpora/replay-$t.log" >&2
      failed=1
    fi
  done
  exit "$failed"
fi

seconds=$((minutes * 60))
mkdir -p "$logs" "$crashes"

fuzz_one() {
  local t=$1
  mkdir -p "$corpora/$t" "$crashes/$t"
  # A target over another's input shares its dictionary: set_icon reads
  # programs as module does, icon_making pictures as icon_file does.
  local dictionary=tests/fuzz/$t.dict
  case $t in
    set_icon) dictionary=tests/fuzz/module.dict ;;
    icon_making) dictionary=tests/fuzz/icon_file.dict ;;
  esac
  "$build/tests/fuzz/fuzz_$t" "${limits[@]}" -max_total_time="$seconds" -print_final_stats=1 \
    -dict="$dictionary" -artifact_prefix="$crashes/$t/" \
    "$corpora/$t" "$corpora/seeds/$t" >"$logs/$t.log" 2>&1 || true
  # Each crash minimized beside it.
  for crash in "$crashes/$t"/crash-* "$crashes/$t"/leak-* "$crashes/$t"/timeout-* "$crashes/$t"/oom-*; do
    [ -f "$crash" ] || continue
    case $crash in *.min) continue ;; esac
    [ -f "$crash.min" ] && continue
    "$build/tests/fuzz/fuzz_$t" "${limits[@]}" -minimize_crash=1 -max_total_time=60 \
      -exact_artifact_path="$crash.min" "$crash" >"$crash.minimize.log" 2>&1 || true
  done
}

running=0
for t in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  echo "fuzzing $t for $minutes minutes"
  fuzz_one "$t" &
  running=$((running + 1))
done
wait
summary
