# A lock file beside the store left by an earlier process that had this
# program's very process id (after a kill, with ids handed out again, as in
# a container): the program's saves take it over at once instead of waiting
# for it to go stale. Sourced by harness.sh.

run_length() { e2e_status_text | sed -n 's/^[01]\*.*+\([0-9]*\)$/\1/p'; }
count_above() { local n; n=$(run_length); [ -n "$n" ] && [ "$n" -gt "$1" ]; }
# The five lines QLockFile writes: process id, program file name, host,
# machine id and boot id (the last two only where the system has them).
host=$(hostname)
machine=$(cat /etc/machine-id 2>/dev/null || cat /var/lib/dbus/machine-id 2>/dev/null || true)
boot=$(cat /proc/sys/kernel/random/boot_id 2>/dev/null || true)

for round in 1 2; do
  e2e_preset_store SPEED=10 INTERVAL=1 AUTOSTART=1 TOTALCNT=1000
  # The shell writes the lock with its own id, then becomes the program.
  (cd "$E2E_CWD" && exec bash -c 'printf "%s\n%s\n%s\n%s\n%s\n" "$$" "${0##*/}" "$1" "$3" "$4" >"$2.lock"; exec "$0"' \
    "$KESTRUM_BIN" "$host" "$E2E_STORE" "$machine" "$boot") >>"$E2E_WORK/program.log" 2>&1 &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
  e2e_expect "round $round: the lock names the program's own id" e2e_wait_for 5 grep -qx "$E2E_PID" "$E2E_STORE.lock"
  e2e_find_window
  e2e_expect "round $round: the run counts games" e2e_wait_for 10 count_above 10
  closed_at=$SECONDS
  e2e_close
  # QLockFile alone would wait 30 s for a lock whose holder seems alive.
  e2e_wait_exit 10
  e2e_log "round $round: ended $((SECONDS - closed_at)) s after the close"
  e2e_expect "round $round: the program ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
  e2e_expect "round $round: the games were saved (TOTALCNT $(e2e_stored TOTALCNT))" test "$(e2e_stored TOTALCNT)" -gt 1010
  e2e_expect "round $round: the leftover lock is gone" test ! -e "$E2E_STORE.lock"
done
