# Sourced: a private Wine prefix and X display for this build tree.
# klv_wine_env BUILD [PREFIX]: the prefix is BUILD/wineprefix unless named.
# Sets WINEPREFIX, DISPLAY (an Xvfb of our own unless KLV_USE_DISPLAY is set)
# and WINEDEBUG; stops the Xvfb and the prefix's wineserver on exit.
klv_wine_env() {
  local build
  build=$(cd "$1" && pwd)
  local prefix=${2:-$build/wineprefix}
  mkdir -p "$prefix"
  # Wine takes only an absolute prefix.
  WINEPREFIX=$(cd "$prefix" && pwd)
  export WINEPREFIX
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  if [ -z "${KLV_USE_DISPLAY:-}" ]; then
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    KLV_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  klv_at_exit klv_wine_cleanup
  if [ ! -f "$WINEPREFIX/.klv-ready-2" ]; then
    wineboot -i >/dev/null 2>&1 || true
    # Without a window manager Wine waits 2 s for every window it hides unless
    # its windows are unmanaged; no crash dialog either, a test just fails.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
    # A crashing test process ends at once instead of waiting in winedbg.
    wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
    wineserver -w 2>/dev/null || true
    touch "$WINEPREFIX/.klv-ready-2"
  fi
  # This Wine reads fonts from C:\windows\Fonts only, so without a copy of its
  # own fonts "MS Sans Serif" falls back to a wider face and the caption
  # buttons (Marlett) show as letters.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
    cp /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$fonts/" 2>/dev/null || true
  fi
  wineserver -w 2>/dev/null || true
}

klv_wine_cleanup() {
  wineserver -k 2>/dev/null || true
  if [ -n "${KLV_XVFB_PID:-}" ]; then kill "$KLV_XVFB_PID" 2>/dev/null || true; fi
  KLV_XVFB_PID=""
}

# Adds a command to those run on exit, before the others (moved there when
# already added): what started last stops first, Wine before its display.
klv_at_exit() {
  local rest=";${KLV_AT_EXIT:-};"
  rest=${rest//;$1;/;}
  rest=${rest#;}
  rest=${rest%;}
  KLV_AT_EXIT="$1${rest:+;$rest}"
  # shellcheck disable=SC2064  # the list as it stands now
  trap "$KLV_AT_EXIT" EXIT
}
