# A real heavenly hand, met as a person meets it: the run is started, the
# person turns to another window, the hand comes, the run stops. The chime
# is called, the title stays plain, the count turns red under the hand, the
# log entry and the records are written at once, the window flashes once a
# second until it is activated again, and F5 opens the logged hand.
# Sourced by harness.sh.

source "$(dirname "$script")/tenhou_helpers.sh"
[ "$E2E_HAS_WM" = 1 ] || { echo "SKIP: activation needs a window manager (openbox)"; exit 77; }

tenhou_find_second
running_title="Kestrum-[実行中]-"
title_is() { [ "$(e2e_title)" = "$1" ]; }
tenhou_dialog() { xdotool search --all --onlyvisible --pid "$E2E_PID" --name '^天和記録$' 2>/dev/null | head -n1; }
active_window() { printf '%d' "$(xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*# \(0x[0-9a-f]*\).*/\1/p')"; }
is_active() { [ "$(active_window)" = "$1" ]; }

e2e_preset_store SPEED=10 SOUND=1 TOTALCNT=1000 TENHOCNT=2 MINTENHOCNT=500 MAXTENHOCNT=300000
tenhou_start
e2e_find_window
kestrum_window=$E2E_WIN
e2e_expect "no chime before the hand (the sound is made at the first one)" test "$(tenhou_chimes)" = 0

# --- F5 does nothing while the log is empty ---------------------------------
e2e_key F5
sleep 0.5
e2e_expect "F5 opens nothing before a heavenly hand" test -z "$(tenhou_dialog)"

# --- run, then turn to another window ---------------------------------------
xmessage -name kestrum-e2e "another program" &
other_pid=$!
E2E_PIDS+=("$other_pid")
other_window() { xdotool search --onlyvisible --classname '^kestrum-e2e$' 2>/dev/null | head -n1; }
other_window_shown() { [ -n "$(other_window)" ]; }
e2e_wait_for 10 other_window_shown || e2e_fail "the other window did not appear"
other_window=$(other_window)
tenhou_spy_state
e2e_key F2
e2e_expect "the run starts" e2e_wait_for 3 title_is "$running_title"
xdotool windowactivate --sync "$other_window"
e2e_expect "the other window is active" e2e_wait_for 3 is_active "$other_window"
e2e_expect "the run is still going when the other window is active" e2e_wait_for 2 bash -c \
  "! grep -q . '$E2E_CWD/tenholog.txt' 2>/dev/null"

# --- the heavenly hand --------------------------------------------------------
e2e_expect "the heavenly hand comes" e2e_wait_for 60 test -s "$E2E_CWD/tenholog.txt"
stopped_at=$EPOCHREALTIME
status_shows_hand() { [ "$(e2e_status_text)" = "$(tenhou_status)" ]; }
e2e_expect "the status block shows the hand (it shows '$(e2e_status_text)')" e2e_wait_for 2 status_shows_hand
e2e_expect "the title is plain" title_is Kestrum
tenhou_expected_entry "$TENHOU_GAMES" $((1000 + TENHOU_GAMES)) 3 0.21352 "$TENHOU_GAMES" 300000 >"$E2E_WORK/expected.txt"
e2e_expect "the log entry has the hand's bytes" cmp "$E2E_WORK/expected.txt" "$E2E_CWD/tenholog.txt"
e2e_expect "the records were saved with the hand" test \
  "$(e2e_stored TOTALCNT) $(e2e_stored TENHOCNT) $(e2e_stored MINTENHOCNT) $(e2e_stored MAXTENHOCNT)" = \
  "$((1000 + TENHOU_GAMES)) 3 $TENHOU_GAMES 300000"
# The hand's save already has the finished run cleared, so a kill before the
# next save cannot carry it over into the next start.
e2e_expect "the saved accumulated count is already cleared" test "$(e2e_stored ACCUMULATIONCNT)" = 0
e2e_expect "the chime was called once" test "$(tenhou_chimes)" = 1

# --- the flash, while another window is active --------------------------------
sleep 4.6
e2e_expect "the title stayed plain: the run stopped" title_is Kestrum
changes=$(tenhou_attention_changes "$stopped_at")
e2e_log "attention changes after the stop at $stopped_at: $(echo $changes)"
e2e_expect "the window flashed on, off and on within 4.6 s" test "$(grep -c . <<<"$changes")" -ge 3
first_on=$(awk 'NR == 1 && $2 == "on" { print $1 }' <<<"$changes")
e2e_expect "the first flash comes a second after the stop" \
  awk -v t="$first_on" -v s="$stopped_at" 'BEGIN { exit !(t != "" && t - s < 1.8) }'
e2e_expect "each flash reached the window manager at its own tick, not in a burst" \
  awk '{ if (NR > 1 && $1 - last < 0.5) bad = 1; last = $1 } END { exit bad }' <<<"$changes"
view=$(tenhou_view_shot inactive-after-hand)
hand=$(tenhou_sheet_hand)
e2e_expect "the view shows the dealt hand" test "$(convert "$view" -crop 280x28+0+0 +repage png:- |
  tenhou_pixels_differ png:- "$hand")" = 0
red=$(convert "$view" -crop 280x13+0+29 +repage -fill black +opaque '#FF0000' -format '%[fx:int(mean*w*h*3)]' info:)
e2e_expect "the count is drawn in red ($red red pixels)" test "$red" -gt 40

# --- activation withdraws the flash ---------------------------------------------
E2E_WIN=$kestrum_window
e2e_focus
activated_at=$EPOCHREALTIME
sleep 2.5
after=$(tenhou_attention_changes "$activated_at")
last=$(tenhou_attention_changes "$stopped_at" | tail -n1)
e2e_expect "the attention request is withdrawn on activation" test "${last#* }" = off
e2e_expect "no flash after activation" bash -c "! grep -q ' on$' <<<'$after'"

# --- F5 opens the logged hand -----------------------------------------------------
e2e_key F5
tenhou_dialog_shown() { [ -n "$(tenhou_dialog)" ]; }
e2e_expect "F5 opens the heavenly-hand record" e2e_wait_for 5 tenhou_dialog_shown
E2E_WIN=$(tenhou_dialog)
sleep 0.5
e2e_screenshot tenhou-record >/dev/null
e2e_key Escape
E2E_WIN=$kestrum_window
# The dialog stood over the view; closed, it leaves the stopped view to be
# drawn again, exactly as the program composes the hand and the red count.
sleep 0.5
"$KESTRUM_VIEW_PICTURE" 1 "$E2E_WORK/expected-view.png" status "$E2E_STATUS_BLOCK"
view=$(tenhou_view_shot after-record)
e2e_expect "after the record closes the view shows the hand and the red count exactly" \
  test "$(tenhou_pixels_differ "$view" "$E2E_WORK/expected-view.png")" = 0

e2e_close
e2e_wait_exit 15
e2e_expect "closed program ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
e2e_expect "the saved accumulated count is 0 after the hand" test "$(e2e_stored ACCUMULATIONCNT)" = 0
e2e_expect "the total counts no game after the hand" test "$(e2e_stored TOTALCNT)" = $((1000 + TENHOU_GAMES))
