#!/usr/bin/env bash
# Builds, then runs every benchmark under Wine and prints one markdown table:
# hook cost, key press and show to OSD, player start and init (and init's
# steps), private memory, the album cover's memory and time, and the DLL's
# size. Run as root on Debian bookworm, like build.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KLV_BUILD_DIR:-$root/build}
bench=$build/win32/bench
dll=$build/win32/entry/gen_klv.dll

bash "$root/scripts/build.sh" >/dev/null
# shellcheck source=wine_env.sh
source "$root/scripts/wine_env.sh"
klv_wine_env "$build/win32"
export KLV_PLAYER KLV_DLL
KLV_PLAYER=$(winepath -w "$build/win32/player/player.exe" 2>/dev/null)
KLV_DLL=$(winepath -w "$dll" 2>/dev/null)

run() { wine "$bench/$1.exe" | tr -d '\r'; }

# Each program is run on its own, so that a failing one names itself.
hook=$(run hook_cost_bench)
osd=$(run osd_latency_bench)
keypress=$(run keypress_osd_bench)
startup=$(run startup_bench)
memory=$(run memory_bench)
cover=$(run cover_bench)
steps=$(run init_steps_bench)

rounds=$(sed -n 's/.*best of \([0-9]*\) rounds.*/\1/p' <<<"$hook")
echo "| Bench | Measure | Result | Ratio / target |"
echo "|---|---|---|---|"
# The target is the plug-in's: at most 1.2x the time per message of the floor hook.
sed -nE "s/^(.*[^ ]) +([0-9]+) msg\/s +([0-9.]+)x the floor's time per message$/| hook cost | \1, best of $rounds rounds | \2 msg\/s | \3x the floor's time per message |/p" <<<"$hook" |
  sed -E 's/^(\| hook cost \| plug-in.*)\|$/\1(target ≤ 1.2x) |/'

# Each OSD case against its floor, a bare popup of the same size shown the same way.
sed -nE 's/^show, (OSD [a-z ]+): +median +([0-9.]+) ms +p95 +([0-9.]+) ms +worst +([0-9.]+) ms +\(([0-9]+) shows\) +floor median +([0-9.]+) ms +([0-9.]+)x the floor$/| OSD show | ShowOsd to painted, \1, \5 shows | median \2 ms, p95 \3 ms, worst \4 ms; floor median \6 ms | \7x the floor'"'"'s median (target ≤ 1.2x) |/p' <<<"$osd"
grep '^|' <<<"$keypress"
grep '^|' <<<"$startup"
grep '^|' <<<"$steps"
grep '^|' <<<"$memory"
grep '^|' <<<"$cover"
# Linked without symbols or debug sections: the built DLL is the released one.
echo "| DLL | gen_klv.dll file size, as built and released | $(stat -c %s "$dll") bytes | budget 300 KB (307200 bytes) |"
# objdump -h: "Idx Name Size VMA LMA File-off Algn"; sizes are hexadecimal.
i686-w64-mingw32-objdump -h "$dll" | while read -r idx name size _; do
  if [[ $idx =~ ^[0-9]+$ ]]; then echo "| DLL | section $name | $((16#$size)) bytes | |"; fi
done
