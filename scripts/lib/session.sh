# One long-lived display and a warm wineserver for a run of tests or the demo. Sourced; needs
# env.sh.
# After session_start: DISPLAY is set, the wineserver is up, every Wine program runs in the
# virtual desktop "Default" (1280x800 or PARLIX_SCREEN, with a system tray), and session_stop
# undoes it all.

source "$(dirname "${BASH_SOURCE[0]}")/prefix.sh"

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
  # The desktop settings must be in place before this session's wineserver starts.
  prefix_prepare || return 1
  # Another screen size than the prefix's: written now and read by the desktop this session
  # starts (the session that wrote it is ended first).
  if [ -n "${PARLIX_SCREEN:-}" ]; then
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$PARLIX_SCREEN" /f >/dev/null 2>&1 || true
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
  fi
  wineserver -p </dev/null >/dev/null 2>&1 || true
  # Starts the session's desktop and services now rather than inside the first program.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
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
