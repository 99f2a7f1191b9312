#!/usr/bin/env bash
# Builds the libFuzzer targets of the portable core with clang under ASan and
# UBSan, then runs each for a few seconds over its seed corpus in fuzz/corpus/.
# KLV_FUZZ_SECONDS sets the time per target (default 5). A crash or a broken
# property fails the script and leaves the input under $build/fuzz/artifacts/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KLV_BUILD_DIR:-$root/build}
seconds=${KLV_FUZZ_SECONDS:-5}
out=$build/fuzz

CC=clang CXX=clang++ cmake -S "$root/fuzz" -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$out" -j2

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

start=$(date +%s)
for seeds in "$root"/fuzz/corpus/*/; do
  target=$(basename "$seeds")
  # New inputs go to the build tree; the committed seeds are only read.
  mkdir -p "$out/corpus/$target" "$out/artifacts"
  log=$out/$target.log
  if ! "$out/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
      -artifact_prefix="$out/artifacts/$target-" "$out/corpus/$target" "$seeds" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: $target FAILED; input kept under $out/artifacts/" >&2
    exit 1
  fi
  echo "fuzz: $target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log" || echo 'done')"
done
echo "fuzz suite: $(( $(date +%s) - start )) s"
