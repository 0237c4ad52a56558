# One long-lived display and a warm wineserver for a run of tests or the demo. Sourced.
# After session_start: DISPLAY is set, the wineserver is up, every Wine program runs in the
# virtual desktop "Default" (1280x800 or PARLIX_SCREEN, with a system tray), and session_stop
# undoes it all.

SESSION_XVFB_PID=""
SESSION_OWN_DISPLAY=0

session_start() {
  if [ -z "${DISPLAY:-}" ]; then
    local n
    for n in 77 78 79 80 81 82 83 84; do
      [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    Xvfb ":$n" -screen 0 "${PARLIX_SCREEN:-1280x800}x24" -nolisten tcp >/dev/null 2>&1 &
    SESSION_XVFB_PID=$!
    export DISPLAY=":$n"
    SESSION_OWN_DISPLAY=1
    local i
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.05
    done
  fi
  # Every program in one virtual desktop: a stable screen size and a tray for notify icons.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "${PARLIX_SCREEN:-1280x800}" /f >/dev/null 2>&1 || true
  # No crash dialogs: a crashing test program ends instead of waiting for a click.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1 || true
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d 'false' /f >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
  wineserver -p </dev/null >/dev/null 2>&1 || true
}

session_stop() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
  if [ "$SESSION_OWN_DISPLAY" = 1 ] && [ -n "$SESSION_XVFB_PID" ]; then
    kill "$SESSION_XVFB_PID" 2>/dev/null || true
    wait "$SESSION_XVFB_PID" 2>/dev/null || true
    unset DISPLAY
  fi
}
