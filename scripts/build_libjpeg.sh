#!/usr/bin/env bash
# Cross-builds libjpeg (the distribution's libjpeg-turbo source package) as a
# static i686 Windows library, once per build tree and recipe: $1/libjpeg/install.
# The DLL decodes its two small About pictures and the album covers beside the
# tracks, baseline or progressive, reduced by the IDCT to about the size shown;
# the library keeps just that: no arithmetic coding, colour quantisation,
# merged upsampling or extra DCT methods, and is optimised for size. A picture
# outside that set fails to decode cleanly.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "$1" && cd "$1" && pwd)/libjpeg

# Decoder capabilities switched off in jmorecfg.h.
dropped=(DCT_IFAST_SUPPORTED DCT_FLOAT_SUPPORTED SAVE_MARKERS_SUPPORTED BLOCK_SMOOTHING_SUPPORTED
  UPSAMPLE_MERGING_SUPPORTED QUANT_1PASS_SUPPORTED QUANT_2PASS_SUPPORTED)
# msvcrt's printf for its messages instead of MinGW's own; no unwind tables, as
# its errors leave by longjmp, never by a C++ exception.
cflags="-ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables -D__USE_MINGW_ANSI_STDIO=0"
options=(-DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF
  -DWITH_ARITH_DEC=OFF -DWITH_ARITH_ENC=OFF -DWITH_MEM_SRCDST=ON
  "-DCMAKE_C_FLAGS=$cflags" "-DCMAKE_C_FLAGS_RELEASE=-Os -DNDEBUG")
# The reductions asked for (1/2, 1/4, 1/8) and the whole size use the IDCTs of
# 1, 2, 4 and 8 pixels; the other sizes (18 KB of code) become an error, so
# that nothing refers to them and the linker drops them.
unused_idct='jpeg_idct_(3x3|5x5|6x6|7x7|9x9|1[0-6]x1[0-6])'
recipe="${dropped[*]} ${options[*]} ${unused_idct}"
[ -f "$out/install/lib/libjpeg.a" ] && [ "$(cat "$out/install/recipe" 2>/dev/null)" = "$recipe" ] && exit 0

rm -rf "$out/src" "$out/build" "$out/install"
mkdir -p "$out/src"
(cd "$out/src" && apt-get source -qq --download-only libjpeg-turbo >/dev/null 2>&1)
dsc=$(ls "$out"/src/libjpeg-turbo_*.dsc | head -n1)
(cd "$out/src" && dpkg-source -x "$(basename "$dsc")" tree >/dev/null 2>&1)
for capability in "${dropped[@]}"; do
  sed -i "s/^#define \(${capability}\)\b/#undef \1/" "$out/src/tree/jmorecfg.h"
  grep -q "^#undef ${capability}\b" "$out/src/tree/jmorecfg.h" || {
    echo "build_libjpeg.sh: no ${capability} in jmorecfg.h" >&2
    exit 1
  }
done

sed -i -E "s/method_ptr = ${unused_idct};/ERREXIT1(cinfo, JERR_BAD_DCTSIZE, compptr->_DCT_scaled_size);/" \
  "$out/src/tree/jddctmgr.c"
if grep -Eq "$unused_idct" "$out/src/tree/jddctmgr.c"; then
  echo "build_libjpeg.sh: jddctmgr.c still refers to an unused IDCT size" >&2
  exit 1
fi

cmake -S "$out/src/tree" -B "$out/build" -G "Unix Makefiles" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$out/install" \
  "${options[@]}" >/dev/null
# Only the static library: the command-line tools want what was dropped.
cmake --build "$out/build" -j"$(nproc)" --target jpeg-static >/dev/null
mkdir -p "$out/install/lib" "$out/install/include"
cp "$out/build/libjpeg.a" "$out/install/lib/"
cp "$out/build/jconfig.h" "$out/src/tree/jpeglib.h" "$out/src/tree/jmorecfg.h" "$out/src/tree/jerror.h" \
  "$out/install/include/"
echo "$recipe" >"$out/install/recipe"
