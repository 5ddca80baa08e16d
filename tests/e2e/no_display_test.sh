#!/usr/bin/env bash
# The program started where there is no display, as from ssh or cron: one
# line on standard error that says so and how to run it, exit code 1, and
# nothing touched (no settings, no log, no status block).
#
#   no_display_test.sh PROGRAM
set -euo pipefail
program=${1:?usage: no_display_test.sh PROGRAM}
work=$(mktemp -d /tmp/kestrum-no-display-XXXXXX)
trap 'rm -rf "$work"' EXIT
block="/dev/shm/KESTRUM SOFT"
block_before=$(stat -c %i "$block" 2>/dev/null || echo none)

fail() { echo "FAIL: $*" >&2; exit 1; }

check_start() {
  local what=$1 wanted=$2
  shift 2
  mkdir -p "$work/home" "$work/cwd"
  local status=0
  (cd "$work/cwd" && exec env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$work/home" \
    XDG_CONFIG_HOME="$work/home/.config" "$@" "$program") >"$work/out" 2>"$work/err" || status=$?
  [ "$status" = 1 ] || fail "$what: exit code $status, wanted 1; stderr: $(cat "$work/err")"
  [ "$(wc -l <"$work/err")" = 1 ] || fail "$what: wanted one line on stderr, got: $(cat "$work/err")"
  grep -q "no display" "$work/err" || fail "$what: the line does not say there is no display: $(cat "$work/err")"
  grep -q "$wanted" "$work/err" || fail "$what: the line does not say \"$wanted\": $(cat "$work/err")"
  grep -q "xvfb-run" "$work/err" || fail "$what: the line does not say how to run it: $(cat "$work/err")"
  [ ! -s "$work/out" ] || fail "$what: standard output is not empty"
  [ -z "$(find "$work/home" "$work/cwd" -mindepth 1)" ] || fail "$what: files were made: $(find "$work/home" "$work/cwd" -mindepth 1)"
  [ "$(stat -c %i "$block" 2>/dev/null || echo none)" = "$block_before" ] || fail "$what: the status block was touched"
  echo "ok: $what: $(cat "$work/err")"
}

check_start "DISPLAY not set" "DISPLAY is not set" env -u DISPLAY
# A display number no X server on this machine answers.
free=4242
while [ -e "/tmp/.X11-unix/X$free" ] || [ -e "/tmp/.X$free-lock" ]; do free=$((free + 1)); done
check_start "DISPLAY :$free with no server" "cannot open X display \":$free\"" env DISPLAY=":$free"
