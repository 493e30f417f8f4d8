#!/usr/bin/env bash
# Runs a program on a fresh virtual X display (xvfb-run) with a window manager on
# it, SDL on X11; answers the program's exit code. The manager is openbox, or the
# one MORNA_WM names (openbox, metacity): managers keep dialogs, full screen and
# the focus each in their own way. MORNA_WM=none runs no manager at all, as a
# kiosk or xinit runs a program: nobody places, frames or focuses the windows.
# The program starts once the manager has announced itself on the root window
# (bounded): a window mapped while the manager is still taking over the screen
# can wait for its map notification for ever. A manager that ends before it has
# announced itself is started once more; either is reported on standard error.
# The server does not reset when its last client leaves (-noreset): the probe for
# the manager's announcement would otherwise reset it just as the manager connects,
# which then fails to open the display. The program finds the manager's process id
# in MORNA_WM_PID (empty with none).
set -euo pipefail
case "${MORNA_WM:-openbox}" in
  openbox) MORNA_WM_COMMAND="openbox" ;;
  # No compositor on Xvfb, no session manager; its settings in memory (no D-Bus session here).
  metacity) MORNA_WM_COMMAND="env GSETTINGS_BACKEND=memory metacity --compositor=none --sm-disable" ;;
  none) MORNA_WM_COMMAND="" ;;
  *) echo "run-with-wm: unknown window manager ${MORNA_WM}" >&2; exit 2 ;;
esac
export MORNA_WM_COMMAND
exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash -c '
  announced() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
  wm=""
  [ -n "$MORNA_WM_COMMAND" ] && for attempt in 1 2; do
    $MORNA_WM_COMMAND >>"${MORNA_WM_LOG:-/dev/null}" 2>&1 &
    wm=$!
    for _ in $(seq 100); do
      announced && break
      kill -0 "$wm" 2>/dev/null || break
      sleep 0.1
    done
    announced && break
    if kill -0 "$wm" 2>/dev/null; then
      echo "run-with-wm: ${MORNA_WM:-openbox} has not announced itself after 10 s" >&2
      break
    fi
    st=0
    wait "$wm" || st=$?
    echo "run-with-wm: ${MORNA_WM:-openbox} ended with exit code $st before announcing itself (attempt $attempt)" >&2
  done
  export SDL_VIDEODRIVER=x11
  export MORNA_WM_PID="$wm"  # for a test that holds the manager up as a busy machine does
  rc=0
  "$@" || rc=$?
  if [ -n "$wm" ]; then
    kill "$wm" 2>/dev/null || true
    wait "$wm" 2>/dev/null || true
  fi
  exit "$rc"' run-with-wm "$@"
