#!/usr/bin/env bash
# Runs one end-to-end script against the real program on a private X server.
#
#   harness.sh SCRIPT_e2e.sh
#
# Environment: KESTRUM_BIN (the program), KESTRUM_SIM (kestrum-sim, may be
# empty), KESTRUM_ARTIFACTS (folder for screenshots and logs).
#
# The harness starts Xvfb on a free display and, where installed, the
# openbox window manager (activation, focus and the close box need one),
# gives the program a private HOME, XDG_CONFIG_HOME, XDG_RUNTIME_DIR and
# working directory, then sources the script, which uses the e2e_* helpers
# below. Everything the harness started is stopped by its own process id
# when the script ends. Exit code 77 means the machine cannot run the test.
set -euo pipefail

script=${1:?usage: harness.sh SCRIPT_e2e.sh}
: "${KESTRUM_BIN:?KESTRUM_BIN names the program}"
KESTRUM_ARTIFACTS=${KESTRUM_ARTIFACTS:-$PWD/e2e-artifacts}
mkdir -p "$KESTRUM_ARTIFACTS"
rm -f "$KESTRUM_ARTIFACTS"/*.png "$KESTRUM_ARTIFACTS"/program.log

for tool in Xvfb xdotool xprop xwininfo import; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (bash scripts/setup.sh test installs it)"
    exit 77
  fi
done

E2E_WORK=$(mktemp -d /tmp/kestrum-e2e-XXXXXX)
E2E_PIDS=()
E2E_HAS_WM=0

e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${E2E_PIDS[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$E2E_WORK"
}
trap e2e_cleanup EXIT

e2e_log() { echo "[e2e $(date +%H:%M:%S)] $*"; }

e2e_fail() {
  echo "FAIL: $*" >&2
  if [ -f "$E2E_WORK/program.log" ]; then
    cp "$E2E_WORK/program.log" "$KESTRUM_ARTIFACTS/program.log" || true
    tail -n 40 "$E2E_WORK/program.log" >&2
  fi
  print_named_windows >&2
  E2E_WIN="" timeout 10 import -window root "$KESTRUM_ARTIFACTS/failure-screen.png" >/dev/null 2>&1 || true
  exit 1
}

# print_named_windows: the X server's titled or classed windows as a tree,
# with their map states: whether a window exists, who has taken it in and
# whether it is shown is what a failure to find or reach one turns on.
print_named_windows() {
  [ -n "${DISPLAY:-}" ] || return 0
  echo "--- windows on $DISPLAY (named ones, with map states)"
  local line id
  timeout 10 xwininfo -root -tree 2>/dev/null | grep -v 'has no name' | grep -E '^ +0x' | head -n 30 |
    while IFS= read -r line; do
      id=$(awk '{ print $1 }' <<<"$line")
      echo "$line  [$(timeout 5 xwininfo -id "$id" 2>/dev/null | sed -n 's/^ *Map State: //p')]"
    done || true
}

# e2e_expect DESCRIPTION COMMAND...: fails the test unless the command succeeds.
e2e_expect() {
  local what=$1
  shift
  "$@" || e2e_fail "$what"
  e2e_log "ok: $what"
}

# e2e_wait_for SECONDS COMMAND...: retries the command every 0.1 s.
e2e_wait_for() {
  local limit=$1
  shift
  local deadline=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

start_x_server() {
  local fd_file=$E2E_WORK/display
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fd_file" >"$E2E_WORK/xvfb.log" 2>&1 &
  E2E_PIDS+=($!)
  e2e_wait_for 20 test -s "$fd_file" || e2e_fail "Xvfb did not start: $(cat "$E2E_WORK/xvfb.log")"
  export DISPLAY=":$(head -n1 "$fd_file" | tr -d '[:space:]')"
  unset WAYLAND_DISPLAY
  e2e_log "X server on $DISPLAY"
}

wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wm_lists_a_client() { xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -q '0x'; }
wm_lists_no_client() { ! wm_lists_a_client; }

# wm_manages_windows: shows a small window and waits until the window
# manager takes it in, then closes it again. A window manager announces
# itself before it has finished starting, and openbox leaves a window that
# is mapped in between unmapped for good, so the program must not start
# before this holds. The probe is shown again when it was lost that way.
wm_manages_windows() {
  local try probe managed=1
  for try in 1 2 3 4 5; do
    xmessage -name kestrum-e2e-probe "probe" >/dev/null 2>&1 &
    probe=$!
    e2e_wait_for 2 wm_lists_a_client && managed=0
    kill "$probe" 2>/dev/null || true
    wait "$probe" 2>/dev/null || true
    [ "$managed" = 0 ] && break
  done
  [ "$managed" = 0 ] && e2e_wait_for 5 wm_lists_no_client
}

start_window_manager() {
  command -v openbox >/dev/null || {
    e2e_log "no window manager installed: activation checks are skipped"
    return 0
  }
  # A second try when the first does not come up: on a loaded machine it has
  # once been seen to stay silent for the whole wait.
  local try
  for try in 1 2; do
    openbox --sm-disable >"$E2E_WORK/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    if e2e_wait_for 20 wm_ready && wm_manages_windows; then
      E2E_HAS_WM=1
      return 0
    fi
    e2e_log "openbox is not up after try $try: $(tail -n 5 "$E2E_WORK/openbox.log")"
    kill "${E2E_PIDS[-1]}" 2>/dev/null || true
  done
  e2e_fail "openbox did not start"
}

make_private_home() {
  export HOME=$E2E_WORK/home
  export XDG_CONFIG_HOME=$HOME/.config
  export XDG_RUNTIME_DIR=$E2E_WORK/run
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$E2E_WORK/cwd"
  chmod 700 "$XDG_RUNTIME_DIR"
  export QT_QPA_PLATFORM=xcb
  # Under the sanitizers: the X keyboard library reads its keymap names with
  # strndup past the terminator it was given, which strict string checks
  # report as an overflow inside the system library before any of our code
  # runs. The later setting wins.
  if [ -n "${ASAN_OPTIONS:-}" ]; then export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"; fi
  E2E_CWD=$E2E_WORK/cwd
  E2E_STORE="$XDG_CONFIG_HOME/Local AppWizard-Generated Applications/kestrum.conf"
  E2E_STATUS_BLOCK="/dev/shm/KESTRUM SOFT"
}

# --- helpers for the scripts ----------------------------------------------

# e2e_preset_store KEY=VALUE...: writes the settings store before a start;
# the program's defaults for everything not given, the sound off.
e2e_preset_store() {
  declare -A v=([TOTALCNT]=0 [TENHOCNT]=0 [MAXTENHOCNT]=0 [MINTENHOCNT]=0 [ACCUMULATIONCNT]=0
                [SPEED]=500 [INTERVAL]=1 [CONTINUE]=0 [LOGFILE]=1 [SOUND]=0 [AUTOSTART]=0 [ACCUMULATION]=1)
  local pair
  for pair in "$@"; do v[${pair%%=*}]=${pair#*=}; done
  mkdir -p "$(dirname "$E2E_STORE")"
  {
    echo "[RECORD]"
    for k in ACCUMULATIONCNT MAXTENHOCNT MINTENHOCNT TENHOCNT TOTALCNT; do echo "$k=${v[$k]}"; done
    echo
    echo "[SETTING]"
    for k in ACCUMULATION AUTOSTART CONTINUE INTERVAL LOGFILE SOUND SPEED; do echo "$k=${v[$k]}"; done
  } >"$E2E_STORE"
}

# e2e_stored KEY: the value the store holds now.
e2e_stored() { sed -n "s/^$1=//p" "$E2E_STORE" | head -n1; }

# e2e_start: starts the program in the private working directory; its
# process id is in E2E_PID.
e2e_start() {
  (cd "$E2E_CWD" && exec "$KESTRUM_BIN" "$@") >>"$E2E_WORK/program.log" 2>&1 &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
  e2e_log "started the program, pid $E2E_PID"
}

# e2e_windows: ids of the visible top-level windows titled Kestrum...
e2e_windows() { xdotool search --onlyvisible --name '^Kestrum' 2>/dev/null || true; }

# e2e_find_window [SECONDS]: waits for the program's window; its id is in E2E_WIN.
e2e_find_window() {
  local limit=${1:-20}
  E2E_WIN=""
  local deadline=$((SECONDS + limit))
  while [ -z "$E2E_WIN" ]; do
    # Both conditions, not either (the search's default): the view and the
    # edge around it are X windows of the program's too, without a title,
    # and while the window manager maps the frame a search can see them
    # shown and the main window not yet.
    E2E_WIN=$(xdotool search --all --onlyvisible --pid "$E2E_PID" --name '^Kestrum' 2>/dev/null | head -n1 || true)
    [ -n "$E2E_WIN" ] && break
    [ "$SECONDS" -ge "$deadline" ] && e2e_fail "no Kestrum window appeared"
    sleep 0.1
  done
  e2e_log "window $E2E_WIN"
}

e2e_title() { xdotool getwindowname "$E2E_WIN"; }

# e2e_size: "WIDTH HEIGHT" of the window's client (the frame's inside).
e2e_size() {
  xwininfo -id "$E2E_WIN" | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w, h}'
}

# e2e_focus: makes the window the active one, so that it takes the keys.
e2e_focus() {
  if [ "$E2E_HAS_WM" = 1 ]; then
    xdotool windowactivate --sync "$E2E_WIN" >/dev/null 2>&1 || xdotool windowfocus --sync "$E2E_WIN"
  else
    xdotool windowfocus --sync "$E2E_WIN"
  fi
}

# e2e_key KEY...: types keys into the window, as a keyboard would.
e2e_key() {
  e2e_focus
  xdotool key --delay 80 "$@"
}

# e2e_close: the close box: the window manager asks the window to close.
e2e_close() {
  if [ "$E2E_HAS_WM" = 1 ] && command -v wmctrl >/dev/null; then
    wmctrl -i -c "$E2E_WIN"
  else
    e2e_key alt+s x
  fi
}

# e2e_wait_exit [SECONDS]: waits for the program to end; its exit code is in E2E_STATUS.
e2e_wait_exit() {
  local limit=${1:-20}
  e2e_wait_for "$limit" bash -c "! kill -0 $E2E_PID 2>/dev/null" || e2e_fail "the program did not end"
  E2E_STATUS=0
  wait "$E2E_PID" || E2E_STATUS=$?
}

# e2e_status_text: the text in the shared status block, up to its zero byte.
# Only a regular object is read: a test of the block's hardening may leave a
# pipe under its name, and opening that would wait for ever.
e2e_status_text() {
  [ -f "$E2E_STATUS_BLOCK" ] || return 0
  tr '\0' '\n' <"$E2E_STATUS_BLOCK" 2>/dev/null | head -n1 | iconv -f SHIFT_JIS -t UTF-8 2>/dev/null || true
}

# e2e_screenshot NAME: the whole screen, and the window alone magnified four
# times without smoothing, into the artifacts folder. Prints the window file.
e2e_screenshot() {
  local name=$1
  import -window root "$KESTRUM_ARTIFACTS/$name-screen.png"
  if [ -n "${E2E_WIN:-}" ]; then
    import -window "$E2E_WIN" "$KESTRUM_ARTIFACTS/$name-window.png"
    convert "$KESTRUM_ARTIFACTS/$name-window.png" -filter point -resize 400% "$KESTRUM_ARTIFACTS/$name-window-x4.png"
    echo "$KESTRUM_ARTIFACTS/$name-window.png"
  fi
}

start_x_server
start_window_manager
make_private_home
e2e_log "running $(basename "$script")"
# shellcheck source=/dev/null
source "$script"
e2e_log "passed: $(basename "$script")"
