#!/usr/bin/env bash
# The native suite's test programs and the pictrove command over the
# malformed files, under Valgrind's memcheck: any invalid access, use of
# uninitialised memory or leak fails the run.
# Usage: valgrind.sh [BUILD_DIR]   (a native build without sanitizers;
#                                   default build/native)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build/native}" && pwd)
data=$build/valgrind-data
mkdir -p "$data"
bash tests/data/make-real-files.sh "$data/real-files" >/dev/null
/usr/bin/python3 tests/module_resources/make-test-modules.py "$data/test-modules" >/dev/null
/usr/bin/python3 tests/malformed_files/make-hostile-files.py "$data/hostile-files" >/dev/null
export PICTROVE_REAL_FILES=$data/real-files
export PICTROVE_TEST_MODULES=$data/test-modules
export PICTROVE_HOSTILE_FILES=$data/hostile-files

memcheck=(valgrind -q --error-exitcode=99 --leak-check=full --show-leak-kinds=definite,indirect
          --errors-for-leak-kinds=definite,indirect --track-origins=yes)
failed=0
check() {
  local name=$1
  shift
  if "$@" >"$data/$name.log" 2>&1; then
    echo "valgrind $name: clean"
  else
    echo "valgrind $name: FAILED, see $data/$name.log" >&2
    grep -E '==[0-9]+==|FAILED' "$data/$name.log" | head -n 40 >&2
    failed=1
  fi
}

# Every module Wine ships is read once, natively, by the suite; under
# Valgrind that alone would take many minutes, so it is left out here.
check core_tests "${memcheck[@]}" "$build/tests/core_tests"
check module_icons_tests "${memcheck[@]}" "$build/tests/module_icons_tests" --gtest_filter=-WineModules.*
check module_tests "${memcheck[@]}" "$build/tests/module_tests" --gtest_filter=-*Wine*
check real_files_tests "${memcheck[@]}" "$build/tests/real_files_tests"
check real_conversion_tests "${memcheck[@]}" "$build/tests/real_conversion_tests"
check hostile_files_tests "${memcheck[@]}" "$build/tests/malformed_files/hostile_files_tests"
check cli env RUNNER="${memcheck[*]}" tests/malformed_files/cli-over-hostile-files.sh "$build/cli/pictrove" \
  "$data/hostile-files"
exit "$failed"
