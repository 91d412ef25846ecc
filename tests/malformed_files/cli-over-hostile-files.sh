#!/usr/bin/env bash
# The pictrove command over every malformed file: list, info, and save as .ico
# and .bmp. Each run must end with status 0 or 1 (never a crash or a usage
# error), and a save must leave its target only when it succeeded, and no
# other file (no partial target, no temporary file) at all.
# Usage: cli-over-hostile-files.sh PICTROVE HOSTILE_FILES_DIR
# With RUNNER set (for example "valgrind --error-exitcode=99 ..."), each
# command runs under it, and only the two saves are run: they open and read
# the file as list and info do.
set -uo pipefail

pictrove=${1:?usage: cli-over-hostile-files.sh PICTROVE HOSTILE_FILES_DIR}
files=${2:?usage: cli-over-hostile-files.sh PICTROVE HOSTILE_FILES_DIR}
read -r -a runner <<<"${RUNNER:-}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
runs=0

fail() {
  echo "FAIL $*" >&2
  failures=$((failures + 1))
}

# run FILE COMMAND... : the command's status, checked to be 0 or 1.
run() {
  local file=$1
  shift
  runs=$((runs + 1))
  "${runner[@]}" "$pictrove" "$@" >"$work/stdout" 2>"$work/stderr"
  local status=$?
  if [ "$status" -gt 1 ]; then
    fail "$file: pictrove $1 ended with status $status: $(tail -n 5 "$work/stderr")"
  fi
  return "$status"
}

mkdir -p "$work/out"
while IFS=$'\t' read -r name _; do
  file=$files/$name
  if [ ${#runner[@]} -eq 0 ]; then
    run "$name" list "$file"
    run "$name" info "$file"
  fi
  for target in saved.ico saved.bmp; do
    if run "$name" save "$file" "$work/out/$target"; then
      [ -s "$work/out/$target" ] || fail "$name: save to $target succeeded without a file"
      rm -f "$work/out/$target"
    fi
    # A group some of whose images are missing is saved without them, and
    # fails all the same.
    grep -q 'which the file does not hold$' "$work/stderr" && rm -f "$work/out/$target"
    left=$(ls -A "$work/out")
    if [ -n "$left" ]; then
      fail "$name: save to $target left: $left"
      rm -f "$work/out"/* "$work/out"/.[!.]*
    fi
  done
done <"$files/manifest.txt"

echo "$runs runs over $(wc -l <"$files/manifest.txt") files, $failures failures"
[ "$failures" -eq 0 ]
