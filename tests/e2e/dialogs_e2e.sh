# Sourced by harness.sh: opens every dialog of the real program from its key
# and from the menu, keeps a screenshot of each, and checks that each dialog
# appears with the size its layout gives in the Japanese dialog font, that
# text is drawn in it (and the hand in the log browser), and that Escape
# closes it again.

[ -n "$(fc-list :lang=ja family)" ] || e2e_fail "no Japanese font installed: every caption would be boxes"

# Two logged heavenly hands, in Shift_JIS with CR LF, so that F5 is enabled.
python3 - "$E2E_CWD/tenholog.txt" <<'PY'
import sys
entry = ("===== 開始 2001/03/04 09:05:03 =====\n* {hand}\n+ {run}\n[総局数] 600\n[天和回数] 2\n"
         "[天和確率] 0.33333\n[最短局数] 250\n[最長局数] 350\n----- 終了 2001/03/04 21:47:10 -----\n\n")
text = entry.format(hand="1m1m1m2m3m4m5m6m7m8m8m9m9m9m", run=350) + \
       entry.format(hand="1p2p3p4s5s6s東東東白白白中中", run=250)
open(sys.argv[1], "wb").write(text.replace("\n", "\r\n").encode("shift_jis"))
PY

e2e_preset_store
e2e_start
e2e_find_window
main_window=$E2E_WIN

# dialog_window TITLE: the id of the visible window with exactly this title.
dialog_window() { xdotool search --all --onlyvisible --pid "$E2E_PID" --name "^$1\$" 2>/dev/null | head -n1; }
dialog_gone() { [ -z "$(dialog_window "$1")" ]; }

# Dark pixels of a picture: text drawn on the light dialog face.
ink() { convert "$1" -colorspace Gray -threshold 50% -negate -format '%[fx:int(mean*w*h)]' info:; }
# Mean saturation, in thousandths, of a region: tile art is coloured, the face grey.
colour_in() { convert "$1" -crop "$2" +repage -colorspace HSL -channel G -separate -format '%[fx:int(mean*1000)]' info:; }

# check_dialog NAME TITLE WIDTH HEIGHT KEY...
check_dialog() {
  local name=$1 title=$2 width=$3 height=$4
  shift 4
  E2E_WIN=$main_window
  e2e_key "$@"
  e2e_wait_for 5 bash -c "[ -n \"\$(xdotool search --all --onlyvisible --pid $E2E_PID --name '^$title\$' 2>/dev/null)\" ]" ||
    e2e_fail "$name: no window '$title' after the keys $*"
  E2E_WIN=$(dialog_window "$title")
  sleep 0.5  # the first paint
  local shot size dark
  shot=$(e2e_screenshot "dialog-$name")
  size=$(e2e_size)
  [ "$size" = "$width $height" ] || e2e_fail "$name: client $size, the layout gives $width $height"
  dark=$(ink "$shot")
  [ "$dark" -gt 400 ] || e2e_fail "$name: only $dark dark pixels: no text drawn"
  if [ "$name" != "${name#tenhou}" ]; then
    # 14 tiles of 20 x 28 from (23, 238) in this font.
    [ "$(colour_in "$shot" 280x28+23+238)" -gt 50 ] || e2e_fail "$name: the hand is not drawn"
  fi
  e2e_log "$name: '$title' $size, $dark dark pixels, $shot"
  e2e_key Escape
  e2e_wait_for 5 dialog_gone "$title" || e2e_fail "$name: Escape did not close '$title'"
}

# Client sizes: the layouts in dialog units at 7 x 13 pixels per 4 x 8 units.
check_dialog settings-key "設定" 292 375 F3
check_dialog record-key "記録" 264 190 F4
check_dialog tenhou-record-key "天和記録" 327 336 F5
check_dialog settings-menu "設定" 292 375 alt+s s
check_dialog record-menu "記録" 264 190 alt+s r
check_dialog tenhou-record-menu "天和記録" 327 336 alt+s l
check_dialog about-menu "バージョン情報\\(kestrum\\)" 299 151 alt+h a

kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended while its dialogs were used"
