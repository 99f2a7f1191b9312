#!/usr/bin/env bash
# Runs every test: the native core suite under ASan/UBSan, a short libFuzzer run
# over the core, then the Wine suites one at a time in a private prefix on a
# private Xvfb display, and the two-monitor suite on an Xorg display of its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KLV_BUILD_DIR:-$root/build}

bash "$root/scripts/build.sh"

# Test executables run by ctest, counted from its summary line.
ran() { sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$1" | tail -n1; }
logs=$(mktemp -d)

start=$(date +%s)
(cd "$build/native" && ctest --output-on-failure) | tee "$logs/native"
echo "native suite: $(( $(date +%s) - start )) s"

bash "$root/scripts/fuzz.sh"

source "$root/scripts/wine_env.sh"
klv_wine_env "$build/win32"
start=$(date +%s)
(cd "$build/win32" && ctest --output-on-failure -j1 -LE 'two_monitors|standard_user') | tee "$logs/wine"
echo "wine suite: $(( $(date +%s) - start )) s"

# The OSD on two monitors: an Xorg display and a prefix of their own, the
# second monitor right of the primary, then left of it, each layout seen by
# a fresh Wine server.
klv_wine_cleanup
source "$root/scripts/two_monitor_display.sh"
start=$(date +%s)
klv_two_monitor_display
for side in right left; do
  klv_two_monitor_layout "$side"
  KLV_USE_DISPLAY=1 klv_wine_env "$build/win32" "$build/win32/wineprefix-two-monitors"
  (cd "$build/win32" && ctest --output-on-failure -j1 --no-tests=error -L two_monitors) | tee "$logs/monitors-$side"
  wineserver -k 2>/dev/null || true
done
klv_two_monitor_stop
echo "two-monitor suite, both layouts: $(( $(date +%s) - start )) s"
# Only reached when every step passed (set -e with pipefail).
monitors=$(( $(ran "$logs/monitors-right") + $(ran "$logs/monitors-left") ))
echo "tests: $(( $(ran "$logs/native") + $(ran "$logs/wine") + monitors )) passed, 0 failed"
