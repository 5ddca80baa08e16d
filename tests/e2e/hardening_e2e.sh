# The window against what other users and other environments may do to it:
# a stale block left by a killed instance, starts from other environments,
# a FIFO under the block's name, and another user's world-writable block
# shrunk in a loop while the window plays at its fastest. Sourced by
# harness.sh, which provides the e2e_* helpers.

block=$E2E_STATUS_BLOCK
sim=${KESTRUM_SIM:-}
helpers=()  # processes this script starts besides the program

block_bytes() { od -An -v -tx1 "$block" | tr -d ' \n'; }
zero_block() { [ "$(block_bytes)" = "$(printf '00%.0s' $(seq 512))" ]; }
watch_state() { "$sim" watch --once --json | sed -n 's/.*"state":"\([a-z-]*\)".*/\1/p'; }
stop_helpers() {
  local pid
  for pid in "${helpers[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${helpers[@]}"; do wait "$pid" 2>/dev/null || true; done
  helpers=()
}
remove_block() { rm -rf "$block"; }
# Shrinks the file named by $1 and grows it back, as fast as one process can
# (perl-base is part of every Debian system).
shrinker='open(my $f, "+<", $ARGV[0]) or die "$ARGV[0]: $!"; while (1) { truncate($f, 0); truncate($f, 7); truncate($f, 512) }'
trap 'stop_helpers; e2e_cleanup' EXIT

# --- a stale block of this user: zero bytes before the first game -----------
remove_block
printf '1*1m9m1p9p1s9s\x93\x8c\x93\xec\x90\xbc\x96\x6b\x94\x92\x94\xad\x92\x86\x92\x86+4711\0' >"$block"
chmod 600 "$block"
if [ -n "$sim" ]; then e2e_expect "watch calls a block without a Kestrum writer-gone" test "$(watch_state)" = writer-gone; fi
e2e_preset_store SPEED=10 TOTALCNT=1000
e2e_start
e2e_find_window
e2e_expect "the stale block holds 512 zero bytes before the first game" zero_block
if [ -n "$sim" ]; then e2e_expect "watch sees the block live" test "$(watch_state)" = live; fi
e2e_screenshot stale-block-cleared >/dev/null

# --- starts from other environments: still one window -----------------------
first_pid=$E2E_PID
for env_change in "XDG_RUNTIME_DIR=$E2E_WORK/other-run" "-u XDG_RUNTIME_DIR" "-u XDG_RUNTIME_DIR HOME=$E2E_WORK/other-home"; do
  mkdir -p "$E2E_WORK/other-run" "$E2E_WORK/other-home"
  # shellcheck disable=SC2086
  (cd "$E2E_CWD" && exec env $env_change "$KESTRUM_BIN") >>"$E2E_WORK/program.log" 2>&1 &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
  e2e_wait_exit 15
  e2e_expect "a start with env $env_change ends at once with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
done
e2e_expect "still exactly one Kestrum window" test "$(e2e_windows | wc -l)" = 1
E2E_PID=$first_pid
e2e_close
e2e_wait_exit 15
e2e_expect "the first instance ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
e2e_expect "the block it took over is gone with it" test ! -e "$block"

# --- a FIFO under the block's name: the program runs, exits and saves --------
remove_block
mkfifo -m 600 "$block"
if [ -n "$sim" ]; then e2e_expect "watch calls a FIFO no block" test "$(watch_state)" = not-a-block; fi
e2e_preset_store SPEED=10 AUTOSTART=1 TOTALCNT=1000
e2e_start
e2e_find_window
sleep 2
e2e_close
e2e_wait_exit 15
e2e_expect "with a FIFO under the name the program ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
e2e_expect "with a FIFO under the name the games were saved (TOTALCNT $(e2e_stored TOTALCNT))" \
  test "$(e2e_stored TOTALCNT)" -gt 1050
e2e_expect "the FIFO is left as it was" test -p "$block"
remove_block

# --- another user's block, world-writable and shrunk in a loop ---------------
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
  as_nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
elif [ "$(id -u)" != 0 ]; then
  as_nobody=()  # already an ordinary user: this user's own block is shrunk instead
else
  echo "SKIP: setpriv is missing"
  exit 77
fi
"${as_nobody[@]}" bash -c 'umask 0; : >"$1"; chmod 666 "$1"; exec perl -e "$2" "$1"' shrinker "$block" "$shrinker" &
helpers+=($!)
e2e_wait_for 10 test -e "$block" || e2e_fail "the shrinking block was not made"
if [ -n "$sim" ]; then
  "$sim" watch --any-user --poll 1 >"$E2E_WORK/watch.out" 2>"$E2E_WORK/watch.err" &
  watch_pid=$!
  helpers+=("$watch_pid")
fi
e2e_preset_store SPEED=10 INTERVAL=1 AUTOSTART=1 TOTALCNT=1000
e2e_start
e2e_find_window
sleep 5
e2e_expect "the window lives beside another user's shrinking block" kill -0 "$E2E_PID"
e2e_screenshot foreign-block >/dev/null
if [ -n "$sim" ]; then
  e2e_expect "watch lives beside the shrinking block" kill -0 "$watch_pid"
  kill -INT "$watch_pid"
  watch_status=0
  wait "$watch_pid" || watch_status=$?
  e2e_expect "watch ends with 0 on Ctrl-C, got $watch_status" test "$watch_status" = 0
fi
e2e_close
e2e_wait_exit 15
stop_helpers
e2e_expect "the program ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
e2e_expect "the games were saved (TOTALCNT $(e2e_stored TOTALCNT))" test "$(e2e_stored TOTALCNT)" -gt 1100
remove_block

# --- its own block shrunk in a loop while it writes every game ---------------
e2e_preset_store SPEED=10 INTERVAL=1 AUTOSTART=1 TOTALCNT=1000
e2e_start
e2e_find_window
e2e_wait_for 10 test -s "$block" || e2e_fail "the program made no block"
perl -e "$shrinker" "$block" &
helpers+=($!)
sleep 4
e2e_expect "the window lives while its own block is shrunk" kill -0 "$E2E_PID"
stop_helpers
e2e_close
e2e_wait_exit 15
e2e_expect "the program ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
e2e_expect "the games were saved (TOTALCNT $(e2e_stored TOTALCNT))" test "$(e2e_stored TOTALCNT)" -gt 1100
e2e_expect "the block the program made is gone with it" test ! -e "$block"
