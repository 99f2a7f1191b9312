#!/usr/bin/env bash
# Fails when a layer reaches one above it. The layers, from the bottom: core,
# win32, plugin, ui, entry (the DLL on top of them). Checked: every quoted
# include of the layers and of the programs and the test kit beside them;
# given a built tree, what each layer's library is declared to link and the
# symbols its objects refer to. And the Wine suites that link the plug-in's
# libraries load no DLL of it: one copy of the plug-in per test program.
#   check_layers.sh SOURCE [NM LAYER|LIBRARY|LINKED:LIBRARIES ...]
set -euo pipefail
export LC_ALL=C  # one order for sort and comm
root=$1
shift
layers=(core win32 plugin ui entry)
failed=0

# What each folder may include: its own layer and those below it. Beside the
# layers: the stand-in player, which takes its demo covers from the test kit's
# encoder and nothing else of the kit; the test kit, which drives the plug-in
# only through its DLL and so reaches none of its layers; the player's own
# tests, on the kit; the core's tests, with the kit's encoder; the Wine suites
# that drive only the DLL, on the kit and the dialogs' ids. A subfolder named
# here is checked on its own rule only.
declare -A allowed=([player]="core win32 player testkit/jpeg_encode.h" [player/tests]="core win32 player testkit"
  [core/tests]="core testkit/jpeg_encode.h" [tools]="core win32 tools" [fuzz]="core fuzz"
  [testkit]="core win32 player testkit"
  [tests/wine/dll]="core win32 player testkit tests/wine/dll/dialog_driver.h tests/wine/dll/random_lifecycle/model.h
  ui/config_dialog_ids.h ui/assign_dialog_ids.h")
for i in "${!layers[@]}"; do allowed[${layers[$i]}]="${layers[*]:0:i+1}"; done
for folder in "${!allowed[@]}"; do
  own_rule=()
  for other in "${!allowed[@]}"; do
    [[ $other == "$folder"/* ]] && own_rule+=("--exclude-dir=${other#"$folder"/}")
  done
  reach=" $(echo ${allowed[$folder]}) "  # one space between the names, whatever the lines
  while IFS=: read -r file line target; do
    if [[ $reach != *" ${target%%/*} "* && $reach != *" $target "* ]]; then
      echo "${file#"$root"/}:$line includes $target, which $folder/ may not reach"
      failed=1
    fi
  done < <(grep -rnoE '^\s*#\s*include\s*"[a-z0-9_]+/[^"]*"' "$root/$folder" "${own_rule[@]}" --include='*.h' \
    --include='*.cpp' --include='*.rc' | sed -E 's/:[^:"]*"([^"]+)"$/:\1/')
done

# The Wine suites beside tests/wine/dll/ link the plug-in's libraries: they never load its DLL too.
while IFS=: read -r file line _; do
  echo "${file#"$root"/}:$line loads the DLL in a suite that links the plug-in (its place is tests/wine/dll/)"
  failed=1
done < <(grep -nwE 'LoadedPlugin|LoadLibraryA?W?' "$root"/tests/wine/*.cpp || true)

if [ $# -gt 0 ]; then
  nm=$1
  shift
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  # The layers given, bottom first.
  present=()
  for layer_line in "$@"; do
    IFS='|' read -r layer library linked <<<"$layer_line"
    present+=("$layer")
    "$nm" -g --defined-only "$library" | awk 'NF == 3 { print $3 }' | sort -u >"$work/$layer.defined"
    "$nm" -u "$library" | awk '$1 == "U" { print $2 }' | sort -u >"$work/$layer.used"
    echo "$linked" | tr ':' '\n' >"$work/$layer.linked"
  done
  for i in "${!present[@]}"; do
    layer=${present[$i]}
    # A symbol the layer uses and does not define itself may come only from below.
    comm -23 "$work/$layer.used" "$work/$layer.defined" >"$work/$layer.needed"
    for above in "${present[@]:i+1}"; do
      if grep -qx "klv_$above" "$work/$layer.linked"; then
        echo "klv_$layer links klv_$above, a layer above it"
        failed=1
      fi
      upward=$(comm -12 "$work/$layer.needed" "$work/$above.defined")
      if [ -n "$upward" ]; then
        echo "klv_$layer refers to klv_$above, a layer above it:"
        sed 's/^/  /' <<<"$upward" | head -n 10
        failed=1
      fi
    done
  done
fi

[ "$failed" = 0 ] && echo "layers: every include and link points down"
exit "$failed"
