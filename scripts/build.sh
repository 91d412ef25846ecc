#!/usr/bin/env bash
# Builds both targets: the Windows program (cross-compiled, build/win32) and
# the native build with its tests (build/native), and with SANITIZE=1 also
# the AddressSanitizer and UndefinedBehaviorSanitizer build (build/asan).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
cmake -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake -DPICTROVE_WERROR=ON
cmake --build build/win32 -j "$jobs"

cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPICTROVE_WERROR=ON \
  -DPICTROVE_WINDOWS_BUILD_DIR="$PWD/build/win32"
cmake --build build/native -j "$jobs"

if [ "${SANITIZE:-0}" = 1 ]; then
  cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPICTROVE_WERROR=ON -DPICTROVE_SANITIZE=ON
  cmake --build build/asan -j "$jobs"
fi
