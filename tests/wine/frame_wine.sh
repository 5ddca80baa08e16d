# kestrum.exe starts as one fixed-size window holding the start hand, refuses
# a second instance, blinks its title through a run and saves on exit.
# Sourced by harness.sh.

w_preset SPEED=20 SOUND=0 TOTALCNT=5000000000
w_expect "no status block before the program" bash -c "! wine '$KESTRUM_PROBE' status >/dev/null 2>&1"
w_start

read -r style exstyle viewexstyle < <(probe frame)
w_log "frame style $style, extended $exstyle, view extended $viewexstyle"
# WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, without WS_THICKFRAME and WS_MAXIMIZEBOX.
w_expect "the frame has caption, system menu and minimise box only" \
  test $(((0x$style & 0x00CF0000) == 0x00CA0000)) = 1
w_expect "the view has the sunken client edge" test $(((0x$viewexstyle & 0x200) == 0x200)) = 1
w_expect "the title is Kestrum" test "$(w_title)" = Kestrum
w_expect "a new status block holds only zero bytes" \
  bash -c "[ \"\$(wine '$KESTRUM_PROBE' status | tr -d '\r' | sed -n 2p | tr -d 0)\" = '' ]"
w_same_picture start "start" 0
w_screenshot start >/dev/null

# F5 does nothing while the log is empty.
w_key F5
sleep 1
w_expect "F5 opens nothing without a log" bash -c "! wine '$KESTRUM_PROBE' dialog >/dev/null 2>&1"

# A second start ends at once, silently, and leaves the first alone.
second_started=$SECONDS
(cd "$W_CWD" && timeout 30 wine "$KESTRUM_EXE" >/dev/null 2>&1)
second_status=$?
w_expect "a second instance ends with exit code 0" test "$second_status" = 0
w_expect "a second instance ends at once" test $((SECONDS - second_started)) -le 10
w_expect "there is still one main window" test "$(probe frames)" = 1

# F2: the run starts and the title blinks between the two titles.
w_key F2
seen_running=0
seen_plain=0
for _ in $(seq 1 40); do
  case $(w_title) in
    'Kestrum-[実行中]-') seen_running=1 ;;
    Kestrum) seen_plain=1 ;;
  esac
  [ "$seen_running$seen_plain" = 11 ] && break
  sleep 0.1
done
w_expect "the title blinks between Kestrum-[実行中]- and Kestrum" test "$seen_running$seen_plain" = 11
w_expect "games are mirrored into the status block" w_wait_for 10 bash -c "wine '$KESTRUM_PROBE' status | head -n1 | grep -q '^302a'"
first=$(w_status_text)
w_log "status block: $first"
w_screenshot running >/dev/null
w_close
w_expect "Exit saved the records (total went on from five thousand million)" \
  bash -c "[ \"\$(wine reg query '$W_KEY\\RECORD' /v TOTALCNT | tr -d '\r' | awk '\$1==\"TOTALCNT\" {print \$3}')\" -gt 5000000000 ]"
w_expect "every value is a REG_SZ" test "$(w_stored SETTING SPEED)" = "REG_SZ 20"
w_expect "the status block goes with the program" bash -c "! wine '$KESTRUM_PROBE' status >/dev/null 2>&1"

# Once the first has ended a new instance starts normally. The end of the
# session (a log-off) saves the games as Exit does.
total_before=$(w_stored RECORD TOTALCNT | cut -d' ' -f2)
w_start
w_expect "a new instance starts after the first ended" test "$(probe frames)" = 1
w_key F2
w_expect "the new instance plays" w_wait_for 10 bash -c "wine '$KESTRUM_PROBE' status | head -n1 | grep -q '^302a'"
probe endsession >/dev/null
w_wait_exit
total_after=$(w_stored RECORD TOTALCNT | cut -d' ' -f2)
w_expect "the end of the session saved the records ($total_before, then $total_after)" test "$total_after" -gt "$total_before"
