# A desktop session that ends: TERM, then HUP a moment later, or TERM
# twice. The first signal closes the window; the second must not cut the
# exit save short: the games reach the store, the store's lock file does not
# stay behind, the status block is closed, and a fresh profile gets its
# store. Several delays, since the second signal may land before, during or
# after the save. Sourced by harness.sh.

run_length() { e2e_status_text | sed -n 's/^[01]\*.*+\([0-9]*\)$/\1/p'; }
count_above() { local n; n=$(run_length); [ -n "$n" ] && [ "$n" -gt "$1" ]; }
store_dir=$(dirname "$E2E_STORE")

# end_session FIRST SECOND DELAY FRESH: a playing window gets FIRST, then
# SECOND after DELAY seconds; FRESH=1 starts from a profile without a store.
end_session() {
  local first=$1 second=$2 delay=$3 fresh=$4 base=1000
  local what="$first then $second after ${delay}s"
  if [ "$fresh" = 1 ]; then
    what="$what, fresh profile"
    base=0
  fi
  rm -rf "$store_dir"
  if [ "$fresh" = 1 ]; then
    # The defaults: a run starts only with F2.
    e2e_start
    e2e_find_window
    e2e_key F2
  else
    e2e_preset_store SPEED=10 INTERVAL=1 AUTOSTART=1 TOTALCNT=1000
    e2e_start
    e2e_find_window
  fi
  e2e_expect "$what: the run counts games" e2e_wait_for 10 count_above 10
  kill "-$first" "$E2E_PID"
  sleep "$delay"
  kill "-$second" "$E2E_PID" 2>/dev/null || true
  e2e_wait_exit 20
  # Once the save is done and the block closed the signals have their
  # default actions again, so a late second one may still end the process.
  local late=$((128 + $(kill -l "$second")))
  e2e_expect "$what: the program ends with 0 (or $late after its save), got $E2E_STATUS" \
    test "$E2E_STATUS" = 0 -o "$E2E_STATUS" = "$late"
  e2e_expect "$what: the store was saved" test -f "$E2E_STORE"
  e2e_expect "$what: the games reached the store (TOTALCNT $(e2e_stored TOTALCNT))" \
    test "$(e2e_stored TOTALCNT)" -gt $((base + 10))
  e2e_expect "$what: no lock file is left beside the store" test ! -e "$E2E_STORE.lock"
  e2e_expect "$what: the status block is closed" test ! -e "$E2E_STATUS_BLOCK"
}

for delay in 0 0.005 0.02 0.05 0.2; do
  end_session TERM HUP "$delay" 0
done
for delay in 0 0.02; do
  end_session TERM HUP "$delay" 1
done
for delay in 0 0.005 0.05; do
  end_session TERM TERM "$delay" 0
done
