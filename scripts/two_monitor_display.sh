# Sourced: an X display of our own with two 1024x768 monitors side by side.
# Xvfb shows Wine one monitor whatever its screens; Xorg's dummy driver with
# two outputs placed by xrandr shows it two.
#   klv_two_monitor_display            starts the server, exports DISPLAY
#   klv_two_monitor_layout right|left  puts the second monitor beside the primary
#   klv_two_monitor_stop               ends the server (also run on exit)
# Wine reads the monitors when its server starts: start a fresh one for the
# prefix after every change of layout.
source "$(dirname "${BASH_SOURCE[0]}")/wine_env.sh"

# The second output's mode: 1024x768 at 60 Hz (the output has none of its own).
klv_two_monitor_mode=(klv1024x768 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync)

klv_two_monitor_display() {
  KLV_XORG_DIR=$(mktemp -d /tmp/klv-xorg.XXXXXX)
  # No input devices and no virtual terminal: the server runs headless beside
  # whatever else the machine shows.
  cat >"$KLV_XORG_DIR/xorg.conf" <<'EOF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 2048 768
  EndSubSection
EndSection
EOF
  # The server takes the first free display number itself and writes it
  # to the file once it accepts clients.
  Xorg -displayfd 3 -config "$KLV_XORG_DIR/xorg.conf" -nolisten tcp -noreset -novtswitch -sharevts \
    -logfile "$KLV_XORG_DIR/Xorg.log" 3>"$KLV_XORG_DIR/display" >/dev/null 2>&1 &
  KLV_XORG_PID=$!
  klv_at_exit klv_two_monitor_stop
  local number=""
  for _ in $(seq 100); do
    number=$(head -n1 "$KLV_XORG_DIR/display" 2>/dev/null || true)
    [ -n "$number" ] && break
    if ! kill -0 "$KLV_XORG_PID" 2>/dev/null; then break; fi
    sleep 0.1
  done
  if [ -z "$number" ]; then
    echo "two_monitor_display.sh: Xorg did not start; its log: $KLV_XORG_DIR/Xorg.log" >&2
    return 1
  fi
  export DISPLAY=":$number"
  xrandr --newmode "${klv_two_monitor_mode[@]}"
  xrandr --addmode DUMMY1 "${klv_two_monitor_mode[0]}"
}

klv_two_monitor_layout() {
  case "$1" in
    right | left) ;;
    *)
      echo "two_monitor_display.sh: layout is right or left, not '$1'" >&2
      return 1
      ;;
  esac
  xrandr --output DUMMY0 --primary --mode 1024x768 --pos 0x0 \
    --output DUMMY1 --mode "${klv_two_monitor_mode[0]}" "--$1-of" DUMMY0
  # A plain query makes the server probe its outputs again; without it Wine,
  # which asks only for the current configuration, still sees one monitor.
  xrandr >/dev/null
  export KLV_MONITOR_LAYOUT=$1
}

klv_two_monitor_stop() {
  if [ -n "${KLV_XORG_PID:-}" ]; then
    kill "$KLV_XORG_PID" 2>/dev/null || true
    wait "$KLV_XORG_PID" 2>/dev/null || true
    KLV_XORG_PID=""
  fi
  if [ -n "${KLV_XORG_DIR:-}" ]; then
    rm -rf "$KLV_XORG_DIR"
    KLV_XORG_DIR=""
  fi
}
