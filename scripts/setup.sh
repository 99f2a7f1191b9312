#!/usr/bin/env bash
# Installs every system package the build, the demo and the tests need.
# Idempotent; run as root on Debian bookworm. Does nothing when all is present.
set -euo pipefail

need_root() {
  if [ "$(id -u)" != 0 ]; then
    echo "setup.sh: run as root to install missing packages" >&2
    exit 1
  fi
}

packages=(
  cmake make g++ googletest libjpeg-dev
  g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32 binutils-mingw-w64-i686
  wine wine32:i386 fonts-wine xvfb xcompmgr x11-utils imagemagick dpkg-dev
  clang libclang-rt-14-dev zip nsis
  # The two-monitor display: Xorg's dummy driver, xrandr, and the 32-bit
  # libraries Wine's X driver loads at run time to see more than one monitor.
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils libxrandr2:i386 libxinerama1:i386
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# Source entries for libjpeg's source package: a deb-src twin of each existing
# Debian entry of this machine, so no mirror address lives in the repository.
src_list=/etc/apt/sources.list.d/gen-klv-deb-src.sources
need_src=0
[ -f "$src_list" ] || need_src=1

if [ ${#missing[@]} -eq 0 ] && [ $need_src -eq 0 ]; then
  exit 0
fi
need_root

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi

if [ $need_src -eq 1 ]; then
  tmp=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    [ "$f" = "$src_list" ] && continue
    # Keep only stanzas that point at Debian's own archive (signed by its keyring).
    awk 'BEGIN{RS="";ORS="\n\n"} /debian-archive-keyring/ {sub(/Types: deb[^\n]*/,"Types: deb-src"); print}' "$f" >>"$tmp"
  done
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' >"${src_list%.sources}.list" || true
  fi
  mv "$tmp" "$src_list"
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
