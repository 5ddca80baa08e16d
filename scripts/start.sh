#!/usr/bin/env bash
# Starts the program from a build folder. The program writes its heavenly-
# hand log, tenholog.txt, into the directory it runs in; from here that is
# the build folder, so the source tree stays clean.
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
program=$build/app/kestrum
if [ ! -x "$program" ]; then
  echo "No program at $program: build first (bash scripts/setup.sh run)." >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Kestrum is a desktop program and no display is available here." >&2
  echo "Start it on a desktop, or under a virtual X server:" >&2
  echo "  cd $build && xvfb-run -a $program" >&2
  exit 1
fi
cd "$build"
exec "$program"
