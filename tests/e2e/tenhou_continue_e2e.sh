# A real heavenly hand with the continue setting on and the sound off: the
# run goes on through it. The hand is logged and the records saved, the
# count starts again from 0 and the title keeps blinking; no chime is
# called, nothing flashes, and F5 is enabled from then on. Sourced by
# harness.sh.

source "$(dirname "$script")/tenhou_helpers.sh"

tenhou_find_second
running_title="Kestrum-[実行中]-"
title_is() { [ "$(e2e_title)" = "$1" ]; }
run_length() { e2e_status_text | sed -n 's/^[01]\*.*+\([0-9]*\)$/\1/p'; }
counting_again() { local n; n=$(run_length); [ -n "$n" ] && [ "$n" -ge 20 ] && [ "$n" -lt "$TENHOU_GAMES" ]; }
tenhou_dialog_shown() {
  [ -n "$(xdotool search --all --onlyvisible --pid "$E2E_PID" --name '^天和記録$' 2>/dev/null)" ]
}

e2e_preset_store SPEED=10 AUTOSTART=1 CONTINUE=1 SOUND=0 ACCUMULATIONCNT=0
tenhou_start
e2e_find_window
e2e_focus
tenhou_spy_state

e2e_expect "the heavenly hand comes" e2e_wait_for 60 test -s "$E2E_CWD/tenholog.txt"
tenhou_expected_entry "$TENHOU_GAMES" "$TENHOU_GAMES" 1 0.24691 "$TENHOU_GAMES" "$TENHOU_GAMES" >"$E2E_WORK/expected.txt"
e2e_expect "the log entry has the hand's bytes" cmp "$E2E_WORK/expected.txt" "$E2E_CWD/tenholog.txt"
e2e_expect "the records were saved with the hand" test \
  "$(e2e_stored TOTALCNT) $(e2e_stored TENHOCNT) $(e2e_stored MINTENHOCNT) $(e2e_stored MAXTENHOCNT)" = \
  "$TENHOU_GAMES 1 $TENHOU_GAMES $TENHOU_GAMES"

e2e_expect "the run goes on, counting from 0 again" e2e_wait_for 10 counting_again
e2e_expect "the title still shows the run" e2e_wait_for 3 title_is "$running_title"
e2e_expect "and still blinks" e2e_wait_for 3 title_is Kestrum
e2e_expect "no chime with the sound off" test "$(tenhou_chimes)" = 0
e2e_expect "nothing flashed" bash -c "! grep -q DEMANDS_ATTENTION '$TENHOU_SPY'"
e2e_expect "one entry only" test "$(grep -c '^\* ' "$E2E_CWD/tenholog.txt")" = 1

e2e_key F5
e2e_expect "F5 opens the heavenly-hand record while the run goes on" e2e_wait_for 5 tenhou_dialog_shown
E2E_WIN=$(xdotool search --all --onlyvisible --pid "$E2E_PID" --name '^天和記録$' | head -n1)
sleep 0.5
e2e_screenshot tenhou-record-running >/dev/null
e2e_key Escape
e2e_find_window

e2e_close
e2e_wait_exit 15
e2e_expect "closed program ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
total=$(e2e_stored TOTALCNT)
e2e_expect "games after the hand were counted (TOTALCNT $total)" test "$total" -gt $((TENHOU_GAMES + 20))
e2e_expect "the accumulated count holds only games after the hand" test \
  "$(e2e_stored ACCUMULATIONCNT)" = $((total - TENHOU_GAMES))
