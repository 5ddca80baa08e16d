# A SIGKILL well after the last heavenly hand (the store was saved with it,
# the accumulated count cleared): the records saved during the run hold all
# but the games of the last save period. Takes a little over a minute, the
# save period itself. Sourced by harness.sh.

period=60
e2e_preset_store SPEED=10 INTERVAL=100 AUTOSTART=1 CONTINUE=1 TOTALCNT=1000 TENHOCNT=3 MAXTENHOCNT=500 MINTENHOCNT=20
run_length() { e2e_status_text | sed -n 's/^[01]\*.*+\([0-9]*\)$/\1/p'; }

e2e_start
started=$SECONDS
e2e_find_window
e2e_expect "the run plays" e2e_wait_for 10 test -n "$(run_length)"
e2e_expect "nothing is saved before a save period has passed" test "$(e2e_stored TOTALCNT)" = 1000
wait_left=$((period + 5 - (SECONDS - started)))
[ "$wait_left" -gt 0 ] && sleep "$wait_left"
played=$(run_length)
kill -KILL "$E2E_PID"
e2e_wait_exit 10
elapsed=$((SECONDS - started))

saved_total=$(e2e_stored TOTALCNT)
saved_run=$(e2e_stored ACCUMULATIONCNT)
e2e_log "played $played games in ${elapsed}s; the store holds TOTALCNT $saved_total, ACCUMULATIONCNT $saved_run"
e2e_expect "the run's games were saved during the run" test "$saved_run" -gt 0
if [ "$(e2e_stored TENHOCNT)" = 3 ]; then
  e2e_expect "the saved total and run agree" test "$saved_total" = $((1000 + saved_run))
  # The save came a period after the start, so the kill lost only the games
  # played since: at the run's rate, (played - saved) / played is at most
  # (elapsed - period) / elapsed, with three seconds of slack.
  e2e_expect "the kill lost only the games after the save ($((played - saved_run)) of $played)" \
    test $(((played - saved_run) * elapsed)) -le $((played * (elapsed - period + 3)))
else
  e2e_log "a heavenly hand came during the run; its own save stands in for the periodic one"
fi
