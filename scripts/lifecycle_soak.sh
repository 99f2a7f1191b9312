#!/usr/bin/env bash
# Runs the randomised lifecycle suite for a long time (an hour by default) in
# a Wine prefix and X display of its own, so the usual test runs of the same
# tree may go on meanwhile. Prints every seed with its steps, and the totals.
#   bash scripts/lifecycle_soak.sh [SECONDS]
# A failing seed replays alone with KLV_LIFECYCLE_SEED=<seed>.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KLV_BUILD_DIR:-$root/build}
seconds=${1:-3600}
win32="$build/win32"
suite="$win32/tests/wine/wine_dll_random_lifecycle_tests.exe"

if [ ! -f "$suite" ]; then bash "$root/scripts/build.sh"; fi

source "$root/scripts/wine_env.sh"
mkdir -p "$build/soak"
klv_wine_env "$build/soak"

log="$build/soak/lifecycle-$(date +%Y%m%d-%H%M%S).log"
echo "lifecycle soak: $seconds s, log in $log"
status=0
KLV_LIFECYCLE_SECONDS=$seconds KLV_DLL="$win32/entry/gen_klv.dll" KLV_PLAYER="$win32/player/player.exe" \
  KLV_WINTOOL="$win32/tools/wintool.exe" GTEST_FILTER='RandomLifecycle.*' \
  wine "$suite" >"$log" 2>&1 || status=$?
grep '^lifecycle:' "$log" || true
if [ "$status" -ne 0 ]; then
  echo "lifecycle soak FAILED (exit $status); the failing seed and its steps:"
  grep -A200 'FAILED:\|crash\|no progress' "$log" | head -200
fi
exit "$status"
