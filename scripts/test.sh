#!/usr/bin/env bash
# Runs every test: the native core suite under ASan/UBSan, a short libFuzzer run
# over the core, then the Wine suites one at a time in a private prefix on a
# private Xvfb display.
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
# The Wine suites run as a standard user: without these two capabilities root
# is refused by file modes, as Windows refuses a user a folder under Program
# Files. The prefix's server starts again under them with the first test.
standard_user=(setpriv --inh-caps=-dac_override,-dac_read_search --bounding-set=-dac_override,-dac_read_search)
wineserver -k 2>/dev/null || true
start=$(date +%s)
(cd "$build/win32" && "${standard_user[@]}" ctest --output-on-failure -j1) | tee "$logs/wine"
echo "wine suite: $(( $(date +%s) - start )) s"
# Only reached when every step passed (set -e with pipefail).
echo "tests: $(( $(ran "$logs/native") + $(ran "$logs/wine") )) passed, 0 failed"
