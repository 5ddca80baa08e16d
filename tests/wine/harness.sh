#!/bin/bash
# Runs one end-to-end script of kestrum.exe under Wine, on a private X
# server with openbox, in the Wine prefix the test run prepared (the
# wine_prefix and wine_japanese fixtures), with a Japanese locale so that
# menus and dialogs show their text. Each script gets its own wineserver,
# its own working folder (for tenholog.txt) and a registry without the
# program's key.
#
#   harness.sh SCRIPT_wine.sh
#
# Environment: KESTRUM_EXE, KESTRUM_PROBE (tests/wine/KestrumProbe.cpp),
# KESTRUM_TENHOU_SECOND (the Windows build of tests/e2e/TenhouSecond.cpp),
# KESTRUM_VIEW_PICTURES (candidates for a Linux build's view_picture_of,
# separated by colons; the first that is there is used, and the picture
# comparisons are skipped without one), KESTRUM_LOCALES (a folder holding
# ja_JP.UTF-8), WINEPREFIX, KESTRUM_ARTIFACTS (screenshots are left there).
set -euo pipefail

script=${1:?usage: harness.sh SCRIPT_wine.sh}
: "${KESTRUM_EXE:?}" "${KESTRUM_PROBE:?}" "${WINEPREFIX:?}" "${KESTRUM_LOCALES:?}"
KESTRUM_ARTIFACTS=${KESTRUM_ARTIFACTS:-$PWD/wine-artifacts}
mkdir -p "$KESTRUM_ARTIFACTS"
rm -f "$KESTRUM_ARTIFACTS"/*.png

for tool in Xvfb openbox xdotool import compare iconv xxd; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (bash scripts/windows.sh installs it)"
    exit 77
  fi
done

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LOCPATH=$KESTRUM_LOCALES
{ export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8; } 2>/dev/null
W_WORK=$(mktemp -d /tmp/kestrum-wine-XXXXXX)
W_PIDS=()
W_PID=""
W_WIN=""
W_CWD=$W_WORK/cwd
mkdir -p "$W_CWD"
W_KEY='HKCU\Software\Local AppWizard-Generated Applications\kestrum'
KESTRUM_VIEW_PICTURE=""
IFS=: read -r -a view_pictures <<<"${KESTRUM_VIEW_PICTURES:-}"
for candidate in "${view_pictures[@]}"; do
  if [ -x "$candidate" ]; then
    KESTRUM_VIEW_PICTURE=$candidate
    break
  fi
done

w_cleanup() {
  local pid
  wineserver -k 2>/dev/null || true
  for pid in "${W_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${W_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$W_WORK"
}
trap w_cleanup EXIT

w_log() { echo "[wine $(date +%H:%M:%S)] $*"; }

w_fail() {
  echo "FAIL: $*" >&2
  [ -f "$W_WORK/program.log" ] && tail -n 20 "$W_WORK/program.log" >&2
  timeout 10 import -window root "$KESTRUM_ARTIFACTS/failure-screen.png" >/dev/null 2>&1 || true
  exit 1
}

w_expect() {
  local what=$1
  shift
  "$@" || w_fail "$what"
  w_log "ok: $what"
}

w_wait_for() {
  local limit=$1
  shift
  local deadline=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}

start_x() {
  local fd_file=$W_WORK/display
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fd_file" >"$W_WORK/xvfb.log" 2>&1 &
  W_PIDS+=($!)
  w_wait_for 20 test -s "$fd_file" || w_fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$fd_file" | tr -d '[:space:]')"
  openbox --sm-disable >"$W_WORK/openbox.log" 2>&1 &
  W_PIDS+=($!)
  w_wait_for 20 bash -c "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'" ||
    w_fail "openbox did not start"
  w_log "X server on $DISPLAY with openbox"
}

# A wineserver of this test's own, started before the program so that the
# program's clock library (see w_start_at) never reaches it.
start_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -p5
  wine reg delete "HKCU\\Software\\Local AppWizard-Generated Applications" /f >/dev/null 2>&1 || true
}

# w_preset NAME=VALUE...: values of the program's key, REG_SZ, in the
# section each name belongs to, written as another program would.
w_preset() {
  local pair name section
  {
    printf 'REGEDIT4\r\n\r\n'
    for section in SETTING RECORD; do
      printf '[HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated Applications\\kestrum\\%s]\r\n' "$section"
      for pair in "$@"; do
        name=${pair%%=*}
        case $name in
          TOTALCNT|TENHOCNT|MAXTENHOCNT|MINTENHOCNT|ACCUMULATIONCNT) [ "$section" = RECORD ] || continue ;;
          *) [ "$section" = SETTING ] || continue ;;
        esac
        printf '"%s"="%s"\r\n' "$name" "${pair#*=}"
      done
      printf '\r\n'
    done
  } >"$W_WORK/preset.reg"
  wine regedit /S "$(winepath -w "$W_WORK/preset.reg")" || w_fail "the preset did not reach the registry"
}

# w_stored SECTION NAME: the value's type and data, "REG_SZ 405".
w_stored() {
  wine reg query "$W_KEY\\$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { print $2, $3 }'
}

w_start() {
  (cd "$W_CWD" && exec "$@" wine "$KESTRUM_EXE" >>"$W_WORK/program.log" 2>&1) &
  W_PID=$!
  W_WIN=""
  local deadline=$((SECONDS + 40))
  while [ -z "$W_WIN" ]; do
    W_WIN=$(xdotool search --onlyvisible --name '^Kestrum' 2>/dev/null | head -n1 || true)
    [ -n "$W_WIN" ] && break
    [ "$SECONDS" -ge "$deadline" ] && w_fail "no Kestrum window appeared"
    sleep 0.2
  done
  w_wait_for 10 probe view >/dev/null || w_fail "the view did not appear"
  w_log "kestrum.exe started, window $W_WIN"
}

# w_start_at SECOND: the program with its calendar clock frozen at SECOND (UTC).
w_start_at() {
  local when
  when=$(TZ=UTC date -d "@$1" '+%Y-%m-%d %H:%M:%S')
  w_start env TZ=UTC LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 FAKETIME="$when" \
    FAKETIME_DONT_FAKE_MONOTONIC=1 FAKETIME_DISABLE_SHM=1
}

probe() { wine "$KESTRUM_PROBE" "$@" 2>/dev/null | tr -d '\r'; }

w_title() { xdotool getwindowname "$W_WIN"; }

w_key() {
  xdotool windowactivate --sync "$W_WIN" >/dev/null 2>&1 || true
  sleep 0.3
  xdotool key --delay 100 "$@"
}

# The dialog's window (on the X side) by its caption, taken literally.
w_dialog_window() {
  local pattern
  pattern=$(sed 's/[][().*^$+?{}|\\]/\\&/g' <<<"$1")
  xdotool search --onlyvisible --name "^$pattern\$" 2>/dev/null | head -n1 || true
}

w_dialog_key() {
  local win
  win=$(w_dialog_window "$1")
  shift
  [ -n "$win" ] || w_fail "no dialog to press $* in"
  xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true
  sleep 0.3
  xdotool key --delay 100 "$@"
}

w_wait_exit() {
  w_wait_for "${1:-30}" bash -c "! kill -0 $W_PID 2>/dev/null" || w_fail "kestrum.exe did not end"
  wait "$W_PID" || true
}

w_close() {
  w_key alt+s x
  w_wait_exit
}

# The status block's text (Shift_JIS bytes as hex up to the zero byte).
w_status_hex() { probe status | head -n1; }
w_status_text() { w_status_hex | xxd -r -p | iconv -f SHIFT_JIS -t UTF-8; }

w_screenshot() {
  import -window root "$KESTRUM_ARTIFACTS/$1-screen.png"
  echo "$KESTRUM_ARTIFACTS/$1-screen.png"
}

# w_view_shot NAME: the view's 280 x 42 pixels, where the program says
# the view's client area is on the screen.
w_view_shot() {
  local x y w h
  read -r x y w h < <(probe view) || w_fail "no view to take a picture of"
  [ "$w $h" = "280 42" ] || w_fail "the view's client area is $w x $h, not 280 x 42"
  import -window root -crop "280x42+$x+$y" +repage "$KESTRUM_ARTIFACTS/$1-view.png"
  convert "$KESTRUM_ARTIFACTS/$1-view.png" -filter point -resize 300% "$KESTRUM_ARTIFACTS/$1-view-x3.png"
}

# w_same_picture NAME MODE ARG: the view's picture against the Linux view's
# picture of the same state (view_picture_of MODE ARG), pixel for pixel.
w_same_picture() {
  if [ ! -x "${KESTRUM_VIEW_PICTURE:-}" ]; then
    w_log "no Linux view_picture_of among KESTRUM_VIEW_PICTURES: picture comparison of $1 skipped"
    return 0
  fi
  w_view_shot "$1"
  "$KESTRUM_VIEW_PICTURE" 1 "$KESTRUM_ARTIFACTS/$1-linux.png" "$2" "$3" || w_fail "no Linux picture for $1"
  local differ
  differ=$(compare -metric AE "$KESTRUM_ARTIFACTS/$1-view.png" "$KESTRUM_ARTIFACTS/$1-linux.png" null: 2>&1 || true)
  [ "$differ" = 0 ] || w_fail "the view of $1 differs from the Linux picture in $differ pixels"
  w_log "ok: the view of $1 is the Linux picture, pixel for pixel"
}

start_x
start_wine
w_log "running $(basename "$script")"
source "$script"
w_log "passed: $(basename "$script")"
