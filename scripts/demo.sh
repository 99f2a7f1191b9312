#!/usr/bin/env bash
# Builds everything and installs a demo player with the plug-in under
# build/demo. With $DISPLAY set it just runs the player for you; otherwise it
# plays a scripted session on a private Xvfb and keeps screenshots of it in
# build/demo/screenshots.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KLV_BUILD_DIR:-$root/build}
build=$(mkdir -p "$build" && cd "$build" && pwd)
demo=$build/demo
main_class="Winamp v1.x"

say() { echo "demo: $*"; }

# A plug-in that does not build yet must not stop the player from showing.
if ! bash "$root/scripts/build.sh"; then
  say "the full build failed; building the player and its tools alone"
  cmake --build "$build/win32" -j2 --target player wintool
fi
player_exe=$build/win32/player/player.exe
wintool_exe=$build/win32/tools/wintool.exe
dll=$build/win32/entry/gen_klv.dll

rm -rf "$demo"
mkdir -p "$demo/Plugins" "$demo/screenshots"
cp "$player_exe" "$demo/"
# The first run starts on the playlist's Cyrillic entry: the player's Unicode
# caption names it exactly while the plug-in runs.
printf '[Player]\r\nEntry=6\r\n' >"$demo/player.ini"
if [ -f "$dll" ]; then
  cp "$dll" "$demo/Plugins/"
else
  say "no $dll: the player runs without the plug-in"
fi

# Packed hotkey: virtual-key code in the high word, modifiers in the low word
# (Alt 1, Ctrl 2, Shift 4, Win 8).
ctrl_alt=3
pack() { printf '%d' $(( ($(printf '%d' "'$1") << 16) | ctrl_alt )); }
ini=$demo/Plugins/gen_klv.ini
cat >"$ini" <<EOF
[Hotkeys]
Enable=1
next_hotkey=$(pack N)
VolUp_hotkey=$(pack U)
repeat_hotkey=$(pack R)
playpause_hotkey=$(( 0xB3 << 16 ))
[Transparency]
EnableActive=1
EnableInactive=1
WinAMP_active=235
Playlist_active=235
Equalizer_active=235
WinAMP_inactive=140
Playlist_inactive=140
Equalizer_inactive=140
[OSD]
Enable=1
OSDPosition=7
OSDDisplayTime=2500
OSDFontSize=14
OSDOnTrackChange=1
OSDShowVolume=1
OSDShowArt=1
OSDOnPlayState=1
OSDOnVolumeChange=1
[Track]
PlayOnStart=1
RememberPosition=1
EOF

if [ -n "${DISPLAY:-}" ]; then
  export KLV_USE_DISPLAY=1
fi
source "$root/scripts/wine_env.sh"
klv_wine_env "$build/win32"
# The player runs in its per-user mode, as newer players do: the plug-in
# keeps its settings in the user's folder and takes the file above over once.
user_ini=$(realpath -m "$(winepath -u "$(wine cmd /c echo %APPDATA% | tr -d '\r')\\Winamp\\Plugins\\gen_klv.ini")")
rm -f "$user_ini"
# A crash must end the process, not leave a debugger dialog waiting for a click.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
# Without a window manager Wine waits 2 s for each managed window it hides;
# on a real desktop the windows want their frames back.
if [ -n "${KLV_USE_DISPLAY:-}" ]; then
  wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
else
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
fi

if [ -n "${KLV_USE_DISPLAY:-}" ]; then
  say "running the player on $DISPLAY; Ctrl+Alt+N next, Ctrl+Alt+U volume up, Ctrl+Alt+R repeat"
  say "close the player window to end the demo"
  wine "$demo/player.exe" --per-user --log "$demo/player.log" || true
  # The prefix is shared with the headless tests, which want unmanaged windows.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  say "settings file:"
  echo "$user_ini"
  exit 0
fi

# A compositing manager, so that the layered windows' alpha shows on screen and
# in the screenshots; it ends with the Xvfb.
xcompmgr >/dev/null 2>&1 &

wintool() { wine "$wintool_exe" "$@"; }
# The pointer rests in a corner, so no hint covers what a screenshot shows. It
# is parked again before each shot: the place set here was found lost (the
# hint of the control at the screen's centre showed), and a hint, once up,
# stays until the pointer leaves.
wintool cursor 1023 767 || true
shot() {
  wintool cursor 1023 767 || true
  sleep 0.5
  import -display "$DISPLAY" -window root "$demo/screenshots/$1.png"
  say "screenshot $demo/screenshots/$1.png"
}
# Waits for a background player to end by itself; ends it after 30 s.
await_exit() {
  local pid=$1
  for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    say "the player did not exit; stopping it"
    kill "$pid" 2>/dev/null || true
  fi
  wait "$pid" 2>/dev/null || say "the player exited with status $?"
}
position() { wintool request "$main_class" 105 0 | tr -d '\r'; }
entry() { wintool request "$main_class" 125 0 | tr -d '\r'; }

say "first run: the plug-in starts playback"
wine "$demo/player.exe" --per-user --log "$demo/player-run1.log" &
player_pid=$!
wintool wait "$main_class" 30000
sleep 2
shot 01-player-started

# Each key shows the OSD; it is captured while it is up. The start showed the
# Cyrillic entry from its wide title; "Next" wraps round to the first entry.
for step in "ctrl+alt+n:02-next" "ctrl+alt+u:03-volume-up" "ctrl+alt+r:04-repeat"; do
  wintool keys "${step%%:*}"
  sleep 0.5
  shot "${step#*:}"
  sleep 2.5
done

# The player moves on by itself at the end of a track: the OSD names the new
# one. The track is sought to just before its end.
length=$(wintool request "$main_class" 105 1 | tr -d '\r')
wintool request "$main_class" 106 $(( length * 1000 - 300 )) >/dev/null
sleep 1.2
shot 04a-track-change-auto-advance
sleep 2.5

# The keyboard's play/pause key alone: the track pauses and the OSD says so;
# pressed again, it plays on and the OSD says Play.
wintool keys mediaplaypause
sleep 0.5
shot 04b-media-key-play-pause
sleep 2.5
wintool keys mediaplaypause
sleep 0.5
shot 04c-media-key-play-again
sleep 2.5

# The player's own Pause button and volume slider: the OSD follows what the
# player does by any means, not only the plug-in's keys.
wintool click "$main_class" Button Pause 50
sleep 0.5
shot 04d-player-pause-button
sleep 2.5
wintool click "$main_class" Button Pause 50
sleep 3
wintool click "$main_class" msctls_trackbar32 - 10
sleep 0.5
shot 04e-player-volume-slider
sleep 2.5

# The plug-in seeks to the remembered position at start only when the
# player's shuffle is on; the player keeps shuffle across runs.
wintool command "$main_class" 40023
wintool command "$main_class" 41000
sleep 2
shot 05-config-dialog
sleep 2
say "closing at entry $(entry), position $(position) ms"
wintool command "$main_class" 41001
await_exit "$player_pid"

say "second run: playback resumes"
wine "$demo/player.exe" --per-user --log "$demo/player-run2.log" &
player_pid=$!
wintool wait "$main_class" 30000
sleep 1.5
say "resumed at entry $(entry), position $(position) ms"
shot 06-resumed
wintool command "$main_class" 41001
await_exit "$player_pid"

# The two dialogs, used from the keyboard as a user would: the configuration
# dialog opens with the focus on "Exit"; seven Tabs pass the six sliders and
# reach the hotkey list, where Space marks "Previous" and so opens the
# assignment dialog. There Ctrl+Alt+F8 is chosen and assigned, and "Exit"
# writes the settings file.
say "third run: the configuration and hotkey assignment dialogs"
wine "$demo/player.exe" --per-user --log "$demo/player-run3.log" &
player_pid=$!
wintool wait "$main_class" 30000
sleep 1
wintool command "$main_class" 41000
wintool wait TForm1 10000
sleep 1
shot 07-config-dialog
for _ in 1 2 3 4 5 6 7; do wintool keys tab; done
wintool keys space
wintool wait TForm2 10000
sleep 1
shot 08-assign-dialog
wintool keys space       # Enable
wintool keys shift+tab   # key box
wintool keys shift+f
wintool keys 8
for _ in 1 2 3; do wintool keys shift+tab; done
wintool keys space       # Ctrl
wintool keys shift+tab
wintool keys space       # Alt
sleep 0.5
shot 09-assign-dialog-filled
for _ in 1 2 3 4 5 6; do wintool keys tab; done
wintool keys enter       # Assign: Enter clicks the push button that has the focus
sleep 1
shot 10-config-dialog-assigned
for _ in 1 2 3 4 5 6 7; do wintool keys shift+tab; done
wintool keys enter       # Exit
sleep 1
say "saved: $(grep -i '^prev_hotkey=' "$user_ini" | tr -d '\r') (Ctrl+Alt+F8 is $(( (0x77 << 16) | 3 )))"
wintool keys ctrl+alt+f8
sleep 0.5
shot 11-new-hotkey
wintool command "$main_class" 41001
await_exit "$player_pid"

# The OSD and both dialogs at 96 and at 144 DPI (150 %). Wine reads the DPI
# from HKCU\Control Panel\Desktop LogPixels when a process starts; the prefix
# is shared with the tests, which want it without the value (96 DPI).
restore_dpi() { wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true; }
klv_at_exit restore_dpi
for dpi in 96 144; do
  say "run at $dpi DPI"
  # Start on the third entry, so that Next lands on an album with a cover.
  printf '[Player]\r\nEntry=2\r\n' >"$demo/player.ini"
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wine "$demo/player.exe" --per-user --log "$demo/player-dpi$dpi.log" &
  player_pid=$!
  wintool wait "$main_class" 30000
  sleep 1
  wintool keys ctrl+alt+u
  sleep 0.5
  shot "12-osd-${dpi}dpi"
  sleep 2.5
  # The now-playing OSD with the album's cover, scaled with the DPI.
  wintool keys ctrl+alt+n
  sleep 1
  shot "12b-osd-cover-${dpi}dpi"
  sleep 2
  wintool command "$main_class" 41000
  wintool wait TForm1 10000
  sleep 1
  shot "13-config-dialog-${dpi}dpi"
  # To the hotkey list, down to "Play", which has no key: marking it opens the assignment dialog.
  for _ in 1 2 3 4 5 6 7; do wintool keys tab; done
  wintool keys down
  wintool keys space
  wintool wait TForm2 10000
  sleep 1
  shot "14-assign-dialog-${dpi}dpi"
  wintool keys escape      # the assignment dialog's close box: "Play" stays without a key
  sleep 0.5
  wintool keys escape      # the configuration dialog's close box: nothing is written
  sleep 0.5
  wintool command "$main_class" 41001
  await_exit "$player_pid"
done
restore_dpi

# A modern skin, with the plug-in's transparency on: the skin's windows (at
# their own opacity) are what the user sees; the classic main window stays
# unseen on the screen's bottom row and the equalizer hidden.
say "run under a modern skin"
wine "$demo/player.exe" --per-user --modern --skin-alpha 235 --log "$demo/player-modern.log" &
player_pid=$!
wintool wait BaseWindow_RootWnd 30000
sleep 1.5
wintool keys ctrl+alt+n
sleep 0.5
shot 15-modern-skin
sleep 2.5
wintool command "$main_class" 41000
wintool wait TForm1 10000
sleep 1
shot 16-modern-skin-config-dialog
wintool keys escape      # the configuration dialog's close box: nothing is written
sleep 0.5
wintool command "$main_class" 41001
await_exit "$player_pid"

# The OSD on a second monitor: the session moves to a display with a monitor
# right of the primary, and the OSD shows centred on the monitor under the
# pointer.
klv_wine_cleanup
source "$root/scripts/two_monitor_display.sh"
klv_two_monitor_display
klv_two_monitor_layout right
KLV_USE_DISPLAY=1 klv_wine_env "$build/win32"
xcompmgr >/dev/null 2>&1 &
sed -i -e '/^OSDMonitor=/Id' -e '/^OSDPosition=/Id' -e '/^\[OSD\]/a OSDMonitor=3\nOSDPosition=4' "$ini"
say "fourth run: the OSD on the second monitor, where the pointer is"
wine "$demo/player.exe" --log "$demo/player-monitors.log" &
player_pid=$!
wintool wait "$main_class" 30000
sleep 1
wintool cursor 1536 384
wintool keys ctrl+alt+u
sleep 0.5
shot 17-osd-second-monitor
wintool command "$main_class" 41001
await_exit "$player_pid"

say "settings file:"
echo "$user_ini"
