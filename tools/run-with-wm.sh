#!/usr/bin/env bash
# Runs a program on a fresh virtual X display (xvfb-run) with a small window
# manager (openbox) on it, SDL on X11; answers the program's exit code.
set -euo pipefail
exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  openbox >"${MORNA_WM_LOG:-/dev/null}" 2>&1 &
  wm=$!
  export SDL_VIDEODRIVER=x11
  rc=0
  "$@" || rc=$?
  kill "$wm" 2>/dev/null || true
  wait "$wm" 2>/dev/null || true
  exit "$rc"' run-with-wm "$@"
