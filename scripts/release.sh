#!/usr/bin/env bash
# Builds the DLL and its setup program and writes both ways of installing into
# build/release: gen_klv-<version>-setup.exe and gen_klv-<version>.zip (the DLL
# with its install notes), the version taken from core/version.h.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KLV_BUILD_DIR:-$root/build}

bash "$root/scripts/build.sh" >/dev/null

# "1.0 beta 3" in the notes, gen_klv-1.0-beta-3.zip as the file; the host
# lists the plug-in by major and minor alone ("v1.0").
version_define() {
  local value
  value=$(sed -n "s/^#define KLV_VERSION_$1 \"\{0,1\}\([^\"]*\)\"\{0,1\}$/\1/p" "$root/core/version.h")
  [ -n "$value" ] || { echo "release.sh: no KLV_VERSION_$1 in core/version.h" >&2; exit 1; }
  echo "$value"
}
product_version=$(version_define TEXT)
version=${product_version// /-}
listed_version=$(version_define MAJOR).$(version_define MINOR)

out=$build/release
stage=$out/gen_klv-$version
setup=$build/win32/installer/gen_klv-$version-setup.exe
[ -f "$setup" ] || { echo "release.sh: the build made no $setup" >&2; exit 1; }
rm -rf "$stage" "$stage.zip" "$out/gen_klv-$version-setup.exe"
mkdir -p "$stage"
# The build links the DLL without symbols or debug sections: it ships as built,
# the same file the setup program carries.
cp "$build/win32/entry/gen_klv.dll" "$stage/gen_klv.dll"
cp "$setup" "$out/"
# The shipped image passes the build's own checks: PE32, plain export, system imports, resources.
cmake -DOBJDUMP=i686-w64-mingw32-objdump -DDLL="$stage/gen_klv.dll" -P "$root/tests/wine/check_dll.cmake" >/dev/null
# CRLF: the notes are read on Windows.
sed 's/$/\r/' >"$stage/INSTALL.txt" <<TEXT
Kelvo-plugin $product_version (gen_klv.dll)
A general-purpose plug-in for Winamp: global hotkeys, on-screen display,
window transparency, play on start.

Install
The setup program gen_klv-$version-setup.exe does the steps below for you
(/S installs silently, /D=<folder> names Winamp's folder). By hand:
1. Close Winamp.
2. Copy gen_klv.dll into Winamp's Plugins folder,
   for example C:\\Program Files\\Winamp\\Plugins.
3. Start Winamp and open Preferences > Plug-ins > General Purpose,
   select "Kelvo-plugin... v$listed_version" and press Configure.

The plug-in finds its folder through Winamp's registry entry
HKEY_CURRENT_USER\\Software\\Winamp (default value), which Winamp's
installer writes. Without that entry the plug-in does not start.
Its settings are kept in gen_klv.ini in the same Plugins folder.

Remove
After the setup program: Control Panel > Programs, "Kelvo-plugin for Winamp".
By hand:
1. Close Winamp.
2. Delete gen_klv.dll from the Plugins folder, and gen_klv.ini as well
   if the settings should go too.
TEXT
(cd "$stage" && zip -q -X "$out/gen_klv-$version.zip" gen_klv.dll INSTALL.txt)
rm -rf "$stage"
echo "$out/gen_klv-$version-setup.exe"
echo "$out/gen_klv-$version.zip"
