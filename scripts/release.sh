#!/usr/bin/env bash
# Builds the DLL and packs it with its install notes into
# build/release/gen_klv-<version>.zip, the version taken from plugin/version.rc.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KLV_BUILD_DIR:-$root/build}

bash "$root/scripts/build.sh" >/dev/null

# "1.0 beta 3" in the notes, gen_klv-1.0-beta-3.zip as the file.
product_version=$(sed -n 's/^ *VALUE "ProductVersion", "\(.*\)".*/\1/p' "$root/plugin/version.rc")
[ -n "$product_version" ] || { echo "release.sh: no ProductVersion in plugin/version.rc" >&2; exit 1; }
version=${product_version// /-}

out=$build/release
stage=$out/gen_klv-$version
rm -rf "$stage" "$stage.zip"
mkdir -p "$stage"
# Debug sections only make the download and the mapped image larger.
i686-w64-mingw32-strip --strip-debug -o "$stage/gen_klv.dll" "$build/win32/plugin/gen_klv.dll"
# The shipped image passes the build's own checks: PE32, plain export, system imports, resources.
cmake -DOBJDUMP=i686-w64-mingw32-objdump -DDLL="$stage/gen_klv.dll" -P "$root/tests/wine/check_dll.cmake" >/dev/null
# CRLF: the notes are read on Windows.
sed 's/$/\r/' >"$stage/INSTALL.txt" <<TEXT
Kelvo-plugin $product_version (gen_klv.dll)
A general-purpose plug-in for Winamp: global hotkeys, on-screen display,
window transparency, play on start.

Install
1. Close Winamp.
2. Copy gen_klv.dll into Winamp's Plugins folder,
   for example C:\\Program Files\\Winamp\\Plugins.
3. Start Winamp and open Preferences > Plug-ins > General Purpose,
   select "Kelvo-plugin... v1.0" and press Configure.

The plug-in finds its folder through Winamp's registry entry
HKEY_CURRENT_USER\\Software\\Winamp (default value), which Winamp's
installer writes. Without that entry the plug-in does not start.
Its settings are kept in gen_klv.ini in the same Plugins folder.

Remove
1. Close Winamp.
2. Delete gen_klv.dll from the Plugins folder, and gen_klv.ini as well
   if the settings should go too.
TEXT
(cd "$stage" && zip -q -X "$out/gen_klv-$version.zip" gen_klv.dll INSTALL.txt)
rm -rf "$stage"
echo "$out/gen_klv-$version.zip"
