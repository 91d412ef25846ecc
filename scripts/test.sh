#!/usr/bin/env bash
# Every test: installs what is missing, builds both targets and the sanitizer
# build, then runs the native suite (with the Windows tests under Wine) and
# the native suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
SANITIZE=1 bash scripts/build.sh

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/native --output-on-failure -j 2 --timeout 600
ctest --test-dir build/asan --output-on-failure -j 2 --timeout 600

# The fuzz targets (clang, build/fuzz) once over their seeds and the
# malformed files.
bash scripts/fuzz.sh --replay
