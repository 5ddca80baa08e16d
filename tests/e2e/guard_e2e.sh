# The single-instance guard against other users and other environments:
# another user squatting on every name the guard has had keeps nobody's
# window from starting; a start in another network namespace, with another
# HOME, or many starts at the same moment, still leave one window. Sourced
# by harness.sh.

uid=$(id -u)
machine_guard=/dev/shm/KESTRUM_RUNNING-$uid
squatter=""
stop_squatter() {
  if [ -n "$squatter" ]; then
    kill "$squatter" 2>/dev/null || true
    wait "$squatter" 2>/dev/null || true
  fi
  squatter=""
}
trap 'stop_squatter; e2e_cleanup' EXIT

# --- another user takes the names first: the window starts all the same -----
if [ "$uid" = 0 ] && command -v setpriv >/dev/null; then
  # The abstract socket name an earlier guard used, and the machine-wide
  # file, made first and locked by nobody.
  squat='use Socket; use Fcntl qw(:flock);
    socket(my $s, AF_UNIX, SOCK_DGRAM, 0) or die "socket: $!";
    bind($s, pack_sockaddr_un("\0KESTRUM_RUNNING-$ARGV[0]")) or die "bind: $!";
    open(my $f, ">", $ARGV[1]) or die "$ARGV[1]: $!"; chmod 0666, $ARGV[1]; flock($f, LOCK_EX);
    $| = 1; print "ready\n"; sleep 1000;'
  rm -f "$machine_guard"
  setpriv --reuid=nobody --regid=nogroup --clear-groups perl -e "$squat" "$uid" "$machine_guard" >"$E2E_WORK/squat.out" 2>&1 &
  squatter=$!
  e2e_expect "nobody squats on the guard's names" e2e_wait_for 10 grep -q ready "$E2E_WORK/squat.out"
  e2e_preset_store SPEED=10 TOTALCNT=1000
  e2e_start
  e2e_find_window
  e2e_expect "the window starts beside another user's squat" kill -0 "$E2E_PID"
  e2e_close
  e2e_wait_exit 15
  e2e_expect "it ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
  stop_squatter
  rm -f "$machine_guard"
else
  e2e_log "not root: another user's squat is not tried"
fi

# --- one window, started from wherever ---------------------------------------
e2e_preset_store SPEED=10 TOTALCNT=1000
e2e_start
e2e_find_window
first_pid=$E2E_PID
starts=("-u XDG_RUNTIME_DIR" "HOME=$E2E_WORK/other-home XDG_CONFIG_HOME=$E2E_WORK/other-home/.config")
mkdir -p "$E2E_WORK/other-home"
for env_change in "${starts[@]}"; do
  # shellcheck disable=SC2086
  (cd "$E2E_CWD" && exec env $env_change "$KESTRUM_BIN") >>"$E2E_WORK/program.log" 2>&1 &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
  e2e_wait_exit 15
  e2e_expect "a start with env $env_change ends at once with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
done
if [ "$uid" = 0 ] && command -v unshare >/dev/null; then
  (cd "$E2E_CWD" && exec unshare -n "$KESTRUM_BIN") >>"$E2E_WORK/program.log" 2>&1 &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
  e2e_wait_exit 15
  e2e_expect "a start in another network namespace ends at once with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
fi
e2e_expect "still exactly one Kestrum window" test "$(e2e_windows | wc -l)" = 1
E2E_PID=$first_pid
e2e_close
e2e_wait_exit 15
e2e_expect "the first one ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0

# --- twenty starts at the same moment: one window ------------------------------
e2e_preset_store SPEED=10 TOTALCNT=1000
rm -f "$E2E_WORK/go"
mkfifo "$E2E_WORK/go"
racers=()
for i in $(seq 20); do
  (cd "$E2E_CWD" && cat "$E2E_WORK/go" >/dev/null && exec "$KESTRUM_BIN") >>"$E2E_WORK/program.log" 2>&1 &
  racers+=($!)
  E2E_PIDS+=($!)
done
sleep 1
: >"$E2E_WORK/go"  # every reader sees the end of the FIFO at once
ended=0
for pid in "${racers[@]}"; do
  if timeout 20 tail --pid="$pid" -f /dev/null 2>/dev/null && ! kill -0 "$pid" 2>/dev/null; then ended=$((ended + 1)); fi
done
e2e_log "$ended of 20 simultaneous starts ended"
e2e_expect "all but one of twenty simultaneous starts ended" test "$ended" = 19
e2e_expect "exactly one Kestrum window" e2e_wait_for 10 test "$(e2e_windows | wc -l)" = 1
for pid in "${racers[@]}"; do
  if kill -0 "$pid" 2>/dev/null; then E2E_PID=$pid; fi
done
e2e_find_window
e2e_close
e2e_wait_exit 15
e2e_expect "the one that runs ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
