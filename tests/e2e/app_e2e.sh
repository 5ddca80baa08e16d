# The program as a person meets it: its window, F2, a second start, the
# close box, a kill and a new start, and the menu's Exit. Sourced by
# harness.sh, which provides the e2e_* helpers.

running_title="Kestrum-[実行中]-"

title_is() { [ "$(e2e_title)" = "$1" ]; }
run_length() { e2e_status_text | sed -n 's/^[01]\*.*+\([0-9]*\)$/\1/p'; }
count_above() { local n; n=$(run_length); [ -n "$n" ] && [ "$n" -gt "$1" ]; }
# The block outlives a killed program, so a new run shows itself by a text
# that differs from the one seen before its start.
status_moved_from() { local now; now=$(e2e_status_text); [ -n "$now" ] && [ "$now" != "$1" ]; }

# --- first start: the window ------------------------------------------------
e2e_preset_store SPEED=10 TOTALCNT=1000
e2e_start
first_pid=$E2E_PID
e2e_find_window
read -r width height < <(e2e_size)
# 280 x 42 of picture inside a two-pixel sunken edge, below the menu bar.
e2e_expect "window is 284 wide (the view's 280 and its edge), got $width" test "$width" = 284
e2e_expect "window is taller than the picture and its menu, got $height" test "$height" -gt 46
hints=$(xprop -id "$E2E_WIN" WM_NORMAL_HINTS)
e2e_expect "window cannot be resized" grep -q "minimum size: $width by $height" <<<"$hints"
e2e_expect "window cannot be enlarged" grep -q "maximum size: $width by $height" <<<"$hints"
e2e_expect "title is Kestrum before a run" title_is Kestrum
e2e_screenshot idle >/dev/null

# --- F2 starts a run: the title blinks, the count moves -----------------------
e2e_key F2
e2e_expect "title shows the run within two seconds" e2e_wait_for 3 title_is "$running_title"
e2e_expect "title blinks back" e2e_wait_for 2 title_is Kestrum
e2e_expect "status block counts games" e2e_wait_for 5 count_above 20
before=$(run_length)
shot_a=$(e2e_screenshot running-a)
sleep 0.5
shot_b=$(e2e_screenshot running)
e2e_expect "count goes on ($before, then $(run_length))" count_above "$before"
differing=$(compare -metric AE "$shot_a" "$shot_b" null: 2>&1 || true)
e2e_expect "the picture changes while running ($differing pixels differ)" test "${differing%% *}" -gt 0

# --- a second start ends at once and silently -------------------------------
store_stamp=$(stat -c %Y.%s "$E2E_STORE")
e2e_start
second_pid=$E2E_PID
e2e_wait_exit 15
e2e_expect "second instance ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
e2e_expect "still exactly one Kestrum window" test "$(e2e_windows | wc -l)" = 1
e2e_expect "second instance left the store alone" test "$(stat -c %Y.%s "$E2E_STORE")" = "$store_stamp"
e2e_expect "first instance still running" kill -0 "$first_pid"
e2e_log "second instance $second_pid ended silently"

# --- the close box ends it and saves ------------------------------------------
E2E_PID=$first_pid
e2e_close
e2e_wait_exit 15
e2e_expect "closed program ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
total=$(e2e_stored TOTALCNT)
e2e_expect "games reached the store (TOTALCNT $total)" test "$total" -gt 1020
e2e_expect "accumulated count was saved" test "$(e2e_stored ACCUMULATIONCNT)" -gt 20

# --- killed outright, it starts again without trouble ------------------------
e2e_start
e2e_find_window
seen=$(e2e_status_text)
e2e_key F2
e2e_expect "run starts" e2e_wait_for 5 status_moved_from "$seen"
kill -KILL "$E2E_PID"
e2e_wait_exit 10
e2e_expect "killed program is gone" test -z "$(e2e_windows)"

e2e_start
e2e_find_window
e2e_expect "restarted program counts on from the saved total" test "$(e2e_stored TOTALCNT)" = "$total"
seen=$(e2e_status_text)
e2e_expect "restarted program is idle" e2e_wait_for 1 title_is Kestrum
sleep 0.3
e2e_expect "idle program plays no game" test "$(e2e_status_text)" = "$seen"
e2e_key F2
e2e_expect "restarted program runs" e2e_wait_for 5 status_moved_from "$seen"

# --- a plain kill (a session logging out) closes it the same way -------------
kill -TERM "$E2E_PID"
e2e_wait_exit 15
e2e_expect "terminated program ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
e2e_expect "termination saved the games (TOTALCNT $(e2e_stored TOTALCNT))" test "$(e2e_stored TOTALCNT)" -gt "$total"
total=$(e2e_stored TOTALCNT)

e2e_start
e2e_find_window
seen=$(e2e_status_text)
e2e_key F2
e2e_expect "run starts again" e2e_wait_for 5 status_moved_from "$seen"

# --- the menu's Exit ends it the same way as the close box --------------------
e2e_key alt+s
sleep 0.3
e2e_screenshot menu >/dev/null
e2e_key x
e2e_wait_exit 15
e2e_expect "Exit ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
e2e_expect "Exit saved the games (TOTALCNT $(e2e_stored TOTALCNT))" test "$(e2e_stored TOTALCNT)" -gt "$total"
