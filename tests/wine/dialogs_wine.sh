# Every dialog of kestrum.exe under Wine, driven with keys as a person
# would, read back by a second Windows program (kestrum_probe dialog): the
# settings with their sliders and switches, the records with their clear
# button, the heavenly-hand log with its slider and hand picture, and the
# about box. Sourced by harness.sh.

# entry START_TIME HAND RUN TOTAL TENHO PERCENT SHORTEST LONGEST
entry() {
  printf '%s\r\n' "===== 開始 $1 =====" "* $2" "+ $3" "[総局数] $4" "[天和回数] $5" "[天和確率] $6" \
    "[最短局数] $7" "[最長局数] $8" "----- 終了 $1 -----" "" | iconv -f UTF-8 -t SHIFT_JIS
}
newest_hand=1m1m1m2m3m4m5m6m7m8m8m9m9m9m
{
  entry "2001/03/04 09:05:03" "東東東南南南西西西北北北中中" 350 350 1 0.28571 350 350
  entry "2001/03/04 21:47:10" "$newest_hand" 250 600 2 0.33333 250 350
} >"$W_CWD/tenholog.txt"
# The shell opens addresses with xdg-open (through winebrowser); this one
# only notes what it was asked to open.
mkdir -p "$W_WORK/bin"
printf '#!/bin/sh\necho "$@" >>"%s"\n' "$W_WORK/opened.txt" >"$W_WORK/bin/xdg-open"
chmod +x "$W_WORK/bin/xdg-open"
export PATH="$W_WORK/bin:$PATH"
w_preset TOTALCNT=9223372036854775807 TENHOCNT=2 MINTENHOCNT=250 MAXTENHOCNT=350 SPEED=500 INTERVAL=1 SOUND=0
w_start

# dialog_line ID: the probe's line of the control with that id.
dialog_text() { probe dialog | awk -F '\t' -v id="$1" '$1 == id { print $4; exit }'; }
dialog_caption() { probe dialog | head -n1 | cut -f1; }
no_dialog() { ! wine "$KESTRUM_PROBE" dialog >/dev/null 2>&1; }
open_dialog() {
  w_key "$1"
  w_wait_for 15 bash -c "[ \"\$(wine '$KESTRUM_PROBE' dialog 2>/dev/null | tr -d '\r' | head -n1 | cut -f1)\" = '$2' ]" ||
    w_fail "$1 did not open $2"
  w_log "ok: $1 opened $2"
}

# --- records: the figures, then a clear given up with Escape, then one
# confirmed with OK.
open_dialog F4 記録
w_screenshot records >/dev/null
w_expect "the records show the stored counts" \
  test "$(dialog_text 1004)/$(dialog_text 1005)/$(dialog_text 1008)/$(dialog_text 1006)/$(dialog_text 1007)" = \
  "9223372036854775807/2/2.1684e-017/250/350"
# Nineteen digits do not fit the template's 74 units; the figure takes
# the gap after its caption instead of losing digits.
read -r total_x _ total_width _ < <(probe dialog | awk -F '\t' '$1 == 1004 { print $5 }')
w_log "the total's label: from $total_x, $total_width wide"
w_expect "the nineteen-digit total's label grew to the left" test "$total_width" -gt 130
w_dialog_key 記録 r
w_expect "the clear button shows zeros" test "$(dialog_text 1004)$(dialog_text 1008)$(dialog_text 1007)" = 000
w_dialog_key 記録 Escape
w_expect "Escape closes the records" w_wait_for 10 no_dialog
open_dialog F4 記録
w_expect "a clear given up with Escape clears nothing" test "$(dialog_text 1005)" = 2
w_dialog_key 記録 r Return
w_expect "OK after the clear closes the records" w_wait_for 10 no_dialog
w_expect "a confirmed clear is saved at once (the total keeps the run's 0 games)" \
  test "$(w_stored RECORD TENHOCNT) $(w_stored RECORD MAXTENHOCNT) $(w_stored RECORD TOTALCNT)" = "REG_SZ 0 REG_SZ 0 REG_SZ 0"

# --- the heavenly-hand log: the newest first, its hand drawn from the tile
# sheet, one step of the slider back to the older entry.
open_dialog F5 天和記録
w_expect "the log opens on the newest entry, number 1" \
  test "$(dialog_text 1022)|$(dialog_text 1018)|$(dialog_text 1026)" = "1|250 局|0.33333 ％"
w_expect "the start and end times are the entry's" test "$(dialog_text 1016)" = "2001/03/04 21:47:10"
read -r _ dx dy dw dh < <(probe dialog | head -n1 | tr '\t' ' ' | awk '{ print $1, $2, $3, $4, $5 }')
shot=$(w_screenshot log)
import -window root -crop "${dw}x${dh}+${dx}+${dy}" +repage "$KESTRUM_ARTIFACTS/log-dialog.png"
# The hand the entry names, cut from the same sheet.
cells=()
for ((i = 0; i < 28; i += 2)); do
  piece=${newest_hand:i:2}
  rank=${piece:0:1}
  case ${piece:1:1} in m) row=0 ;; p) row=1 ;; s) row=2 ;; esac
  cells+=("(" "$KESTRUM_SOURCES/res/tiles.png" -crop "20x28+$(((rank - 1) * 20))+$((row * 28))" +repage ")")
done
convert "${cells[@]}" +append "$KESTRUM_ARTIFACTS/log-hand-expected.png"
found=$(compare -metric AE -subimage-search "$KESTRUM_ARTIFACTS/log-dialog.png" \
  "$KESTRUM_ARTIFACTS/log-hand-expected.png" null: 2>&1 || true)
w_log "hand found: $found"
w_expect "the hand is drawn from the tile sheet, tile for tile" test "${found%% *}" = 0
w_dialog_key 天和記録 Tab Right
w_expect "one step right shows the older entry, number 2" \
  w_wait_for 5 bash -c "wine '$KESTRUM_PROBE' dialog | tr -d '\r' | grep -q \$'^1018\tStatic\t1\t350 局'"
w_expect "its number is 2" test "$(dialog_text 1022)" = 2
w_screenshot log-older >/dev/null
w_dialog_key 天和記録 Escape
w_expect "Escape closes the log" w_wait_for 10 no_dialog

# --- the about box.
w_key alt+h
sleep 0.5
xdotool key a
w_wait_for 10 bash -c "[ \"\$(wine '$KESTRUM_PROBE' dialog 2>/dev/null | tr -d '\r' | head -n1 | cut -f1)\" = 'バージョン情報(kestrum)' ]" ||
  w_fail "the about box did not open"
w_expect "the about box names the program and its version" \
  bash -c "wine '$KESTRUM_PROBE' dialog | grep -q 'Kestrum for Windows Version 1.11'"
w_expect "its button carries the home page" bash -c "wine '$KESTRUM_PROBE' dialog | grep -q \$'^1029\tButton\t1\tURL : http'"
# The template's 105 units (184 pixels in this font) do not hold the
# address; the button grows to it, within the box.
read -r _ _ about_width _ < <(probe dialog | head -n1 | cut -f2)
read -r button_x _ button_width _ < <(probe dialog | awk -F '\t' '$1 == 1029 { print $5 }')
w_log "about box $about_width wide, URL button from $button_x, $button_width wide"
w_expect "the URL button grows to its address, inside the box" \
  test "$button_width" -gt 184 -a $((button_x + button_width)) -le "$about_width"
w_screenshot about >/dev/null
# Tab from OK reaches the address button; pressing it opens the home page
# and leaves the box open.
w_dialog_key 'バージョン情報(kestrum)' Tab space
w_expect "the URL button opens the home page" w_wait_for 20 grep -qF "$KESTRUM_HOMEPAGE" "$W_WORK/opened.txt"
w_expect "the about box stays open" test "$(dialog_caption)" = 'バージョン情報(kestrum)'
w_dialog_key 'バージョン情報(kestrum)' Escape
w_expect "Escape closes the about box" w_wait_for 10 no_dialog

# --- the settings: what the sliders and boxes show, a Cancel that changes
# nothing, then OK with the interval at its right end, which starts a run.
open_dialog F3 設定
w_screenshot settings >/dev/null
settings=$(probe dialog)
w_expect "the speed slider stands at 500 of 10..1000" grep -q $'^1008\tmsctls_trackbar32\t1\t500 10..1000' <<<"$settings"
w_expect "the interval slider stands at 1 of 0..5" grep -q $'^1012\tmsctls_trackbar32\t1\t1 0..5' <<<"$settings"
w_expect "the interval reads 1" test "$(dialog_text 1014)" = 1
w_expect "sound is off, the log on" \
  bash -c "grep -q \$'^1009\tButton\t1\t.* \\[ \\]' <<<\"\$1\" && grep -q \$'^1010\tButton\t1\t.* \\[x\\]' <<<\"\$1\"" _ "$settings"
# Tab order: OK, speed, sound, log, continue, interval.
w_dialog_key 設定 Tab Tab Tab Tab Tab End
w_expect "the interval slider's right end reads 10000" w_wait_for 5 bash -c "[ \"\$(wine '$KESTRUM_PROBE' dialog | tr -d '\r' | awk -F '\t' '\$1 == 1014 { print \$4 }')\" = 10000 ]"
w_dialog_key 設定 Escape
w_expect "Cancel closes the settings" w_wait_for 10 no_dialog
w_expect "Cancel started no run" test "$(w_title)" = Kestrum
open_dialog F3 設定
w_dialog_key 設定 Tab Tab Tab Tab Tab End Return
w_expect "OK closes the settings" w_wait_for 10 no_dialog
seen_running=0
for _ in $(seq 1 25); do
  [ "$(w_title)" = 'Kestrum-[実行中]-' ] && seen_running=1 && break
  sleep 0.1
done
w_expect "OK before any run starts one" test "$seen_running" = 1
w_close
w_expect "the accepted interval is saved at exit" test "$(w_stored SETTING INTERVAL)" = "REG_SZ 10000"
