#!/usr/bin/env bash
# Cross-builds libjpeg (the distribution's libjpeg-turbo source package) as a
# static i686 Windows library, once per build tree: $1/libjpeg/install.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "$1" && cd "$1" && pwd)/libjpeg
[ -f "$out/install/lib/libjpeg.a" ] && exit 0

rm -rf "$out/src" "$out/build"
mkdir -p "$out/src"
(cd "$out/src" && apt-get source -qq --download-only libjpeg-turbo >/dev/null 2>&1)
dsc=$(ls "$out"/src/libjpeg-turbo_*.dsc | head -n1)
(cd "$out/src" && dpkg-source -x "$(basename "$dsc")" tree >/dev/null 2>&1)

cmake -S "$out/src/tree" -B "$out/build" -G "Unix Makefiles" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$out/install" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
  -DWITH_JPEG8=ON >/dev/null
cmake --build "$out/build" -j"$(nproc)" >/dev/null
cmake --install "$out/build" >/dev/null
