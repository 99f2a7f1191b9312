#!/usr/bin/env bash
# Redraws ui/about_logo.jpg and ui/about_icon.jpg (committed; the DLL embeds
# them). Needs a native g++ and libjpeg-dev.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
g++ -std=c++17 -O2 -Wall -Wextra -o "$tmp/make_about_pictures" "$root/tools/make_about_pictures.cpp" -ljpeg
"$tmp/make_about_pictures" "$root/ui/about_logo.jpg" "$root/ui/about_icon.jpg"
