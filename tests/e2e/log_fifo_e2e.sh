# A FIFO at the log's name, laid before the start or swapped in during a
# run (another program, or another user who may write the folder): the
# window appears, the heavenly hand is counted and saved as ever, the FIFO
# is skipped as silently as a log that cannot be written, and the window
# still answers and closes. Sourced by harness.sh.

source "$(dirname "$script")/tenhou_helpers.sh"
[ "$E2E_HAS_WM" = 1 ] || { echo "SKIP: the close box needs a window manager (openbox)"; exit 77; }
log=$E2E_CWD/tenholog.txt

# --- a FIFO there before the start ---------------------------------------------
mkfifo -m 600 "$log"
e2e_preset_store SPEED=10 TOTALCNT=1000
e2e_start
e2e_find_window 15
e2e_expect "the window appears with a FIFO at the log's name" test -n "$E2E_WIN"
e2e_close
e2e_wait_exit 15
e2e_expect "the program ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
e2e_expect "the FIFO is left as it was" test -p "$log"
rm -f "$log"

# --- a FIFO swapped in during a run, before the heavenly hand ---------------------
tenhou_find_second
e2e_preset_store SPEED=10 SOUND=0 TOTALCNT=1000 TENHOCNT=2 MINTENHOCNT=500 MAXTENHOCNT=300000
tenhou_start
e2e_find_window
e2e_key F2
running() { [ "$(e2e_title)" = "Kestrum-[実行中]-" ]; }
e2e_expect "the run starts" e2e_wait_for 3 running
mkfifo -m 600 "$log"
status_shows_hand() { [ "$(e2e_status_text)" = "$(tenhou_status)" ]; }
e2e_expect "the heavenly hand comes and is shown" e2e_wait_for 60 status_shows_hand
stored_hand() { [ "$(e2e_stored TENHOCNT)" = 3 ]; }
e2e_expect "the hand is saved to the records" e2e_wait_for 5 stored_hand
e2e_expect "the title is plain again: the window goes on after the hand" e2e_wait_for 3 \
  test "$(e2e_title)" = Kestrum
e2e_close
e2e_wait_exit 15
e2e_expect "the program still closes and ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
e2e_expect "the FIFO is left as it was" test -p "$log"
