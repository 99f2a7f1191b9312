#!/usr/bin/env bash
# Builds the native tree (core and its tests under the sanitizers) and the
# Win32 tree (DLL, stand-in player, tools, Wine tests) under build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KLV_BUILD_DIR:-$root/build}
jobs=$(nproc)

bash "$root/scripts/setup.sh"

cmake -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/native" -j"$jobs"

bash "$root/scripts/build_libjpeg.sh" "$build/win32"
# A tree first configured with the posix thread model's compiler starts afresh.
if grep -qs 'mingw32-gcc-ar-posix' "$build/win32/CMakeCache.txt"; then
  rm -rf "$build/win32/CMakeCache.txt" "$build/win32/CMakeFiles"
fi
cmake -S "$root" -B "$build/win32" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build/win32" -j"$jobs"
