#!/usr/bin/env bash
# Opens every dialog of the real program under a private X server, from its
# key and from the menu, and keeps a screenshot of each. Checks that each
# dialog appears with the size its layout gives in the Japanese dialog font,
# that its picture holds drawn text, and that Escape closes it again.
#
# Usage: dialogs_e2e.sh [path/to/kestrum] [artifact folder]
# (KESTRUM_BIN and KESTRUM_ARTIFACTS may give the same.)
set -euo pipefail

program=${1:-${KESTRUM_BIN:-}}
artifacts=${2:-${KESTRUM_ARTIFACTS:-$PWD/test-artifacts}}
[[ -x "$program" ]] || { echo "no program at '$program'" >&2; exit 2; }
program=$(realpath "$program")
# Without a font that covers Japanese every caption would be drawn as boxes.
[[ -n "$(fc-list :lang=ja family)" ]] || { echo "no Japanese font installed" >&2; exit 1; }
mkdir -p "$artifacts/dialogs"
artifacts=$(realpath "$artifacts/dialogs")

scratch=$(mktemp -d)
server_pid=""
program_pid=""
cleanup() {
  [[ -n "$program_pid" ]] && kill "$program_pid" 2>/dev/null || true
  [[ -n "$server_pid" ]] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_RUNTIME_DIR=$scratch/runtime
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$scratch/work"
chmod 700 "$XDG_RUNTIME_DIR"

# Two logged heavenly hands, in Shift_JIS with CR LF, so that F5 is enabled.
python3 - "$scratch/work/tenholog.txt" <<'PY'
import sys
entry = ("===== 開始 2001/03/04 09:05:03 =====\n* {hand}\n+ {run}\n[総局数] 600\n[天和回数] 2\n"
         "[天和確率] 0.33333\n[最短局数] 250\n[最長局数] 350\n----- 終了 2001/03/04 21:47:10 -----\n\n")
text = entry.format(hand="1m1m1m2m3m4m5m6m7m8m8m9m9m9m", run=350) + \
       entry.format(hand="1p2p3p4s5s6s東東東白白白中中", run=250)
open(sys.argv[1], "wb").write(text.replace("\n", "\r\n").encode("shift_jis"))
PY

for display in $(seq 91 120); do
  [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]] && continue
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  server_pid=$!
  sleep 1
  if kill -0 "$server_pid" 2>/dev/null; then break; fi
  server_pid=""
done
[[ -n "$server_pid" ]] || { echo "no X server could be started" >&2; exit 2; }
export DISPLAY=:$display

(cd "$scratch/work" && exec "$program") >"$scratch/program.log" 2>&1 &
program_pid=$!
main=$(xdotool search --sync --onlyvisible --name '^Kestrum' | head -n1)

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Waits until a visible window with exactly this title exists; prints its id.
wait_for_window() {
  local title=$1 id
  for _ in $(seq 1 50); do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n1 || true)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

gone() {
  local title=$1
  for _ in $(seq 1 50); do
    xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# Dark pixels in a picture: text drawn in black on the light dialog face.
ink() { convert "$1" -colorspace Gray -threshold 50% -negate -format '%[fx:int(mean*w*h)]' info:; }

# open_dialog <name> <title> <width> <height> <xdotool key...>
open_dialog() {
  local name=$1 title=$2 width=$3 height=$4
  shift 4
  xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
  xdotool key --clearmodifiers "$@"
  local id
  if ! id=$(wait_for_window "$title"); then
    fail "$name: no window '$title' after keys $*"
    return
  fi
  sleep 0.5  # let the first paint finish
  local shot=$artifacts/$name.png
  import -window "$id" "$shot"
  local geometry
  geometry=$(xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: //p')
  [[ "$geometry" == "${width}x${height}" ]] || fail "$name: size $geometry, expected ${width}x${height}"
  local dark
  dark=$(ink "$shot")
  ((dark > 400)) || fail "$name: only $dark dark pixels, text not drawn"
  if [[ "$name" == tenhou-record-* ]]; then
    # The hand row (14 tiles of 20 x 28 from x 23, y 238 in this font) is
    # coloured tile art, not the grey dialog face.
    local colour
    colour=$(convert "$shot" -crop 280x28+23+238 +repage -colorspace HSL -channel G -separate -format '%[fx:int(mean*1000)]' info:)
    ((colour > 50)) || fail "$name: no hand drawn (saturation $colour/1000)"
  fi
  echo "$name: $title ${geometry}, $dark dark pixels, $shot"
  xdotool key --clearmodifiers Escape
  gone "$title" || fail "$name: Escape did not close '$title'"
}

# Client sizes: the layouts in dialog units at 7 x 13 pixels per 4 x 8 units.
open_dialog settings-key "設定" 292 375 F3
open_dialog record-key "記録" 264 190 F4
open_dialog tenhou-record-key "天和記録" 327 336 F5
open_dialog settings-menu "設定" 292 375 alt+s s
open_dialog record-menu "記録" 264 190 alt+s r
open_dialog tenhou-record-menu "天和記録" 327 336 alt+s l
open_dialog about-menu "バージョン情報\\(kestrum\\)" 299 151 alt+h a

kill -0 "$program_pid" 2>/dev/null || fail "the program ended"
((failures == 0)) || { cat "$scratch/program.log" >&2; exit 1; }
echo "all dialogs opened and closed"
