#!/usr/bin/env bash
# Starts the program from a build folder.
set -euo pipefail
build=${1:?build folder}
if [ -x "$build/app/kestrum" ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Kestrum is a desktop program and no display is available here." >&2
    echo "Start it on a desktop, or under a virtual X server:" >&2
    echo "  xvfb-run -a $build/app/kestrum" >&2
    exit 1
  fi
  exec "$build/app/kestrum"
fi
# Until the window exists, a short batch run of the same engine.
exec "$build/cli/kestrum-sim" run --seconds 5
